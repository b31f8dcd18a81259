// The pure layout rules of the dialog framework: how one control follows a
// change of the dialog size, where a centred window goes, which image a
// bitmap button draws.

#include <gtest/gtest.h>

#include "ui/ColumnWidths.h"
#include "ui/DpiScale.h"
#include "ui/framework/ButtonState.h"
#include "ui/framework/Centering.h"
#include "ui/framework/ResizeRule.h"

namespace {

using Layout::Rect;

struct ResizeCase {
    const char* name;
    unsigned flags;
    Layout::Size newClient;
    Rect expected;
};

// A control at (10,20)-(110,45) in a 400x300 client area.
const Rect kControl{10, 20, 110, 45};
const Layout::Size kClient{400, 300};

TEST(ResizeRule, MovesAndStretchesByTheChangeOfEachAxis) {
    const ResizeCase cases[] = {
        {"stay", Layout::kResizeStay, {501, 350}, {10, 20, 110, 45}},
        {"stretch x", Layout::kSizeX, {501, 350}, {10, 20, 211, 45}},
        {"stretch y", Layout::kSizeY, {501, 350}, {10, 20, 110, 95}},
        {"stretch both", Layout::kSizeX | Layout::kSizeY, {501, 350}, {10, 20, 211, 95}},
        {"move x", Layout::kMoveX, {501, 350}, {111, 20, 211, 45}},
        {"move y", Layout::kMoveY, {501, 350}, {10, 70, 110, 95}},
        {"move both", Layout::kMoveX | Layout::kMoveY, {501, 350}, {111, 70, 211, 95}},
        {"stretch x move y", Layout::kSizeX | Layout::kMoveY, {501, 350}, {10, 70, 211, 95}},
        {"move wins over stretch", Layout::kMoveX | Layout::kSizeX, {501, 300}, {111, 20, 211, 45}},
        {"shrinking moves back", Layout::kMoveX | Layout::kMoveY, {390, 290}, {0, 10, 100, 35}},
        {"shrinking stretch stops at zero width", Layout::kSizeX | Layout::kSizeY, {200, 250}, {10, 20, 10, 20}},
        {"unchanged size", Layout::kSizeX | Layout::kMoveY, {400, 300}, {10, 20, 110, 45}},
    };
    for (const ResizeCase& c : cases) {
        const Rect r = Layout::ResizedRect(kControl, kClient, c.newClient, c.flags);
        EXPECT_EQ(r, c.expected) << c.name << ": got " << r.left << "," << r.top << "," << r.right << ","
                                 << r.bottom;
    }
}

TEST(ResizeRule, GrowingThenShrinkingBackRestoresTheOriginal) {
    for (unsigned flags = 0; flags < 16; ++flags) {
        const Rect grown = Layout::ResizedRect(kControl, kClient, {640, 480}, flags);
        // The original rectangle is always the reference, never the last one.
        const Rect back = Layout::ResizedRect(kControl, kClient, kClient, flags);
        EXPECT_EQ(back, kControl) << "flags " << flags;
        EXPECT_GE(grown.Width(), 0);
    }
}

struct CenterCase {
    const char* name;
    Layout::Size window;
    bool hasOwner;
    Rect owner;
    Rect workArea;
    Layout::Point expected;
};

TEST(Centering, CentresOverTheOwnerOrTheWorkAreaAndStaysInside) {
    const Rect work{0, 0, 1280, 994};
    const CenterCase cases[] = {
        {"no owner: middle of work area", {200, 100}, false, {}, work, {540, 447}},
        {"over owner", {200, 100}, true, {100, 100, 700, 500}, work, {300, 250}},
        {"owner near right edge: shifted left", {300, 100}, true, {1100, 100, 1280, 300}, work, {980, 150}},
        {"owner off the top-left: shifted in", {300, 200}, true, {-400, -300, 100, 100}, work, {0, 0}},
        {"owner past the bottom: shifted up", {100, 100}, true, {500, 950, 700, 1100}, work, {550, 894}},
        {"larger than work area keeps top-left inside", {1400, 1000}, false, {}, work, {0, 0}},
        {"work area not at origin", {100, 50}, false, {}, {1280, 40, 2560, 1064}, {1870, 527}},
    };
    for (const CenterCase& c : cases) {
        const Layout::Point p = Layout::CenteredPosition(c.window, c.hasOwner ? &c.owner : nullptr, c.workArea);
        EXPECT_EQ(p, c.expected) << c.name << ": got " << p.x << "," << p.y;
    }
}

TEST(ButtonState, PicksTheStateImageAndFallsBackToNormal) {
    const int all[4] = {0, 1, 2, 3};
    const int onlyNormal[4] = {5, -1, -1, -1};
    struct Case {
        const char* name;
        const int* images;
        bool disabled, pushed, focused, hoverStyle, mouseOver;
        int expected;
    } cases[] = {
        {"normal", all, false, false, false, false, false, 0},
        {"pushed", all, false, true, false, false, false, 1},
        {"focused without hover style", all, false, false, true, false, false, 2},
        {"focused with hover style, mouse away", all, false, false, true, true, false, 0},
        {"hover style, mouse over", all, false, false, false, true, true, 2},
        {"mouse over without hover style", all, false, false, false, false, true, 0},
        {"disabled beats pushed and hover", all, true, true, true, true, true, 3},
        {"pushed beats hover", all, false, true, false, true, true, 1},
        {"missing images fall back", onlyNormal, true, false, false, false, false, 5},
        {"missing pushed falls back", onlyNormal, false, true, false, false, false, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Layout::ChooseButtonImage(c.images, c.disabled, c.pushed, c.focused, c.hoverStyle, c.mouseOver),
                  c.expected)
            << c.name;
    }
}

}  // namespace

namespace {

TEST(ColumnWidths, TheSecondColumnTakesTheOddPixelEitherWay) {
    const struct {
        int change, first, second;
    } cases[] = {{101, 50, 51}, {-101, -50, -51}, {100, 50, 50}, {-100, -50, -50},
                 {1, 0, 1},     {-1, 0, -1},      {0, 0, 0}};
    for (const auto& c : cases) {
        const ColumnWidths::Change split = ColumnWidths::Split(c.change);
        EXPECT_EQ(split.first, c.first) << c.change;
        EXPECT_EQ(split.second, c.second) << c.change;
    }
}

TEST(ColumnWidths, TheFirstWidthIsOnlyRememberedAndEachLaterOneSharesItsChange) {
    ColumnWidths::Tracker tracker;
    ColumnWidths::Change change = tracker.OnWidth(640);
    EXPECT_EQ(change.first + change.second, 0);
    change = tracker.OnWidth(741);
    EXPECT_EQ(change.first, 50);
    EXPECT_EQ(change.second, 51);
    change = tracker.OnWidth(640);
    EXPECT_EQ(change.first, -50);
    EXPECT_EQ(change.second, -51);
    EXPECT_EQ(tracker.RememberedWidth(), 640);
    tracker.Reset();
    change = tracker.OnWidth(900);  // after a reset the next width is a new start
    EXPECT_EQ(change.first + change.second, 0);
}

}  // namespace

TEST(DpiScale, SizesFollowTheFourScalesAndTheGoImageStaysInItsRoom) {
    struct Case {
        int dpi;
        int small;  // a 16-pixel picture
        int go;     // the Go image with room to spare
    };
    const Case cases[] = {{96, 16, 80}, {120, 20, 100}, {144, 24, 120}, {192, 32, 160},
                          {0, 16, 80} /* unknown: 100% */, {168, 28, 140}};
    for (const Case& c : cases) {
        EXPECT_EQ(DpiScale::Scale(16, c.dpi), c.small) << c.dpi;
        EXPECT_EQ(DpiScale::GoImageSide(c.dpi, 500, 500), c.go) << c.dpi;
        // A dialog font that leaves less room: the image shrinks to it, never below a pixel.
        EXPECT_EQ(DpiScale::GoImageSide(c.dpi, 500, c.go - 7), c.go - 7) << c.dpi;
        EXPECT_EQ(DpiScale::GoImageSide(c.dpi, c.go - 3, 500), c.go - 3) << c.dpi;
        EXPECT_EQ(DpiScale::GoImageSide(c.dpi, 0, -5), 1) << c.dpi;
    }
    EXPECT_EQ(DpiScale::Scale(310, 120), 388);  // 387.5 rounds to nearest
    EXPECT_EQ(DpiScale::Scale(-10, 144), -15);
}
