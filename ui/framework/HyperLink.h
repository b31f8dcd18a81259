#pragma once
// A hyperlink made from a static control: the label drawn in link colours,
// a hand cursor, an optional underline only while the mouse is over it, a
// tooltip with the target, and a click that opens the target with
// ShellExecuteW. A successful open marks the link visited.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/framework/Handles.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/SubclassedWindow.h"

namespace Framework {

// Extended styles of the hyperlink.
enum HyperLinkStyle : DWORD {
    kHyperLinkUnderlineHover = 0x1,  // underline only while the mouse is over the label
    kHyperLinkNoUnderline = 0x2,     // never underline
};

class CHyperLink : public SubclassedWindow<CHyperLink> {
public:
    // Opens a target; returns what ShellExecuteW returns (success above 32).
    using Opener = std::function<INT_PTR(const std::wstring& target)>;

    CHyperLink();
    ~CHyperLink();

    BEGIN_MSG_MAP(CHyperLink)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLeftButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLeftButtonUp)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    END_MSG_MAP()

    void SetHyperLinkExtendedStyle(DWORD style) { extendedStyle_ = style; }
    DWORD HyperLinkExtendedStyle() const { return extendedStyle_; }

    // Subclasses the static: it then notifies clicks, and its current text
    // becomes the label unless a label was set before.
    bool SubclassWindow(HWND hwnd);

    void SetLabel(const std::wstring& label);
    const std::wstring& Label() const { return label_; }
    void SetHyperLink(const std::wstring& target);
    const std::wstring& HyperLink() const { return target_; }

    // Opens the target; true (and visited) when the opener reports success.
    bool Navigate();
    bool Visited() const { return visited_; }
    bool MouseOver() const { return mouseOver_; }

    // Replaces ShellExecuteW, for tests.
    void SetOpener(Opener opener) { opener_ = std::move(opener); }

    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColor = RGB(128, 0, 128);

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnLeftButtonDown(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnLeftButtonUp(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnKeyDown(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnFocusChange(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnSetFont(UINT, WPARAM, LPARAM, bool&);

    void MakeFonts();
    UINT TextFormat() const;
    RECT LabelRect();
    bool PointOnLabel(POINT p);
    void CreateToolTip();
    void Draw(HDC dc);

    std::wstring label_;
    std::wstring target_;
    DWORD extendedStyle_ = 0;
    bool visited_ = false;
    bool mouseOver_ = false;
    bool tracking_ = false;
    Win::UniqueFont underlineFont_;
    Win::UniqueWindow toolTip_;
    Opener opener_;
};

}  // namespace Framework
