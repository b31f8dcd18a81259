#include "ui/framework/Centering.h"

namespace Layout {
namespace {

// Shifts a span of the given length starting at start into [low, high);
// when it does not fit, its start is kept at low.
int ClampSpan(int start, int length, int low, int high) {
    if (start + length > high) start = high - length;
    if (start < low) start = low;
    return start;
}

}  // namespace

Point CenteredPosition(Size window, const Rect* owner, const Rect& workArea) {
    const Rect& around = owner != nullptr ? *owner : workArea;
    // Halve before adding, so large coordinates cannot overflow.
    const int centreX = around.left + around.Width() / 2;
    const int centreY = around.top + around.Height() / 2;
    Point p;
    p.x = ClampSpan(centreX - window.cx / 2, window.cx, workArea.left, workArea.right);
    p.y = ClampSpan(centreY - window.cy / 2, window.cy, workArea.top, workArea.bottom);
    return p;
}

}  // namespace Layout
