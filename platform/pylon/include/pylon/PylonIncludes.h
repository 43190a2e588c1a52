#pragma once

// Umbrella header of the camera SDK, included by the application the way it
// includes the vendor's. This stand-in drives emulated cameras (see
// EmulationControl.h); it offers only the calls the application makes.

#include "pylon/DeviceInfo.h"
#include "pylon/GenericException.h"
#include "pylon/GrabResultPtr.h"
#include "pylon/ImageFormatConverter.h"
#include "pylon/InstantCamera.h"
#include "pylon/PylonImage.h"
#include "pylon/PylonInit.h"
#include "pylon/PylonTypes.h"
#include "pylon/TlFactory.h"
