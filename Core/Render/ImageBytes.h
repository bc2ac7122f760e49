#pragma once

// Fixed-width fields of image files, read from bytes the caller has already
// checked are there.

#include <cstdint>

namespace render
{

inline uint32_t Le16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

inline uint32_t Le32(const uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

inline uint32_t Be16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

inline uint32_t Be32(const uint8_t* p)
{
    return Be16(p) << 16 | Be16(p + 2);
}

} // namespace render
