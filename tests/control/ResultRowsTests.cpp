#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "control/ResultMessages.h"
#include "control/ResultRows.h"
#include "control/RowOrder.h"

namespace {

ItemResult Item(ResultCode code, const std::wstring& relativeName, const std::wstring& path = L"C:\\x") {
    ItemResult item;
    item.code = code;
    item.relativeName = relativeName;
    item.path = path;
    item.error = 5;
    return item;
}

std::vector<std::wstring> Names(const ResultRows& rows) {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < rows.Count(); ++i) names.push_back(rows.At(i).item.relativeName);
    return names;
}

struct MessageCase {
    int code;
    const wchar_t* message;
    int fileImage;
    int folderImage;
};

TEST(ResultMessages, MessageAndImagePerCode) {
    const MessageCase cases[] = {
        {1, L"Access denied listing folder contents.", 3, 3},
        {2, L"Access denied opening source file.", 2, 2},
        {3, L"Access denied opening target file.", 2, 2},
        {4, L"File is locked by another process.", 2, 2},
        {5, L"Folder contents could not be listed.", 7, 7},
        {6, L"Partial copy detected.", 6, 6},
        {7, L"File could not be deleted.", 6, 6},
        {8, L"Resulting path is too long.", 6, 6},
        {9, L"Attributes could not be read.", 4, 5},
        {10, L"Attributes could not be written.", 4, 5},
        {0, L"An unspecified error occured.", 6, 7},
        {11, L"A file of the same name was already copied in this job.", 6, 6},
        {12, L"Symbolic link or junction was not copied.", 6, 7},
        {13, L"An unspecified error occured.", 6, 7},
        {-1, L"An unspecified error occured.", 6, 7},
    };
    for (const MessageCase& c : cases) {
        const ResultCode code = static_cast<ResultCode>(c.code);
        EXPECT_STREQ(ResultMessage(code), c.message) << c.code;
        EXPECT_EQ(ResultImage(code, false), c.fileImage) << c.code;
        EXPECT_EQ(ResultImage(code, true), c.folderImage) << c.code;
    }
}

TEST(RowOrder, SplitsAtRunsOfBackslashes) {
    EXPECT_EQ(SplitRowName(L".\\Sub\\A.txt"), (std::vector<std::wstring>{L".", L"Sub", L"A.txt"}));
    EXPECT_EQ(SplitRowName(L"a\\\\b\\"), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(SplitRowName(L"\\a"), (std::vector<std::wstring>{L"", L"a"}));
    EXPECT_EQ(SplitRowName(L""), std::vector<std::wstring>{});
}

// a must come before b (and b not before a).
struct OrderCase {
    const wchar_t* a;
    bool aFolder;
    const wchar_t* b;
    bool bFolder;
};

TEST(RowOrder, FilesBeforeFoldersThenOrdinalLowerCase) {
    const OrderCase cases[] = {
        {L".\\b.txt", false, L".\\a", true},            // a file before a folder at one level
        {L".\\sub", true, L".\\sub\\c.txt", false},     // a folder's row before its contents
        {L".\\b.txt", false, L".\\sub\\c.txt", false},  // sub counts as a folder: not its last component
        {L".\\A.txt", false, L".\\b.txt", false},       // lower-cased before comparing
        {L".\\a", true, L".\\B", true},
        {L".\\_.txt", false, L".\\Z.txt", false},       // 'Z' (0x5A) is below '_' (0x5F) only before lower-casing
        {L".", false, L".\\x", false},
        {L"data\\x", true, L"data\\y", true},
        {L".\\X.txt", false, L".\\x.txt", false},       // equal but for case: ordinal order of the originals
        {L".\\a\\\\b", false, L".\\a\\b", false},        // equal components: ordinal order of the originals
        // Equal texts at the end of both names: the file first. Without this
        // rule "a" (folder) < "a\\" (file) < "b" (file) < "a" would be a cycle.
        {L"a\\", false, L"a", true},
        {L"a\\", false, L"b", false},
    };
    for (const OrderCase& c : cases) {
        const ItemResult a = Item(ResultCode::FileLocked, c.a);
        const ItemResult b = Item(ResultCode::FileLocked, c.b);
        EXPECT_TRUE(CompareRows(a, c.aFolder, b, c.bFolder)) << c.a << " before " << c.b;
        EXPECT_FALSE(CompareRows(b, c.bFolder, a, c.aFolder)) << c.b << " not before " << c.a;
        EXPECT_LT(RowKey::Compare(RowKey(c.a, c.aFolder), RowKey(c.b, c.bFolder)), 0) << c.a;
        EXPECT_GT(RowKey::Compare(RowKey(c.b, c.bFolder), RowKey(c.a, c.aFolder)), 0) << c.b;
    }
    EXPECT_FALSE(CompareRows(Item(ResultCode::FileLocked, L".\\a"), false, Item(ResultCode::FileLocked, L".\\a"), false));
    EXPECT_EQ(RowKey::Compare(RowKey(L".\\a", false), RowKey(L".\\a", false)), 0);
}

TEST(ResultRows, ArrivalOrderDoesNotDecideTheRowOrder) {
    ResultRows rows;
    EXPECT_EQ(rows.AddItem(Item(ResultCode::FileLocked, L".\\sub\\c.txt"), false).row, 0u);
    const ResultRows::Change sub = rows.AddItem(Item(ResultCode::AttributesNotWritten, L".\\sub"), true);
    EXPECT_TRUE(sub.isNew);
    EXPECT_EQ(sub.row, 0u);
    const ResultRows::Change b = rows.AddItem(Item(ResultCode::PartialCopy, L".\\b.txt"), false);
    EXPECT_TRUE(b.isNew);
    EXPECT_EQ(b.row, 0u);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L".\\b.txt", L".\\sub", L".\\sub\\c.txt"}));
}

TEST(ResultRows, SameNameReplacesTheRowInPlace) {
    ResultRows rows;
    rows.AddItem(Item(ResultCode::FileLocked, L".\\a.txt"), false);
    rows.AddItem(Item(ResultCode::AttributesNotRead, L".\\m.txt", L"C:\\src\\m.txt"), false);
    rows.AddItem(Item(ResultCode::FileLocked, L".\\z.txt"), false);

    const ResultRows::Change again = rows.AddItem(Item(ResultCode::AttributesNotWritten, L".\\m.txt", L"D:\\out\\m.txt"), false);
    EXPECT_FALSE(again.isNew);
    EXPECT_EQ(again.row, 1u);
    EXPECT_EQ(rows.Count(), 3u);
    EXPECT_EQ(rows.At(1).item.code, ResultCode::AttributesNotWritten);
    EXPECT_EQ(rows.At(1).item.path, L"D:\\out\\m.txt");

    // Key comparison is exact: a name differing only in case is another row.
    EXPECT_TRUE(rows.AddItem(Item(ResultCode::FileLocked, L".\\M.txt"), false).isNew);
    EXPECT_EQ(rows.Count(), 4u);

    // Two single-file sources are both named ".": the second replaces the first.
    rows.AddItem(Item(ResultCode::FileLocked, L".", L"C:\\one.txt"), false);
    const ResultRows::Change dot = rows.AddItem(Item(ResultCode::AccessDeniedSource, L".", L"C:\\two.txt"), false);
    EXPECT_FALSE(dot.isNew);
    EXPECT_EQ(dot.row, 0u);
    EXPECT_EQ(rows.At(0).item.path, L"C:\\two.txt");

    rows.Clear();
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_TRUE(rows.AddItem(Item(ResultCode::FileLocked, L".\\a.txt"), false).isNew);
}

// Random names from a small alphabet (so prefixes, case twins and repeats are
// frequent) through AddItem must give the order of a full sort by CompareRows,
// and every reported row index must point at the item just added.
TEST(ResultRows, MatchesAReferenceSortOfRandomItems) {
    std::mt19937 random(17);
    const wchar_t* parts[] = {L".", L"a", L"A", L"b", L"sub", L"Sub", L"x.txt", L"X.TXT", L"_", L""};
    ResultRows rows;
    std::vector<ResultRow> reference;
    for (int i = 0; i < 6000; ++i) {
        std::wstring name = parts[random() % 9];
        const int depth = static_cast<int>(random() % 4);
        for (int d = 0; d < depth; ++d) name += L"\\" + std::wstring(parts[random() % 10]);
        if (random() % 2) name += std::to_wstring(random() % 4000);  // enough distinct rows to split blocks
        const bool folder = (std::hash<std::wstring>()(name) & 1) != 0;  // stable per name
        const ItemResult item = Item(static_cast<ResultCode>(random() % 11), name);

        const ResultRows::Change change = rows.AddItem(item, folder);
        ASSERT_EQ(rows.At(change.row).item, item);
        auto same = std::find_if(reference.begin(), reference.end(),
                                 [&](const ResultRow& r) { return r.item.relativeName == name; });
        ASSERT_EQ(change.isNew, same == reference.end()) << name;
        if (same == reference.end()) {
            reference.push_back(ResultRow{item, folder});
        } else {
            same->item = item;
        }
    }
    std::sort(reference.begin(), reference.end(), [](const ResultRow& a, const ResultRow& b) {
        return CompareRows(a.item, a.pathIsFolder, b.item, b.pathIsFolder);
    });
    ASSERT_EQ(rows.Count(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(rows.At(i).item, reference[i].item) << i;
}

}  // namespace
