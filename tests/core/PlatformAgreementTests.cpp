// Our portable splitting and path rules against the platform's own functions
// (CommandLineToArgvW, shlwapi, the C library's iswspace), on generated input.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwctype>
#include <random>

#include <gtest/gtest.h>

#include "core/CommandLine.h"
#include "core/PathText.h"

namespace {

std::vector<std::wstring> PlatformSplit(const std::wstring& text) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(text.c_str(), &count);
    std::vector<std::wstring> result;
    if (!argv) return result;
    for (int i = 0; i < count; ++i) result.emplace_back(argv[i]);
    LocalFree(argv);
    return result;
}

// Pieces that exercise every splitting rule: quotes, backslash runs before and
// away from quotes, tabs, empty quoted arguments, drive roots, leading blanks.
std::wstring RandomCommandLine(std::mt19937& rng) {
    static const wchar_t* const pieces[] = {
        L" ", L"  ", L"\t", L"\"", L"\"\"", L"\"\"\"", L"\\", L"\\\\", L"\\\\\\", L"\\\"", L"\\\\\"",
        L"a", L"b c", L"C:\\", L"\"C:\\\"", L"D:", L"x.txt", L"\\\\srv\\share", L"\"C:\\My Files\\\"",
        L"\u00e9", L"dir\\", L"\" \"",
    };
    const size_t pieceCount = sizeof(pieces) / sizeof(pieces[0]);
    std::wstring text;
    const int count = 1 + static_cast<int>(rng() % 12);
    for (int i = 0; i < count; ++i) text += pieces[rng() % pieceCount];
    return text;
}

std::wstring ShellNormalize(const std::wstring& path) {
    std::vector<wchar_t> buffer(path.size() + MAX_PATH + 2, L'\0');
    std::copy(path.begin(), path.end(), buffer.begin());
    PathAddBackslashW(buffer.data());
    PathRemoveBackslashW(buffer.data());
    PathRemoveBlanksW(buffer.data());
    std::wstring work(buffer.data());
    size_t begin = 0;
    while (begin < work.size() && iswspace(work[begin])) ++begin;
    size_t end = work.size();
    while (end > begin && iswspace(work[end - 1])) --end;
    return work.substr(begin, end - begin);
}

std::wstring RandomPath(std::mt19937& rng) {
    static const wchar_t* const pieces[] = {
        L"\\", L"\\\\", L" ", L"\t", L"C:", L"C:\\", L"a", L"Data", L"srv", L".", L"..", L"\r\n", L"x y",
    };
    const size_t pieceCount = sizeof(pieces) / sizeof(pieces[0]);
    std::wstring path;
    const int count = static_cast<int>(rng() % 8);
    for (int i = 0; i < count; ++i) path += pieces[rng() % pieceCount];
    // Now and then a path near or beyond MAX_PATH.
    if (rng() % 10 == 0) path.insert(path.size() / 2, std::wstring(250 + rng() % 20, L'p'));
    return path;
}

}  // namespace

TEST(PlatformAgreement, SplittingRulesMatchCommandLineToArgvW) {
    std::mt19937 rng(20261208);
    int differences = 0;
    for (int i = 0; i < 5000 && differences < 10; ++i) {
        const std::wstring text = L"prog.exe" + RandomCommandLine(rng);
        const auto ours = CommandLineRules::Split(text);
        const auto platform = PlatformSplit(text);
        if (ours != platform) {
            ++differences;
            ADD_FAILURE() << "text " << testing::PrintToString(text) << "\n ours " << testing::PrintToString(ours)
                          << "\n platform " << testing::PrintToString(platform);
        }
        // Lines that start with a quoted program path or with blanks.
        const std::wstring quoted = L"\"C:\\p q\\prog.exe\"" + RandomCommandLine(rng);
        EXPECT_EQ(CommandLineRules::Split(quoted), PlatformSplit(quoted)) << testing::PrintToString(quoted);
        const std::wstring leading = L" " + RandomCommandLine(rng);
        EXPECT_EQ(CommandLineRules::Split(leading), PlatformSplit(leading)) << testing::PrintToString(leading);
    }
}

TEST(PlatformAgreement, SplitArgumentsUsesThePlatformAfterDoubling) {
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const std::wstring text = L"T.exe " + RandomCommandLine(rng);
        EXPECT_EQ(SplitArguments(text),
                  CommandLineRules::Split(CommandLineRules::DoubleBackslashBeforeQuote(text)))
            << testing::PrintToString(text);
    }
}

TEST(PlatformAgreement, NormalizePathMatchesShlwapi) {
    std::mt19937 rng(99);
    for (int i = 0; i < 5000; ++i) {
        const std::wstring path = RandomPath(rng);
        // From MAX_PATH - 1 characters on, PathAddBackslashW refuses to append;
        // NormalizePath applies the same rules at any length instead (tested natively).
        if (path.size() >= MAX_PATH - 1) continue;
        EXPECT_EQ(NormalizePath(path), ShellNormalize(path)) << testing::PrintToString(path);
    }
}

TEST(PlatformAgreement, IsRootMatchesPathIsRootW) {
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring path = RandomPath(rng);
        EXPECT_EQ(PathText::IsRoot(path), PathIsRootW(path.c_str()) != FALSE) << testing::PrintToString(path);
    }
}

TEST(PlatformAgreement, IsSpaceMatchesTheRuntimesIswspace) {
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        EXPECT_EQ(PathText::IsSpace(static_cast<wchar_t>(c)), iswspace(static_cast<wint_t>(c)) != 0)
            << "character U+" << std::hex << c;
    }
}
