#include "ui/framework/ResizeRule.h"

namespace Layout {
namespace {

// Applies the change of one axis to the span [nearEdge, farEdge).
void ApplyAxis(int& nearEdge, int& farEdge, int change, bool move, bool stretch) {
    if (move) {
        nearEdge += change;
        farEdge += change;
    } else if (stretch) {
        farEdge += change;
        if (farEdge < nearEdge) farEdge = nearEdge;
    }
}

}  // namespace

Rect ResizedRect(const Rect& original, Size originalClient, Size newClient, unsigned flags) {
    Rect r = original;
    ApplyAxis(r.left, r.right, newClient.cx - originalClient.cx, (flags & kMoveX) != 0, (flags & kSizeX) != 0);
    ApplyAxis(r.top, r.bottom, newClient.cy - originalClient.cy, (flags & kMoveY) != 0, (flags & kSizeY) != 0);
    return r;
}

}  // namespace Layout
