// MainForm's clock: the window's own 100 ms timer runs one tick of the engine
// control, and the rows the ticks bring reach the list view in batches.

#include "ui/MainForm.h"

#include <commctrl.h>

#include "core/Diagnostics.h"
#include "control/ResultMessages.h"

void MainForm::StartTimer() {
    if (::SetTimer(Handle(), kTimerId, kTimerPeriodMs, nullptr) == 0) {
        Diagnostics::Report(L"SetTimer failed.", Diagnostics::LastError());
    }
}

// Modal boxes and forms dispatch the timer's messages too, so the ticks go
// on while one is open; EngineControl is built for a tick inside its own
// operations.
LRESULT MainForm::OnTimer(UINT, WPARAM id, LPARAM, bool& handled) {
    if (id != kTimerId) {
        handled = false;
        return 0;
    }
    Tick();
    return 0;
}

void MainForm::Tick() {
    KeepReachable();
    Control().Tick();
    UpdateTaskbar();
    if (rowsChanged && ::GetTickCount() - rowsChangedAt >= kRowsFlushDelayMs) FlushRows();
}

bool MainForm::OnIdle() {
    FlushRows();
    return false;
}

void MainForm::ClearRows() {
    rowsChanged = false;
    insertedRows.clear();
    ::SendMessageW(results, LVM_SETITEMCOUNT, 0, 0);
}

// The list view holds no rows of its own: it learns how many there are and
// asks for each visible one (LVN_GETDISPINFOW). Telling it a new count makes
// it update its scroll bar, which costs about as much as a whole tick under
// some window systems, so that happens once the queue is idle after the tick
// (OnIdle), or on the next tick when no idle time came (a modal box runs its
// own loop) for kRowsFlushDelayMs.
void MainForm::ShowRow(std::size_t index, bool isNew, const ResultRow&, const wchar_t*, int) {
    if (!rowsChanged) rowsChangedAt = ::GetTickCount();
    rowsChanged = true;
    if (isNew) insertedRows.push_back(index);
}

void MainForm::FlushRows() {
    if (!rowsChanged) return;
    rowsChanged = false;
    const std::size_t count = Control().Rows().Count();
    if (static_cast<std::size_t>(::SendMessageW(results, LVM_GETITEMCOUNT, 0, 0)) != count) {
        SetRowCountFollowingRows(count);
    }
    insertedRows.clear();
    ::InvalidateRect(results, nullptr, FALSE);
}

LRESULT MainForm::OnNotify(UINT, WPARAM, LPARAM lParam, bool& handled) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == results && header->code == LVN_KEYDOWN) {
        OnResultsKey(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey);
        return 0;
    }
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
    if (header->hwndFrom != results || header->code != LVN_GETDISPINFOW) {
        handled = false;
        return 0;
    }
    LVITEMW& item = info->item;
    const ResultRows& rows = Control().Rows();
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.Count()) return 0;
    const ResultRow& row = rows.At(static_cast<std::size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const wchar_t* text = item.iSubItem == 0 ? row.item.relativeName.c_str() : ResultMessage(row.item.code);
        ::lstrcpynW(item.pszText, text, item.cchTextMax);
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = ResultImage(row.item.code, row.pathIsFolder);
    return 0;
}
