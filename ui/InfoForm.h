#pragma once
// What the completion and about forms share: a small modal dialog on white,
// centred over its owner (or its monitor's work area), whose control 1034 is
// a hyperlink to the product's web page. OK and Cancel/Escape close it.

#include <windows.h>

#include "ui/framework/DialogWindow.h"
#include "ui/framework/HyperLink.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/WindowCentering.h"
#include "ui/res/Version.h"
#include "ui/res/resource.h"

template <class T>
class InfoForm : public Framework::DialogWindow<T> {
public:
    BEGIN_MSG_MAP(InfoForm)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnControlColour)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnControlColour)
        COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
    END_MSG_MAP()

    // Runs the form modally, owned by owner (null: no owner). The owner is
    // disabled while the form is open.
    INT_PTR Show(HWND owner) { return this->DoModal(owner); }

    Framework::CHyperLink& Link() { return link; }

    ~InfoForm() { this->DestroyWindow(); }

protected:
    // The derived form's own step between centring and the link set-up.
    void OnOpened() {}

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
        Framework::CenterWindow(this->Handle());
        static_cast<T*>(this)->OnOpened();
        link.SetHyperLinkExtendedStyle(Framework::kHyperLinkUnderlineHover);
        link.SubclassWindow(this->Item(IDC_LINK));
        link.SetHyperLink(TORVANE_WEB_ADDRESS_W);
        return TRUE;  // the dialog manager sets the default focus
    }

    LRESULT OnControlColour(UINT, WPARAM wParam, LPARAM, bool&) {
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }

    LRESULT OnCloseCommand(WORD, WORD id, HWND, bool&) {
        this->EndDialog(id);
        return 0;
    }

    Framework::CHyperLink link;
};
