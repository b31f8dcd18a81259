// The parameters of the elevated re-launch: paths on mapped drives become
// UNC paths, and whatever is passed splits back (with the rules the new
// instance applies) into exactly the paths meant.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/MappedDrives.h"
#include "core/CommandLine.h"

namespace {

using Args = std::vector<std::wstring>;

// Drive M: is mapped to \\server\share; every other drive is local.
struct FakeNetwork {
    std::vector<std::wstring> asked;
    bool Lookup(const std::wstring& path, std::wstring& universal) {
        asked.push_back(path);
        if (path.size() < 2 || (path[0] != L'M' && path[0] != L'm')) return false;
        universal = L"\\\\server\\share" + path.substr(2);
        return true;
    }
};

// What the elevated instance sees: its command line is the program, then the parameters.
Args ArgumentsSeenBy(const std::wstring& parameters) {
    Args arguments = SplitArguments(L"\"C:\\Program Files\\Torvane\\Torvane.exe\" " + parameters);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

TEST(ParametersForElevation, MappedPathsBecomeUncPathsAndEverythingElseArrivesUnchanged) {
    struct Case {
        const wchar_t* tail;
        Args arrives;    // the arguments the elevated instance splits out
        bool verbatim;   // the tail is passed exactly as received
    };
    const Case cases[] = {
        // Nothing on a mapped drive: the tail exactly as received.
        {L"", {}, true},
        {L"\"C:\\My Files\\a.txt\" \"\"", {L"C:\\My Files\\a.txt", L""}, true},
        {L"\"\\\\nas\\docs\\x\" \"D:\\\"", {L"\\\\nas\\docs\\x", L"D:\\"}, true},
        {L"relative\\m.txt \"C:\\b\"", {L"relative\\m.txt", L"C:\\b"}, true},
        // A mapped source, from the context menu (empty destination kept).
        {L"\"M:\\Photos\\2020\" \"\"", {L"\\\\server\\share\\Photos\\2020", L""}, false},
        // Mapped destination; sources local, one unquoted; a lower-case letter.
        {L"C:\\a \"C:\\My b\" \"m:\\Backup\\\"", {L"C:\\a", L"C:\\My b", L"\\\\server\\share\\Backup\\"}, false},
        // The root of the mapped drive, with and without its backslash.
        {L"\"M:\\\" \"M:\"", {L"\\\\server\\share\\", L"\\\\server\\share"}, false},
    };
    for (const Case& c : cases) {
        FakeNetwork network;
        const std::wstring parameters = ParametersForElevation(c.tail, [&](const std::wstring& p, std::wstring& u) {
            return network.Lookup(p, u);
        });
        if (c.verbatim) {
            EXPECT_EQ(parameters, c.tail);
        }
        EXPECT_EQ(ArgumentsSeenBy(parameters), c.arrives) << "tail: " << testing::PrintToString(std::wstring(c.tail))
                                                          << " parameters: " << testing::PrintToString(parameters);
        // Only drive-letter paths are looked up.
        for (const std::wstring& asked : network.asked) EXPECT_EQ(asked[1], L':');
    }
}

TEST(ParametersForElevation, ALookupThatFailsOrGivesNothingChangesNothing) {
    const std::wstring tail = L"\"M:\\a\" \"M:\\b\"";
    EXPECT_EQ(ParametersForElevation(tail, nullptr), tail);
    EXPECT_EQ(ParametersForElevation(tail, [](const std::wstring&, std::wstring&) { return false; }), tail);
    EXPECT_EQ(ParametersForElevation(tail, [](const std::wstring&, std::wstring& u) {
                  u.clear();
                  return true;
              }),
              tail);
}

}  // namespace
