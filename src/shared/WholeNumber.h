#pragma once

#include <QString>
#include <optional>

// Reads typed text as a whole number: after trimming spaces, an optional sign
// followed by decimal digits, and nothing else. Gives nullopt for anything
// else, and for numbers from low to high only.
std::optional<int> parseWholeNumber(const QString& text, int low, int high);
