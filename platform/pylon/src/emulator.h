#pragma once

#include "pylon/DeviceInfo.h"
#include "pylon/EmulationControl.h"
#include "pylon/TlFactory.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace Pylon::Emulation::Detail {

struct Device
{
    Device() = default;
    explicit Device(DeviceSettings deviceSettings);

    DeviceSettings settings; ///< without its fixed image, which moves to `image`
    std::shared_ptr<const std::vector<std::uint8_t>> image;
    bool lost = false;
    DeviceStats stats;
};

/// The emulated transport layer: attached devices, injected faults and the
/// SDK's initialisation count. Every member is guarded by `mutex`.
class Emulator
{
public:
    static Emulator &instance();

    void resetLocked();
    /// Throws the injected fault for `call`, if any. Needs `mutex` held.
    void throwIfFaulty(Call call) const;
    /// Throws unless PylonInitialize is in effect. Needs `mutex` held.
    void requireInitialised() const;
    /// The device, unless it was lost or replaced by setDevices. Needs `mutex` held.
    Device *find(std::size_t index, std::uint64_t generation);

    std::mutex mutex;
    /// Signalled when grabbing stops or a device goes away.
    std::condition_variable changed;

    std::vector<Device> devices;
    std::uint64_t generation = 0; ///< counts setDevices calls; older device objects see no device
    std::array<std::optional<String_t>, 5> faults;
    std::size_t convertedRowPadding = 0;
    bool convertedHeightZero = false;
    bool exclusiveAccess = false;
    int initialisationCount = 0;
    int liveDeviceObjects = 0;

private:
    Emulator();
};

/// A device object made by the factory for one emulated device.
class EmulatedDevice final : public IPylonDevice
{
public:
    EmulatedDevice(std::size_t index, std::uint64_t generation, const CDeviceInfo &info);
    ~EmulatedDevice() override;

    const CDeviceInfo &GetDeviceInfo() const override { return m_info; }
    std::size_t index() const { return m_index; }
    std::uint64_t generation() const { return m_generation; }

private:
    std::size_t m_index;
    std::uint64_t m_generation;
    CDeviceInfo m_info;
};

} // namespace Pylon::Emulation::Detail
