#include "ui/MainForm.h"

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "app/core/Diagnostics.h"
#include "ui/AboutForm.h"
#include "ui/CompletionForm.h"
#include "ui/DpiScale.h"
#include "ui/WindowDpi.h"
#include "ui/control/ResultMessages.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/CallbackGuard.h"
#include "ui/framework/WindowCentering.h"

const wchar_t* const MainForm::kSourceBrowseTitle = L"Choose a file or folder to copy from:";
const wchar_t* const MainForm::kDestinationBrowseTitle = L"Choose a folder to copy to:";
const wchar_t* const MainForm::kTrayTooltip = L"Norvask Torvane";
const wchar_t* const MainForm::kCopyFailedText = L"Copy failed";

MainForm* MainForm::instance = nullptr;

namespace {

// The list view's images, in the order of the image indexes the rows use.
constexpr int kListIcons[] = {IDI_ITEM_FILE,         IDI_ITEM_FOLDER,         IDI_ITEM_FILE_BAR,
                              IDI_ITEM_FOLDER_BAR,   IDI_ITEM_FILE_WARNING,   IDI_ITEM_FOLDER_WARNING,
                              IDI_ITEM_FILE_CROSS,   IDI_ITEM_FOLDER_CROSS,   IDI_ITEM_FILE_TICK,
                              IDI_ITEM_FOLDER_TICK};

// The Go button's images 0 to 9: grey copy; copy normal, pushed, hover;
// pause normal, pushed, hover; resume normal, pushed, hover.
constexpr int kGoIcons[] = {IDI_COPY_GREY,  IDI_COPY,         IDI_COPY_PUSHED,  IDI_COPY_HOVER,
                            IDI_PAUSE,      IDI_PAUSE_PUSHED, IDI_PAUSE_HOVER,  IDI_RESUME,
                            IDI_RESUME_PUSHED, IDI_RESUME_HOVER};

// Sizes at 96 DPI; the form scales them to its own DPI.
constexpr int kSmallImageSize = 16;
constexpr int kLargeIconSize = 32;
constexpr int kPathColumnWidth = 310;
constexpr int kMessageColumnWidth = 250;
constexpr UINT kMarqueeIntervalMs = 60;

bool ChooseWithShell(HWND owner, const wchar_t* title, UINT flags, std::wstring& path) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the desktop
    info.lpszTitle = title;
    info.ulFlags = flags;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (chosen == nullptr) return false;
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen, buffer)) buffer[0] = L'\0';  // an item without a file-system path
    ::CoTaskMemFree(chosen);
    path = buffer;
    return true;
}

void SetColumnWidth(HWND list, int column, int width) {
    // Negative widths mean "size to fit" to the list view: never pass one.
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width < 0 ? 0 : width, 0));
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

}  // namespace

MainForm::MainForm(Platform& platform)
    : platform(platform),
      enumeration(platform),
      copy(platform),
      engine(enumeration, copy),
      prompt(messageBoxes),
      clock(platform),
      control(engine, platform, *this, prompt, clock) {
    folderChooser = [this](const wchar_t* title, UINT flags, std::wstring& path) {
        return ChooseWithShell(Handle(), title, flags, path);
    };
    // Both forms are owned by the main window, also while it is hidden, so it
    // takes no input while one of them is open.
    completionShower = [this] {
        CompletionForm form;
        form.Show(Handle());
    };
    aboutShower = [this] {
        AboutForm form;
        form.Show(Handle());
    };
}

MainForm::~MainForm() noexcept {
    // Destroyed here, while the whole form still exists to see WM_DESTROY.
    DestroyWindow();
    if (instance == this) instance = nullptr;
}

// --- Start-up ---

std::wstring MainForm::FromText() const { return WindowText(from); }
std::wstring MainForm::ToText() const { return WindowText(to); }
void MainForm::SetFromText(const std::wstring& text) { ::SetWindowTextW(from, text.c_str()); }
void MainForm::SetToText(const std::wstring& text) { ::SetWindowTextW(to, text.c_str()); }

void MainForm::OnStartup() {
    if (!startedWithoutArguments) return;
    BrowseForSource();
    if (!FromText().empty()) BrowseForDestination();
}

void MainForm::BrowseForSource() {
    std::wstring path;
    if (Browse(kSourceBrowseTitle, kSourceBrowseFlags, path)) SetFromText(path);
}

void MainForm::BrowseForDestination() {
    std::wstring path;
    if (Browse(kDestinationBrowseTitle, kDestinationBrowseFlags, path)) SetToText(path);
}

bool MainForm::Browse(const wchar_t* title, UINT flags, std::wstring& path) {
    return folderChooser && folderChooser(title, flags, path);
}

// --- Initialisation ---

HICON MainForm::LoadIconResource(int id, int cx, int cy) {
    return static_cast<HICON>(
        ::LoadImageW(Framework::AppModule::Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0));
}

LRESULT MainForm::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
    startedWithoutArguments = false;
    columnWidths.Reset();

    DlgResize_Init(true, true, WS_CLIPCHILDREN);
    Framework::CenterWindow(Handle());

    if (Framework::MessageLoop* loop = Framework::AppModule::GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    dpi = WindowDpi(Handle());
    LoadWindowIcons();
    InstallIcon(kTrayTooltip, smallIcon.get(), IDR_TRAY_MENU);  // the program runs without it when refused

    LookUpControls();
    go.SubclassWindow(Item(IDC_GO));
    container.SubclassWindow(Item(IDC_STATUS_HOST));
    messageBoxes.SetOwner(Handle());

    SetUpResultList();
    SetUpStatusView();
    SetUpGoButton();
    SetUpIconButtons();

    instance = this;
    ::SendMessageW(includeSubfolders, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(copyAttributes, BM_SETCHECK, BST_CHECKED, 0);
    control.startRequested = false;

    if (::SetTimer(Handle(), kTimerId, kTimerPeriodMs, &TimerProc) == 0) {
        Diagnostics::Report(L"SetTimer failed.", Diagnostics::LastError());
    }
    return TRUE;
}

void MainForm::LookUpControls() {
    from = Item(IDC_FROM);
    to = Item(IDC_TO);
    browseSource = Item(IDC_BROWSE_SOURCE);
    browseDestination = Item(IDC_BROWSE_DESTINATION);
    about = Item(IDC_ABOUT);
    results = Item(IDC_RESULTS);
    progress = Item(IDC_PROGRESS);
    summary = Item(IDC_SUMMARY);
    statusLine = Item(IDC_STATUS_LINE);
    includeSubfolders = Item(IDC_INCLUDE_SUBFOLDERS);
    copyAttributes = Item(IDC_COPY_ATTRIBUTES);
}

void MainForm::SetUpResultList() {
    // The form owns the image list; the list view must not destroy it too.
    const LONG_PTR style = ::GetWindowLongPtrW(results, GWL_STYLE);
    ::SetWindowLongPtrW(results, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
    ::SendMessageW(results, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    const wchar_t* titles[] = {L"Path", L"Message"};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW c{};
        c.mask = LVCF_FMT | LVCF_TEXT;
        c.fmt = LVCFMT_LEFT;
        c.pszText = const_cast<wchar_t*>(titles[column]);
        ::SendMessageW(results, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    }
    SetColumnWidth(results, 0, DpiScale::Scale(kPathColumnWidth, dpi));
    SetColumnWidth(results, 1, DpiScale::Scale(kMessageColumnWidth, dpi));
    LoadListImages();
}

void MainForm::LoadWindowIcons() {
    const int large = DpiScale::Scale(kLargeIconSize, dpi);
    const int small = DpiScale::Scale(kSmallImageSize, dpi);
    Win::UniqueIcon newLarge(LoadIconResource(IDI_APPLICATION_ICON, large, large));
    Win::UniqueIcon newSmall(LoadIconResource(IDI_APPLICATION_ICON, small, small));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newLarge.get()));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall.get()));
    ChangeIcon(newSmall.get());  // the notification icon is the small one too
    largeIcon = std::move(newLarge);
    smallIcon = std::move(newSmall);
}

void MainForm::LoadListImages() {
    const int side = DpiScale::Scale(kSmallImageSize, dpi);
    Win::UniqueImageList images(::ImageList_Create(side, side, ILC_COLOR32, 1, 1));
    for (int id : kListIcons) {
        Win::UniqueIcon icon(LoadIconResource(id, side, side));
        ::ImageList_AddIcon(images.get(), icon.get());
    }
    ::SendMessageW(results, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
    listImages = std::move(images);
}

void MainForm::SetUpStatusView() {
    statusView.Create(container.Handle());
    for (std::size_t i = 0; i < StatusView::kControlIds.size(); ++i) {
        statusFields[i] = statusView.Item(StatusView::kControlIds[i]);
    }
    statusView.ShowFields(false);
    RECT client{};
    ::GetClientRect(container.Handle(), &client);
    ::MoveWindow(statusView.Handle(), client.left, client.top, client.right - client.left,
                 client.bottom - client.top, TRUE);
    ::EnableWindow(statusView.Handle(), TRUE);
    ::ShowWindow(statusView.Handle(), SW_SHOW);
    container.AddChild(statusView.Handle());
}

void MainForm::SetUpGoButton() {
    // The room the template leaves the button before it takes its image's
    // size: its own width, and down to the about button under it.
    RECT cell{};
    ::GetWindowRect(go.Handle(), &cell);
    RECT below{};
    ::GetWindowRect(about, &below);
    goRoom = {cell.right - cell.left, below.top - cell.top};
    go.SetBitmapButtonExtendedStyle(Framework::kBitmapButtonHover | Framework::kBitmapButtonAutoSize);
    LoadGoImages();
    go.SetImages(0, 0, 0, 0);
}

void MainForm::LoadGoImages() {
    const int side = DpiScale::GoImageSide(dpi, goRoom.cx, goRoom.cy);
    Win::UniqueImageList images(::ImageList_Create(side, side, ILC_COLOR32, 10, 1));
    for (int id : kGoIcons) {
        Win::UniqueIcon icon(LoadIconResource(id, side, side));
        ::ImageList_AddIcon(images.get(), icon.get());
    }
    go.SetImageList(std::move(images));
    // The layout keeps the button at its image's size, not at the template's.
    DlgResize_SetOriginalSize(IDC_GO, side, side);
    ::InvalidateRect(go.Handle(), nullptr, TRUE);
}

void MainForm::SetUpIconButtons() {
    const int side = DpiScale::Scale(kSmallImageSize, dpi);
    // Each button shows its new icon before the old one is destroyed.
    const struct {
        HWND button;
        int id;
        Win::UniqueIcon& icon;
    } buttons[] = {{about, IDI_ABOUT, aboutIcon},
                   {browseSource, IDI_BROWSE_SOURCE, browseSourceIcon},
                   {browseDestination, IDI_BROWSE_DESTINATION, browseDestinationIcon}};
    for (const auto& b : buttons) {
        Win::UniqueIcon icon(LoadIconResource(b.id, side, side));
        ::SendMessageW(b.button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
        b.icon = std::move(icon);
    }
}

// Only where the system tracks a DPI per monitor: the window moved to a
// display of another scale. The dialog manager then resizes the window and
// lays the controls out again (the message goes on to it); the form scales
// what it laid out itself in pixels and loads the pictures for the new DPI.
LRESULT MainForm::OnDpiChanged(UINT, WPARAM wParam, LPARAM, bool& handled) {
    handled = false;
    const int newDpi = LOWORD(wParam);
    if (newDpi <= 0 || newDpi == dpi) return 0;
    DlgResize_Scale(newDpi, dpi);
    goRoom = {::MulDiv(goRoom.cx, newDpi, dpi), ::MulDiv(goRoom.cy, newDpi, dpi)};
    SetColumnWidth(results, 0, ::MulDiv(ColumnWidth(results, 0), newDpi, dpi));
    SetColumnWidth(results, 1, ::MulDiv(ColumnWidth(results, 1), newDpi, dpi));
    columnWidths.Reset();  // the width changes with the scale, not by the user
    dpi = newDpi;
    LoadWindowIcons();
    LoadListImages();
    LoadGoImages();
    SetUpIconButtons();
    return 0;
}

// --- Messages and commands ---

bool MainForm::PreTranslateMessage(MSG* message) {
    return Handle() != nullptr && ::IsDialogMessageW(Handle(), message) != FALSE;
}

bool MainForm::OnIdle() {
    FlushRows();
    return false;
}

LRESULT MainForm::OnWindowPosChanged(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;  // the resizing follows through the default handling
    if (results == nullptr || ::IsIconic(Handle())) return 0;  // a minimised window's size means nothing
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    const ColumnWidths::Change change = columnWidths.OnWidth(window.right - window.left);
    if (change.first != 0) SetColumnWidth(results, 0, ColumnWidth(results, 0) + change.first);
    if (change.second != 0) SetColumnWidth(results, 1, ColumnWidth(results, 1) + change.second);
    return 0;
}

LRESULT MainForm::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    if (Framework::MessageLoop* loop = Framework::AppModule::GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    if (instance == this) instance = nullptr;
    handled = false;
    return 0;
}

LRESULT MainForm::OnAbout(WORD, WORD, HWND, bool&) {
    if (aboutShower) aboutShower();
    return 0;
}

LRESULT MainForm::OnGo(WORD, WORD, HWND, bool&) {
    control.Go();
    return 0;
}

LRESULT MainForm::OnCloseCommand(WORD, WORD id, HWND, bool&) {
    // A second close command while the question is open (the notification
    // area's Exit, say) would ask again on top of it.
    if (closeInProgress) return 0;
    closeInProgress = true;
    const bool proceed = control.RequestClose();
    closeInProgress = false;
    if (!proceed) return 0;
    DestroyWindow();
    ::PostQuitMessage(id);
    return 0;
}

LRESULT MainForm::OnQueryEndSession(UINT, WPARAM, LPARAM, bool&) {
    return TRUE;
}

LRESULT MainForm::OnEndSession(UINT, WPARAM ending, LPARAM, bool&) {
    if (ending) control.EndSession();
    return 0;
}

LRESULT MainForm::OnBrowseSource(WORD, WORD, HWND, bool&) {
    BrowseForSource();
    return 0;
}

LRESULT MainForm::OnBrowseDestination(WORD, WORD, HWND, bool&) {
    BrowseForDestination();
    return 0;
}

LRESULT MainForm::OnShowHide(WORD, WORD, HWND, bool&) {
    HWND window = Handle();
    // Without an icon a hidden window could not be brought back.
    if (::GetForegroundWindow() == window && ::IsWindowVisible(window) && IconInstalled()) {
        ::ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (!::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOW);
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    } else {
        ::BringWindowToTop(window);
    }
    ::SetForegroundWindow(window);
    return 0;
}

void CALLBACK MainForm::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    Framework::CallbackGuard::Guard([] {
        if (instance != nullptr) instance->Tick();
    });
}

void MainForm::Tick() {
    KeepReachable();
    control.Tick();
    if (rowsChanged && ::GetTickCount() - rowsChangedAt >= kRowsFlushDelayMs) FlushRows();
}

void MainForm::KeepReachable() {
    if (RetryIcon()) return;
    if (!::IsWindowVisible(Handle())) ::ShowWindow(Handle(), SW_SHOW);
}

// --- ControlView ---

FormFields MainForm::Fields() {
    FormFields fields;
    fields.fromText = WindowText(from);
    fields.toText = WindowText(to);
    fields.includeSubfolders = ::SendMessageW(includeSubfolders, BM_GETCHECK, 0, 0) == BST_CHECKED;
    fields.copyAttributes = ::SendMessageW(copyAttributes, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return fields;
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

void MainForm::ClearRows() {
    rowsChanged = false;
    ::SendMessageW(results, LVM_SETITEMCOUNT, 0, 0);
}

// The list view holds no rows of its own: it learns how many there are and
// asks for each visible one (LVN_GETDISPINFOW). Telling it a new count makes
// it update its scroll bar, which costs about as much as a whole tick under
// some window systems, so that happens once the queue is idle after the tick
// (OnIdle), or on the next tick when no idle time came (a modal box runs its
// own loop) for kRowsFlushDelayMs.
void MainForm::ShowRow(std::size_t, bool, const ResultRow&, const wchar_t*, int) {
    if (!rowsChanged) rowsChangedAt = ::GetTickCount();
    rowsChanged = true;
}

void MainForm::FlushRows() {
    if (!rowsChanged) return;
    rowsChanged = false;
    const WPARAM count = static_cast<WPARAM>(control.Rows().Count());
    if (static_cast<WPARAM>(::SendMessageW(results, LVM_GETITEMCOUNT, 0, 0)) != count) {
            ::SendMessageW(results, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    ::InvalidateRect(results, nullptr, FALSE);
}

LRESULT MainForm::OnNotify(UINT, WPARAM, LPARAM lParam, bool& handled) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
    if (info->hdr.hwndFrom != results || info->hdr.code != LVN_GETDISPINFOW) {
        handled = false;
        return 0;
    }
    LVITEMW& item = info->item;
    const ResultRows& rows = control.Rows();
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.Count()) return 0;
    const ResultRow& row = rows.At(static_cast<std::size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const wchar_t* text = item.iSubItem == 0 ? row.item.relativeName.c_str() : ResultMessage(row.item.code);
        ::lstrcpynW(item.pszText, text, item.cchTextMax);
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = ResultImage(row.item.code, row.pathIsFolder);
    return 0;
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

// The tick that enters Completed only asks for the form: it opens once that
// tick has run to its end, so the tick never goes on after the modal form
// with the fields it read before it.
void MainForm::ShowCompletion() {
    ::PostMessageW(Handle(), kShowCompletionMessage, 0, 0);
}

LRESULT MainForm::OnShowCompletion(UINT, WPARAM, LPARAM, bool&) {
    // Go pressed again before the form could open: the new copy runs on.
    if (control.CurrentMode() != EngineMode::Completed) return 0;
    FlushRows();  // the final rows, before the form takes the loop
    if (completionShower) completionShower();
    return 0;
}
