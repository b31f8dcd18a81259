// MainForm's result list as something to copy from: several rows can be
// selected (click, Shift and Ctrl, Ctrl+A or "Select all"), and Ctrl+C or
// the list's menu puts them on the clipboard, by name or by full path. The
// selection stays on its rows while new rows are inserted above them.

#include "ui/MainForm.h"

#include <commctrl.h>
#include <windowsx.h>

#include "ui/Clipboard.h"
#include "control/RowSelection.h"
#include "ui/framework/AppModule.h"

namespace {

void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int NextRow(HWND list, int after, UINT flags) {
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(flags, 0)));
}

// Selected rows times new rows: beyond this (a whole list selected while
// thousands of rows arrive in one tick) following the selection would hold
// the window up for a noticeable time.
constexpr std::size_t kMostSelectionShifts = 16'000'000;

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

std::vector<std::size_t> MainForm::SelectedRows() const {
    std::vector<std::size_t> rows;
    const int selected = static_cast<int>(::SendMessageW(results, LVM_GETSELECTEDCOUNT, 0, 0));
    if (selected <= 0) return rows;
    rows.reserve(static_cast<std::size_t>(selected));
    for (int row = NextRow(results, -1, LVNI_SELECTED); row >= 0; row = NextRow(results, row, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

// The list view keeps its selection as indexes, and the count alone does not
// tell it where the new rows went: each selected row, the focused row and
// the selection mark (Shift+click's anchor) are moved past the rows inserted
// before them.
void MainForm::SetRowCountFollowingRows(std::size_t count) {
    const std::vector<std::size_t> selected = SelectedRows();
    const int focused = NextRow(results, -1, LVNI_FOCUSED);
    const int mark = static_cast<int>(::SendMessageW(results, LVM_GETSELECTIONMARK, 0, 0));

    ::SendMessageW(results, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (insertedRows.empty()) return;

    if (selected.size() * insertedRows.size() > kMostSelectionShifts) {
        // Too much to follow at once: no selection beats one on other rows.
        SetRowState(results, -1, 0, LVIS_SELECTED);
    } else {
        const SelectionChange change = ShiftSelection(selected, insertedRows);
        for (std::size_t row : change.deselect) SetRowState(results, static_cast<int>(row), 0, LVIS_SELECTED);
        for (std::size_t row : change.select) {
            SetRowState(results, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    if (focused >= 0) {
        const std::size_t row = ShiftedRow(static_cast<std::size_t>(focused), insertedRows);
        if (row != static_cast<std::size_t>(focused)) {
            SetRowState(results, static_cast<int>(row), LVIS_FOCUSED, LVIS_FOCUSED);
        }
    }
    if (mark >= 0) {
        const std::size_t row = ShiftedRow(static_cast<std::size_t>(mark), insertedRows);
        ::SendMessageW(results, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
    }
}

void MainForm::OnResultsKey(WORD key) {
    if (!KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return;
    if (key == 'C') CopySelectedRows(RowName::AsShown);
    if (key == 'A') SelectAllRows();
}

void MainForm::SelectAllRows() {
    FlushRows();
    SetRowState(results, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void MainForm::CopySelectedRows(RowName name) {
    FlushRows();  // so the list's indexes are the table's
    const ResultRows& rows = Control().Rows();
    std::vector<std::size_t> selected = SelectedRows();
    while (!selected.empty() && selected.back() >= rows.Count()) selected.pop_back();
    if (selected.empty()) return;
    // A clipboard that stays busy leaves the old text there: the user hears so.
    if (!PutTextOnClipboard(Handle(), RowsText(rows, selected, name))) ::MessageBeep(MB_ICONWARNING);
}

LRESULT MainForm::OnCopyRows(WORD, WORD id, HWND, bool&) {
    CopySelectedRows(id == ID_RESULTS_COPY_FULL_PATHS ? RowName::FullPath : RowName::AsShown);
    return 0;
}

LRESULT MainForm::OnSelectAllRows(WORD, WORD, HWND, bool&) {
    SelectAllRows();
    return 0;
}

// Right-click on the list (which has selected the row under the cursor), or
// Shift+F10 and the menu key while it has the focus.
LRESULT MainForm::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (reinterpret_cast<HWND>(wParam) != results) {
        handled = false;
        return 0;
    }
    FlushRows();
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: under the focused row, else at the list's corner.
        at = {0, 0};
        const int focused = NextRow(results, -1, LVNI_FOCUSED);
        RECT row{};
        row.left = LVIR_LABEL;
        if (focused >= 0 && ::SendMessageW(results, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                           reinterpret_cast<LPARAM>(&row)) != FALSE) {
            at = {row.left, row.bottom};
        }
        RECT client{};
        ::GetClientRect(results, &client);
        if (!::PtInRect(&client, at)) at = {0, 0};  // the focused row is scrolled away
        ::ClientToScreen(results, &at);
    }

    Win::UniqueMenu menu(::LoadMenuW(Framework::AppModule::Instance(), MAKEINTRESOURCEW(IDR_RESULTS_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return 0;
    const bool anySelected = ::SendMessageW(results, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const bool anyRows = ::SendMessageW(results, LVM_GETITEMCOUNT, 0, 0) > 0;
    const UINT copyState = MF_BYCOMMAND | (anySelected ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(popup, ID_RESULTS_COPY, copyState);
    ::EnableMenuItem(popup, ID_RESULTS_COPY_FULL_PATHS, copyState);
    ::EnableMenuItem(popup, ID_RESULTS_SELECT_ALL, MF_BYCOMMAND | (anyRows ? MF_ENABLED : MF_GRAYED));
    // The chosen command arrives as WM_COMMAND once the menu has closed.
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
    return 0;
}
