#pragma once
// A dialog window driven by the derived class's message map:
//   class AboutForm : public Framework::DialogWindow<AboutForm> {
//   public:
//       enum { IDD = 100 };
//       BEGIN_MSG_MAP(AboutForm) ... END_MSG_MAP()
//   };
// Create makes a modeless dialog, DoModal runs a modal one. The object should
// outlive its window: a derived class whose handlers must see WM_DESTROY
// destroys the window in its own destructor. As a last resort this base
// detaches the object and destroys a window that still exists.

#include <windows.h>

#include "ui/framework/AppModule.h"
#include "ui/framework/CallbackGuard.h"

namespace Framework {

// Dialog-procedure results that go back as the return value itself instead
// of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message);

template <class T>
class DialogWindow {
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the modeless dialog T::IDD. Null on failure (GetLastError says why).
    HWND Create(HWND parent, LPARAM initParam = 0) {
        initParam_ = initParam;
        modal_ = false;
        return ::CreateDialogParamW(AppModule::Instance(), MAKEINTRESOURCEW(T::IDD), parent, &DialogProc,
                                    reinterpret_cast<LPARAM>(this));
    }

    // Runs the dialog modally; returns the EndDialog result or -1.
    INT_PTR DoModal(HWND owner, LPARAM initParam = 0) {
        initParam_ = initParam;
        modal_ = true;
        return ::DialogBoxParamW(AppModule::Instance(), MAKEINTRESOURCEW(T::IDD), owner, &DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    }

    bool EndDialog(INT_PTR result) { return ::EndDialog(hwnd_, result) != FALSE; }

    bool DestroyWindow() { return hwnd_ != nullptr && ::DestroyWindow(hwnd_) != FALSE; }

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    bool IsModal() const { return modal_; }

    // The parameter given to Create or DoModal, also passed to WM_INITDIALOG.
    LPARAM InitParam() const { return initParam_; }

protected:
    ~DialogWindow() {
        if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
            HWND hwnd = hwnd_;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);  // the derived object is gone already
            hwnd_ = nullptr;
            ::DestroyWindow(hwnd);
        }
    }

    // Called after the last message (WM_NCDESTROY); the handle is gone then.
    void OnFinalMessage(HWND) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        DialogWindow* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<DialogWindow*>(lParam);
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            lParam = self->initParam_;
        } else {
            self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        }
        if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG

        LRESULT result = 0;
        bool handled = false;
        CallbackGuard::Guard([&] {
            handled = static_cast<T*>(self)->ProcessWindowMessage(hwnd, message, wParam, lParam, result);
        });

        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            static_cast<T*>(self)->OnFinalMessage(hwnd);
            return FALSE;
        }
        if (!handled) return FALSE;
        if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    HWND hwnd_ = nullptr;
    LPARAM initParam_ = 0;
    bool modal_ = false;
};

inline bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

}  // namespace Framework
