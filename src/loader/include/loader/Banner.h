#pragma once

#include "core/Clock.h"
#include "core/Raster.h"
#include "core/TextOutput.h"

namespace kestrix {

// The banner shown before an EEPROM upload: the logo in the top-left corner
// of the screen with the cursor put on the first text row below it, or three
// lines on the console when there is no window. Then a pause so it is seen.
void ShowBanner(TextOutput& output, const Raster& logo, Clock& clock);

}  // namespace kestrix
