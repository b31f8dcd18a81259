#pragma once
// Pixel sizes drawn for 96 DPI (100%), at the DPI the window is shown at.
// Pure, so the rules are tested without a window.

namespace DpiScale {

constexpr int kBaseDpi = 96;

// size * dpi / 96, rounded to the nearest pixel. A DPI the system could not
// tell (0 or less) counts as 96.
int Scale(int size, int dpi);

// The Go button's image side: 80 pixels at 96 DPI, scaled, but never larger
// than the room (width x height in pixels) the dialog leaves the button. The
// button takes its image's size, so a larger image would push it over its
// neighbours; dialog units follow the font, not exactly the DPI.
int GoImageSide(int dpi, int roomWidth, int roomHeight);

}  // namespace DpiScale
