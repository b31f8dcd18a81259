#pragma once
// An owner-drawn push button that shows one image of an image list per state:
// normal, pushed, hover or focus, disabled (each falls back to normal). The
// parent must reflect notifications (REFLECT_NOTIFICATIONS) so the button
// receives its WM_DRAWITEM. A derived class adds handlers with its own map
// and chains to BitmapButtonImpl<Derived>.

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "ui/framework/ButtonState.h"
#include "ui/framework/Handles.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/Reflection.h"
#include "ui/framework/SubclassedWindow.h"

namespace Framework {

// Extended styles of the bitmap button.
enum BitmapButtonStyle : DWORD {
    kBitmapButtonHover = 0x1,     // the hover image follows the mouse, not the focus
    kBitmapButtonAutoSize = 0x2,  // the button takes the size of its images
};

using Layout::ButtonImage;

template <class T>
class BitmapButtonImpl : public SubclassedWindow<T> {
public:
    BEGIN_MSG_MAP(BitmapButtonImpl)
        MESSAGE_HANDLER(kReflectedMessageBase + WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnDoubleClick)
        MESSAGE_HANDLER(WM_ENABLE, OnStateChange)
        MESSAGE_HANDLER(WM_SETFOCUS, OnStateChange)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnStateChange)
    END_MSG_MAP()

    // Subclasses the button and makes it owner-drawn.
    bool SubclassWindow(HWND hwnd) {
        if (!SubclassedWindow<T>::SubclassWindow(hwnd)) return false;
        const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
        ::SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
        if ((extendedStyle_ & kBitmapButtonAutoSize) != 0) SizeToImage();
        return true;
    }

    void SetBitmapButtonExtendedStyle(DWORD style) { extendedStyle_ = style; }
    DWORD BitmapButtonExtendedStyle() const { return extendedStyle_; }

    // The button owns the image list from here on.
    void SetImageList(Win::UniqueImageList list) {
        imageList_ = std::move(list);
        if ((extendedStyle_ & kBitmapButtonAutoSize) != 0) SizeToImage();
    }
    HIMAGELIST ImageList() const { return imageList_.get(); }

    // Image indexes for the four states; -1 means "use the normal image".
    void SetImages(int normal, int pushed = -1, int focusOrHover = -1, int disabled = -1) {
        images_[0] = normal;
        images_[1] = pushed;
        images_[2] = focusOrHover;
        images_[3] = disabled;
    }
    int Image(ButtonImage which) const { return images_[static_cast<int>(which)]; }

    bool MouseOver() const { return mouseOver_; }

    // Resizes the button to its image list's image size.
    void SizeToImage() {
        int cx = 0;
        int cy = 0;
        if (this->Handle() == nullptr || !imageList_ || !::ImageList_GetIconSize(imageList_.get(), &cx, &cy)) {
            return;
        }
        ::SetWindowPos(this->Handle(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

protected:
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, bool&) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const bool hoverStyle = (extendedStyle_ & kBitmapButtonHover) != 0;
        const int image = Layout::ChooseButtonImage(images_, (item->itemState & ODS_DISABLED) != 0,
                                            (item->itemState & ODS_SELECTED) != 0,
                                            (item->itemState & ODS_FOCUS) != 0, hoverStyle, mouseOver_);
        // Images with transparent parts are blended onto a fresh background,
        // not onto whatever the previous state left.
        ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
        if (imageList_ && image >= 0) {
            int cx = 0;
            int cy = 0;
            ::ImageList_GetIconSize(imageList_.get(), &cx, &cy);
            const int x = item->rcItem.left + ((item->rcItem.right - item->rcItem.left) - cx) / 2;
            const int y = item->rcItem.top + ((item->rcItem.bottom - item->rcItem.top) - cy) / 2;
            ::ImageList_Draw(imageList_.get(), image, item->hDC, x, y, ILD_TRANSPARENT);
        }
        if ((item->itemState & ODS_FOCUS) != 0 && (item->itemState & ODS_NOFOCUSRECT) == 0) {
            RECT focus = item->rcItem;
            ::InflateRect(&focus, -2, -2);
            ::DrawFocusRect(item->hDC, &focus);
        }
        return TRUE;
    }

    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
        handled = false;  // the button still tracks its pushed state
        if ((extendedStyle_ & kBitmapButtonHover) != 0 && !mouseOver_) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof(track);
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = this->Handle();
            if (::TrackMouseEvent(&track)) {
                mouseOver_ = true;
                ::InvalidateRect(this->Handle(), nullptr, FALSE);
            }
        }
        return 0;
    }

    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, bool& handled) {
        handled = false;
        if (mouseOver_) {
            mouseOver_ = false;
            ::InvalidateRect(this->Handle(), nullptr, FALSE);
        }
        return 0;
    }

    // A quick second click is a second click, not a double click.
    LRESULT OnDoubleClick(UINT, WPARAM wParam, LPARAM lParam, bool&) {
        return this->DefaultProc(WM_LBUTTONDOWN, wParam, lParam);
    }

    LRESULT OnStateChange(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
        const LRESULT result = this->DefaultProc(message, wParam, lParam);
        ::InvalidateRect(this->Handle(), nullptr, FALSE);
        return result;
    }

private:
    Win::UniqueImageList imageList_;
    int images_[4] = {-1, -1, -1, -1};
    DWORD extendedStyle_ = 0;
    bool mouseOver_ = false;
};

}  // namespace Framework
