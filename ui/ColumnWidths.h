#pragma once
// The result list's two columns share every change of the main window's
// width: the first takes half (rounded toward zero), the second the rest,
// so it gets the odd pixel. Pure, so it is tested without a window.

namespace ColumnWidths {

struct Change {
    int first = 0;   // added to column 0 ("Path")
    int second = 0;  // added to column 1 ("Message")
};

// Splits a change of the window width.
Change Split(int widthChange);

// Remembers the window width between two position changes.
class Tracker {
public:
    // The change for the columns when the window is now width pixels wide.
    // The first call only remembers the width (and returns no change).
    Change OnWidth(int width);

    // Forget the width, as at the window's initialisation.
    void Reset() { rememberedWidth = 0; }
    int RememberedWidth() const { return rememberedWidth; }

private:
    int rememberedWidth = 0;  // 0 until the first width was seen
};

}  // namespace ColumnWidths
