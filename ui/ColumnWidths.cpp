#include "ui/ColumnWidths.h"

namespace ColumnWidths {

Change Split(int widthChange) {
    Change change;
    change.first = widthChange / 2;  // C++ division truncates toward zero
    change.second = widthChange - change.first;
    return change;
}

Change Tracker::OnWidth(int width) {
    if (rememberedWidth == 0) {
        rememberedWidth = width;
        return {};
    }
    const Change change = Split(width - rememberedWidth);
    rememberedWidth = width;
    return change;
}

}  // namespace ColumnWidths
