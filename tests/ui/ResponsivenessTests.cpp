// The real MainForm keeps answering other threads while its own thread stops
// discovery in the middle of a huge listing, and while it cancels a copy
// whose block hangs (a dead network share, simulated here). Another thread
// sends it WM_NULL all the while, as the system's hang detection does.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <string>
#include <thread>

#include "platform/testing/FaultPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainForm.h"
#include "ui/res/resource.h"

using UiTest::PumpFor;
using UiTest::PumpUntil;
using UiTest::Text;

namespace {

constexpr DWORD kAnswerWithinMs = 250;

// Listings that take their time over every entry.
class StallingListing : public PassingListingCalls {
public:
    using PassingListingCalls::PassingListingCalls;

    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override {
        if (const int delay = entryDelayMs.load()) ::Sleep(static_cast<DWORD>(delay));
        return inner.FindNext(find, entry);
    }

    std::atomic<int> entryDelayMs{0};
};

// Sends WM_NULL to the window every 20 ms from its own thread and keeps the
// longest time an answer took, until the window is gone or the pinger ends.
class Pinger {
public:
    explicit Pinger(HWND window) : thread([this, window] { Run(window); }) {}
    ~Pinger() { Stop(); }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    void Stop() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    DWORD Longest() const { return longest; }
    int Pings() const { return pings; }

private:
    void Run(HWND window) {
        while (!stop && ::IsWindow(window)) {
            const DWORD start = ::GetTickCount();
            DWORD_PTR result = 0;
            const bool answered =
                ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2 * kAnswerWithinMs, &result) != 0;
            // A window destroyed meanwhile answers nothing; that is no hang.
            if (!::IsWindow(window)) break;
            const DWORD took = answered ? ::GetTickCount() - start : 2 * kAnswerWithinMs;
            longest = std::max<DWORD>(longest, took);
            if (took >= kAnswerWithinMs) std::fprintf(stderr, "no answer within %lu ms\n", took);
            ++pings;
            ::Sleep(20);
        }
    }

    std::atomic<bool> stop{false};
    std::atomic<DWORD> longest{0};
    std::atomic<int> pings{0};
    std::thread thread;
};

class ResponsivenessTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Reads can be held inside the platform call until released.
        fault.OnRead([this](const std::wstring&, int number) {
            if (number < holdFromRead.load()) return;
            readHeld = true;
            const DWORD start = ::GetTickCount();
            while (holdFromRead.load() != 0 && ::GetTickCount() - start < 20000) ::Sleep(5);
            readHeld = false;
        });
        form.SetPrompt(&prompt);
        form.SetCompletionShower([] {});
        // Never shown: hiding a shown window under a bare X server waits for
        // a window manager that is not there, which is no wait of ours.
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
    }
    std::wstring Status() { return Text(::GetDlgItem(form.Handle(), IDC_STATUS_LINE)); }
    bool WaitForStatus(const std::wstring& status) {
        return PumpUntil([&] { return form.Handle() != nullptr && Status() == status; }, 20000, &quitCode);
    }
    void Command(int id) { ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool WindowGone() { return form.Handle() == nullptr; }

    std::atomic<int> holdFromRead{0};  // 0: no read is held
    std::atomic<bool> readHeld{false};
    FaultPlatform fault{SystemPlatform()};
    StallingListing listing{fault.Listing()};
    Platform platform{fault.Files(), listing, fault.Folders(), fault.Sync(), fault.Threads()};
    UiTest::ScriptedPrompt prompt;
    MainForm form{platform};
    UiTest::TempFolder temp;
    int quitCode = -1;
};

// A folder of thousands of entries, listed slowly: a change of From, Go and
// the close each stop or wait for discovery without holding the window.
TEST_F(ResponsivenessTest, AHugeListingNeverHoldsTheWindow) {
    const std::wstring huge = temp.Join(L"huge");
    UiTest::MakeFolder(huge);
    for (int i = 0; i < 2000; ++i) UiTest::WriteFile(huge + L"\\f" + std::to_wstring(i), 1);
    UiTest::MakeFolder(temp.Join(L"small"));
    UiTest::WriteFile(temp.Join(L"small\\a.txt"), 10);
    listing.entryDelayMs = 3;  // about 6 s for the whole listing

    Pinger pinger(form.Handle());
    form.SetFromText(huge);
    ASSERT_TRUE(WaitForStatus(L"Discovering source files"));
    PumpFor(300);
    form.SetFromText(temp.Join(L"small"));  // the next tick stops the listing halfway
    ASSERT_TRUE(WaitForStatus(L"Ready"));

    form.SetFromText(huge);
    form.SetToText(temp.Join(L"out"));
    ASSERT_TRUE(WaitForStatus(L"Discovering source files"));
    PumpFor(300);
    Command(IDC_GO);  // queued behind discovery
    PumpFor(300);
    Command(IDCANCEL);  // no copy runs yet: no question, discovery stopped
    EXPECT_TRUE(PumpUntil([&] { return WindowGone(); }, 5000, &quitCode));
    pinger.Stop();
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_GT(pinger.Pings(), 10);
    EXPECT_LT(pinger.Longest(), kAnswerWithinMs);
}

// A block that hangs inside its read: Pause asks and returns at once (the
// window shows Paused only once the worker has parked, which it cannot yet),
// and the close cancels and waits for the worker while the window answers.
TEST_F(ResponsivenessTest, ABlockThatHangsNeverHoldsTheWindow) {
    UiTest::WriteFile(temp.Join(L"big.bin"), 1024 * 1024, 'x');
    holdFromRead = 3;
    form.SetFromText(temp.Join(L"big.bin"));
    form.SetToText(temp.Join(L"out"));
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    Command(IDC_GO);
    ASSERT_TRUE(PumpUntil([&] { return readHeld.load(); }, 10000));

    Pinger pinger(form.Handle());
    Command(IDC_GO);  // pause
    PumpFor(400);
    EXPECT_EQ(Status(), L"Copying") << "the worker is still inside its block";

    std::thread release([&] {
        ::Sleep(1500);
        holdFromRead = 0;
    });
    prompt.answers = {PromptAnswer::kYes};
    Command(IDCANCEL);  // cancels and waits for the worker
    release.join();
    EXPECT_TRUE(PumpUntil([&] { return WindowGone(); }, 5000, &quitCode));
    pinger.Stop();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_GT(pinger.Pings(), 10);
    EXPECT_LT(pinger.Longest(), kAnswerWithinMs);
    // Nothing of the cancelled file is left, under its name or any other.
    EXPECT_FALSE(UiTest::Exists(temp.Join(L"out\\big.bin")));
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(temp.Join(L"out\\*").c_str(), &data);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.cFileName[0] != L'.') ++entries;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    EXPECT_EQ(entries, 0);
}

}  // namespace
