#pragma once

#include <exception>
#include <string>

namespace GenICam {

/// What every SDK call throws; the description says what went wrong.
class GenericException : public std::exception
{
public:
    explicit GenericException(std::string description);

    const char *GetDescription() const noexcept { return m_description.c_str(); }
    const char *what() const noexcept override { return m_description.c_str(); }

private:
    std::string m_description;
};

} // namespace GenICam

namespace Pylon {
using GenICam::GenericException;
}
