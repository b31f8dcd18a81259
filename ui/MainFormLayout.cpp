// MainForm's controls as OnInitDialog sets them up, their pictures and their
// sizes: the column widths follow the window's width, and everything laid
// out in pixels follows a change of DPI.

#include "ui/MainForm.h"

#include <commctrl.h>

#include "ui/DpiScale.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/WindowCentering.h"

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

void SetColumnWidth(HWND list, int column, int width) {
    // Negative widths mean "size to fit" to the list view: never pass one.
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width < 0 ? 0 : width, 0));
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

}  // namespace

void MainForm::PlaceWindow() {
    columnWidths.Reset();
    DlgResize_Init(true, true, WS_CLIPCHILDREN);
    Framework::CenterWindow(Handle());
}

void MainForm::AttachControls() {
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
    go.SubclassWindow(Item(IDC_GO));
    container.SubclassWindow(Item(IDC_STATUS_HOST));
    engine.SetPromptOwner(Handle());
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

HICON MainForm::LoadIconResource(int id, int cx, int cy) {
    return static_cast<HICON>(
        ::LoadImageW(Framework::AppModule::Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0));
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
