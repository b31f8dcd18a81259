// The real main window at the display's DPI (run at 96 and, in a prefix of
// its own, at 144): pictures loaded for that DPI, the Go button as large as
// its picture and clear of its neighbours, and no control or label cut off.
// TORVANE_TEST_DPI, when set, is the DPI the run must see.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/testing/FaultPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DpiScale.h"
#include "ui/MainForm.h"
#include "ui/WindowDpi.h"
#include "ui/res/resource.h"

namespace {

int IconSide(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

int ImageListSide(HIMAGELIST list) {
    int cx = 0;
    int cy = 0;
    ::ImageList_GetIconSize(list, &cx, &cy);
    return cx == cy ? cx : -1;
}

// A child's rectangle in its parent's client coordinates.
RECT RectIn(HWND parent, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring Describe(HWND window, const RECT& r) {
    return L"control " + std::to_wstring(::GetDlgCtrlID(window)) + L" \"" + UiTest::Text(window) + L"\" at " +
           std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"-" + std::to_wstring(r.right) + L"," +
           std::to_wstring(r.bottom);
}

// The width the control's own font needs for its text (one line).
int TextWidth(HWND control) {
    const std::wstring text = UiTest::Text(control);
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx;
}

class DpiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
        UiTest::PumpFor(200);
        dpi = form.Dpi();
    }

    HWND Item(int id) { return ::GetDlgItem(form.Handle(), id); }

    // Every visible child of parent lies inside its client area and its
    // label fits; none but the listed pairs overlap.
    void ExpectNothingClipped(HWND parent, const std::vector<int>& mayLeaveTheEdge) {
        RECT client{};
        ::GetClientRect(parent, &client);
        std::vector<HWND> children;
        for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        for (HWND child : children) {
            const int id = ::GetDlgCtrlID(child);
            const RECT r = RectIn(parent, child);
            bool edgeAllowed = false;
            for (int allowed : mayLeaveTheEdge) edgeAllowed = edgeAllowed || allowed == id;
            if (!edgeAllowed) {
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                    << testing::PrintToString(Describe(child, r));
            }
            wchar_t className[32] = {};
            ::GetClassNameW(child, className, 32);
            const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
            if (std::wstring(className) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT &&
                !UiTest::Text(child).empty()) {
                EXPECT_LE(TextWidth(child), r.right - r.left) << testing::PrintToString(Describe(child, r));
            }
            if (std::wstring(className) == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
                // The box, a gap, the text.
                const int box = ::GetSystemMetrics(SM_CXMENUCHECK) + DpiScale::Scale(4, dpi);
                EXPECT_LE(box + TextWidth(child), r.right - r.left) << testing::PrintToString(Describe(child, r));
            }
        }
    }

    FaultPlatform platform{SystemPlatform()};
    MainForm form{platform};
    int dpi = 0;
};

TEST_F(DpiTest, ThePicturesAreLoadedForTheDisplaysDpi) {
    if (const char* expected = std::getenv("TORVANE_TEST_DPI")) {
        ASSERT_EQ(WindowDpi(form.Handle()), std::atoi(expected)) << "the prefix's LogPixels did not take";
    }
    EXPECT_EQ(dpi, WindowDpi(form.Handle()));
    const int small = DpiScale::Scale(16, dpi);

    // The Go button: its picture at full scale at 100%; at other scales as
    // large as the room the dialog's font leaves it (never more, and not
    // much less); the button exactly that size.
    const int goSide = ImageListSide(form.GoButton().ImageList());
    if (dpi == 96) {
        EXPECT_EQ(goSide, 80);
    }
    EXPECT_LE(goSide, DpiScale::Scale(80, dpi));
    EXPECT_GE(goSide, DpiScale::Scale(72, dpi));
    RECT go{};
    ::GetClientRect(form.GoButton().Handle(), &go);
    EXPECT_EQ(go.right, goSide);
    EXPECT_EQ(go.bottom, goSide);

    EXPECT_EQ(ImageListSide(reinterpret_cast<HIMAGELIST>(
                  ::SendMessageW(Item(IDC_RESULTS), LVM_GETIMAGELIST, LVSIL_SMALL, 0))),
              small);
    EXPECT_EQ(IconSide(form.NotifyData().hIcon), small);
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(::SendMessageW(form.Handle(), WM_GETICON, ICON_SMALL, 0))), small);
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(::SendMessageW(form.Handle(), WM_GETICON, ICON_BIG, 0))),
              DpiScale::Scale(32, dpi));
    for (int id : {IDC_ABOUT, IDC_BROWSE_SOURCE, IDC_BROWSE_DESTINATION}) {
        HICON icon = reinterpret_cast<HICON>(::SendMessageW(Item(id), BM_GETIMAGE, IMAGE_ICON, 0));
        EXPECT_EQ(IconSide(icon), small) << id;
        RECT button{};
        ::GetClientRect(Item(id), &button);
        EXPECT_GE(button.right, small + 2) << id;  // the icon inside the button's edge
        EXPECT_GE(button.bottom, small + 2) << id;
    }
    // The columns keep their share of the list.
    EXPECT_EQ(UiTest::ColumnWidth(Item(IDC_RESULTS), 0), DpiScale::Scale(310, dpi));
}

TEST_F(DpiTest, NothingIsClippedAndTheGoButtonTouchesNoNeighbour) {
    // The progress bar runs one pixel past both sides by design.
    ExpectNothingClipped(form.Handle(), {IDC_PROGRESS});
    ExpectNothingClipped(form.StatusViewWindow(), {});

    const RECT go = RectIn(form.Handle(), form.GoButton().Handle());
    for (int id : {IDC_ABOUT, IDC_RESULTS, IDC_STATUS_HOST, IDC_PROGRESS, IDC_STATUS_LINE}) {
        const RECT other = RectIn(form.Handle(), Item(id));
        RECT overlap{};
        EXPECT_FALSE(::IntersectRect(&overlap, &go, &other)) << testing::PrintToString(Describe(Item(id), other));
    }
    // The status panel's labels and figures stay readable in their host.
    const RECT host = RectIn(form.Handle(), Item(IDC_STATUS_HOST));
    RECT panel{};
    ::GetWindowRect(form.StatusViewWindow(), &panel);
    EXPECT_EQ(panel.right - panel.left, host.right - host.left);
}

TEST_F(DpiTest, MovingToADisplayOfAnotherScaleReloadsThePictures) {
    // What a per-monitor system sends when the window crosses to a 200% display.
    const int newDpi = dpi * 2;
    RECT r{};
    ::GetWindowRect(form.Handle(), &r);
    RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 2, r.top + (r.bottom - r.top) * 2};
    const int firstColumn = UiTest::ColumnWidth(Item(IDC_RESULTS), 0);
    const int goSide = ImageListSide(form.GoButton().ImageList());
    ::SendMessageW(form.Handle(), MainForm::kDpiChangedMessage, MAKEWPARAM(newDpi, newDpi),
                   reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Dpi(), newDpi);
    EXPECT_EQ(ImageListSide(reinterpret_cast<HIMAGELIST>(
                  ::SendMessageW(Item(IDC_RESULTS), LVM_GETIMAGELIST, LVSIL_SMALL, 0))),
              DpiScale::Scale(16, newDpi));
    EXPECT_EQ(IconSide(form.NotifyData().hIcon), DpiScale::Scale(16, newDpi));
    EXPECT_NEAR(ImageListSide(form.GoButton().ImageList()), 2 * goSide, 1);
    EXPECT_EQ(UiTest::ColumnWidth(Item(IDC_RESULTS), 0), firstColumn * 2);
    // The smallest size grew with the scale.
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    RECT after{};
    ::GetWindowRect(form.Handle(), &after);
    EXPECT_EQ(after.right - after.left, (r.right - r.left) * 2);
}

}  // namespace
