// MainForm as the engine control's view: it reads the fields and shows each
// mode, the progress bar, the summary and the figures as the control decides.

#include "ui/MainForm.h"

#include <commctrl.h>

#include "ui/framework/WindowText.h"

using Framework::SetTextIfChanged;
using Framework::WindowText;

namespace {

constexpr UINT kMarqueeIntervalMs = 60;

}  // namespace

const wchar_t* const MainForm::kCopyFailedText = L"Copy failed";

FormFields MainForm::Fields() {
    FormFields fields;
    fields.fromText = WindowText(from);
    fields.toText = WindowText(to);
    fields.includeSubfolders = ::SendMessageW(includeSubfolders, BM_GETCHECK, 0, 0) == BST_CHECKED;
    fields.copyAttributes = ::SendMessageW(copyAttributes, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return fields;
}

void MainForm::ApplyMode(EngineMode mode) {
    const ModePresentation& p = PresentationOf(mode);
    ::SendMessageW(from, EM_SETREADONLY, p.editsEditable ? FALSE : TRUE, 0);
    ::SendMessageW(to, EM_SETREADONLY, p.editsEditable ? FALSE : TRUE, 0);
    EnableControl(browseSource, p.browseEnabled);
    EnableControl(browseDestination, p.browseEnabled);
    EnableControl(includeSubfolders, p.checkBoxesEnabled);
    EnableControl(copyAttributes, p.checkBoxesEnabled);
    EnableControl(go.Handle(), p.goEnabled);
    go.SetImages(p.goImages[0], p.goImages[1], p.goImages[2], p.goImages[3]);
    ::InvalidateRect(go.Handle(), nullptr, TRUE);
    statusView.ShowFields(p.statusFieldsShown);
    ApplyProgressBar(p.progressBar);
    SetTextIfChanged(statusLine, p.statusLine != nullptr ? p.statusLine : L"");
    if (p.clearSummary) SetTextIfChanged(summary, L"");
}

void MainForm::EnableControl(HWND window, bool enable) {
    // A disabled control that keeps the focus leaves the keyboard dead: the
    // focus goes to the Go button when it can take it, else to From.
    if (!enable && ::GetFocus() == window) {
        HWND next = window != go.Handle() && ::IsWindowEnabled(go.Handle()) ? go.Handle() : from;
        ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
    ::EnableWindow(window, enable ? TRUE : FALSE);
}

void MainForm::SetProgressMarquee(bool on) {
    const LONG_PTR style = ::GetWindowLongPtrW(progress, GWL_STYLE);
    if (on) {
        ::SetWindowLongPtrW(progress, GWL_STYLE, style | PBS_MARQUEE);
        ::SendMessageW(progress, PBM_SETMARQUEE, TRUE, kMarqueeIntervalMs);
    } else {
        ::SendMessageW(progress, PBM_SETMARQUEE, FALSE, 0);
        ::SetWindowLongPtrW(progress, GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    }
}

void MainForm::ApplyProgressBar(ProgressBarChange change) {
    switch (change) {
    case ProgressBarChange::Reset:
        ::SendMessageW(progress, PBM_SETRANGE32, 0, 1);
        ::SendMessageW(progress, PBM_SETPOS, 0, 0);
        ::SendMessageW(progress, PBM_SETSTEP, 1, 0);
        SetProgressMarquee(false);
        break;
    case ProgressBarChange::Marquee:
        SetProgressMarquee(true);
        break;
    case ProgressBarChange::CopyRange:
        SetProgressMarquee(false);
        ::SendMessageW(progress, PBM_SETRANGE32, 0, 65535);
        break;
    case ProgressBarChange::Unchanged:
        break;
    case ProgressBarChange::Full:
        SetProgressMarquee(false);
        ::SendMessageW(progress, PBM_SETRANGE32, 0, 100);
        ::SendMessageW(progress, PBM_SETPOS, 100, 0);
        break;
    }
    ::InvalidateRect(progress, nullptr, TRUE);
}

void MainForm::SetProgressPosition(int position) {
    if (static_cast<int>(::SendMessageW(progress, PBM_GETPOS, 0, 0)) != position) {
        ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

void MainForm::ShowSummary(const std::wstring& text) { SetTextIfChanged(summary, text); }

void MainForm::ShowFigures(const StatusFigures& figures) {
    statusView.SetText(IDC_ITEM_NAME, figures.itemName);
    statusView.SetText(IDC_ITEM_FOLDER, figures.itemFolder);
    statusView.SetText(IDC_FILES, figures.files);
    statusView.SetText(IDC_ELAPSED, figures.elapsed);
    statusView.SetText(IDC_REMAINING_TIME, figures.remainingTime);
    statusView.SetText(IDC_SPEED, figures.speed);
    statusView.SetText(IDC_COPIED, figures.copied);
    statusView.SetText(IDC_REMAINING, figures.remaining);
    statusView.SetText(IDC_PROGRESS_TEXT, figures.progress);
    statusView.SetText(IDC_SKIPPED, figures.skipped);
}

void MainForm::ShowCopyFailed() {
    FlushRows();
    SetTextIfChanged(statusLine, kCopyFailedText);
}
