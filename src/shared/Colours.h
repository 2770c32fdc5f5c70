#pragma once

#include <cstdint>

// The colours the windows are designed in, as &H00BBGGRR values.
namespace colours {

constexpr std::uint32_t black = 0x00000000;
constexpr std::uint32_t red = 0x000000FF;
constexpr std::uint32_t yellow = 0x0000FFFF;
constexpr std::uint32_t orange = 0x000080FF;
constexpr std::uint32_t darkGreen = 0x00008000;
constexpr std::uint32_t brown = 0x00004080;
constexpr std::uint32_t windowText = 0x00000000; // the standard scheme's window text

} // namespace colours
