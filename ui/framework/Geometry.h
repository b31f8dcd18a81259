#pragma once
// Plain rectangles and sizes for the pure layout rules, so they can be
// computed and tested without the window system. Coordinates are pixels;
// right and bottom are exclusive, as in a Win32 RECT.

namespace Layout {

struct Size {
    int cx = 0;
    int cy = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

}  // namespace Layout
