#pragma once
// Which of a bitmap button's four images a draw uses. Pure, so the choice
// can be checked without a window.

namespace Layout {

enum class ButtonImage { Normal = 0, Pushed = 1, FocusOrHover = 2, Disabled = 3 };

// images holds the index for each ButtonImage, -1 for "none". Disabled wins,
// then pushed, then hover (with the hover style) or focus (without it); a
// state without an image falls back to the normal image.
int ChooseButtonImage(const int images[4], bool disabled, bool pushed, bool focused, bool hoverStyle,
                      bool mouseOver);

}  // namespace Layout
