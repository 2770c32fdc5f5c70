#pragma once

#include <QString>
#include <optional>

// Asks for a whole number from low to high in an input box. Cancel or an
// empty answer gives nullopt; so does anything else that is not such a
// number, after a box that says which numbers are wanted.
std::optional<int> askWholeNumber(const QString& prompt, const QString& title, int low, int high);
