// Exception, initialisation, factory, images and grab results of the stand-in SDK.

#include "emulator.h"

#include "pylon/GenericException.h"
#include "pylon/GrabResultPtr.h"
#include "pylon/PylonImage.h"
#include "pylon/PylonInit.h"
#include "pylon/TlFactory.h"

namespace GenICam {

GenericException::GenericException(std::string description)
    : m_description(std::move(description))
{}

} // namespace GenICam

namespace Pylon {

using Emulation::Call;
using Emulation::Detail::EmulatedDevice;
using Emulation::Detail::Emulator;

std::uint32_t BytesPerPixel(EPixelType pixelType)
{
    switch (pixelType) {
    case PixelType_Mono8:
        return 1;
    case PixelType_RGB8packed:
    case PixelType_BGR8packed:
        return 3;
    case PixelType_Undefined:
        break;
    }
    return 0;
}

void PylonInitialize()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    ++emulator.initialisationCount;
}

void PylonTerminate()
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    if (emulator.initialisationCount > 0)
        --emulator.initialisationCount;
}

CTlFactory &CTlFactory::GetInstance()
{
    static CTlFactory factory;
    return factory;
}

int CTlFactory::EnumerateDevices(DeviceInfoList_t &list, bool addToList)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.requireInitialised();
    emulator.throwIfFaulty(Call::EnumerateDevices);
    if (!addToList)
        list.clear();
    int found = 0;
    for (const auto &device : emulator.devices) {
        if (device.lost)
            continue;
        CDeviceInfo info;
        info.SetFullName(device.settings.fullName);
        list.push_back(info);
        ++found;
    }
    return found;
}

IPylonDevice *CTlFactory::CreateFirstDevice(const CDeviceInfo &info)
{
    Emulator &emulator = Emulator::instance();
    std::lock_guard<std::mutex> lock(emulator.mutex);
    emulator.requireInitialised();
    emulator.throwIfFaulty(Call::CreateDevice);
    for (std::size_t i = 0; i < emulator.devices.size(); ++i) {
        auto &device = emulator.devices[i];
        if (device.lost || (!info.GetFullName().empty() && info.GetFullName() != device.settings.fullName))
            continue;
        ++device.stats.devicesCreated;
        CDeviceInfo found;
        found.SetFullName(device.settings.fullName);
        return new EmulatedDevice(i, emulator.generation, found);
    }
    throw GenericException("No device is available that matches the given device info.");
}

void CTlFactory::DestroyDevice(IPylonDevice *device)
{
    delete device;
}

void CPylonImage::Reset(EPixelType pixelType, std::uint32_t width, std::uint32_t height, std::size_t paddingX)
{
    m_pixelType = pixelType;
    m_width = width;
    m_height = height;
    m_paddingX = paddingX;
    m_buffer.assign((std::size_t(width) * BytesPerPixel(pixelType) + paddingX) * height, 0);
}

void CPylonImage::Release()
{
    *this = CPylonImage();
}

CGrabResultData::CGrabResultData(bool succeeded, std::uint64_t imageNumber, CPylonImage image)
    : m_succeeded(succeeded)
    , m_imageNumber(imageNumber)
    , m_image(std::move(image))
{}

CGrabResultData *CGrabResultPtr::operator->() const
{
    if (!m_data)
        throw GenericException("The grab result holder is empty.");
    return m_data.get();
}

CGrabResultPtr::operator IImage &() const
{
    if (!m_data)
        throw GenericException("The grab result holder is empty.");
    return *m_data;
}

} // namespace Pylon
