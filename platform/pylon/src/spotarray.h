#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pylon::Emulation::Detail {

/// Synthetic Mono8 frames of what the lab's cameras see: an 11 x 11 square
/// array of Gaussian spots, rotated by 45 degrees, on a dark noisy background.
/// Each spot flickers on and off from frame to frame, like a trap that loses or
/// gains its atom. Not thread-safe: one generator per camera.
class SpotArray
{
public:
    SpotArray(std::uint32_t width, std::uint32_t height, std::uint64_t seed);

    /// Draws the next frame into `pixels`, rows `stride` bytes apart.
    void render(std::uint8_t *pixels, std::size_t stride);

private:
    struct Spot
    {
        int x;
        int y;
        bool lit;
    };

    std::uint64_t nextRandom();

    std::uint32_t m_width;
    std::uint32_t m_height;
    std::uint64_t m_state;
    int m_radius;
    std::vector<std::uint8_t> m_stamp; ///< one spot at full brightness, (2r+1)^2
    std::vector<Spot> m_spots;
};

} // namespace Pylon::Emulation::Detail
