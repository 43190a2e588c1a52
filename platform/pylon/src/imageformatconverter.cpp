#include "pylon/ImageFormatConverter.h"

#include "emulator.h"

#include "pylon/GenericException.h"
#include "pylon/PylonImage.h"

#include <cstring>
#include <string>

namespace Pylon {

using Emulation::Call;
using Emulation::Detail::Emulator;

void CImageFormatConverter::Convert(CPylonImage &destination, const IImage &source)
{
    std::size_t rowPadding = 0;
    bool heightZero = false;
    {
        Emulator &emulator = Emulator::instance();
        std::lock_guard<std::mutex> lock(emulator.mutex);
        emulator.throwIfFaulty(Call::Convert);
        rowPadding = emulator.convertedRowPadding;
        heightZero = emulator.convertedHeightZero;
    }
    if (OutputPixelFormat != PixelType_RGB8packed)
        throw GenericException("The converter supports only RGB8packed as output pixel format.");
    if (!source.IsValid())
        throw GenericException("The source image is invalid.");
    const EPixelType sourceType = source.GetPixelType();
    if (sourceType != PixelType_Mono8 && sourceType != PixelType_RGB8packed && sourceType != PixelType_BGR8packed)
        throw GenericException("The converter cannot convert pixel type 0x" + std::to_string(sourceType) + ".");

    const std::uint32_t width = source.GetWidth();
    const std::uint32_t height = heightZero ? 0 : source.GetHeight();
    const std::size_t sourceStride = std::size_t(width) * BytesPerPixel(sourceType) + source.GetPaddingX();
    if (source.GetImageSize() < sourceStride * height)
        throw GenericException("The source buffer is smaller than its image.");

    // Convert into a fresh image: the destination may be the source.
    CPylonImage converted;
    converted.Reset(PixelType_RGB8packed, width, height, rowPadding);
    const std::size_t targetStride = std::size_t(width) * 3 + rowPadding;
    const auto *in = static_cast<const std::uint8_t *>(source.GetBuffer());
    auto *out = static_cast<std::uint8_t *>(converted.GetBuffer());
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t *from = in + y * sourceStride;
        std::uint8_t *to = out + y * targetStride;
        switch (sourceType) {
        case PixelType_Mono8:
            for (std::uint32_t x = 0; x < width; ++x, to += 3)
                to[0] = to[1] = to[2] = from[x];
            break;
        case PixelType_RGB8packed:
            std::memcpy(to, from, std::size_t(width) * 3);
            break;
        case PixelType_BGR8packed:
            for (std::uint32_t x = 0; x < width; ++x, to += 3, from += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
            break;
        case PixelType_Undefined:
            break;
        }
    }
    destination = std::move(converted);
}

} // namespace Pylon
