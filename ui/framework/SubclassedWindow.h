#pragma once
// Subclassing of an existing window (a dialog's control) by an object whose
// message map sees every message first; what it does not handle goes to the
// window's original procedure. The object finds itself through a window
// property; a window has at most one such object at a time.

#include <windows.h>

#include "ui/framework/CallbackGuard.h"

namespace Framework {

// The property under which a subclassed window keeps its object.
extern const wchar_t kSubclassProperty[];

template <class T>
class SubclassedWindow {
public:
    SubclassedWindow() = default;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    // False when hwnd is no window, is subclassed by us already, or this
    // object subclasses another window.
    bool SubclassWindow(HWND hwnd) {
        if (hwnd_ != nullptr || hwnd == nullptr || !::IsWindow(hwnd)) return false;
        if (::GetPropW(hwnd, kSubclassProperty) != nullptr) return false;
        if (!::SetPropW(hwnd, kSubclassProperty, static_cast<HANDLE>(this))) return false;
        hwnd_ = hwnd;
        original_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
        if (original_ == nullptr) {
            ::RemovePropW(hwnd, kSubclassProperty);
            hwnd_ = nullptr;
            return false;
        }
        return true;
    }

    // Gives the window its original procedure back; returns it, or null.
    HWND UnsubclassWindow() {
        if (hwnd_ == nullptr) return nullptr;
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropW(hwnd, kSubclassProperty);
        hwnd_ = nullptr;
        original_ = nullptr;
        return hwnd;
    }

    HWND Handle() const { return hwnd_; }

    // The original procedure's answer, for handlers that add to it.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::CallWindowProcW(original_, hwnd_, message, wParam, lParam);
    }

protected:
    ~SubclassedWindow() {
        if (hwnd_ != nullptr && ::IsWindow(hwnd_)) UnsubclassWindow();
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<SubclassedWindow*>(::GetPropW(hwnd, kSubclassProperty));
        if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
        LRESULT result = 0;
        bool handled = false;
        CallbackGuard::Guard([&] {
            handled = static_cast<T*>(self)->ProcessWindowMessage(hwnd, message, wParam, lParam, result);
        });
        if (message == WM_NCDESTROY) {
            WNDPROC original = self->original_;
            self->UnsubclassWindow();
            if (!handled) result = ::CallWindowProcW(original, hwnd, message, wParam, lParam);
            return result;
        }
        if (handled) return result;
        return ::CallWindowProcW(self->original_, hwnd, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
};

}  // namespace Framework
