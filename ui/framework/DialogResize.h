#pragma once
// Dialog resizing mix-in: moves and stretches the controls listed in the
// derived class's resize map by the change of the client size, keeps the
// window from shrinking below its initial size, and can add a size grip.
//   BEGIN_DLGRESIZE_MAP(MainForm)
//       DLGRESIZE_CONTROL(1015, Layout::kSizeX | Layout::kSizeY)
//   END_DLGRESIZE_MAP()
//   ... CHAIN_MSG_MAP(Framework::DialogResize<MainForm>)
// The derived class calls DlgResize_Init from its WM_INITDIALOG handler.

#include <windows.h>

#include <cstddef>
#include <vector>

#include "ui/framework/MessageMap.h"
#include "ui/framework/ResizeRule.h"

namespace Framework {

struct ResizeEntry {
    int id;
    unsigned flags;  // Layout::ResizeFlags
};

struct ResizeMap {
    const ResizeEntry* entries;
    std::size_t count;
};

// The size grip's control id.
constexpr int kSizeGripId = 0x2FFF;

#define BEGIN_DLGRESIZE_MAP(theClass)                                                        \
    static Framework::ResizeMap GetResizeMap() {                                             \
        static const Framework::ResizeEntry entries[] = {
#define DLGRESIZE_CONTROL(id, flags) {(id), (flags)},
#define END_DLGRESIZE_MAP()                                                                  \
    };                                                                                       \
    return {entries, sizeof(entries) / sizeof(entries[0])};                                  \
    }

Layout::Rect ToLayout(const RECT& r);
RECT ToRect(const Layout::Rect& r);

template <class T>
class DialogResize {
public:
    BEGIN_MSG_MAP(DialogResize)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    END_MSG_MAP()

    // Records every listed control's rectangle and the client size they
    // belong to. useMinTrackSize makes the current window size the smallest
    // one; forceStyle is added to the dialog's style (clip children, so the
    // controls do not flicker while the dialog repaints).
    void DlgResize_Init(bool addGrip = true, bool useMinTrackSize = true, DWORD forceStyle = WS_CLIPCHILDREN) {
        HWND dialog = static_cast<T*>(this)->Handle();
        if (forceStyle != 0) {
            const LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
            ::SetWindowLongPtrW(dialog, GWL_STYLE, style | static_cast<LONG_PTR>(forceStyle));
        }
        RECT client{};
        ::GetClientRect(dialog, &client);
        originalClient_ = {client.right - client.left, client.bottom - client.top};

        RECT window{};
        ::GetWindowRect(dialog, &window);
        useMinTrackSize_ = useMinTrackSize;
        minTrackSize_ = {window.right - window.left, window.bottom - window.top};

        controls_.clear();
        const ResizeMap map = T::GetResizeMap();
        for (std::size_t i = 0; i < map.count; ++i) Track(map.entries[i].id, map.entries[i].flags);

        if (addGrip && ::GetDlgItem(dialog, kSizeGripId) == nullptr) {
            const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
            const int cy = ::GetSystemMetrics(SM_CYHSCROLL);
            HWND grip = ::CreateWindowExW(
                0, L"SCROLLBAR", nullptr,
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                client.right - cx, client.bottom - cy, cx, cy, dialog,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSizeGripId)), nullptr, nullptr);
            if (grip != nullptr) Track(kSizeGripId, Layout::kMoveX | Layout::kMoveY);
        }
    }

    // Lays the controls out for the given client size.
    void DlgResize_UpdateLayout(int cx, int cy) {
        HWND dialog = static_cast<T*>(this)->Handle();
        if (controls_.empty()) return;
        HDWP defer = ::BeginDeferWindowPos(static_cast<int>(controls_.size()));
        for (const Tracked& c : controls_) {
            HWND control = ::GetDlgItem(dialog, c.id);
            if (control == nullptr) continue;
            const RECT r = ToRect(Layout::ResizedRect(c.original, originalClient_, {cx, cy}, c.flags));
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (defer != nullptr) {
                defer = ::DeferWindowPos(defer, control, nullptr, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, flags);
            } else {
                ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
            }
        }
        if (defer != nullptr) ::EndDeferWindowPos(defer);
        // Stretched controls paint text laid out for their width: repaint them whole.
        for (const Tracked& c : controls_) {
            if ((c.flags & (Layout::kSizeX | Layout::kSizeY)) == 0) continue;
            if (HWND control = ::GetDlgItem(dialog, c.id)) ::InvalidateRect(control, nullptr, TRUE);
        }
    }

    // The window now shows at another DPI: the recorded rectangles, the
    // client size they belong to and the smallest size change by
    // numerator / denominator (new DPI / old DPI).
    void DlgResize_Scale(int numerator, int denominator) {
        if (numerator <= 0 || denominator <= 0) return;
        const auto scale = [&](int value) { return ::MulDiv(value, numerator, denominator); };
        for (Tracked& c : controls_) {
            c.original = {scale(c.original.left), scale(c.original.top), scale(c.original.right),
                          scale(c.original.bottom)};
        }
        originalClient_ = {scale(originalClient_.cx), scale(originalClient_.cy)};
        minTrackSize_ = {scale(minTrackSize_.cx), scale(minTrackSize_.cy)};
    }

    // A tracked control sized itself (to its image, say): its recorded
    // rectangle keeps its top-left corner and takes the new size.
    void DlgResize_SetOriginalSize(int id, int cx, int cy) {
        for (Tracked& c : controls_) {
            if (c.id != id) continue;
            c.original.right = c.original.left + cx;
            c.original.bottom = c.original.top + cy;
        }
    }

    Layout::Size OriginalClientSize() const { return originalClient_; }
    Layout::Size MinTrackSize() const { return minTrackSize_; }

protected:
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
        handled = false;  // others may want WM_SIZE too
        if (wParam == SIZE_MINIMIZED) return 0;
        HWND dialog = static_cast<T*>(this)->Handle();
        if (HWND grip = ::GetDlgItem(dialog, kSizeGripId)) {
            // A grip in a maximised window would suggest it can be resized.
            ::ShowWindow(grip, wParam == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
        }
        DlgResize_UpdateLayout(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    }

    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
        if (!useMinTrackSize_) {
            handled = false;
            return 0;
        }
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = minTrackSize_.cx;
        info->ptMinTrackSize.y = minTrackSize_.cy;
        return 0;
    }

private:
    struct Tracked {
        int id;
        unsigned flags;
        Layout::Rect original;
    };

    void Track(int id, unsigned flags) {
        HWND dialog = static_cast<T*>(this)->Handle();
        HWND control = ::GetDlgItem(dialog, id);
        if (control == nullptr) return;
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        controls_.push_back({id, flags, ToLayout(r)});
    }

    std::vector<Tracked> controls_;
    Layout::Size originalClient_;
    Layout::Size minTrackSize_;
    bool useMinTrackSize_ = false;
};

inline Layout::Rect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const Layout::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace Framework
