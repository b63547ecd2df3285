#pragma once
// The logo beside the settings group and the application icon: an upright
// battery mark with green bars on a blue ground; the logo adds the name.
#include <vector>

#include "ArtCanvas.h"

namespace art {

// The logo static is 61 x 70 dialog units; with the 9 point dialog font
// (6 x 12 px base units at 96 dots per inch) that is 92 x 105 pixels.
constexpr int kLogoWidth = 92;
constexpr int kLogoHeight = 105;

Canvas DrawLogo();

// Sizes held by the icon file, smallest first.
const std::vector<int>& IconSizes();
Canvas DrawIcon(int size);

}  // namespace art
