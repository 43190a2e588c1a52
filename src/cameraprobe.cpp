#include "cameraprobe.h"

#include <pylon/PylonIncludes.h>
#include <spdlog/spdlog.h>

void probeFirstCamera(spdlog::logger &logger)
{
    try {
        // Every SDK object is a local of this block, so a throw anywhere releases
        // them all, the init/term hold last.
        Pylon::PylonAutoInitTerm autoInitTerm;
        Pylon::CTlFactory &factory = Pylon::CTlFactory::GetInstance();
        Pylon::DeviceInfoList lstDevices;
        factory.EnumerateDevices(lstDevices, false);
        if (lstDevices.empty()) {
            logger.info("No devices found");
            return;
        }
        Pylon::CInstantCamera camera(Pylon::CTlFactory::GetInstance().CreateFirstDevice(Pylon::CDeviceInfo()),
                                     Pylon::Cleanup_Delete);
        camera.StartGrabbing(1, Pylon::GrabStrategy_OneByOne, Pylon::GrabLoop_ProvidedByUser);
    } catch (const Pylon::GenericException &e) {
        logger.warn("Camera probe failed: {}", e.GetDescription());
    }
}
