// The real MainForm, in-process on wine64 under Xvfb, driven through whole
// jobs by its own timer: the modes as the status line shows them, the
// controls' states per mode, the result rows of real failures, pause and
// resume, a second copy after completion, the close request in every mode,
// the notification icon, the column widths and the minimum size.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/FaultPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainForm.h"
#include "control/EngineControl.h"
#include "ui/res/resource.h"

using UiTest::Enabled;
using UiTest::PumpFor;
using UiTest::PumpUntil;
using UiTest::ReadOnly;
using UiTest::Text;
using UiTest::Visible;

namespace {

constexpr wchar_t kDiscovering[] = L"Discovering source files";
constexpr wchar_t kCloseQuestion[] = L"Torvane has not finished. Are you sure you want to cancel?";

// Holds the listing of one folder until released, so a test can look at
// Discovering, Queued, Copying and Paused as long as it likes.
class SteeredListing : public PassingListingCalls {
public:
    using PassingListingCalls::PassingListingCalls;

    void HoldListing(const std::wstring& folderSuffix) {
        heldSuffix = folderSuffix + L"\\*";
        held = true;
    }
    void ReleaseListing() { held = false; }

    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override {
        if (held && EndsWith(pattern, heldSuffix)) {
            const DWORD start = ::GetTickCount();
            while (held && ::GetTickCount() - start < 20000) ::Sleep(5);
        }
        return PassingListingCalls::FindFirst(pattern, find, entry);
    }

private:
    static bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
        return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
    }
    std::atomic<bool> held{false};
    std::wstring heldSuffix;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        fault.OnRead([this](const std::wstring&, int) {
            const int delay = readDelayMs.load();
            if (delay > 0) ::Sleep(static_cast<DWORD>(delay));
        });
        form.SetPrompt(&prompt);
        form.SetCompletionShower([this] { ++completions; });
        form.SetAboutShower([this] { ++aboutForms; });
        form.SetFolderChooser([this](const wchar_t* title, UINT flags, std::wstring& path) {
            chooserCalls.push_back({title, flags});
            if (chooserAnswers.empty()) return false;
            path = chooserAnswers.front();
            chooserAnswers.erase(chooserAnswers.begin());
            return true;
        });
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
        statusLine = std::make_unique<UiTest::TextRecorder>(Item(IDC_STATUS_LINE));
    }

    HWND Item(int id) { return ::GetDlgItem(form.Handle(), id); }
    HWND StatusField(int id) { return ::GetDlgItem(form.StatusViewWindow(), id); }
    std::wstring Status() { return Text(Item(IDC_STATUS_LINE)); }

    void Command(int id) {
        ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }

    bool WaitForStatus(const std::wstring& status, int timeoutMs = 15000) {
        return PumpUntil([&] { return form.Handle() != nullptr && Status() == status; }, timeoutMs, &quitCode);
    }

    void ExpectGoImages(int normal, int pushed, int hover, int disabled) {
        using Layout::ButtonImage;
        EXPECT_EQ(form.GoButton().Image(ButtonImage::Normal), normal);
        EXPECT_EQ(form.GoButton().Image(ButtonImage::Pushed), pushed);
        EXPECT_EQ(form.GoButton().Image(ButtonImage::FocusOrHover), hover);
        EXPECT_EQ(form.GoButton().Image(ButtonImage::Disabled), disabled);
    }

    // Edits, browse buttons and check boxes accept input, or not.
    void ExpectInputOpen(bool open) {
        EXPECT_EQ(!ReadOnly(Item(IDC_FROM)), open);
        EXPECT_EQ(!ReadOnly(Item(IDC_TO)), open);
        EXPECT_EQ(Enabled(Item(IDC_BROWSE_SOURCE)), open);
        EXPECT_EQ(Enabled(Item(IDC_BROWSE_DESTINATION)), open);
        EXPECT_EQ(Enabled(Item(IDC_INCLUDE_SUBFOLDERS)), open);
        EXPECT_EQ(Enabled(Item(IDC_COPY_ATTRIBUTES)), open);
    }

    // The list view learns of new rows when the loop goes idle.
    std::vector<UiTest::ListRow> Rows() {
        form.OnIdle();
        return UiTest::ListRows(Item(IDC_RESULTS));
    }

    bool StatusFieldsShown() { return Visible(StatusField(IDC_FILES)) && Visible(StatusField(IDC_ITEM_NAME)); }

    bool Marquee() { return (::GetWindowLongPtrW(Item(IDC_PROGRESS), GWL_STYLE) & PBS_MARQUEE) != 0; }
    int ProgressHigh() { return static_cast<int>(::SendMessageW(Item(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0)); }
    int ProgressPosition() { return static_cast<int>(::SendMessageW(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0)); }

    // The system platform with the fault layer, its reads slowed down on
    // demand and its listings held by SteeredListing.
    std::atomic<int> readDelayMs{0};
    FaultPlatform fault{SystemPlatform()};
    SteeredListing listing{fault.Listing()};
    Platform platform{fault.Files(), listing, fault.Folders(), fault.Sync(), fault.Threads()};
    UiTest::ScriptedPrompt prompt;
    MainForm form{platform};
    int completions = 0;
    int aboutForms = 0;
    int quitCode = -1;
    struct ChooserCall {
        std::wstring title;
        UINT flags;
    };
    std::vector<ChooserCall> chooserCalls;
    std::vector<std::wstring> chooserAnswers;
    std::unique_ptr<UiTest::TextRecorder> statusLine;
};

TEST_F(MainFormTest, StartsIdleWithBothBoxesTickedAndGoDisabled) {
    PumpFor(250);
    EXPECT_EQ(Status(), L"");
    EXPECT_FALSE(Enabled(form.GoButton().Handle()));
    ExpectGoImages(0, 0, 0, 0);
    ExpectInputOpen(true);
    EXPECT_EQ(::SendMessageW(Item(IDC_INCLUDE_SUBFOLDERS), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Item(IDC_COPY_ATTRIBUTES), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(StatusFieldsShown());
    EXPECT_EQ(UiTest::ColumnWidth(Item(IDC_RESULTS), 0), 310);
    EXPECT_EQ(UiTest::ColumnWidth(Item(IDC_RESULTS), 1), 250);

    // Go in Idle asks nothing and starts nothing.
    Command(IDC_GO);
    PumpFor(200);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(Status(), L"");
}

TEST_F(MainFormTest, AWholeJobWithALockedFileAndAnUnlistableFolder) {
    UiTest::TempFolder temp;
    const std::wstring source = temp.Join(L"src");
    const std::wstring destination = temp.Join(L"out\\deeper");
    UiTest::MakeFolder(source);
    UiTest::MakeFolder(source + L"\\sub");
    UiTest::MakeFolder(source + L"\\denied");
    UiTest::WriteFile(source + L"\\big.bin", 2 * 1024 * 1024, 'b');
    UiTest::WriteFile(source + L"\\small.txt", 1000, 's');
    UiTest::WriteFile(source + L"\\sub\\inner.txt", 5000, 'i');
    UiTest::WriteFile(source + L"\\denied\\hidden.txt", 10, 'h');
    UiTest::WriteFile(source + L"\\locked.txt", 300, 'l');
    // Held open without sharing: the copy cannot read it.
    HANDLE lock = ::CreateFileW((source + L"\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    fault.Fail(PlatformCall::FindFirst, L"\\denied", ERROR_ACCESS_DENIED);
    listing.HoldListing(L"\\src");

    // Discovering: the listing of the source is held.
    form.SetFromText(source);
    ASSERT_TRUE(WaitForStatus(kDiscovering)) << Status();
    EXPECT_TRUE(Enabled(form.GoButton().Handle()));
    ExpectGoImages(1, 2, 3, 0);
    ExpectInputOpen(true);
    EXPECT_TRUE(Marquee());
    EXPECT_FALSE(StatusFieldsShown());

    // Go while discovering: the destination is created, the job queued.
    form.SetToText(destination);
    Command(IDC_GO);
    EXPECT_TRUE(prompt.asked.empty()) << "a new, empty destination asks nothing";
    EXPECT_TRUE(UiTest::Exists(destination));
    ASSERT_TRUE(PumpUntil([&] { return ReadOnly(Item(IDC_FROM)); }, 3000));
    EXPECT_EQ(Status(), kDiscovering);
    EXPECT_FALSE(Enabled(form.GoButton().Handle()));
    ExpectInputOpen(false);

    // Discovery ends: the queued copy starts by itself, slowly.
    readDelayMs = 40;
    listing.ReleaseListing();
    ASSERT_TRUE(WaitForStatus(L"Copying")) << Status();
    EXPECT_TRUE(Enabled(form.GoButton().Handle()));
    ExpectGoImages(4, 5, 6, 0);
    ExpectInputOpen(false);
    EXPECT_TRUE(StatusFieldsShown());
    EXPECT_FALSE(Marquee());
    EXPECT_EQ(ProgressHigh(), 65535);
    ASSERT_TRUE(PumpUntil([&] { return ProgressPosition() > 0; }, 10000));
    EXPECT_EQ(Text(Item(IDC_SUMMARY)).empty(), false);

    // Pause: the figures freeze.
    ASSERT_TRUE(PumpUntil([&] { return !Text(StatusField(IDC_ITEM_NAME)).empty(); }, 10000));
    Command(IDC_GO);
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    ExpectGoImages(7, 8, 9, 0);
    ExpectInputOpen(false);
    PumpFor(250);
    const std::wstring elapsed = Text(StatusField(IDC_ELAPSED));
    const std::wstring copied = Text(StatusField(IDC_COPIED));
    const std::wstring item = Text(StatusField(IDC_ITEM_NAME));
    const int position = ProgressPosition();
    PumpFor(600);
    EXPECT_EQ(Text(StatusField(IDC_ELAPSED)), elapsed);
    EXPECT_EQ(Text(StatusField(IDC_COPIED)), copied);
    EXPECT_EQ(Text(StatusField(IDC_ITEM_NAME)), item);
    EXPECT_EQ(ProgressPosition(), position);

    // Resume and finish.
    readDelayMs = 0;
    Command(IDC_GO);
    ASSERT_TRUE(WaitForStatus(L"Copy completed", 20000)) << Status();
    PumpFor(250);
    EXPECT_EQ(completions, 1);
    ExpectGoImages(1, 2, 3, 0);
    ExpectInputOpen(true);
    EXPECT_TRUE(StatusFieldsShown());
    EXPECT_EQ(ProgressHigh(), 100);
    EXPECT_EQ(ProgressPosition(), 100);

    // The mode sequence as the status line showed it.
    std::vector<std::wstring> sequence;
    for (const std::wstring& text : statusLine->Texts()) {
        if (sequence.empty() || sequence.back() != text) sequence.push_back(text);
    }
    // (Idle's empty text was there from the start: an unchanged text is not
    // written again.)
    // (The copy may finish within a tick of the resume, so the second
    // "Copying" can be missing.)
    ASSERT_GE(sequence.size(), 5u);
    EXPECT_EQ(std::vector<std::wstring>(sequence.begin(), sequence.begin() + 4),
              (std::vector<std::wstring>{kDiscovering, L"Ready", L"Copying", L"Paused"}));
    EXPECT_EQ(sequence.back(), L"Copy completed");

    // The rows, in row order: the file first, then the folder as the copy saw
    // it, then the discovery's row for the same folder.
    const std::vector<UiTest::ListRow> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, L".\\locked.txt");
    EXPECT_EQ(rows[0].message, L"File is locked by another process.");
    EXPECT_EQ(rows[0].image, 2);
    EXPECT_EQ(rows[1].name, L".\\denied");
    EXPECT_EQ(rows[1].message, L"Access denied listing folder contents.");
    EXPECT_EQ(rows[1].image, 3);
    EXPECT_EQ(rows[2].name, L"src\\denied");
    EXPECT_EQ(rows[2].message, L"Access denied listing folder contents.");

    // What was copied is whole; the locked file is not there at all.
    EXPECT_EQ(UiTest::ReadFile(destination + L"\\src\\big.bin"), UiTest::ReadFile(source + L"\\big.bin"));
    EXPECT_EQ(UiTest::ReadFile(destination + L"\\src\\sub\\inner.txt"), UiTest::ReadFile(source + L"\\sub\\inner.txt"));
    EXPECT_FALSE(UiTest::Exists(destination + L"\\src\\locked.txt"));
    ::CloseHandle(lock);

    // Go again after Completed: the filled destination asks, the rows go at
    // once, and a second run completes with one more completion form.
    prompt.answers = {PromptAnswer::kOk};
    Command(IDC_GO);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].caption, L"Skip existing files");
    EXPECT_TRUE(Rows().empty());
    ASSERT_TRUE(PumpUntil([&] { return completions == 2; }, 20000));
    EXPECT_EQ(Status(), L"Copy completed");
    // Now the locked file copies; the unlistable folder fails again.
    EXPECT_EQ(UiTest::ReadFile(destination + L"\\src\\locked.txt"), UiTest::ReadFile(source + L"\\locked.txt"));
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(MainFormTest, SeveralQuotedSourcesAreCopiedSideBySide) {
    UiTest::TempFolder temp;
    UiTest::MakeFolder(temp.Join(L"one"));
    UiTest::WriteFile(temp.Join(L"one\\a.txt"), 4000, 'a');
    UiTest::WriteFile(temp.Join(L"b.txt"), 3000, 'b');
    form.SetFromText(L"\"" + temp.Join(L"one") + L"\" \"" + temp.Join(L"b.txt") + L"\"");
    form.SetToText(temp.Join(L"to"));
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    EXPECT_EQ(Text(Item(IDC_SUMMARY)), L"2 files in 1 folder (7.00 KB)");
    Command(IDC_GO);
    ASSERT_TRUE(WaitForStatus(L"Copy completed"));
    EXPECT_EQ(UiTest::ReadFile(temp.Join(L"to\\one\\a.txt")), UiTest::ReadFile(temp.Join(L"one\\a.txt")));
    EXPECT_EQ(UiTest::ReadFile(temp.Join(L"to\\b.txt")), UiTest::ReadFile(temp.Join(L"b.txt")));
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Text(StatusField(IDC_REMAINING)), L"none");
    EXPECT_EQ(Text(StatusField(IDC_REMAINING_TIME)), L"done");
    EXPECT_EQ(Text(StatusField(IDC_PROGRESS_TEXT)), L"100%");

    // Changing the sources clears the rows and goes back through Idle.
    form.SetFromText(temp.Join(L"missing"));
    ASSERT_TRUE(WaitForStatus(L""));
    EXPECT_EQ(Text(Item(IDC_SUMMARY)), L"");
    EXPECT_FALSE(Enabled(form.GoButton().Handle()));
}

TEST_F(MainFormTest, AnInvalidDestinationIsRefusedAndTheFormStaysReady) {
    UiTest::TempFolder temp;
    UiTest::WriteFile(temp.Join(L"a.txt"), 10);
    UiTest::WriteFile(temp.Join(L"file-not-folder"), 10);
    form.SetFromText(temp.Join(L"a.txt"));
    form.SetToText(temp.Join(L"file-not-folder"));
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    Command(IDC_GO);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, L"The destination must be a folder.");
    EXPECT_EQ(prompt.asked[0].caption, L"Invalid folder");
    PumpFor(400);
    EXPECT_EQ(Status(), L"Ready");
    ExpectInputOpen(true);
}

TEST_F(MainFormTest, BrowsersFillTheFieldsAndCancelChangesNothing) {
    form.SetToText(L"C:\\keep");
    chooserAnswers = {L"C:\\picked\\source"};
    Command(IDC_BROWSE_SOURCE);
    Command(IDC_BROWSE_DESTINATION);  // cancelled: no answer left
    ASSERT_EQ(chooserCalls.size(), 2u);
    EXPECT_EQ(chooserCalls[0].title, L"Choose a file or folder to copy from:");
    EXPECT_EQ(chooserCalls[0].flags, 0x4050u);
    EXPECT_EQ(chooserCalls[1].title, L"Choose a folder to copy to:");
    EXPECT_EQ(chooserCalls[1].flags, 0x50u);
    EXPECT_EQ(form.FromText(), L"C:\\picked\\source");
    EXPECT_EQ(form.ToText(), L"C:\\keep");

    Command(IDC_ABOUT);
    EXPECT_EQ(aboutForms, 1);
}

TEST_F(MainFormTest, StartupChoosersRunOnlyWithoutArgumentsAndStopAtACancel) {
    form.SetStartedWithoutArguments(true);
    form.OnStartup();  // the first chooser is cancelled
    ASSERT_EQ(chooserCalls.size(), 1u);
    EXPECT_EQ(form.FromText(), L"");

    chooserCalls.clear();
    chooserAnswers = {L"C:\\from", L"D:\\to"};
    form.OnStartup();
    ASSERT_EQ(chooserCalls.size(), 2u);
    EXPECT_EQ(form.FromText(), L"C:\\from");
    EXPECT_EQ(form.ToText(), L"D:\\to");

    chooserCalls.clear();
    form.SetStartedWithoutArguments(false);
    form.OnStartup();
    EXPECT_TRUE(chooserCalls.empty());
}

// Starts a slow copy of one large file and waits until it is being copied.
class CloseRequestTest : public MainFormTest {
protected:
    void StartSlowCopy() {
        UiTest::WriteFile(temp.Join(L"big.bin"), 3 * 1024 * 1024, 'x');
        readDelayMs = 60;
        form.SetFromText(temp.Join(L"big.bin"));
        form.SetToText(temp.Join(L"out"));
        ASSERT_TRUE(WaitForStatus(L"Ready"));
        Command(IDC_GO);
        ASSERT_TRUE(WaitForStatus(L"Copying"));
        ASSERT_TRUE(PumpUntil([&] { return ProgressPosition() > 0; }, 10000));
    }
    bool WindowGone() { return form.Handle() == nullptr; }

    UiTest::TempFolder temp;
};

TEST_F(CloseRequestTest, InIdleTheCloseBoxClosesWithoutAQuestionAndExitCode2) {
    PumpFor(200);
    ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);  // what the close box sends: it posts command 2
    EXPECT_TRUE(PumpUntil([&] { return WindowGone(); }, 3000, &quitCode));
    EXPECT_TRUE(prompt.asked.empty());
    PumpFor(50, &quitCode);
    EXPECT_EQ(quitCode, 2);
}

TEST_F(CloseRequestTest, WhileDiscoveringTheDiscoveryIsStoppedBeforeTheWindowGoes) {
    UiTest::MakeFolder(temp.Join(L"src"));
    UiTest::WriteFile(temp.Join(L"src\\a.txt"), 10);
    listing.HoldListing(L"\\src");
    form.SetFromText(temp.Join(L"src"));
    ASSERT_TRUE(WaitForStatus(kDiscovering));
    std::thread release([&] {
        ::Sleep(300);
        listing.ReleaseListing();
    });
    Command(ID_TRAY_EXIT);
    release.join();
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(WindowGone());
    PumpFor(50, &quitCode);
    EXPECT_EQ(quitCode, 32780);
}

TEST_F(CloseRequestTest, WhileCopyingNoKeepsTheCopyAndTheFormShowsPausedDuringTheQuestion) {
    StartSlowCopy();
    std::wstring statusWhileAsked;
    prompt.whileOpen = [&] {
        PumpFor(350);  // a real box pumps; the timer keeps ticking
        statusWhileAsked = Status();
        Command(ID_TRAY_EXIT);  // a second close while the question is open asks nothing more
    };
    prompt.answers = {PromptAnswer::kNo};
    Command(IDCANCEL);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, kCloseQuestion);
    EXPECT_EQ(prompt.asked[0].caption, L"Torvane");
    EXPECT_EQ(prompt.asked[0].style, 0x34u);  // Yes/No, exclamation
    EXPECT_EQ(statusWhileAsked, L"Paused");
    EXPECT_FALSE(WindowGone());
    readDelayMs = 0;
    ASSERT_TRUE(WaitForStatus(L"Copy completed", 20000));
    EXPECT_EQ(UiTest::ReadFile(temp.Join(L"out\\big.bin")), UiTest::ReadFile(temp.Join(L"big.bin")));
}

TEST_F(CloseRequestTest, WhileCopyingYesCancelsAndLeavesNoPartialFile) {
    StartSlowCopy();
    prompt.answers = {PromptAnswer::kYes};
    Command(ID_TRAY_EXIT);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_TRUE(WindowGone());
    EXPECT_FALSE(UiTest::Exists(temp.Join(L"out\\big.bin")));
    PumpFor(50, &quitCode);
    EXPECT_EQ(quitCode, 32780);
    EXPECT_EQ(completions, 0);
}

TEST_F(CloseRequestTest, WhilePausedNoStaysPausedAndYesCancels) {
    StartSlowCopy();
    Command(IDC_GO);
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    prompt.answers = {PromptAnswer::kNo, PromptAnswer::kYes};
    Command(IDCANCEL);
    ASSERT_EQ(prompt.asked.size(), 1u);
    PumpFor(300);
    EXPECT_EQ(Status(), L"Paused");
    EXPECT_FALSE(WindowGone());

    Command(IDCANCEL);
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_TRUE(WindowGone());
    EXPECT_FALSE(UiTest::Exists(temp.Join(L"out\\big.bin")));
    PumpFor(50, &quitCode);
    EXPECT_EQ(quitCode, 2);
}

TEST_F(CloseRequestTest, AfterCompletionTheWindowClosesWithoutAQuestion) {
    UiTest::WriteFile(temp.Join(L"a.txt"), 100);
    form.SetFromText(temp.Join(L"a.txt"));
    form.SetToText(temp.Join(L"out"));
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    Command(IDC_GO);
    ASSERT_TRUE(WaitForStatus(L"Copy completed"));
    Command(IDCANCEL);
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(WindowGone());
}

TEST_F(MainFormTest, TrayDoubleClickHidesThenShowsAndOtherIconsAreIgnored) {
    const UINT trayMessage = form.TrayCallbackMessage();
    ASSERT_NE(trayMessage, 0u);
    EXPECT_EQ(form.NotifyData().cbSize, kNotifyIconDataSize);
    EXPECT_EQ(form.NotifyData().uID, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_STREQ(form.NotifyData().szTip, L"Norvask Torvane");
    PumpFor(100);

    ::SendMessageW(form.Handle(), trayMessage, 999, WM_LBUTTONDBLCLK);  // another icon
    EXPECT_TRUE(Visible(form.Handle()));

    ::SendMessageW(form.Handle(), trayMessage, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(Visible(form.Handle()));
    ::SendMessageW(form.Handle(), trayMessage, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Visible(form.Handle()));
    EXPECT_EQ(::GetForegroundWindow(), form.Handle());

    // Minimised, with another window in the foreground: Show/Hide restores
    // and activates it.
    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_NE(::GetForegroundWindow(), form.Handle());
    Command(ID_TRAY_SHOW_HIDE);
    ::DestroyWindow(other);
    EXPECT_FALSE(::IsIconic(form.Handle()));
    EXPECT_TRUE(Visible(form.Handle()));
}

TEST_F(CloseRequestTest, TrayExitWhileCopyingAsksTheSameQuestion) {
    StartSlowCopy();
    prompt.answers = {PromptAnswer::kNo};
    Command(ID_TRAY_EXIT);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, kCloseQuestion);
    EXPECT_FALSE(WindowGone());
    readDelayMs = 0;
}

TEST_F(MainFormTest, ColumnsShareWidthChangesAndTheWindowKeepsItsInitialSize) {
    HWND list = Item(IDC_RESULTS);
    RECT r{};
    ::GetWindowRect(form.Handle(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int first = UiTest::ColumnWidth(list, 0);
    const int second = UiTest::ColumnWidth(list, 1);

    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width + 101, height, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(UiTest::ColumnWidth(list, 0), first + 50);
    EXPECT_EQ(UiTest::ColumnWidth(list, 1), second + 51);
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(UiTest::ColumnWidth(list, 0), first);
    EXPECT_EQ(UiTest::ColumnWidth(list, 1), second);

    // Minimising and restoring leaves the columns as they were.
    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    ::ShowWindow(form.Handle(), SW_RESTORE);
    EXPECT_EQ(UiTest::ColumnWidth(list, 0), first);
    EXPECT_EQ(UiTest::ColumnWidth(list, 1), second);

    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width - 101, height - 50, SWP_NOMOVE | SWP_NOZORDER);
    ::GetWindowRect(form.Handle(), &r);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);

    // Widening moves the Go button and stretches the status host and the item lines.
    RECT go{};
    ::GetWindowRect(form.GoButton().Handle(), &go);
    RECT line{};
    ::GetWindowRect(StatusField(IDC_ITEM_NAME), &line);
    RECT label{};
    ::GetWindowRect(StatusField(IDC_FILES_LABEL), &label);
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width + 60, height + 40, SWP_NOMOVE | SWP_NOZORDER);
    RECT go2{};
    ::GetWindowRect(form.GoButton().Handle(), &go2);
    EXPECT_EQ(go2.left - go.left, 60);
    EXPECT_EQ(go2.top - go.top, 40);
    RECT line2{};
    ::GetWindowRect(StatusField(IDC_ITEM_NAME), &line2);
    EXPECT_EQ((line2.right - line2.left) - (line.right - line.left), 60);
    RECT label2{};
    ::GetWindowRect(StatusField(IDC_FILES_LABEL), &label2);
    EXPECT_EQ(label2.right - label2.left, label.right - label.left);
}

}  // namespace
