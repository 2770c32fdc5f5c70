#include "machine/window/Layout.h"

#include "shared/Colours.h"

namespace machine_window {

namespace {

using namespace colours;

constexpr rt::FontDesign holdFont{"Comic Sans MS", 14.25, true};
constexpr rt::FontDesign coinFont{"MS Sans Serif", 18, true};

const rt::ControlDesign controlTable[] = {
    {"Command2", {360, 3960, 1815, 570}, "HOLD", yellow, std::nullopt, holdFont},
    {"Command3", {2760, 3960, 1815, 570}, "HOLD", yellow, std::nullopt, holdFont},
    {"Command4", {5160, 3960, 1815, 570}, "HOLD", yellow, std::nullopt, holdFont},
    {"Command1", {7680, 1680, 615, 3015}, nullptr, black, windowText},
    {"sclbl", {0, 0, 1695, 255}, "Score: 0", black, red},
    {"cdlbl", {0, 240, 1695, 255}, "Credits: 0", black, red},
    {"coin", {3240, 120, 2535, 495}, "INSERT COIN", black, orange, coinFont},
    {"Command5", {120, 1440, 1575, 255}, "Wallet", darkGreen},
    {"scoretocreds", {120, 1080, 1575, 255}, "Score to Credits", darkGreen},
    {"Command6", {120, 720, 1575, 255}, "Score to Cash", darkGreen},
    {"Label1", {0, 4800, 135, 255}, "Label1", black, windowText},
    {"aplay", {6960, 4680, 1095, 255}, "Autoplay:", black, red},
    {"cts", {5040, 4680, 1815, 255}, "Auto score to credits", black, red},
    {"soundon", {120, 4680, 1215, 255}, "Sound", black, red},
    {"speedm", {1080, 4680, 1215, 255}, "Speed Mode", black, red},
    {"Label2", {8640, 120, 135, 135}, "Label2", black, windowText},
};

const rt::ControlDesign reelTable[] = {
    {"hok1", {360, 2040, 1815, 1575}},
    {"hok2", {2760, 2040, 1815, 1575}},
    {"hok3", {5160, 2040, 1815, 1575}},
};

} // namespace

std::span<const rt::ControlDesign> controls() {
    return controlTable;
}
std::span<const rt::ControlDesign> reels() {
    return reelTable;
}

} // namespace machine_window
