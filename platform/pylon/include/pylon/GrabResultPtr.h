#pragma once

#include "pylon/PylonImage.h"

#include <memory>

namespace Pylon {

/// One retrieved grab. A failed grab carries no image.
class CGrabResultData : public IImage
{
public:
    CGrabResultData(bool succeeded, std::uint64_t imageNumber, CPylonImage image);

    bool GrabSucceeded() const { return m_succeeded; }
    std::uint64_t GetImageNumber() const { return m_imageNumber; }

    bool IsValid() const override { return m_image.IsValid(); }
    EPixelType GetPixelType() const override { return m_image.GetPixelType(); }
    std::uint32_t GetWidth() const override { return m_image.GetWidth(); }
    std::uint32_t GetHeight() const override { return m_image.GetHeight(); }
    std::size_t GetPaddingX() const override { return m_image.GetPaddingX(); }
    const void *GetBuffer() const override { return m_image.GetBuffer(); }
    std::size_t GetImageSize() const override { return m_image.GetImageSize(); }

private:
    bool m_succeeded;
    std::uint64_t m_imageNumber;
    CPylonImage m_image;
};

/// Holder of a grab result; RetrieveResult refills it. Copies share the result.
class CGrabResultPtr
{
public:
    CGrabResultPtr() = default;
    explicit CGrabResultPtr(std::shared_ptr<CGrabResultData> data)
        : m_data(std::move(data))
    {}

    bool IsValid() const { return m_data != nullptr; }
    void Release() { m_data.reset(); }

    /// Throws when the holder is empty.
    CGrabResultData *operator->() const;
    /// The result's image; throws when the holder is empty.
    operator IImage &() const;

private:
    std::shared_ptr<CGrabResultData> m_data;
};

} // namespace Pylon
