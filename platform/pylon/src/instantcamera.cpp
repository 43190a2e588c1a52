#include "pylon/InstantCamera.h"

#include "emulator.h"
#include "spotarray.h"

#include "pylon/GenericException.h"
#include "pylon/GrabResultPtr.h"
#include "pylon/PylonImage.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

namespace Pylon {

using Emulation::Call;
using Emulation::DeviceSettings;
using Emulation::Detail::Device;
using Emulation::Detail::EmulatedDevice;
using Emulation::Detail::Emulator;
using Clock = std::chrono::steady_clock;

namespace {
// Frames a device keeps for a consumer that falls behind, like the driver's buffer pool.
constexpr std::uint64_t BufferedFrames = 10;
} // namespace

struct CInstantCamera::Private
{
    EmulatedDevice *device = nullptr;
    // Guarded by the emulator's mutex: StopGrabbing and IsGrabbing come from other threads.
    bool open = false;
    bool grabbing = false;
    std::size_t imagesLeft = 0; ///< 0: no limit
    Clock::time_point grabStart;
    std::uint64_t nextFrame = 0;
    // Used only by the thread that retrieves.
    std::optional<Emulation::Detail::SpotArray> spots;
    std::vector<std::uint8_t> mono;

    CPylonImage render(const Emulation::Detail::Device &settings);
};

CPylonImage CInstantCamera::Private::render(const Device &frameSource)
{
    const DeviceSettings &settings = frameSource.settings;
    CPylonImage image;
    image.Reset(settings.pixelType, settings.width, settings.height);
    auto *pixels = static_cast<std::uint8_t *>(image.GetBuffer());
    if (!pixels)
        return image;
    if (frameSource.image && !frameSource.image->empty()) {
        std::memcpy(pixels, frameSource.image->data(), std::min(frameSource.image->size(), image.GetImageSize()));
        return image;
    }
    if (!spots)
        spots.emplace(settings.width, settings.height, 0x9E3779B97F4A7C15ULL ^ (device->index() + 1));
    if (settings.pixelType == PixelType_Mono8) {
        spots->render(pixels, settings.width);
        return image;
    }
    mono.resize(std::size_t(settings.width) * settings.height);
    spots->render(mono.data(), settings.width);
    for (std::size_t i = 0; i < mono.size(); ++i)
        std::memset(pixels + 3 * i, mono[i], 3);
    return image;
}

CInstantCamera::CInstantCamera(IPylonDevice *device, ECleanup)
    : d(std::make_unique<Private>())
{
    d->device = dynamic_cast<EmulatedDevice *>(device);
    if (!d->device)
        throw GenericException("The camera needs a device made by the transport-layer factory.");
}

CInstantCamera::~CInstantCamera()
{
    Emulator &emulator = Emulator::instance();
    {
        std::lock_guard<std::mutex> lock(emulator.mutex);
        d->grabbing = false;
        // A lost device is still listed (marked lost) until the devices are replaced.
        if (d->open && d->device->generation() == emulator.generation && d->device->index() < emulator.devices.size())
            --emulator.devices[d->device->index()].stats.openCameras;
        emulator.changed.notify_all();
    }
    // Cleanup_Delete: the camera owns its device.
    delete d->device;
}

void CInstantCamera::StartGrabbing(EGrabStrategy strategy, EGrabLoop grabLoop)
{
    StartGrabbing(0, strategy, grabLoop);
}

void CInstantCamera::StartGrabbing(std::size_t maxImages, EGrabStrategy, EGrabLoop)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.requireInitialised();
    emulator.throwIfFaulty(Call::StartGrabbing);
    if (d->grabbing)
        throw GenericException("The camera is already grabbing.");
    Device *device = emulator.find(d->device->index(), d->device->generation());
    if (!device)
        throw GenericException("The device " + d->device->GetDeviceInfo().GetFullName() + " has been removed.");
    if (!d->open) {
        if (emulator.exclusiveAccess && device->stats.openCameras > 0)
            throw GenericException("The device " + device->settings.fullName +
                                   " is already opened by another camera (exclusive access).");
        ++device->stats.openCameras;
        d->open = true;
    }
    ++device->stats.grabsStarted;
    d->grabbing = true;
    d->imagesLeft = maxImages;
    d->grabStart = Clock::now();
    d->nextFrame = 0;
}

void CInstantCamera::StopGrabbing()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    d->grabbing = false;
    emulator.changed.notify_all();
}

bool CInstantCamera::IsGrabbing() const
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    return d->grabbing;
}

bool CInstantCamera::RetrieveResult(unsigned int timeoutMs, CGrabResultPtr &result, ETimeoutHandling)
{
    result.Release();
    Emulator &emulator = Emulator::instance();
    std::unique_lock<std::mutex> lock(emulator.mutex);
    emulator.requireInitialised();
    emulator.throwIfFaulty(Call::RetrieveResult);

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Device *device = nullptr;
    std::uint64_t frame = 0;
    for (;;) {
        if (!d->grabbing)
            return false;
        device = emulator.find(d->device->index(), d->device->generation());
        if (!device) {
            d->grabbing = false;
            throw GenericException("The device " + d->device->GetDeviceInfo().GetFullName() +
                                   " has been removed while grabbing.");
        }
        const Clock::time_point now = Clock::now();
        const auto period = device->settings.framePeriod;
        if (device->settings.deliversFrames) {
            if (period.count() > 0) {
                const auto due = std::uint64_t((now - d->grabStart) / period);
                if (due > d->nextFrame + BufferedFrames)
                    d->nextFrame = due - BufferedFrames;
            }
            const Clock::time_point ready = d->grabStart + period * std::int64_t(d->nextFrame + 1);
            if (now >= ready) {
                frame = d->nextFrame++;
                break;
            }
            if (now >= deadline)
                return false;
            emulator.changed.wait_until(lock, std::min(ready, deadline));
        } else {
            if (now >= deadline)
                return false;
            emulator.changed.wait_until(lock, deadline);
        }
    }

    ++device->stats.resultsRetrieved;
    if (d->imagesLeft > 0 && --d->imagesLeft == 0)
        d->grabbing = false;
    // A copy without the pixels of a fixed image, which are shared.
    const Device frameSource = *device;
    lock.unlock();

    const std::uint32_t failEvery = frameSource.settings.failEvery;
    const bool succeeded = failEvery == 0 || (frame + 1) % failEvery != 0;
    CPylonImage image;
    if (succeeded)
        image = d->render(frameSource);
    result = CGrabResultPtr(std::make_shared<CGrabResultData>(succeeded, frame + 1, std::move(image)));
    return true;
}

const CDeviceInfo &CInstantCamera::GetDeviceInfo() const
{
    return d->device->GetDeviceInfo();
}

} // namespace Pylon
