// The completion and about forms as the user meets them: owned by and
// centred over the window that opens them or, without one, in the work area; white; control 1034 a
// hyperlink to the web page; OK and Escape close them.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "ui/AboutForm.h"
#include "ui/CompletionForm.h"
#include "ui/res/Version.h"
#include "ui/res/resource.h"

namespace {

// Runs check on the open form, then sends it the closing command.
std::function<void(HWND)> whileOpen;
WORD closeWith = IDOK;

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND form = ::GetActiveWindow();
    if (whileOpen) whileOpen(form);
    ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(closeWith, 0), 0);
}

template <class Form>
INT_PTR ShowAndClose(Form& form, WORD command, std::function<void(HWND)> check, HWND owner = nullptr) {
    whileOpen = std::move(check);
    closeWith = command;
    ::SetTimer(nullptr, 0, 150, &InspectAndClose);
    return form.Show(owner);
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST(CompletionForm, WithoutAnOwnerItIsCentredInTheWorkAreaAndOkClosesIt) {
    CompletionForm form;
    bool inspected = false;
    const INT_PTR result = ShowAndClose(form, IDOK, [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
        RECT r{};
        ::GetWindowRect(dialog, &r);
        const RECT work = WorkAreaOf(dialog);
        EXPECT_EQ(r.left, work.left + (work.right - work.left) / 2 - (r.right - r.left) / 2);
        EXPECT_EQ(r.top, work.top + (work.bottom - work.top) / 2 - (r.bottom - r.top) / 2);
        wchar_t caption[64] = {};
        ::GetWindowTextW(dialog, caption, 64);
        EXPECT_STREQ(caption, L"Torvane");
    });
    EXPECT_TRUE(inspected);
    EXPECT_EQ(result, IDOK);
}

TEST(CompletionForm, ItsLinkLeadsToTheWebPageAndItsStaticsAreOnWhite) {
    CompletionForm form;
    ShowAndClose(form, IDCANCEL, [&](HWND dialog) {
        EXPECT_EQ(form.Link().Handle(), ::GetDlgItem(dialog, IDC_LINK));
        EXPECT_EQ(form.Link().Label(), std::wstring(L"Find out more about Torvane.\n") + TORVANE_WEB_ADDRESS_W);
        EXPECT_EQ(form.Link().HyperLink(), TORVANE_WEB_ADDRESS_W);
        EXPECT_EQ(form.Link().HyperLinkExtendedStyle(), static_cast<DWORD>(Framework::kHyperLinkUnderlineHover));
        HDC dc = ::GetDC(dialog);
        const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
            dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK))));
        EXPECT_EQ(brush, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        ::ReleaseDC(dialog, dc);
    });
}

TEST(AboutForm, IsCentredOverItsOwnerWhichItDisablesAndEscapeClosesIt) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 700, 500,
                                   nullptr, nullptr, nullptr, nullptr);
    // Another window is the active one: the owner is what counts.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    ::SetActiveWindow(other);
    AboutForm form;
    bool inspected = false;
    const INT_PTR result = ShowAndClose(form, IDCANCEL, [&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner);
        EXPECT_FALSE(::IsWindowEnabled(owner));
        RECT r{};
        ::GetWindowRect(dialog, &r);
        RECT o{};
        ::GetWindowRect(owner, &o);
        EXPECT_EQ(r.left, o.left + (o.right - o.left) / 2 - (r.right - r.left) / 2);
        EXPECT_EQ(r.top, o.top + (o.bottom - o.top) / 2 - (r.bottom - r.top) / 2);
        bool versionShown = false;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[64] = {};
            ::GetWindowTextW(child, text, 64);
            if (std::wstring(text) == L"Torvane " TORVANE_VERSION_TEXT_W) versionShown = true;
        }
        EXPECT_TRUE(versionShown);
        EXPECT_EQ(form.Link().Label(), std::wstring(L"Visit the Torvane web site:\n") + TORVANE_WEB_ADDRESS_W);
    }, owner);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(other);
    ::DestroyWindow(owner);
}

}  // namespace
