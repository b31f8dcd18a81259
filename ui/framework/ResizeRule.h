#pragma once
// The rule by which a resizable dialog moves or stretches one control when
// the dialog's client area changes size. Pure, so every rule can be checked
// without a window.

#include "ui/framework/Geometry.h"

namespace Layout {

// What a control does with the change of the dialog's width and height.
// Moving wins over stretching on the same axis; no flag keeps the control
// where it is.
enum ResizeFlags : unsigned {
    kResizeStay = 0,
    kMoveX = 1u << 0,
    kMoveY = 1u << 1,
    kSizeX = 1u << 2,
    kSizeY = 1u << 3,
};

// The control's rectangle for the new client size, given its rectangle at
// the original client size. A stretched control never gets a negative width
// or height: its far edge stops at its near edge.
Rect ResizedRect(const Rect& original, Size originalClient, Size newClient, unsigned flags);

}  // namespace Layout
