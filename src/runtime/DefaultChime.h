#pragma once

#include <cstdint>
#include <vector>

namespace rt {

// The program's own default sound, heard in place of a cue whose file is
// missing or unreadable: a short two-note chime, mono, signed 16-bit, made
// here so that it never depends on a file.
std::vector<std::int16_t> defaultChime(int sampleRate);

} // namespace rt
