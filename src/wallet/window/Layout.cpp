#include "wallet/window/Layout.h"

#include "shared/Colours.h"

std::span<const rt::ControlDesign> wallet_window::controls() {
    using namespace colours;
    static constexpr rt::FontDesign textFont{"Comic Sans MS", 18, true};
    static constexpr rt::FontDesign coinFont{"Comic Sans MS", 15.75, true};
    static const rt::ControlDesign table[] = {
        {"Command1", {240, 120, 5055, 375}, "Close", brown},
        {"Label1", {360, 720, 2175, 735}, "You have: €", black, yellow, textFont},
        {"cashlbl", {2520, 720, 2535, 735}, "10", black, yellow, textFont},
        {"eur1", {1320, 1800, 615, 615}, "€1", std::nullopt, std::nullopt, coinFont},
        {"eur2", {1920, 1800, 615, 615}, "€2", std::nullopt, std::nullopt, coinFont},
        {"eur5", {2520, 1800, 615, 615}, "€5", std::nullopt, std::nullopt, coinFont},
        {"eur10", {3120, 1800, 735, 615}, "€10", std::nullopt, std::nullopt, coinFont},
        {"eur20", {3840, 1800, 735, 615}, "€20", std::nullopt, std::nullopt, coinFont},
        {"eur50", {4560, 1800, 735, 615}, "€50", std::nullopt, std::nullopt, coinFont},
        {"Label2", {120, 1800, 1215, 735}, "Put in:", black, yellow, textFont},
    };
    return table;
}
