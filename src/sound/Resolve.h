#pragma once

#include <QByteArray>
#include <QLibrary>

namespace sound {

// Looks up a library's entry points by their names less a common prefix.
struct LookUp {
    QLibrary& library;
    const char* prefix;

    template <typename Function> bool operator()(Function& function, const char* name) const {
        function = reinterpret_cast<Function>(library.resolve(QByteArray(prefix) + name));
        return function != nullptr;
    }
};

// One entry point of a table, for a list of calls: CALLS(ROLVANGER_LOOK_UP).
#define ROLVANGER_LOOK_UP(name) &&lookUp(table.name, #name)

// Loads a library the cue player needs only once sound is wanted, and looks
// up its entry points with lookUpAll(lookUp, table); the table counts as
// loaded only with all of them. The library stays loaded.
template <typename Table, typename LookUpAll>
Table loadLibrary(const char* name, const char* prefix, LookUpAll lookUpAll) {
    Table table;
    QLibrary library(QString::fromLatin1(name), 0);
    table.loaded = library.load() && lookUpAll(LookUp{library, prefix}, table);
    return table;
}

} // namespace sound
