#pragma once

#include "pylon/PylonTypes.h"

namespace Pylon {

class CPylonImage;
class IImage;

/// Converts Mono8, RGB8packed and BGR8packed images into OutputPixelFormat.
class CImageFormatConverter
{
public:
    /// Only PixelType_RGB8packed is supported.
    EPixelType OutputPixelFormat = PixelType_Undefined;

    /// Replaces `destination` with the converted `source`; throws on a format it cannot convert.
    void Convert(CPylonImage &destination, const IImage &source);
};

} // namespace Pylon
