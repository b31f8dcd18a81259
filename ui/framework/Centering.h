#pragma once
// Where a dialog goes when it is centred: over its owner's window rectangle
// when it has a usable owner, otherwise in the middle of the work area, and
// then shifted as little as needed to lie whole inside the work area.

#include "ui/framework/Geometry.h"

namespace Layout {

// The new top-left corner of a window of the given size. owner is null when
// the window has no usable owner (none, hidden or minimised). A window larger
// than the work area keeps its top-left corner inside it.
Point CenteredPosition(Size window, const Rect* owner, const Rect& workArea);

}  // namespace Layout
