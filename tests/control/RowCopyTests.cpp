#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/ResultRows.h"
#include "control/RowSelection.h"
#include "control/RowsText.h"

namespace {

// Names as shown and full paths, in the order asked for; names from outside
// ASCII pass through whole, and a name with a tab, a line break or a quote
// is quoted so that it stays one field of one line.
TEST(RowsText, OneLinePerRowNameTabMessage) {
    ResultRows rows;
    const struct {
        ResultCode code;
        const wchar_t* name;
    } items[] = {{ResultCode::FileLocked, L".\\\u00fcber \u65e5\u672c.txt"},
                 {ResultCode::AccessDeniedListing, L".\\a\ttab"},
                 {ResultCode::PartialCopy, L".\\b\"q\"\r\nx"},
                 {ResultCode::AttributesNotRead, L".\\\U0001F600.jpg"}};
    for (const auto& i : items) rows.AddItem({i.code, std::wstring(L"C:\\src") + (i.name + 1), i.name}, false);
    ASSERT_EQ(rows.At(0).item.relativeName, L".\\a\ttab");  // then b"q"..., über 日本.txt, 😀.jpg

    EXPECT_EQ(RowsText(rows, {2, 0, 3}, RowName::AsShown),
              L".\\\u00fcber \u65e5\u672c.txt\tFile is locked by another process.\r\n"
              L"\".\\a\ttab\"\tAccess denied listing folder contents.\r\n"
              L".\\\U0001F600.jpg\tAttributes could not be read.\r\n");
    EXPECT_EQ(RowsText(rows, {1, 2}, RowName::FullPath),
              L"\"C:\\src\\b\"\"q\"\"\r\nx\"\tPartial copy detected.\r\n"
              L"C:\\src\\\u00fcber \u65e5\u672c.txt\tFile is locked by another process.\r\n");
}

// Rows inserted above selected rows push the selection down with them; rows
// inserted below leave it; the new rows are not selected.
TEST(RowSelection, SelectionFollowsItsRowsPastInsertions) {
    EXPECT_EQ(ShiftedRow(4, {0, 9, 4}), 6u);
    const SelectionChange below = ShiftSelection({5}, {7});
    EXPECT_TRUE(below.deselect.empty() && below.select.empty());
    const SelectionChange inside = ShiftSelection({0, 1, 2, 3}, {2});  // all selected, one row inserted among them
    EXPECT_EQ(inside.deselect, std::vector<std::size_t>{2});
    EXPECT_EQ(inside.select, std::vector<std::size_t>{4});
    const SelectionChange apart = ShiftSelection({1, 3}, {0, 3, 0});  // 1 -> 3; 3 -> 6
    EXPECT_EQ(apart.deselect, std::vector<std::size_t>{1});
    EXPECT_EQ(apart.select, std::vector<std::size_t>{6});
}

}  // namespace
