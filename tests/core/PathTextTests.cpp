#include <gtest/gtest.h>

#include "core/PathText.h"

TEST(NormalizePath, NetEffects) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"", L""},
        {L"C:", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"C:\\Data\\", L"C:\\Data"},
        {L"C:\\Data", L"C:\\Data"},
        {L"C:\\Data\\ ", L"C:\\Data\\"},       // the backslash before blanks survives
        {L" C:\\Data ", L"C:\\Data"},
        {L"\tC:\\Data\r\n", L"C:\\Data"},      // whitespace beyond spaces goes in the last step
        {L"\\", L"\\"},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
        {L"\\\\server\\", L"\\\\server\\"},
        {L"C:\\Data\\\\", L"C:\\Data\\"},      // only one backslash is removed
        {L"   ", L""},
        {L" C:", L"C:"},                       // blanks go last, so this drive gains no backslash
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizePath(c.in), c.out) << "input: " << testing::PrintToString(std::wstring(c.in));
    }
}

TEST(NormalizePath, LongPathsAreNeverTruncated) {
    // Below MAX_PATH - 1 the shell functions agree (checked under Windows); beyond,
    // the same rules apply at any length instead of a silently skipped step.
    EXPECT_EQ(NormalizePath(L"\\\\" + std::wstring(300, L's')), L"\\\\" + std::wstring(300, L's') + L"\\");
    for (size_t length : {258u, 259u, 260u, 261u, 1000u, 40000u}) {
        std::wstring path = L"C:\\" + std::wstring(length - 3, L'x');
        EXPECT_EQ(NormalizePath(path), path);
        EXPECT_EQ(NormalizePath(path + L"\\"), path);
        EXPECT_EQ(NormalizePath(L"  " + path + L"\\ "), path + L"\\");
    }
}

TEST(NormalizePath, StopsAtAnEmbeddedTerminator) {
    EXPECT_EQ(NormalizePath(std::wstring(L"C:\\a\\\0tail", 10)), L"C:\\a");
}

TEST(PathText, Roots) {
    EXPECT_TRUE(PathText::IsRoot(L"C:\\"));
    EXPECT_TRUE(PathText::IsRoot(L"\\"));
    EXPECT_TRUE(PathText::IsRoot(L"\\\\"));
    EXPECT_TRUE(PathText::IsRoot(L"\\\\srv\\share"));
    EXPECT_FALSE(PathText::IsRoot(L"\\\\srv\\share\\"));
    EXPECT_FALSE(PathText::IsRoot(L"C:"));
    EXPECT_FALSE(PathText::IsRoot(L"C:\\a"));
    EXPECT_FALSE(PathText::IsRoot(L"\\a"));
}
