#include <gtest/gtest.h>

#include "core/Diagnostics.h"
#include "core/Exception.h"

TEST(Exception, CopyKeepsTheMessageAndIsAStandardException) {
    const Exception empty(L"");
    const Exception copy(empty);
    EXPECT_EQ(copy.Message(), L"");
    EXPECT_EQ(copy.Message(), empty.Message());

    Exception named(L"text");
    Exception assigned(L"");
    assigned = named;
    EXPECT_EQ(assigned.Message(), L"text");

    try {
        throw Exception(L"");
    } catch (const std::exception& e) {
        EXPECT_NE(dynamic_cast<const Exception*>(&e), nullptr);
    }
}

TEST(Diagnostics, LineFormatAndRaise) {
    EXPECT_EQ(Diagnostics::FormatLine(L"CreateMutex failed.", 5), L"CreateMutex failed. [5]\n");
    EXPECT_EQ(Diagnostics::FormatLine(L"x", -2147024891), L"x [-2147024891]\n");

    Diagnostics::Capture capture;
    EXPECT_THROW(Diagnostics::Raise(L"ReleaseMutex failed.", 288), Exception);
    try {
        Diagnostics::Raise(L"CloseHandle failed.", 6);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"");  // the description lives in the line only
    }
    Diagnostics::Report(L"SetTimer failed.", 0);
    const std::vector<std::wstring> expected = {L"ReleaseMutex failed. [288]\n", L"CloseHandle failed. [6]\n",
                                                L"SetTimer failed. [0]\n"};
    EXPECT_EQ(capture.Lines(), expected);
}
