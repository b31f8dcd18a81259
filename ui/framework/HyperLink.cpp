#include "ui/framework/HyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include "ui/framework/WindowText.h"

namespace Framework {
namespace {

INT_PTR OpenWithShell(const std::wstring& target) {
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result);
}

HFONT ControlFont(HWND hwnd) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    return font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

CHyperLink::CHyperLink() : opener_(&OpenWithShell) {}

CHyperLink::~CHyperLink() {
    if (Handle() != nullptr && ::IsWindow(Handle())) UnsubclassWindow();
}

bool CHyperLink::SubclassWindow(HWND hwnd) {
    if (!SubclassedWindow<CHyperLink>::SubclassWindow(hwnd)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | SS_NOTIFY);
    if (label_.empty()) label_ = WindowText(hwnd);
    if (target_.empty()) target_ = label_;
    MakeFonts();
    CreateToolTip();
    ::InvalidateRect(hwnd, nullptr, TRUE);
    return true;
}

void CHyperLink::SetLabel(const std::wstring& label) {
    label_ = label;
    if (Handle() != nullptr) {
        ::SetWindowTextW(Handle(), label_.c_str());
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void CHyperLink::SetHyperLink(const std::wstring& target) {
    target_ = target;
    if (toolTip_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Handle();
        tool.uId = 1;
        tool.lpszText = const_cast<wchar_t*>(target_.c_str());
        ::SendMessageW(toolTip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool CHyperLink::Navigate() {
    if (target_.empty() || !opener_) return false;
    if (opener_(target_) <= 32) return false;
    visited_ = true;
    if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, TRUE);
    return true;
}

void CHyperLink::MakeFonts() {
    LOGFONTW font{};
    if (::GetObjectW(ControlFont(Handle()), sizeof(font), &font) == 0) return;
    font.lfUnderline = TRUE;
    underlineFont_.reset(::CreateFontIndirectW(&font));
}

UINT CHyperLink::TextFormat() const {
    const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    UINT format = DT_WORDBREAK | DT_NOPREFIX;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_LEFT; break;
    }
    return format;
}

// The area the label's text covers inside the control, for hit tests.
RECT CHyperLink::LabelRect() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    RECT text = client;
    HDC dc = ::GetDC(Handle());
    if (dc == nullptr) return client;
    HGDIOBJ old = ::SelectObject(dc, ControlFont(Handle()));
    ::DrawTextW(dc, label_.c_str(), -1, &text, TextFormat() | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(Handle(), dc);
    const int width = text.right - text.left;
    const UINT format = TextFormat();
    if ((format & DT_CENTER) != 0) {
        text.left = client.left + ((client.right - client.left) - width) / 2;
    } else if ((format & DT_RIGHT) != 0) {
        text.left = client.right - width;
    }
    text.right = text.left + width;
    return text;
}

bool CHyperLink::PointOnLabel(POINT p) {
    const RECT label = LabelRect();
    return ::PtInRect(&label, p) != FALSE;
}

void CHyperLink::CreateToolTip() {
    toolTip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                                     nullptr, nullptr, nullptr));
    if (!toolTip_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.rect = LabelRect();
    tool.lpszText = const_cast<wchar_t*>(target_.c_str());
    ::SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::Draw(HDC dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    // The parent picks the background, as it would for the plain static.
    HWND parent = ::GetParent(Handle());
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Handle())));
    ::FillRect(dc, &client, brush != nullptr ? brush : ::GetSysColorBrush(COLOR_BTNFACE));

    bool underline = (extendedStyle_ & kHyperLinkNoUnderline) == 0;
    if ((extendedStyle_ & kHyperLinkUnderlineHover) != 0) underline = mouseOver_;
    HFONT font = underline && underlineFont_ ? underlineFont_.get() : ControlFont(Handle());

    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, visited_ ? kVisitedColor : kLinkColor);
    RECT text = client;
    ::DrawTextW(dc, label_.c_str(), -1, &text, TextFormat());
    ::SelectObject(dc, oldFont);

    if (::GetFocus() == Handle()) {
        RECT focus = LabelRect();
        ::DrawFocusRect(dc, &focus);
    }
}

LRESULT CHyperLink::OnPaint(UINT, WPARAM wParam, LPARAM, bool&) {
    if (wParam != 0) {  // WM_PRINTCLIENT-style painting into a given context
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    if (dc != nullptr) Draw(dc);
    ::EndPaint(Handle(), &paint);
    return 0;
}

LRESULT CHyperLink::OnEraseBackground(UINT, WPARAM, LPARAM, bool&) {
    return TRUE;  // WM_PAINT fills the whole control
}

LRESULT CHyperLink::OnSetCursor(UINT, WPARAM, LPARAM, bool& handled) {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    if (!PointOnLabel(p)) {
        handled = false;
        return 0;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CHyperLink::OnMouseMove(UINT, WPARAM, LPARAM lParam, bool&) {
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const bool over = PointOnLabel(p);
    if (over != mouseOver_) {
        mouseOver_ = over;
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
    if (over && !tracking_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = Handle();
        tracking_ = ::TrackMouseEvent(&track) != FALSE;
    }
    return 0;
}

LRESULT CHyperLink::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
    tracking_ = false;
    if (mouseOver_) {
        mouseOver_ = false;
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
    return 0;
}

LRESULT CHyperLink::OnLeftButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PointOnLabel(p)) {
        ::SetFocus(Handle());
        ::SetCapture(Handle());
    }
    return 0;
}

// A click is a press and a release both on the label.
LRESULT CHyperLink::OnLeftButtonUp(UINT, WPARAM, LPARAM lParam, bool&) {
    if (::GetCapture() != Handle()) return 0;
    ::ReleaseCapture();
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PointOnLabel(p)) Navigate();
    return 0;
}

LRESULT CHyperLink::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (wParam == VK_RETURN || wParam == VK_SPACE) {
        Navigate();
        return 0;
    }
    handled = false;
    return 0;
}

// With the focus the link takes Enter and Space itself; the dialog keeps
// Tab and Escape.
LRESULT CHyperLink::OnGetDlgCode(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (wParam == VK_RETURN || wParam == VK_SPACE) return DLGC_WANTALLKEYS;
    handled = false;
    return 0;
}

LRESULT CHyperLink::OnFocusChange(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    ::InvalidateRect(Handle(), nullptr, TRUE);
    return 0;
}

LRESULT CHyperLink::OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
    const LRESULT result = DefaultProc(message, wParam, lParam);
    MakeFonts();
    return result;
}

}  // namespace Framework
