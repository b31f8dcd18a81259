#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/control/ResultRows.h"
#include "ui/control/RowSelection.h"
#include "ui/control/RowsText.h"

namespace {

void Add(ResultRows& rows, ResultCode code, const std::wstring& name, const std::wstring& path) {
    ItemResult item;
    item.code = code;
    item.relativeName = name;
    item.path = path;
    rows.AddItem(item, false);
}

// Names as shown and full paths, in the order asked for; names from outside
// ASCII pass through whole, and a name with a tab, a line break or a quote
// is quoted so it stays one field of one line.
TEST(RowsText, OneLinePerRowNameTabMessage) {
    ResultRows rows;
    Add(rows, ResultCode::FileLocked, L".\\\u00fcber \u65e5\u672c.txt", L"C:\\src\\\u00fcber \u65e5\u672c.txt");
    Add(rows, ResultCode::AccessDeniedListing, L".\\a\ttab", L"C:\\src\\a\ttab");
    Add(rows, ResultCode::PartialCopy, L".\\b\"q\"\r\nx", L"C:\\src\\b\"q\"\r\nx");
    Add(rows, ResultCode::AttributesNotRead, L".\\\U0001F600.jpg", L"C:\\src\\\U0001F600.jpg");
    // Display order: .\a<tab>tab, .\b"q"..., .\über 日本.txt, .\😀.jpg
    ASSERT_EQ(rows.At(0).item.relativeName, L".\\a\ttab");

    EXPECT_EQ(RowsText(rows, {2, 0, 3}, RowName::AsShown),
              L".\\\u00fcber \u65e5\u672c.txt\tFile is locked by another process.\r\n"
              L"\".\\a\ttab\"\tAccess denied listing folder contents.\r\n"
              L".\\\U0001F600.jpg\tAttributes could not be read.\r\n");
    EXPECT_EQ(RowsText(rows, {1, 2}, RowName::FullPath),
              L"\"C:\\src\\b\"\"q\"\"\r\nx\"\tPartial copy detected.\r\n"
              L"C:\\src\\\u00fcber \u65e5\u672c.txt\tFile is locked by another process.\r\n");
    EXPECT_EQ(RowsText(rows, {}, RowName::AsShown), L"");
}

// Rows inserted above selected rows push the selection down with them; rows
// inserted below leave it; the new rows are not selected.
TEST(RowSelection, SelectionFollowsItsRowsPastInsertions) {
    struct Case {
        std::vector<std::size_t> selected;
        std::vector<std::size_t> insertions;
        std::vector<std::size_t> deselect;
        std::vector<std::size_t> select;
    };
    const Case cases[] = {
        {{0, 1, 2}, {}, {}, {}},
        {{}, {0, 0}, {}, {}},
        {{5}, {7}, {}, {}},
        {{5}, {5}, {5}, {6}},
        {{0, 1, 2, 3}, {2}, {2}, {4}},       // all selected, one inserted inside
        {{1, 3}, {0, 3, 0}, {1}, {6}},        // 1 -> 2 -> 2 -> 3; 3 -> 4 -> 5 -> 6
    };
    for (const Case& c : cases) {
        const SelectionChange change = ShiftSelection(c.selected, c.insertions);
        EXPECT_EQ(change.deselect, c.deselect) << ::testing::PrintToString(c.selected);
        EXPECT_EQ(change.select, c.select) << ::testing::PrintToString(c.selected);
    }
    EXPECT_EQ(ShiftedRow(4, {0, 9, 4}), 6u);
}

}  // namespace
