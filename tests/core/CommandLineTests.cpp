#include <gtest/gtest.h>

#include "core/CommandLine.h"
#include "core/SourceList.h"

using Args = std::vector<std::wstring>;

TEST(SplitArguments, QuotedPathsEndingInBackslashSplitBackIntoThemselves) {
    // Step 1 doubles the backslash before a closing quote, so a drive root survives.
    EXPECT_EQ(SplitArguments(L"T.exe \"C:\\\" \"\""), (Args{L"T.exe", L"C:\\", L""}));
    EXPECT_EQ(SplitArguments(L"\"C:\\a\" \"C:\\b\\\""), (Args{L"C:\\a", L"C:\\b\\"}));
    // The first element takes backslashes as plain characters: the doubled one stays.
    EXPECT_EQ(SplitArguments(L"\"C:\\\" \"D:\\x\""), (Args{L"C:\\\\", L"D:\\x"}));
    EXPECT_EQ(SplitArguments(L"T.exe \"C:\\My Files\\a.txt\" \"D:\\Backup\""),
              (Args{L"T.exe", L"C:\\My Files\\a.txt", L"D:\\Backup"}));
}

TEST(CommandLineRules, SplittingRules) {
    struct Case {
        const wchar_t* text;
        Args expected;
    };
    const Case cases[] = {
        {L"", {L""}},
        {L"prog", {L"prog"}},
        {L"prog   ", {L"prog"}},
        {L" a b", {L"", L"a", L"b"}},
        {L"\"C:\\Program Files\\T.exe\" x", {L"C:\\Program Files\\T.exe", L"x"}},
        {L"p\\\"q r", {L"p\\\"q", L"r"}},                 // first element: backslashes plain, ends at blank
        {L"p a\tb", {L"p", L"a", L"b"}},
        {L"p \"a b\"c d", {L"p", L"a bc", L"d"}},
        {L"p \"\"", {L"p", L""}},
        {L"p \"\" \"\"", {L"p", L"", L""}},
        {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},              // 3 backslashes + quote: 1 backslash, literal quote
        {L"p a\\\\\"b c\"", {L"p", L"a\\b c"}},            // 2 backslashes + quote: 1 backslash, quote opens
        {L"p a\\\\b", {L"p", L"a\\\\b"}},                  // not before a quote: plain
        {L"p \"a\"\"b\"", {L"p", L"a\"b"}},                // third quote of a run is literal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineRules::Split(c.text), c.expected) << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(CommandLineRules, DoublingScansOriginalTextOnly) {
    EXPECT_EQ(CommandLineRules::DoubleBackslashBeforeQuote(L"a\\\"b"), L"a\\\\\"b");
    EXPECT_EQ(CommandLineRules::DoubleBackslashBeforeQuote(L"\\\\\""), L"\\\\\\\"");
    EXPECT_EQ(CommandLineRules::DoubleBackslashBeforeQuote(L"no quotes\\"), L"no quotes\\");
}

TEST(FieldsFromArguments, EachArgumentCount) {
    // n = 0: the splitter failed; nothing changes, no chooser.
    ArgumentFields none = FieldsFromArguments({});
    EXPECT_FALSE(none.setFrom || none.setTo || none.startedWithoutArguments);

    ArgumentFields bare = FieldsFromArguments({L"T.exe"});
    EXPECT_TRUE(bare.startedWithoutArguments);
    EXPECT_FALSE(bare.setFrom || bare.setTo);

    ArgumentFields one = FieldsFromArguments(SplitArguments(L"T.exe C:\\Data\\"));
    EXPECT_TRUE(one.setFrom);
    EXPECT_EQ(one.fromText, L"C:\\Data");
    EXPECT_FALSE(one.setTo);
    EXPECT_FALSE(one.startedWithoutArguments);

    ArgumentFields emptyQuoted = FieldsFromArguments(SplitArguments(L"T.exe \"\""));
    EXPECT_TRUE(emptyQuoted.setFrom);
    EXPECT_EQ(emptyQuoted.fromText, L"");
    EXPECT_FALSE(emptyQuoted.startedWithoutArguments);

    ArgumentFields root = FieldsFromArguments(SplitArguments(L"T.exe \"C:\\\" \"\""));
    EXPECT_EQ(root.fromText, L"C:\\");
    EXPECT_TRUE(root.setTo);
    EXPECT_EQ(root.toText, L"");

    ArgumentFields two = FieldsFromArguments(SplitArguments(L"T.exe \"C:\\My Files\\a.txt\" \"D:\\Backup\""));
    EXPECT_EQ(two.fromText, L"C:\\My Files\\a.txt");
    EXPECT_EQ(two.toText, L"D:\\Backup");

    ArgumentFields three = FieldsFromArguments(SplitArguments(L"T.exe \"C:\\a\" \"C:\\b\" \"D:\\\""));
    EXPECT_EQ(three.fromText, L"\"C:\\a\" \"C:\\b\"");
    // The list itself goes on to the engine; the text is only what From shows.
    EXPECT_EQ(three.sources, (std::vector<std::wstring>{L"C:\\a", L"C:\\b"}));
    EXPECT_EQ(one.sources, std::vector<std::wstring>{L"C:\\Data"});
    EXPECT_EQ(three.toText, L"D:\\");

    ArgumentFields bareDrive = FieldsFromArguments({L"T.exe", L"C:\\a", L"C:"});
    EXPECT_EQ(bareDrive.toText, L"C:\\");

    ArgumentFields blanks = FieldsFromArguments({L"T.exe", L" C:\\Data "});
    EXPECT_EQ(blanks.fromText, L"C:\\Data");
}

TEST(SourceList, TextRoundTrip) {
    EXPECT_EQ(SourceListText({L"C:\\a b"}), L"C:\\a b");
    const Args several{L"C:\\", L"C:\\a b", L"\\\\srv\\share\\x"};
    const std::wstring text = SourceListText(several);
    EXPECT_EQ(text, L"\"C:\\\" \"C:\\a b\" \"\\\\srv\\share\\x\"");
    EXPECT_EQ(SourceList::Parse(text).Normalized(), several);
    EXPECT_EQ(SourceList::Parse(L"C:\\Data\\").Normalized(), (Args{L"C:\\Data"}));
    EXPECT_EQ(SourceList::Parse(L"\"C:\\a\" \"C:\\b\\\"").Normalized(), (Args{L"C:\\a", L"C:\\b"}));
}

TEST(SourceList, FirstPathEndingInABackslashLosesIt) {
    // The first path is split like every other one, so the backslash doubled
    // before its closing quote does not survive into the source.
    EXPECT_EQ(SplitSourceList(L"\"C:\\Data\\\" \"D:\\x\""), (Args{L"C:\\Data\\", L"D:\\x"}));
    EXPECT_EQ(SourceList::Parse(L"\"C:\\Data\\\" \"D:\\x\"").Normalized(), (Args{L"C:\\Data", L"D:\\x"}));
    EXPECT_EQ(SourceList::Parse(L"\"C:\\\" \"D:\\\"").Normalized(), (Args{L"C:\\", L"D:\\"}));
    EXPECT_EQ(SplitSourceList(L"\"a b\""), (Args{L"a b"}));
    // Paths are taken as written: no program-path rule for a first path with a blank inside quotes.
    EXPECT_EQ(SplitSourceList(L"\"C:\\My Files\" \"\""), (Args{L"C:\\My Files", L""}));
}
