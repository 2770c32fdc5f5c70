#include "sound/PulseLibrary.h"

#include "sound/Resolve.h"

namespace sound {

const PulseLibrary& pulse() {
    static const auto library =
        loadLibrary<PulseLibrary>("pulse", "pa_", [](LookUp lookUp, PulseLibrary& table) {
            return true ROLVANGER_PULSE_CALLS(ROLVANGER_LOOK_UP);
        });
    return library;
}

} // namespace sound
