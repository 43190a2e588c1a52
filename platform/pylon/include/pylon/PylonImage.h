#pragma once

#include "pylon/PylonTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pylon {

/// Read access to an image: rows of GetWidth() pixels followed by GetPaddingX()
/// bytes each, GetHeight() rows.
class IImage
{
public:
    virtual ~IImage() = default;
    virtual bool IsValid() const = 0;
    virtual EPixelType GetPixelType() const = 0;
    virtual std::uint32_t GetWidth() const = 0;
    virtual std::uint32_t GetHeight() const = 0;
    virtual std::size_t GetPaddingX() const = 0;
    virtual const void *GetBuffer() const = 0;
    virtual std::size_t GetImageSize() const = 0;
};

/// An image that owns its buffer. The buffer stays valid until the image is
/// reset, released or destroyed.
class CPylonImage : public IImage
{
public:
    bool IsValid() const override { return m_pixelType != PixelType_Undefined; }
    EPixelType GetPixelType() const override { return m_pixelType; }
    std::uint32_t GetWidth() const override { return m_width; }
    std::uint32_t GetHeight() const override { return m_height; }
    std::size_t GetPaddingX() const override { return m_paddingX; }
    const void *GetBuffer() const override { return m_buffer.empty() ? nullptr : m_buffer.data(); }
    void *GetBuffer() { return m_buffer.empty() ? nullptr : m_buffer.data(); }
    std::size_t GetImageSize() const override { return m_buffer.size(); }
    std::size_t GetAllocatedBufferSize() const { return m_buffer.size(); }

    /// Allocates a zeroed buffer for the given layout.
    void Reset(EPixelType pixelType, std::uint32_t width, std::uint32_t height, std::size_t paddingX = 0);
    void Release();

private:
    EPixelType m_pixelType = PixelType_Undefined;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::size_t m_paddingX = 0;
    std::vector<std::uint8_t> m_buffer;
};

} // namespace Pylon
