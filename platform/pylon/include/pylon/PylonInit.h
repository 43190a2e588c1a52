#pragma once

namespace Pylon {

/// Each call of PylonInitialize needs one call of PylonTerminate; the SDK stays
/// usable, from any thread, until the last of them.
void PylonInitialize();
void PylonTerminate();

/// Holds the SDK initialised for its own lifetime.
class PylonAutoInitTerm
{
public:
    PylonAutoInitTerm() { PylonInitialize(); }
    ~PylonAutoInitTerm() { PylonTerminate(); }

    PylonAutoInitTerm(const PylonAutoInitTerm &) = delete;
    PylonAutoInitTerm &operator=(const PylonAutoInitTerm &) = delete;
};

} // namespace Pylon
