#pragma once

namespace sound {

// Cues are played as mono signed 16-bit samples, in the machine's byte
// order, at this rate: a WAV already in that format is played sample for
// sample, and the program's own cues are made in it.
constexpr int cueRate = 44100;
constexpr int cueBytesPerFrame = 2;

} // namespace sound
