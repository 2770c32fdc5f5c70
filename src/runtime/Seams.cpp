#include "runtime/Seams.h"
#include "runtime/Settings.h"

#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "sound/SystemCuePlayer.h"

#include <QtGlobal>
#include <memory>

namespace rt {

Seams& seams() {
    static Seams instance;
    return instance;
}

Settings& settings() {
    static Settings instance;
    return instance;
}

namespace {
template <class Service> Service& present(Service* service, const char* name) {
    if (!service)
        qFatal("No %s is installed: the services go in before the first window and "
               "come out after the last one is gone.",
               name);
    return *service;
}
} // namespace

RandomSource& Seams::random() const {
    return present(random_, "random source");
}
CuePlayer& Seams::cues() const {
    return present(cues_, "cue player");
}
Prompts& Seams::prompts() const {
    return present(prompts_, "prompt service");
}

void Seams::install(RandomSource& random, CuePlayer& cues, Prompts& prompts) {
    random_ = &random;
    cues_ = &cues;
    prompts_ = &prompts;
}
void Seams::use(RandomSource& random) {
    random_ = &random;
}
void Seams::use(CuePlayer& cues) {
    cues_ = &cues;
}
void Seams::use(Prompts& prompts) {
    prompts_ = &prompts;
}
void Seams::remove() {
    random_ = nullptr;
    cues_ = nullptr;
    prompts_ = nullptr;
}

namespace {
struct RealServices {
    ClockRandomSource random;
    sound::SystemCuePlayer cues;
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
    seams().install(services->random, services->cues, services->prompts);
}

void releaseRealServices() {
    seams().remove();
    realServices().reset();
}

} // namespace rt
