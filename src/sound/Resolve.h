#pragma once

#include <QLibrary>

namespace sound {

// Looks up one entry point of a library loaded at run time.
template <typename Function> bool resolve(QLibrary& library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

} // namespace sound
