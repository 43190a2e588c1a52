#pragma once

// Control of the emulated cameras behind the stand-in SDK, for tests and
// benchmarks; the application never includes this.

#include "pylon/PylonTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pylon::Emulation {

struct DeviceSettings
{
    String_t fullName;
    std::uint32_t width = 1280;
    std::uint32_t height = 1024;
    EPixelType pixelType = PixelType_Mono8;
    std::chrono::microseconds framePeriod{33333};
    /// False: the device never delivers a frame, every retrieval times out.
    bool deliversFrames = true;
    /// Every n-th grab fails (GrabSucceeded false); 0: none fail, 1: all fail.
    std::uint32_t failEvery = 0;
    /// When not empty, every frame carries these pixels (rows of width x bytes
    /// per pixel, no padding) instead of the synthetic spot array.
    std::vector<std::uint8_t> image;
};

struct DeviceStats
{
    int devicesCreated = 0; ///< device objects made for it, ever
    int grabsStarted = 0;
    int resultsRetrieved = 0;
    int openCameras = 0; ///< cameras that hold it open now
};

/// SDK calls that can be made to throw.
enum class Call { EnumerateDevices, CreateDevice, StartGrabbing, RetrieveResult, Convert };

/// `count` devices with the default settings and distinct names.
std::vector<DeviceSettings> defaultDevices(int count);

/// Devices from VELORA_EMULATED_CAMERAS (default 1), shared access, no faults,
/// statistics cleared.
void reset();
void setDevices(std::vector<DeviceSettings> devices);

/// Every later call of that kind throws GenericException with `description`,
/// until clearFaults().
void throwAt(Call call, const String_t &description);
/// Bytes the converter adds at the end of each output row.
void setConvertedRowPadding(std::size_t bytes);
/// The converter yields images of height 0.
void setConvertedHeightZero(bool enabled);
void clearFaults();

/// Exclusive: a device holds one camera at a time, and a second camera's
/// StartGrabbing throws. Shared, the default: any number of cameras open one
/// device, each with its own stream of the device's frames.
void setExclusiveAccess(bool exclusive);

/// The device goes away: it is no longer found, and cameras grabbing from it
/// throw from RetrieveResult (a waiting one at once).
void loseDevice(std::size_t index);

DeviceStats deviceStats(std::size_t index);
/// Outstanding PylonInitialize calls.
int initialisationCount();
/// Device objects alive now (made by the factory, not yet destroyed).
int liveDeviceObjects();

} // namespace Pylon::Emulation
