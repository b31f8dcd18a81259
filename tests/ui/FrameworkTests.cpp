// The dialog framework on a real window system (wine64 under Xvfb): message
// maps and reflection, the message loop's filters and idle handlers, dialog
// resizing with its minimum size, the bitmap button's state images and the
// hyperlink.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/ui/FrameworkTestDialog.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/BitmapButton.h"
#include "ui/framework/CallbackGuard.h"
#include "ui/framework/DialogResize.h"
#include "ui/framework/DialogWindow.h"
#include "ui/framework/HyperLink.h"
#include "ui/framework/MessageLoop.h"
#include "ui/framework/WindowCentering.h"

namespace {

class TestButton : public Framework::BitmapButtonImpl<TestButton> {
public:
    BEGIN_MSG_MAP(TestButton)
        CHAIN_MSG_MAP(Framework::BitmapButtonImpl<TestButton>)
    END_MSG_MAP()
};

class TestDialog : public Framework::DialogWindow<TestDialog>, public Framework::DialogResize<TestDialog> {
public:
    enum { IDD = IDD_FRAMEWORK_TEST };

    BEGIN_MSG_MAP(TestDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_TEST_BUTTON, OnButton)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        CHAIN_MSG_MAP(Framework::DialogResize<TestDialog>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    BEGIN_DLGRESIZE_MAP(TestDialog)
        DLGRESIZE_CONTROL(IDC_TEST_EDIT, Layout::kSizeX)
        DLGRESIZE_CONTROL(IDC_TEST_BUTTON, Layout::kMoveX | Layout::kMoveY)
        DLGRESIZE_CONTROL(IDC_TEST_LIST, Layout::kSizeX | Layout::kSizeY)
    END_DLGRESIZE_MAP()

    ~TestDialog() { DestroyWindow(); }

    int buttonClicks = 0;
    bool throwOnButton = false;
    LPARAM seenInitParam = -1;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, bool&) {
        seenInitParam = lParam;
        DlgResize_Init(true, true, WS_CLIPCHILDREN);
        return TRUE;
    }
    LRESULT OnButton(WORD, WORD, HWND, bool&) {
        ++buttonClicks;
        if (throwOnButton) throw std::runtime_error("handler failed");
        return 0;
    }
    LRESULT OnCancel(WORD, WORD, HWND, bool&) {
        if (IsModal()) EndDialog(IDCANCEL);
        return 0;
    }
};

RECT ChildRect(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE WindowSize(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

TEST(DialogWindow, PassesTheCreationParameterAndDispatchesCommandsThroughItsMap) {
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, 1234), nullptr) << ::GetLastError();
    EXPECT_EQ(dialog.seenInitParam, 1234);
    ::SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED),
                   reinterpret_cast<LPARAM>(dialog.Item(IDC_TEST_BUTTON)));
    EXPECT_EQ(dialog.buttonClicks, 1);
    HWND hwnd = dialog.Handle();
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(DialogResize, MovesAndStretchesEachControlByItsRule) {
    TestDialog dialog;
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    const RECT edit = ChildRect(hwnd, IDC_TEST_EDIT);
    const RECT button = ChildRect(hwnd, IDC_TEST_BUTTON);
    const RECT list = ChildRect(hwnd, IDC_TEST_LIST);
    const RECT label = ChildRect(hwnd, IDC_TEST_STATIC);
    const SIZE size = WindowSize(hwnd);
    EXPECT_NE(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CLIPCHILDREN, 0);
    ASSERT_NE(::GetDlgItem(hwnd, Framework::kSizeGripId), nullptr);

    ::SetWindowPos(hwnd, nullptr, 0, 0, size.cx + 101, size.cy + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT edit2 = ChildRect(hwnd, IDC_TEST_EDIT);
    EXPECT_EQ(edit2.left, edit.left);
    EXPECT_EQ(edit2.right, edit.right + 101);
    EXPECT_EQ(edit2.top, edit.top);
    EXPECT_EQ(edit2.bottom, edit.bottom);
    const RECT button2 = ChildRect(hwnd, IDC_TEST_BUTTON);
    EXPECT_EQ(button2.left, button.left + 101);
    EXPECT_EQ(button2.top, button.top + 40);
    EXPECT_EQ(button2.right - button2.left, button.right - button.left);
    const RECT list2 = ChildRect(hwnd, IDC_TEST_LIST);
    EXPECT_EQ(list2.right, list.right + 101);
    EXPECT_EQ(list2.bottom, list.bottom + 40);
    const RECT label2 = ChildRect(hwnd, IDC_TEST_STATIC);
    EXPECT_EQ(label2.left, label.left);
    EXPECT_EQ(label2.top, label.top);

    // The grip sits in the bottom-right corner of the client area.
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const RECT grip = ChildRect(hwnd, Framework::kSizeGripId);
    EXPECT_EQ(grip.right, client.right);
    EXPECT_EQ(grip.bottom, client.bottom);
}

TEST(DialogResize, TheWindowCannotBecomeSmallerThanItsInitialSize) {
    TestDialog dialog;
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    const SIZE initial = WindowSize(hwnd);
    ::SetWindowPos(hwnd, nullptr, 0, 0, initial.cx - 50, initial.cy - 30, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE after = WindowSize(hwnd);
    EXPECT_EQ(after.cx, initial.cx);
    EXPECT_EQ(after.cy, initial.cy);

    MINMAXINFO info{};
    ::SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, initial.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, initial.cy);
}

// Records the order in which the loop calls it.
class RecordingFilter : public Framework::MessageFilter {
public:
    RecordingFilter(std::vector<std::string>& log, std::string name, UINT consume)
        : log_(log), name_(std::move(name)), consume_(consume) {}
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message < WM_APP) return false;
        log_.push_back(name_);
        if (onCall) onCall();
        return msg->message == consume_;
    }
    std::function<void()> onCall;

private:
    std::vector<std::string>& log_;
    std::string name_;
    UINT consume_;
};

TEST(MessageLoop, OffersMessagesToTheNewestFilterFirstAndStopsAtTheOneThatConsumes) {
    std::vector<std::string> log;
    RecordingFilter older(log, "older", WM_APP + 1);
    RecordingFilter newer(log, "newer", WM_APP + 2);
    Framework::MessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);
    loop.AddMessageFilter(&newer);  // once only

    MSG msg{};
    msg.message = WM_APP + 1;
    EXPECT_TRUE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(log, (std::vector<std::string>{"newer", "older"}));

    log.clear();
    msg.message = WM_APP + 2;
    EXPECT_TRUE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(log, (std::vector<std::string>{"newer"}));

    log.clear();
    msg.message = WM_APP + 3;
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(log.size(), 2u);

    // A filter that unregisters another while it runs: the other is skipped.
    log.clear();
    newer.onCall = [&] { loop.RemoveMessageFilter(&older); };
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(log, (std::vector<std::string>{"newer"}));
    EXPECT_FALSE(loop.RemoveMessageFilter(&older));
}

class CountingIdle : public Framework::IdleHandler {
public:
    CountingIdle(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    bool OnIdle() override {
        log_.push_back(name_);
        if (onIdle) onIdle(++calls);
        return false;
    }
    std::function<void(int)> onIdle;
    int calls = 0;

private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(MessageLoop, RunsIdleHandlersOncePerIdlePeriodAndReturnsTheQuitParameter) {
    std::vector<std::string> log;
    CountingIdle first(log, "first");
    CountingIdle second(log, "second");
    Framework::MessageLoop loop;
    loop.AddIdleHandler(&first);
    loop.AddIdleHandler(&second);
    std::vector<std::string> filtered;
    RecordingFilter filter(filtered, "filter", 0);
    loop.AddMessageFilter(&filter);

    // Idle 1 posts a message that makes idle work due again; idle 2 quits.
    first.onIdle = [](int call) {
        if (call == 1) ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 7, 0, 0);
        if (call == 2) ::PostQuitMessage(32780);
    };
    EXPECT_EQ(loop.Run(), 32780);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "first", "second"}));
    EXPECT_EQ(filtered, (std::vector<std::string>{"filter"}));
}

TEST(MessageLoop, MouseMovesPaintAndTheCaretBlinkDoNotMakeIdleWorkDue) {
    const struct {
        UINT message;
        bool idle;
    } cases[] = {{WM_MOUSEMOVE, false}, {WM_NCMOUSEMOVE, false}, {WM_PAINT, false}, {0x0118, false},
                 {WM_TIMER, true},      {WM_KEYDOWN, true},      {WM_COMMAND, true}, {WM_APP, true}};
    for (const auto& c : cases) {
        MSG msg{};
        msg.message = c.message;
        EXPECT_EQ(Framework::MessageLoop::IsIdleMessage(msg), c.idle) << std::hex << c.message;
    }
}

TEST(MessageLoop, AFailingWindowHandlerEndsTheLoopAndIsThrownFromRun) {
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    dialog.throwOnButton = true;
    ::PostMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
    ::PostMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
    Framework::MessageLoop loop;
    EXPECT_THROW(loop.Run(), std::runtime_error);
    EXPECT_EQ(dialog.buttonClicks, 1);  // the loop ended at the first failure
    EXPECT_FALSE(Framework::CallbackGuard::Pending());
    MSG quit;
    EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));  // taken with the failure
    dialog.throwOnButton = false;
    PumpPending();
    EXPECT_EQ(dialog.buttonClicks, 2);  // handlers run again once the failure was thrown
}

TEST(AppModule, KeepsOneLoopPerThread) {
    Framework::MessageLoop loop;
    Framework::MessageLoop other;
    ASSERT_TRUE(Framework::AppModule::AddMessageLoop(&loop));
    EXPECT_FALSE(Framework::AppModule::AddMessageLoop(&other));
    EXPECT_EQ(Framework::AppModule::GetMessageLoop(), &loop);

    Framework::MessageLoop* seenByOtherThread = &other;
    std::thread([&] { seenByOtherThread = Framework::AppModule::GetMessageLoop(); }).join();
    EXPECT_EQ(seenByOtherThread, nullptr);
    EXPECT_EQ(Framework::AppModule::GetMessageLoop(::GetCurrentThreadId()), &loop);

    EXPECT_TRUE(Framework::AppModule::RemoveMessageLoop());
    EXPECT_FALSE(Framework::AppModule::RemoveMessageLoop());
    EXPECT_EQ(Framework::AppModule::GetMessageLoop(), nullptr);
}

// An image list of four 16x16 images in solid colours.
Win::UniqueImageList SolidColourImages(const std::vector<COLORREF>& colours) {
    Win::UniqueImageList list(::ImageList_Create(16, 16, ILC_COLOR24, 4, 1));
    HDC screen = ::GetDC(nullptr);
    for (COLORREF colour : colours) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
        HDC dc = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        RECT r{0, 0, 16, 16};
        HBRUSH brush = ::CreateSolidBrush(colour);
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::ImageList_Add(list.get(), bitmap, nullptr);
        ::DeleteObject(bitmap);
    }
    ::ReleaseDC(nullptr, screen);
    return list;
}

// Draws the button through its parent's reflection into a memory bitmap and
// returns the colour at its centre.
COLORREF DrawnCentre(HWND button, UINT state) {
    RECT r{};
    ::GetClientRect(button, &r);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(::GetDlgCtrlID(button));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button;
    item.hDC = dc;
    item.rcItem = r;
    ::SendMessageW(::GetParent(button), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    const COLORREF colour = ::GetPixel(dc, r.right / 2, r.bottom / 2);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

TEST(BitmapButton, DrawsTheImageOfEachStateThroughReflection) {
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    TestButton button;
    button.SetBitmapButtonExtendedStyle(Framework::kBitmapButtonHover | Framework::kBitmapButtonAutoSize);
    ASSERT_TRUE(button.SubclassWindow(dialog.Item(IDC_TEST_BUTTON)));
    EXPECT_EQ(::GetWindowLongPtrW(button.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255), grey = RGB(128, 128, 128);
    button.SetImageList(SolidColourImages({red, green, blue, grey}));
    RECT client{};
    ::GetClientRect(button.Handle(), &client);
    EXPECT_EQ(client.right, 16);  // sized to its image
    EXPECT_EQ(client.bottom, 16);

    button.SetImages(0, 1, 2, 3);
    EXPECT_EQ(DrawnCentre(button.Handle(), 0), red);
    EXPECT_EQ(DrawnCentre(button.Handle(), ODS_SELECTED), green);
    EXPECT_EQ(DrawnCentre(button.Handle(), ODS_DISABLED), grey);
    // With the hover style the focus alone does not pick the hover image.
    EXPECT_EQ(DrawnCentre(button.Handle(), ODS_FOCUS | ODS_NOFOCUSRECT), red);
    button.SetImages(2, 2, 2, 2);
    EXPECT_EQ(DrawnCentre(button.Handle(), ODS_DISABLED), blue);
    button.SetImages(1);
    EXPECT_EQ(DrawnCentre(button.Handle(), ODS_DISABLED), green);

    // Clicks still reach the dialog's command map.
    ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.buttonClicks, 1);
}

TEST(HyperLink, TakesTheStaticsTextAsLabelAndOpensItsTargetOnAClick) {
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    Framework::CHyperLink link;
    std::vector<std::wstring> opened;
    INT_PTR openResult = 42;
    link.SetOpener([&](const std::wstring& target) {
        opened.push_back(target);
        return openResult;
    });
    link.SetHyperLinkExtendedStyle(Framework::kHyperLinkUnderlineHover);
    ASSERT_TRUE(link.SubclassWindow(dialog.Item(IDC_TEST_LINK)));
    link.SetHyperLink(L"http://link.test/");
    EXPECT_EQ(link.Label(), L"Visit us.\nhttp://link.test/");
    EXPECT_NE(::GetWindowLongPtrW(link.Handle(), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_FALSE(link.Visited());

    // A press and release on the middle of the centred label is a click.
    RECT client{};
    ::GetClientRect(link.Handle(), &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, 4);
    ::SendMessageW(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageW(link.Handle(), WM_LBUTTONUP, 0, middle);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"http://link.test/");
    EXPECT_TRUE(link.Visited());

    // The empty margin beside the centred text is no part of the link.
    const LPARAM margin = MAKELPARAM(1, client.bottom - 1);
    ::SendMessageW(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, margin);
    ::SendMessageW(link.Handle(), WM_LBUTTONUP, 0, margin);
    EXPECT_EQ(opened.size(), 1u);
}

TEST(HyperLink, ResultsUpTo32AreFailuresAndLeaveTheLinkUnvisited) {
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    for (INT_PTR result : {0, 2, 32}) {
        Framework::CHyperLink link;
        link.SetOpener([&](const std::wstring&) { return result; });
        ASSERT_TRUE(link.SubclassWindow(dialog.Item(IDC_TEST_LINK)));
        EXPECT_FALSE(link.Navigate()) << result;
        EXPECT_FALSE(link.Visited()) << result;
        link.UnsubclassWindow();
    }
    Framework::CHyperLink link;
    link.SetOpener([](const std::wstring&) { return INT_PTR{33}; });
    ASSERT_TRUE(link.SubclassWindow(dialog.Item(IDC_TEST_LINK)));
    EXPECT_TRUE(link.Navigate());
    EXPECT_TRUE(link.Visited());
}

TEST(WindowCentering, WithoutAnOwnerTheWindowGoesToTheMiddleOfTheWorkArea) {
    TestDialog dialog;
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(Framework::CenterWindow(hwnd));
    RECT work{};
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    work = info.rcWork;
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int expectedX = work.left + (work.right - work.left) / 2 - (r.right - r.left) / 2;
    const int expectedY = work.top + (work.bottom - work.top) / 2 - (r.bottom - r.top) / 2;
    EXPECT_EQ(r.left, expectedX);
    EXPECT_EQ(r.top, expectedY);
}

}  // namespace
