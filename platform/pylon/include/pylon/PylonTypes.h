#pragma once

#include <cstdint>
#include <string>

namespace Pylon {

/// Text as the SDK hands it out: UTF-8 bytes.
using String_t = std::string;

/// Pixel formats, by their GigE Vision pixel format codes.
enum EPixelType : std::uint32_t {
    PixelType_Undefined = 0,
    PixelType_Mono8 = 0x01080001,
    PixelType_RGB8packed = 0x02180014,
    PixelType_BGR8packed = 0x02180015,
};

/// Bytes one pixel takes, 0 for a format the SDK does not know.
std::uint32_t BytesPerPixel(EPixelType pixelType);

enum EGrabStrategy {
    GrabStrategy_OneByOne = 0,
};

enum EGrabLoop {
    GrabLoop_ProvidedByUser = 1,
};

enum ETimeoutHandling {
    TimeoutHandling_Return = 0,
};

/// What a camera does with the device it was made on when it is destroyed.
enum ECleanup {
    Cleanup_Delete = 1,
};

} // namespace Pylon
