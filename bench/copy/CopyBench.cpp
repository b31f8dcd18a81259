// Copy benchmark: the engine, driven as the main form drives it, against the
// copies a user would pick instead, on three generated trees:
//   L  one 1 GiB file
//   M  2,000 files of 256 KiB in 40 folders
//   S  20,000 files of 4 KiB in 200 folders
// Under Windows (wine64) the real Torvane.exe runs too, started with the
// source and a destination and driven through its window as a user would
// (tools/WindowDriver.cpp presses Go and waits for the completion form); it is
// also shown net of its fixed waits, measured on a one-file job.
// Under Windows (wine64) the peers are xcopy /E /I, robocopy /E (when it
// copies at all), a CopyFileExW loop and a plain 64 KiB ReadFile/WriteFile
// loop; natively cp -r. Every run gets a fresh destination, a page cache
// with no dirty pages left by the run before, and a re-read source; runs of the engine and the peers alternate, each repetition starting
// one contender later, and medians are shown. Where the platform finishes
// files on a second thread, one engine run does without it, to show the gain.
//
//   copy_bench [work folder] [repetitions] [trees, e.g. LMS]
//
// One more engine run counts and times every platform call: it prints the
// calls per copied file by kind, and the time per file split into the
// engine's own and the platform's. It is timed apart, not judged, since the
// counting costs a little itself.
//
// The work folder (default Z:\tmp\torvane-bench) holds the trees and every
// destination; remove it afterwards (bench/copy/run-copy-bench does).

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "engine/PathHelpers.h"
#include "bench/copy/NoWaitPlatform.h"

#ifndef _WIN32
#include "platform/posix/PosixPlatform.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct TreeSpec {
    const char* name;
    int folders;
    int filesPerFolder;
    std::uint64_t fileSize;
    bool measureBytes;  // MB/s for L and M, files/s for S
};

const TreeSpec kTrees[] = {
    {"L", 1, 1, std::uint64_t{1} << 30, true},
    {"M", 40, 50, 256 * 1024, true},
    {"S", 200, 100, 4 * 1024, false},
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool WriteWholeFile(Platform& platform, const std::wstring& path, std::uint64_t size) {
    FileHandle file;
    if (platform.Files().CreateNewFile(path, file) != ErrorCode::kSuccess) return false;
    std::vector<unsigned char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 31 + (i >> 9));
    while (size > 0) {
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, block.size()));
        std::uint32_t written = 0;
        if (platform.Files().WriteFile(file.get(), block.data(), n, written) != ErrorCode::kSuccess) return false;
        size -= n;
    }
    return true;
}

std::wstring FolderName(int i) { return L"d" + std::to_wstring(i); }
std::wstring FileName(int i) { return L"f" + std::to_wstring(i) + L".bin"; }

// Builds the tree unless a finished one is there already.
bool Generate(Platform& platform, const TreeSpec& spec, const std::wstring& root) {
    const std::wstring done = root + L".complete";
    if (platform.Folders().PathExists(done)) return true;
    std::printf("generating %s ...\n", spec.name);
    std::fflush(stdout);
    platform.Folders().CreateFolderTree(root);
    for (int f = 0; f < spec.folders; ++f) {
        const std::wstring folder = spec.folders == 1 ? root : JoinPath(root, FolderName(f));
        platform.Folders().CreateFolder(folder);
        for (int i = 0; i < spec.filesPerFolder; ++i) {
            const std::wstring path = JoinPath(folder, FileName(i));
            if (!platform.Folders().PathExists(path) && !WriteWholeFile(platform, path, spec.fileSize)) return false;
        }
    }
    return WriteWholeFile(platform, done, 0);
}

// Reads every file of the tree, so each run starts from a warm cache.
void Warm(Platform& platform, const std::wstring& folder) {
    FindHandle find;
    FindEntry entry;
    if (platform.Listing().FindFirst(JoinPath(folder, L"*"), find, entry) != ErrorCode::kSuccess) return;
    static std::vector<unsigned char> buffer(1 << 20);
    do {
        if (entry.name == L"." || entry.name == L"..") continue;
        const std::wstring path = JoinPath(folder, entry.name);
        if (entry.attributes & FileAttribute::kDirectory) {
            Warm(platform, path);
            continue;
        }
        FileHandle file;
        if (platform.Files().OpenForBackupRead(path, file) != ErrorCode::kSuccess) continue;
        std::uint32_t n = 0;
        while (platform.Files().ReadFile(file.get(), buffer.data(), static_cast<std::uint32_t>(buffer.size()), n) ==
                   ErrorCode::kSuccess &&
               n > 0) {
        }
    } while (platform.Listing().FindNext(find.get(), entry) == ErrorCode::kSuccess);
}

// --- The engine ---

// As the main form drives it: discovery has finished (Ready), Go sets the job
// up, the 100 ms tick starts the thread and later sees done.
// Returns the seconds from Go to the tick that sees the copy done; negative
// when the copy reported anything.
double EngineAsTheFormDrivesIt(Platform& platform, const std::wstring& source, const std::wstring& destination,
                               std::chrono::milliseconds tick, const std::function<void()>& onGo = {}) {
    EnumerationModule discovery(platform);
    CopyModule copier(platform);
    discovery.Configure(source, true);
    discovery.Start();
    while (!discovery.IsDone()) std::this_thread::sleep_for(tick);

    if (onGo) onGo();
    const auto start = Clock::now();
    copier.Setup(source, destination, true, true);
    copier.Start();
    while (!copier.IsDone()) std::this_thread::sleep_for(tick);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ItemResult item;
    const bool clean = !copier.Items().Pop(item) && copier.Skipped() == 0;
    copier.Cancel();  // joins the finished thread
    discovery.Stop();
    return clean ? seconds : -1;
}

#ifdef _WIN32
// --- Windows peers ---

bool RunProgram(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    const BOOL started =
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started) return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

using FileCopier = std::function<bool(const std::wstring&, const std::wstring&)>;

bool CopyTree(const std::wstring& source, const std::wstring& target, const FileCopier& copyOne) {
    CreateDirectoryW(target.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((source + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyTree(source + L"\\" + name, target + L"\\" + name, copyOne) && ok;
        } else {
            ok = copyOne(source + L"\\" + name, target + L"\\" + name) && ok;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

bool CopyFileExLoop(const std::wstring& source, const std::wstring& target) {
    return CopyTree(source, target, [](const std::wstring& from, const std::wstring& to) {
        return CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS) != FALSE;
    });
}

bool PlainLoop(const std::wstring& source, const std::wstring& target) {
    static std::vector<char> buffer(65536);
    return CopyTree(source, target, [](const std::wstring& from, const std::wstring& to) {
        HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (in == INVALID_HANDLE_VALUE) return false;
        HANDLE out = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) {
            CloseHandle(in);
            return false;
        }
        DWORD n = 0;
        bool ok = true;
        while (ReadFile(in, buffer.data(), 65536, &n, nullptr) && n > 0) {
            DWORD written = 0;
            if (!WriteFile(out, buffer.data(), n, &written, nullptr) || written != n) {
                ok = false;
                break;
            }
        }
        CloseHandle(out);
        CloseHandle(in);
        return ok;
    });
}

bool Xcopy(const std::wstring& source, const std::wstring& target) {
    return RunProgram(L"xcopy.exe \"" + source + L"\" \"" + target + L"\" /E /I /Q /Y");
}

#ifdef TORVANE_EXE
// --- The real program, driven through its window ---

std::wstring WindowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != 0; ++c) path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    return path;
}

// What the window driver reported of one run of Torvane.exe: seconds from start
// to Ready and from Go to the completion form; negative when it did not complete
// or the copy left anything out.
struct WindowRun {
    double ready = -1;
    double completed = -1;
};

double ReportedSeconds(const std::string& report, const char* label) {
    const std::size_t at = report.find(std::string("\n") + label);
    if (at == std::string::npos) return -1;
    return std::atof(report.c_str() + at + 1 + std::strlen(label));
}

WindowRun ThroughTheWindow(const std::wstring& source, const std::wstring& destination) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring reportPath = std::wstring(temp) + L"torvane-bench-window.txt";
    DeleteFileW(reportPath.c_str());
    RunProgram(L"\"" + WindowsPathOf(WINDOW_DRIVER_EXE) + L"\" --timeout 1800 --report \"" + reportPath + L"\" \"" +
               WindowsPathOf(TORVANE_EXE) + L"\" \"" + source + L"\" \"" + destination + L"\"");
    std::string report = "\n";
    if (FILE* file = _wfopen(reportPath.c_str(), L"rb")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) report.append(buffer, n);
        std::fclose(file);
    }
    DeleteFileW(reportPath.c_str());
    WindowRun run;
    if (report.find("\nskipped: none\n") == std::string::npos || report.find("\nrows: 0\n") == std::string::npos) {
        // What the window showed says why the run does not count.
        std::printf("  the window driver reported:%s", report.c_str());
        return run;
    }
    run.ready = ReportedSeconds(report, "ready: ");
    run.completed = ReportedSeconds(report, "completed: ");
    return run;
}
#endif

bool Robocopy(const std::wstring& source, const std::wstring& target) {
    RunProgram(L"robocopy.exe \"" + source + L"\" \"" + target + L"\" /E");
    // The robocopy of some installations is a stub that copies nothing.
    return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
}
#else
bool CpR(const std::string& source, const std::string& target) {
    const std::string command = "cp -r '" + source + "' '" + target + "'";
    return std::system(command.c_str()) == 0;
}
#endif

// The CPU seconds the window server has used so far, read from its /proc
// entry (Wine shows the Unix root as Z:); negative where there is none. Every
// file call of a Windows program under Wine is a round trip to this one
// single-threaded process, so its time per file is a floor for every copy.
double ServerCpuSeconds() {
#ifdef _WIN32
    static const std::wstring stat = [] {
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
        std::wstring found;
        if (find == INVALID_HANDLE_VALUE) return found;
        do {
            const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
            if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
            if (FILE* comm = _wfopen((folder + L"\\comm").c_str(), L"rb")) {
                char name[32] = {};
                const bool server = std::fgets(name, sizeof name, comm) && std::strncmp(name, "wineserver", 10) == 0;
                std::fclose(comm);
                if (server) found = folder + L"\\stat";
            }
        } while (found.empty() && FindNextFileW(find, &entry));
        FindClose(find);
        return found;
    }();
    if (stat.empty()) return -1;
    FILE* file = _wfopen(stat.c_str(), L"rb");
    if (!file) return -1;
    char text[1024] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    const char* fields = std::strrchr(text, ')');
    if (n == 0 || !fields) return -1;
    // Fields 14 and 15 of the line (counted from 1): user and system time,
    // in the kernel's clock ticks of 1/100 s.
    unsigned long long user = 0, kernel = 0;
    if (std::sscanf(fields + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &kernel) != 2) return -1;
    return static_cast<double>(user + kernel) / 100;
#else
    return -1;
#endif
}

// Writes the dirty page cache out, so no run pays for the write-back of the one before.
void SettleWrites() {
#ifdef _WIN32
    RunProgram(L"Z:\\bin\\sync");  // Wine starts a Unix program as it starts its own
#else
    if (std::system("sync") != 0) std::printf("sync failed\n");
#endif
}

// Times a peer; negative when it failed.
template <typename Copy>
double Timed(Copy copy) {
    const auto start = Clock::now();
    const bool ok = copy();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return ok ? seconds : -1;
}

struct Contender {
    using Run = std::function<double(const std::wstring&, const std::wstring&, const std::wstring&)>;
    Contender(std::string name, bool isEngine, Run run) : name(std::move(name)), isEngine(isEngine), run(std::move(run)) {}

    std::string name;
    bool isEngine;
    // Copies source into destinationFolder\treeName; the seconds it took,
    // negative when it did not copy.
    std::function<double(const std::wstring& source, const std::wstring& destinationFolder,
                         const std::wstring& treeName)>
        run;
    std::vector<double> seconds;
    std::vector<double> serverSeconds;  // the window server's CPU seconds in each run
    bool failed = false;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void RemoveCopy(Platform& platform, const std::wstring& folder, bool singleFile, const std::wstring& treeName) {
    // Only the large file's copies are removed at once (disk space); the
    // many-file copies stay until the run ends, so no run reuses freed inodes.
    if (!singleFile) return;
    const std::wstring file = JoinPath(JoinPath(folder, treeName), FileName(0));
    platform.Folders().RemoveFile(file);
}

// The platform calls of the counted run per copied file, by kind, and the
// time per file split into the platform's part and the engine's own.
void PrintCallCounts(const NoWaitPlatform& counted, double files, const std::vector<Contender>& contenders) {
    if (counted.TotalCalls() == 0) return;
    std::printf("  platform calls per copied file: %.2f (", static_cast<double>(counted.TotalCalls()) / files);
    const char* separator = "";
    for (int kind = 0; kind < NoWaitPlatform::kKinds; ++kind) {
        if (counted.Calls(kind) == 0) continue;
        std::printf("%s%s %.2f", separator, NoWaitPlatform::KindName(kind),
                    static_cast<double>(counted.Calls(kind)) / files);
        separator = ", ";
    }
    std::printf(")\n");
    for (const auto& c : contenders) {
        if (c.name.find("counted") == std::string::npos || c.seconds.empty()) continue;
        const double perFile = c.seconds.back() / files * 1e6;
        // The copy thread's own time is what the job takes; the finishing
        // thread's platform time runs beside it.
        const double copyThreadPerFile = counted.CopyThreadSeconds() / files * 1e6;
        const double otherPerFile = counted.OtherThreadSeconds() / files * 1e6;
        const double idlePerFile = counted.OtherThreadIdleSeconds() / files * 1e6;
        std::printf("  time per file (counted run): %.1f us; copy thread: platform %.1f us, engine and the rest %.1f us;"
                    " finishing thread: platform %.1f us, waiting for work %.1f us\n",
                    perFile, copyThreadPerFile, perFile - copyThreadPerFile, otherPerFile, idlePerFile);
        std::printf("  platform time per file by call:");
        separator = " ";
        for (int kind = 0; kind < NoWaitPlatform::kKinds; ++kind) {
            const double us = counted.Seconds(kind) / files * 1e6;
            if (us < 0.05) continue;
            std::printf("%s%s %.1f us", separator, NoWaitPlatform::KindName(kind), us);
            separator = ", ";
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Platform& system = SystemPlatform();
    NoWaitPlatform noWaits(system);
    NoWaitPlatform counted(system, true);
    NoWaitPlatform oneThread(system);
    oneThread.FinishOnTheCopyThread();
    std::wstring work = L"Z:\\tmp\\torvane-bench";
    int repetitions = 3;
    std::string which = "LMS";
    if (argc > 1) work = std::wstring(argv[1], argv[1] + std::string(argv[1]).size());
    if (argc > 2) repetitions = std::max(1, std::atoi(argv[2]));
    if (argc > 3) which = argv[3];
#ifdef _WIN32
    const char* platformName = "wine64 (Win32 layer)";
#else
    const char* platformName = "native (POSIX layer)";
#endif
    // Destinations are new folders even where an earlier run's copies are still there: the real
    // program would ask about a folder that is not empty.
    const std::wstring runTag = std::to_wstring(std::chrono::duration_cast<std::chrono::seconds>(
                                                    std::chrono::system_clock::now().time_since_epoch())
                                                    .count());
    std::printf("copy benchmark, %s, %d repetitions, work folder %s\n", platformName, repetitions,
                Narrow(work).c_str());

    for (const auto& spec : kTrees) {
        if (which.find(spec.name) == std::string::npos) continue;
        const std::wstring treeName(spec.name, spec.name + 1);
        const std::wstring source = JoinPath(work, treeName);
        if (!Generate(system, spec, source)) {
            std::printf("%s: could not generate the tree\n", spec.name);
            return 1;
        }
        std::vector<Contender> contenders;
#ifdef TORVANE_EXE
        // The program's fixed cost, from a one-file job: the two 500 ms thread
        // waits and the ticks around them, which the real program's runs are
        // also shown without.
        std::vector<double> fixedReady, fixedCompleted;
        const std::wstring oneFile = JoinPath(work, L"one-file");
        system.Folders().CreateFolder(oneFile);
        if (!system.Folders().PathExists(JoinPath(oneFile, FileName(0)))) WriteWholeFile(system, JoinPath(oneFile, FileName(0)), 1);
        for (int rep = 0; rep < std::max(3, repetitions); ++rep) {
            const std::wstring destination = JoinPath(work, L"out-" + runTag + L"-one-" + treeName + L"-" + std::to_wstring(rep));
            system.Folders().CreateFolder(destination);
            const WindowRun run = ThroughTheWindow(oneFile, destination);
            if (run.completed < 0) continue;
            fixedReady.push_back(run.ready);
            fixedCompleted.push_back(run.completed);
        }
        const double fixed = fixedCompleted.empty() ? 0 : Median(fixedCompleted);
        if (!fixedCompleted.empty()) {
            std::printf("Torvane.exe, one-file job: start to Ready %.2f s, Go to completion %.2f s (medians of %zu)\n",
                        Median(fixedReady), fixed, fixedCompleted.size());
        }
        contenders.push_back({"Torvane.exe through its window (Go to completion)", true,
                              [&](const std::wstring& from, const std::wstring& to, const std::wstring&) {
                                  return ThroughTheWindow(from, to).completed;
                              }});
#endif
        contenders.push_back({"engine, form-driven (500 ms waits, 100 ms tick)", true,
                              [&](const std::wstring& from, const std::wstring& to, const std::wstring&) {
                                  return EngineAsTheFormDrivesIt(system, from, to, std::chrono::milliseconds(100));
                              }});
        // Polled every 10 ms: under Wine each wake of the polling thread is a
        // wineserver round trip, and 1 ms polling slows the copy itself down.
        contenders.push_back({"engine, without the fixed waits", true,
                              [&](const std::wstring& from, const std::wstring& to, const std::wstring&) {
                                  return EngineAsTheFormDrivesIt(noWaits, from, to, std::chrono::milliseconds(10));
                              }});
        if (system.Files().OverlapsFinishing()) {
            contenders.push_back({"engine, no fixed waits, files finished on the copy thread", true,
                                  [&](const std::wstring& from, const std::wstring& to, const std::wstring&) {
                                      return EngineAsTheFormDrivesIt(oneThread, from, to,
                                                                     std::chrono::milliseconds(10));
                                  }});
        }
        // Counted apart: the calls of the last counted run are what is shown.
        contenders.push_back({"engine, no fixed waits, calls counted and timed", true,
                              [&](const std::wstring& from, const std::wstring& to, const std::wstring&) {
                                  return EngineAsTheFormDrivesIt(counted, from, to, std::chrono::milliseconds(10),
                                                                 [&] { counted.ResetCounts(); });
                              }});
#ifdef _WIN32
        contenders.push_back({"xcopy /E /I", false, [](const std::wstring& from, const std::wstring& to,
                                                       const std::wstring& name) {
                                  return Timed([&] { return Xcopy(from, to + L"\\" + name); });
                              }});
        contenders.push_back({"robocopy /E", false,
                              [](const std::wstring& from, const std::wstring& to, const std::wstring& name) {
                                  return Timed([&] { return Robocopy(from, to + L"\\" + name); });
                              }});
        contenders.push_back({"CopyFileExW loop", false,
                              [](const std::wstring& from, const std::wstring& to, const std::wstring& name) {
                                  return Timed([&] { return CopyFileExLoop(from, to + L"\\" + name); });
                              }});
        contenders.push_back({"64 KiB ReadFile/WriteFile loop", false,
                              [](const std::wstring& from, const std::wstring& to, const std::wstring& name) {
                                  return Timed([&] { return PlainLoop(from, to + L"\\" + name); });
                              }});
#else
        contenders.push_back({"cp -r (for information)", false,
                              [](const std::wstring& from, const std::wstring& to, const std::wstring& name) {
                                  PosixPlatform mapper;
                                  std::string a, b;
                                  mapper.ToPosixPath(from, a);
                                  mapper.ToPosixPath(to + L"\\" + name, b);
                                  return Timed([&] { return CpR(a, b); });
                              }});
#endif
        int runNumber = 0;
        for (int rep = 0; rep < repetitions; ++rep) {
            // Each repetition starts one contender later, so none always
            // follows the same one (and the removal of its copy).
            for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
                Contender& contender = contenders[(turn + static_cast<std::size_t>(rep)) % contenders.size()];
                if (contender.failed) continue;
                const std::wstring destination = JoinPath(work, L"out-" + runTag + L"-" + treeName + L"-" + std::to_wstring(++runNumber));
                system.Folders().CreateFolder(destination);
                SettleWrites();
                Warm(system, source);
                const double serverBefore = ServerCpuSeconds();
                const double seconds = contender.run(source, destination, treeName);
                const double serverAfter = ServerCpuSeconds();
                // The real program's run also holds its start, its elevated
                // re-launch and its exit, whose server time is no copy's.
                if (serverBefore >= 0 && serverAfter >= 0 && contender.name.rfind("Torvane.exe", 0) != 0) {
                    contender.serverSeconds.push_back(serverAfter - serverBefore);
                }
                if (seconds < 0) {
                    contender.failed = true;
                    std::printf("  %-52s did not copy the tree (skipped)\n", contender.name.c_str());
                } else {
                    contender.seconds.push_back(seconds);
                }
                RemoveCopy(system, destination, spec.folders == 1, treeName);
            }
        }
#ifdef TORVANE_EXE
        // The real program's runs less the one-file job's Go to completion.
        for (const auto& c : std::vector<Contender>(contenders)) {
            if (c.name.rfind("Torvane.exe", 0) != 0 || c.seconds.empty() || fixed <= 0) continue;
            Contender net{"Torvane.exe, net of its fixed waits", true, nullptr};
            for (double run : c.seconds) net.seconds.push_back(std::max(run - fixed, 1e-3));
            contenders.push_back(net);
        }
#endif
        const double files = static_cast<double>(spec.folders) * spec.filesPerFolder;
        const double bytes = files * static_cast<double>(spec.fileSize);
        auto rate = [&](double seconds) { return spec.measureBytes ? bytes / seconds / 1e6 : files / seconds; };
        const char* unit = spec.measureBytes ? "MB/s" : "files/s";
        double bestPeer = 0;
        for (const auto& c : contenders) {
            if (!c.isEngine && !c.seconds.empty()) bestPeer = std::max(bestPeer, rate(Median(c.seconds)));
        }
        std::printf("\n%s: %.0f files, %.0f MB\n", spec.name, files, bytes / 1e6);
        for (const auto& c : contenders) {
            if (c.seconds.empty()) continue;
            const double median = Median(c.seconds);
            std::printf("  %-52s %10.0f %-7s (median %.3f s of", c.name.c_str(), rate(median), unit, median);
            for (double run : c.seconds) std::printf(" %.2f", run);
            std::printf(")");
            if (c.isEngine && bestPeer > 0) std::printf("  ratio to fastest peer %.2f", rate(median) / bestPeer);
            if (!c.serverSeconds.empty()) {
                std::printf("  window server %.0f us/file", Median(c.serverSeconds) / files * 1e6);
            }
            std::printf("\n");
        }
        PrintCallCounts(counted, files, contenders);
        std::fflush(stdout);
    }
    return 0;
}
