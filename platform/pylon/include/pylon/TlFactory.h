#pragma once

#include "pylon/DeviceInfo.h"

namespace Pylon {

/// A device made by the factory; a camera made over it opens it.
class IPylonDevice
{
public:
    virtual ~IPylonDevice() = default;
    virtual const CDeviceInfo &GetDeviceInfo() const = 0;
};

/// The transport-layer factory: finds the attached devices and makes device
/// objects for them. Needs the SDK initialised (PylonAutoInitTerm).
class CTlFactory
{
public:
    static CTlFactory &GetInstance();

    /// Fills `list` with one entry per attached device, in a fixed order, and
    /// returns how many were found. With `addToList` false the list is cleared first.
    int EnumerateDevices(DeviceInfoList_t &list, bool addToList = false);

    /// The first attached device that matches `info` (every device matches an
    /// empty description), whatever device objects already exist for it. Throws
    /// when none matches. The caller owns the result.
    IPylonDevice *CreateFirstDevice(const CDeviceInfo &info = CDeviceInfo());

    void DestroyDevice(IPylonDevice *device);

private:
    CTlFactory() = default;
};

} // namespace Pylon
