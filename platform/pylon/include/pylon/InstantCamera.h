#pragma once

#include "pylon/DeviceInfo.h"
#include "pylon/PylonTypes.h"

#include <cstddef>
#include <memory>

namespace Pylon {

class CGrabResultPtr;
class IPylonDevice;

/// A camera over one device. Starting to grab opens the device; when the device
/// is exclusive and another camera holds it, that fails. StopGrabbing may be
/// called from any thread; it wakes a RetrieveResult that is waiting.
class CInstantCamera
{
public:
    CInstantCamera(IPylonDevice *device, ECleanup cleanupProcedure = Cleanup_Delete);
    ~CInstantCamera();

    CInstantCamera(const CInstantCamera &) = delete;
    CInstantCamera &operator=(const CInstantCamera &) = delete;

    void StartGrabbing(EGrabStrategy strategy = GrabStrategy_OneByOne, EGrabLoop grabLoop = GrabLoop_ProvidedByUser);
    /// Grabbing ends by itself once `maxImages` results have been retrieved.
    void StartGrabbing(std::size_t maxImages, EGrabStrategy strategy = GrabStrategy_OneByOne,
                       EGrabLoop grabLoop = GrabLoop_ProvidedByUser);
    void StopGrabbing();
    bool IsGrabbing() const;

    /// Waits up to `timeoutMs` for the next result. False, with `result` emptied,
    /// when none came in time or grabbing is not (or no longer) running.
    bool RetrieveResult(unsigned int timeoutMs, CGrabResultPtr &result,
                        ETimeoutHandling timeoutHandling = TimeoutHandling_Return);

    const CDeviceInfo &GetDeviceInfo() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Pylon
