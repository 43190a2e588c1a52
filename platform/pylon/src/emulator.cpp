#include "emulator.h"

#include "pylon/GenericException.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace Pylon::Emulation {

namespace {

constexpr int DefaultDeviceCount = 1;
constexpr int MaxDeviceCount = 64;

int deviceCountFromEnvironment()
{
    const char *value = std::getenv("VELORA_EMULATED_CAMERAS");
    if (!value || !*value)
        return DefaultDeviceCount;
    char *end = nullptr;
    const long count = std::strtol(value, &end, 10);
    if (*end != '\0' || count < 0)
        return DefaultDeviceCount;
    return int(std::min<long>(count, MaxDeviceCount));
}

} // namespace

namespace Detail {

Device::Device(DeviceSettings deviceSettings)
    : settings(std::move(deviceSettings))
    , image(std::make_shared<const std::vector<std::uint8_t>>(std::move(settings.image)))
{
    settings.image.clear();
}

Emulator &Emulator::instance()
{
    static Emulator emulator;
    return emulator;
}

Emulator::Emulator()
{
    resetLocked();
}

void Emulator::resetLocked()
{
    devices.clear();
    for (DeviceSettings &settings : defaultDevices(deviceCountFromEnvironment()))
        devices.emplace_back(std::move(settings));
    ++generation;
    faults = {};
    convertedRowPadding = 0;
    convertedHeightZero = false;
    exclusiveAccess = false;
    changed.notify_all();
}

void Emulator::throwIfFaulty(Call call) const
{
    if (const auto &description = faults.at(std::size_t(call)))
        throw GenericException(*description);
}

void Emulator::requireInitialised() const
{
    if (initialisationCount <= 0)
        throw GenericException("The camera SDK is not initialised (PylonInitialize has not been called).");
}

Device *Emulator::find(std::size_t index, std::uint64_t deviceGeneration)
{
    if (deviceGeneration != generation || index >= devices.size() || devices[index].lost)
        return nullptr;
    return &devices[index];
}

EmulatedDevice::EmulatedDevice(std::size_t index, std::uint64_t generation, const CDeviceInfo &info)
    : m_index(index)
    , m_generation(generation)
    , m_info(info)
{
    // Made by the factory, which holds the mutex.
    ++Emulator::instance().liveDeviceObjects;
}

EmulatedDevice::~EmulatedDevice()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    --emulator.liveDeviceObjects;
}

} // namespace Detail

using Detail::Emulator;

std::vector<DeviceSettings> defaultDevices(int count)
{
    std::vector<DeviceSettings> devices(std::size_t(std::max(count, 0)));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        // Names carry non-ASCII characters so that every consumer has to read them as UTF-8.
        devices[i].fullName = "Velora emulated camera #" + std::to_string(i + 1) +
                              " \u2013 1280\u00d71024 Mono8 (EMU-" + std::to_string(40000001 + i) + ")";
    }
    return devices;
}

void reset()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.resetLocked();
}

void setDevices(std::vector<DeviceSettings> devices)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.devices.clear();
    for (DeviceSettings &settings : devices)
        emulator.devices.emplace_back(std::move(settings));
    ++emulator.generation;
    emulator.changed.notify_all();
}

void throwAt(Call call, const String_t &description)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.faults.at(std::size_t(call)) = description;
}

void setConvertedRowPadding(std::size_t bytes)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.convertedRowPadding = bytes;
}

void setConvertedHeightZero(bool enabled)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.convertedHeightZero = enabled;
}

void setExclusiveAccess(bool exclusive)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.exclusiveAccess = exclusive;
}

void clearFaults()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.faults = {};
    emulator.convertedRowPadding = 0;
    emulator.convertedHeightZero = false;
}

void loseDevice(std::size_t index)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    if (index < emulator.devices.size())
        emulator.devices[index].lost = true;
    emulator.changed.notify_all();
}

DeviceStats deviceStats(std::size_t index)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    if (index >= emulator.devices.size())
        return {};
    return emulator.devices[index].stats;
}

int initialisationCount()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    return emulator.initialisationCount;
}

int liveDeviceObjects()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    return emulator.liveDeviceObjects;
}

} // namespace Pylon::Emulation
