#include "spotarray.h"

#include <algorithm>
#include <cmath>

namespace Pylon::Emulation::Detail {

namespace {
constexpr int ArraySide = 11;
constexpr int Background = 6;
} // namespace

SpotArray::SpotArray(std::uint32_t width, std::uint32_t height, std::uint64_t seed)
    : m_width(width)
    , m_height(height)
    , m_state(seed | 1)
{
    // The rotated array spans (ArraySide - 1) * sqrt(2) pitches; keep it inside
    // 90 % of the shorter side.
    const double shorter = std::min(width, height);
    const double pitch = 0.9 * shorter / ((ArraySide - 1) * std::sqrt(2.0));
    const double sigma = std::max(0.8, pitch / 9.0);
    m_radius = int(std::ceil(3 * sigma));

    const int side = 2 * m_radius + 1;
    m_stamp.resize(std::size_t(side) * std::size_t(side));
    for (int dy = -m_radius; dy <= m_radius; ++dy) {
        for (int dx = -m_radius; dx <= m_radius; ++dx) {
            const double g = std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
            m_stamp[std::size_t((dy + m_radius) * side + dx + m_radius)] = std::uint8_t(std::lround(255 * g));
        }
    }

    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double half = (ArraySide - 1) / 2.0;
    for (int row = 0; row < ArraySide; ++row) {
        for (int column = 0; column < ArraySide; ++column) {
            const double u = (column - half) * pitch;
            const double v = (row - half) * pitch;
            const int x = int(std::lround(cx + (u - v) / std::sqrt(2.0)));
            const int y = int(std::lround(cy + (u + v) / std::sqrt(2.0)));
            m_spots.push_back({x, y, (nextRandom() & 1) != 0});
        }
    }
}

std::uint64_t SpotArray::nextRandom()
{
    // xorshift64*: plenty for noise, and cheap enough for 30 frames/s per camera.
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return m_state * 0x2545F4914F6CDD1DULL;
}

void SpotArray::render(std::uint8_t *pixels, std::size_t stride)
{
    for (std::uint32_t y = 0; y < m_height; ++y) {
        std::uint8_t *line = pixels + y * stride;
        std::uint32_t x = 0;
        while (x < m_width) {
            std::uint64_t noise = nextRandom();
            for (int i = 0; i < 8 && x < m_width; ++i, ++x, noise >>= 8)
                line[x] = std::uint8_t(Background + (noise & 15));
        }
    }

    const int side = 2 * m_radius + 1;
    for (Spot &spot : m_spots) {
        // About one spot in six changes state from one frame to the next.
        if (nextRandom() % 6 == 0)
            spot.lit = !spot.lit;
        if (!spot.lit)
            continue;
        const int amplitude = 170 + int(nextRandom() % 70);
        for (int dy = -m_radius; dy <= m_radius; ++dy) {
            const int y = spot.y + dy;
            if (y < 0 || y >= int(m_height))
                continue;
            std::uint8_t *line = pixels + std::size_t(y) * stride;
            const std::uint8_t *stampLine = m_stamp.data() + std::size_t((dy + m_radius) * side + m_radius);
            for (int dx = -m_radius; dx <= m_radius; ++dx) {
                const int x = spot.x + dx;
                if (x < 0 || x >= int(m_width))
                    continue;
                const int value = line[x] + ((stampLine[dx] * amplitude) >> 8);
                line[x] = std::uint8_t(std::min(value, 255));
            }
        }
    }
}

} // namespace Pylon::Emulation::Detail
