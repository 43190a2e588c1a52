#pragma once

#include "pylon/DeviceInfo.h"

namespace Pylon {

/// A device made by the factory. A camera opens it for its exclusive use.
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

    /// An attached device that matches `info` (every device matches an empty
    /// description): the first one that no other device object holds, else the
    /// first one. Throws when none matches. The caller owns the result.
    IPylonDevice *CreateFirstDevice(const CDeviceInfo &info = CDeviceInfo());

    void DestroyDevice(IPylonDevice *device);

private:
    CTlFactory() = default;
};

} // namespace Pylon
