#include "sound/QuietAlsa.h"

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#endif

namespace sound {

namespace {

using Handler = void (*)(const char*, int, const char*, int, const char*, ...);

void ignore(const char*, int, const char*, int, const char*, ...) {}

void setHandler([[maybe_unused]] void* library, [[maybe_unused]] Handler handler) {
#if __has_include(<dlfcn.h>)
    if (library == nullptr) {
        return;
    }
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"))) {
        set(handler);
    }
#endif
}

} // namespace

QuietAlsa::QuietAlsa() {
#if __has_include(<dlfcn.h>)
    library_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
#endif
    setHandler(library_, &ignore);
}

QuietAlsa::~QuietAlsa() {
    setHandler(library_, nullptr);
#if __has_include(<dlfcn.h>)
    if (library_ != nullptr) {
        dlclose(library_);
    }
#endif
}

} // namespace sound
