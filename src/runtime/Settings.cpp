#include "runtime/Settings.h"

namespace rt {

Settings& settings() {
    static Settings instance;
    return instance;
}

} // namespace rt
