#pragma once

#include "runtime/Twips.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <span>

namespace rt {

struct FontDesign {
    const char* face = nullptr; // nullptr: the window's default font
    double points = 0;
    bool bold = false;
};

// One row of a window's layout table: a control found by its name, with its
// place, caption, colours (&H00BBGGRR) and font as designed.
struct ControlDesign {
    const char* name;
    TwipRect place;
    const char* caption = nullptr; // nullptr: the control has no caption
    std::optional<std::uint32_t> backColour = std::nullopt;
    std::optional<std::uint32_t> textColour = std::nullopt;
    FontDesign font = {};
};

// Gives every control of the window its designed place, caption, colours and
// font, and its caption as accessible name. Tab order follows the table.
void applyDesign(QWidget& window, std::span<const ControlDesign> table);

// Creates a control of the window under the name its layout table uses.
template <class Control> Control* addControl(QWidget& window, const char* name) {
    auto* control = new Control(&window);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Fills the window's background with its designed back colour.
void setWindowBackColour(QWidget& window, std::uint32_t bbggrr);

// The designed font, in pixels so that the fixed windows look the same at
// any DPI.
QFont designedFont(const FontDesign& design);

} // namespace rt
