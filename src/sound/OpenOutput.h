#pragma once

#include "sound/Output.h"

#include <memory>
#include <string>

namespace sound {

// The desktop's sound server, through libpulse, which PulseAudio and
// PipeWire both serve; or the device SDL picks, or is told to use by
// SDL_AUDIODRIVER, which is always honoured. Nothing, with the reason in
// why, when neither can be opened.
std::unique_ptr<Output> openOutput(std::string& why);

} // namespace sound
