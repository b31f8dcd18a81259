#include "ui/framework/ButtonState.h"

namespace Layout {

int ChooseButtonImage(const int images[4], bool disabled, bool pushed, bool focused, bool hoverStyle,
                      bool mouseOver) {
    int chosen = -1;
    if (disabled) {
        chosen = images[static_cast<int>(ButtonImage::Disabled)];
    } else if (pushed) {
        chosen = images[static_cast<int>(ButtonImage::Pushed)];
    } else if (hoverStyle ? mouseOver : focused) {
        chosen = images[static_cast<int>(ButtonImage::FocusOrHover)];
    }
    return chosen >= 0 ? chosen : images[static_cast<int>(ButtonImage::Normal)];
}

}  // namespace Layout
