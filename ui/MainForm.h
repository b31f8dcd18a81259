#pragma once
// The program's one top-level window (dialog 129): the user names sources and
// a destination, sets the two options, starts, pauses and resumes the copy
// and watches the result rows and the figures. The form owns the whole copy
// engine (FormEngine) and drives it from a 100 ms timer through
// EngineControl, rendering what the control decides (ControlView).
//
// The members are defined in one file per part of the window, as the
// private section lists them.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "platform/Platform.h"
#include "ui/BitmapButton.h"
#include "ui/ColumnWidths.h"
#include "ui/Container.h"
#include "ui/FormEngine.h"
#include "ui/StatusView.h"
#include "ui/TaskbarButton.h"
#include "ui/TrayIcon.h"
#include "control/ControlView.h"
#include "control/EngineControl.h"
#include "control/ModePresentation.h"
#include "control/Prompt.h"
#include "control/RowsText.h"
#include "ui/framework/DialogResize.h"
#include "ui/framework/DialogWindow.h"
#include "ui/framework/Handles.h"
#include "ui/framework/MessageLoop.h"
#include "ui/framework/MessageMap.h"
#include "ui/res/resource.h"

class MainForm : public Framework::DialogWindow<MainForm>,
                 public Framework::DialogResize<MainForm>,
                 public TrayIcon<MainForm>,
                 public Framework::MessageFilter,
                 public Framework::IdleHandler,
                 private ControlView {
public:
    enum { IDD = IDD_MAIN };

    // The timer that drives the engine.
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 100;
    // How long new rows may wait for idle time before a tick shows them.
    static constexpr DWORD kRowsFlushDelayMs = 250;
    // Posted by the tick that enters Completed; opens the completion form.
    static constexpr UINT kShowCompletionMessage = WM_APP + 1;
    // WM_DPICHANGED, which headers for older systems do not declare.
    static constexpr UINT kDpiChangedMessage = 0x02E0;

    // Browses for a folder (or file): title, BROWSEINFO flags, the chosen
    // path out. False when the user cancelled.
    using FolderChooser = std::function<bool(const wchar_t* title, UINT flags, std::wstring& path)>;
    // Shows a modal form (the completion or the about form).
    using FormShower = std::function<void()>;

    static constexpr UINT kSourceBrowseFlags = 0x4050;       // new style, edit box, files too
    static constexpr UINT kDestinationBrowseFlags = 0x0050;  // new style, edit box, folders only
    static const wchar_t* const kSourceBrowseTitle;
    static const wchar_t* const kDestinationBrowseTitle;
    static const wchar_t* const kTrayTooltip;
    // The status line of a job whose copy thread ended on a failure.
    static const wchar_t* const kCopyFailedText;

    // Builds the engine over the platform; the engine's locks can throw.
    explicit MainForm(Platform& platform);
    ~MainForm() noexcept override;

    BEGIN_MSG_MAP(MainForm)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(kShowCompletionMessage, OnShowCompletion)
        MESSAGE_HANDLER(kDpiChangedMessage, OnDpiChanged)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(taskbarButtonCreatedMessage, OnTaskbarButtonCreated)
        COMMAND_ID_HANDLER(IDC_ABOUT, OnAbout)
        COMMAND_ID_HANDLER(IDC_GO, OnGo)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
        COMMAND_ID_HANDLER(IDC_BROWSE_SOURCE, OnBrowseSource)
        COMMAND_ID_HANDLER(IDC_BROWSE_DESTINATION, OnBrowseDestination)
        COMMAND_ID_HANDLER(ID_TRAY_SHOW_HIDE, OnShowHide)
        COMMAND_ID_HANDLER(ID_TRAY_EXIT, OnCloseCommand)
        COMMAND_ID_HANDLER(ID_RESULTS_COPY, OnCopyRows)
        COMMAND_ID_HANDLER(ID_RESULTS_COPY_FULL_PATHS, OnCopyRows)
        COMMAND_ID_HANDLER(ID_RESULTS_SELECT_ALL, OnSelectAllRows)
        CHAIN_MSG_MAP(Framework::DialogResize<MainForm>)
        CHAIN_MSG_MAP(TrayIcon<MainForm>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    BEGIN_DLGRESIZE_MAP(MainForm)
        DLGRESIZE_CONTROL(IDC_FROM, Layout::kSizeX)
        DLGRESIZE_CONTROL(IDC_SUMMARY, Layout::kSizeX)
        DLGRESIZE_CONTROL(IDC_TO, Layout::kSizeX)
        DLGRESIZE_CONTROL(IDC_BROWSE_SOURCE, Layout::kMoveX)
        DLGRESIZE_CONTROL(IDC_BROWSE_DESTINATION, Layout::kMoveX)
        DLGRESIZE_CONTROL(IDC_INCLUDE_SUBFOLDERS, Layout::kMoveX)
        DLGRESIZE_CONTROL(IDC_COPY_ATTRIBUTES, Layout::kMoveX)
        DLGRESIZE_CONTROL(IDC_RESULTS, Layout::kSizeX | Layout::kSizeY)
        DLGRESIZE_CONTROL(IDC_PROGRESS, Layout::kSizeX | Layout::kMoveY)
        DLGRESIZE_CONTROL(IDC_STATUS_HOST, Layout::kSizeX | Layout::kMoveY)
        DLGRESIZE_CONTROL(IDC_STATUS_LINE, Layout::kSizeX | Layout::kMoveY)
        DLGRESIZE_CONTROL(IDC_GO, Layout::kMoveX | Layout::kMoveY)
        DLGRESIZE_CONTROL(IDC_ABOUT, Layout::kMoveX | Layout::kMoveY)
    END_DLGRESIZE_MAP()

    // --- Used by the start-up sequence ---
    std::wstring FromText() const;
    std::wstring ToText() const;
    void SetFromText(const std::wstring& text);
    // The command line's sources: shown as their text in From, and handed
    // to the engine as this list while From keeps that text.
    void SetSources(const std::vector<std::wstring>& sources);
    void SetToText(const std::wstring& text);
    void SetStartedWithoutArguments(bool value) { startedWithoutArguments = value; }
    bool StartedWithoutArguments() const { return startedWithoutArguments; }
    // Once, before the message loop: without arguments, asks for the source
    // and then (when one was chosen) for the destination.
    void OnStartup();
    // The two browse actions (commands 1002 and 1014).
    void BrowseForSource();
    void BrowseForDestination();

    // --- The engine's clock: one timer tick ---
    void Tick();
    EngineControl& Control() { return engine.Control(); }
    const BitmapButton& GoButton() const { return go; }
    // The DPI the form drew its pictures for.
    int Dpi() const { return dpi; }
    HWND StatusViewWindow() const { return statusView.Handle(); }

    // --- Seams for tests; each defaults to the real dialog ---
    void SetPrompt(Prompt* replacement) { engine.SetPrompt(replacement); }
    void SetFolderChooser(FolderChooser chooser) { folderChooser = std::move(chooser); }
    void SetCompletionShower(FormShower shower) { completionShower = std::move(shower); }
    void SetAboutShower(FormShower shower) { aboutShower = std::move(shower); }
    // The taskbar list the button's progress goes to, made when the shell
    // announces the button; the default is the shell's own.
    void SetTaskbarFactory(TaskbarButton::Factory factory) { taskbar.SetFactory(std::move(factory)); }
    EnumerationModule& Enumeration() { return engine.Enumeration(); }
    CopyModule& Copy() { return engine.Copy(); }

    bool PreTranslateMessage(MSG* message) override;
    // Shows the rows the last ticks brought in the list view.
    bool OnIdle() override;

private:
    // MainForm.cpp: initialisation and the commands.
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnGo(WORD, WORD, HWND, bool&);
    LRESULT OnCloseCommand(WORD, WORD, HWND, bool&);
    // The session may end at any time; once it does, the copy is cancelled
    // (its file in progress removed) before the process is ended.
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnEndSession(UINT, WPARAM, LPARAM, bool&);
    void JoinMessageLoop();
    void ResetOptions();

    // MainFormLayout.cpp: the controls, their pictures and their sizes.
    void PlaceWindow();
    void AttachControls();
    void SetUpResultList();
    void SetUpStatusView();
    void SetUpGoButton();
    void SetUpIconButtons();
    // The pictures for the form's DPI: window and notification icons, list
    // images, Go button images.
    void LoadWindowIcons();
    void LoadListImages();
    void LoadGoImages();
    HICON LoadIconResource(int id, int cx, int cy);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM, LPARAM, bool&);

    // MainFormTick.cpp: the timer, and the rows it brings to the list view.
    void StartTimer();
    LRESULT OnTimer(UINT, WPARAM, LPARAM, bool&);
    void FlushRows();
    // The list view asks for the rows it shows (LVN_GETDISPINFOW) and
    // passes on its keys (LVN_KEYDOWN).
    LRESULT OnNotify(UINT, WPARAM, LPARAM, bool&);

    // MainFormResults.cpp: selecting result rows and copying them.
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnCopyRows(WORD, WORD, HWND, bool&);
    LRESULT OnSelectAllRows(WORD, WORD, HWND, bool&);
    // Ctrl+C and Ctrl+A in the list.
    void OnResultsKey(WORD key);
    void CopySelectedRows(RowName name);
    void SelectAllRows();
    // The selected rows' indexes, ascending.
    std::vector<std::size_t> SelectedRows() const;
    // Tells the list view the new row count, keeping its selection, focus
    // and selection mark on the rows they were on.
    void SetRowCountFollowingRows(std::size_t count);

    // MainFormTaskbar.cpp: the progress on the taskbar button.
    // Lets the shell's registered messages through to an elevated window.
    void AllowShellMessages();
    LRESULT OnTaskbarButtonCreated(UINT, WPARAM, LPARAM, bool&);
    void UpdateTaskbar();

    // ControlView: what the engine control asks the window to show. In
    // MainFormView.cpp, but for the rows (MainFormTick.cpp) and the
    // completion (MainFormForms.cpp).
    FormFields Fields() override;
    void ApplyMode(EngineMode mode) override;
    void ClearRows() override;
    void ShowRow(std::size_t index, bool isNew, const ResultRow& row, const wchar_t* message, int image) override;
    void SetProgressPosition(int position) override;
    void ShowSummary(const std::wstring& text) override;
    void ShowFigures(const StatusFigures& figures) override;
    void ShowCompletion() override;
    void ShowCopyFailed() override;
    void EnableControl(HWND window, bool enable);
    void SetProgressMarquee(bool on);
    void ApplyProgressBar(ProgressBarChange change);

    // MainFormTray.cpp: the notification icon and the window's visibility.
    void InstallTrayIcon();
    // Retries a missing notification icon and, while there is none, shows
    // the window: hidden without an icon, it could not be reached.
    void KeepReachable();
    LRESULT OnShowHide(WORD, WORD, HWND, bool&);

    // MainFormBrowse.cpp: the choosers.
    LRESULT OnBrowseSource(WORD, WORD, HWND, bool&);
    LRESULT OnBrowseDestination(WORD, WORD, HWND, bool&);
    bool Browse(const wchar_t* title, UINT flags, std::wstring& path);
    // The default chooser: the shell's folder browser, owned by the form.
    bool ChooseWithShell(const wchar_t* title, UINT flags, std::wstring& path);

    // MainFormForms.cpp: the completion and about forms.
    LRESULT OnShowCompletion(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnAbout(WORD, WORD, HWND, bool&);
    // The default showers: the real forms, modal and owned by the form.
    void ShowCompletionForm();
    void ShowAboutForm();

    // Declared before the controls, so it is destroyed after them.
    FormEngine engine;

    // Controls.
    BitmapButton go;
    Container container;
    StatusView statusView;
    HWND from = nullptr;
    HWND to = nullptr;
    HWND browseSource = nullptr;
    HWND browseDestination = nullptr;
    HWND about = nullptr;
    HWND results = nullptr;
    HWND progress = nullptr;
    HWND summary = nullptr;
    HWND statusLine = nullptr;
    HWND includeSubfolders = nullptr;
    HWND copyAttributes = nullptr;
    HWND statusFields[18] = {};

    // Images the controls show but do not own.
    Win::UniqueImageList listImages;
    Win::UniqueIcon largeIcon;
    Win::UniqueIcon smallIcon;
    Win::UniqueIcon aboutIcon;
    Win::UniqueIcon browseSourceIcon;
    Win::UniqueIcon browseDestinationIcon;

    ColumnWidths::Tracker columnWidths;
    int dpi = 96;              // the DPI the pictures are drawn for
    SIZE goRoom{};             // the room for the Go button's image, in pixels at dpi
    bool startedWithoutArguments = false;
    bool closeInProgress = false;  // a close question is open
    bool rowsChanged = false;      // rows changed since the list view last learnt of them
    DWORD rowsChangedAt = 0;       // tick count of the first such change

    // Rows inserted since the list view last learnt of them, each at the
    // index it took, in order.
    std::vector<std::size_t> insertedRows;

    TaskbarButton taskbar;
    const UINT taskbarButtonCreatedMessage = TaskbarButton::CreatedMessage();
    bool completionClosed = false;  // the completion form of the ended job was closed

    FolderChooser folderChooser;
    FormShower completionShower;
    FormShower aboutShower;
};
