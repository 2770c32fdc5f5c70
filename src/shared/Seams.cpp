#include "shared/Seams.h"

#include <QtGlobal>

Seams& seams() {
    static Seams instance;
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

rt::RandomSource& Seams::random() const {
    return present(random_, "random source");
}
sound::CuePlayer& Seams::cues() const {
    return present(cues_, "cue player");
}
rt::Prompts& Seams::prompts() const {
    return present(prompts_, "prompt service");
}

void Seams::install(rt::RandomSource& random, sound::CuePlayer& cues, rt::Prompts& prompts) {
    random_ = &random;
    cues_ = &cues;
    prompts_ = &prompts;
}
void Seams::use(rt::RandomSource& random) {
    random_ = &random;
}
void Seams::use(sound::CuePlayer& cues) {
    cues_ = &cues;
}
void Seams::use(rt::Prompts& prompts) {
    prompts_ = &prompts;
}
void Seams::remove() {
    random_ = nullptr;
    cues_ = nullptr;
    prompts_ = nullptr;
}
