#pragma once
// The statistics panel in the lower left of the main form: a frameless child
// dialog stretched over the form's host control. It holds no state of its
// own; the main form writes its texts every tick and shows or hides its
// controls by mode.

#include <windows.h>

#include <array>
#include <string>

#include "ui/framework/DialogResize.h"
#include "ui/framework/DialogWindow.h"
#include "ui/framework/MessageMap.h"
#include "ui/res/resource.h"

class StatusView : public Framework::DialogWindow<StatusView>, public Framework::DialogResize<StatusView> {
public:
    enum { IDD = IDD_STATUS };

    // The 18 controls: the two item lines, then each label and its display.
    static constexpr std::array<int, 18> kControlIds = {
        IDC_ITEM_NAME,      IDC_ITEM_FOLDER,          IDC_FILES_LABEL,    IDC_FILES,
        IDC_SKIPPED_LABEL,  IDC_SKIPPED,              IDC_ELAPSED_LABEL,  IDC_ELAPSED,
        IDC_COPIED_LABEL,   IDC_COPIED,               IDC_REMAINING_TIME_LABEL, IDC_REMAINING_TIME,
        IDC_REMAINING_LABEL, IDC_REMAINING,           IDC_SPEED_LABEL,    IDC_SPEED,
        IDC_PROGRESS_LABEL, IDC_PROGRESS_TEXT,
    };

    StatusView() = default;
    ~StatusView() { DestroyWindow(); }

    BEGIN_MSG_MAP(StatusView)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnControlColour)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnControlColour)
        CHAIN_MSG_MAP(Framework::DialogResize<StatusView>)
    END_MSG_MAP()

    BEGIN_DLGRESIZE_MAP(StatusView)
        DLGRESIZE_CONTROL(IDC_ITEM_NAME, Layout::kSizeX)
        DLGRESIZE_CONTROL(IDC_ITEM_FOLDER, Layout::kSizeX)
    END_DLGRESIZE_MAP()

    // Shows (normal show) or hides the 18 controls together.
    void ShowFields(bool show);

    // Writes a control's text only when it differs from what it shows, so an
    // unchanged figure is not repainted. True when the text was written.
    bool SetText(int id, const std::wstring& text);
    std::wstring Text(int id) const;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnControlColour(UINT, WPARAM, LPARAM, bool&);
};
