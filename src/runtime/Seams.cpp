#include "runtime/Seams.h"

#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "runtime/SdlCuePlayer.h"

#include <memory>

namespace rt {

Seams& seams() {
    static Seams instance;
    return instance;
}

namespace {
struct RealServices {
    ClockRandomSource random;
    SdlCuePlayer cues;
    QtPrompts prompts;
};
std::unique_ptr<RealServices>& realServices() {
    static std::unique_ptr<RealServices> services;
    return services;
}
} // namespace

void installRealServices() {
    auto& services = realServices();
    if (!services)
        services = std::make_unique<RealServices>();
    seams().random = &services->random;
    seams().cues = &services->cues;
    seams().prompts = &services->prompts;
}

void releaseRealServices() {
    seams().random = nullptr;
    seams().cues = nullptr;
    seams().prompts = nullptr;
    realServices().reset();
}

} // namespace rt
