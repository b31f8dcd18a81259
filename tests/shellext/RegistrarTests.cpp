// The registrar script parser and the registrar, on a scratch key that stands
// in for HKEY_CLASSES_ROOT.

#include "shellext/Handles.h"
#include "shellext/Registrar.h"
#include "tests/shellext/TestSupport.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Marrowgate;
using namespace ShellextTests;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct BadScript {
    const wchar_t* what;
    const wchar_t* text;
};

TEST(RegistryScriptTest, RejectsWhatItCannotApplyExactly) {
    const BadScript cases[] = {
        {L"unknown root", L"HKXX { a }"},
        {L"missing brace", L"HKCR { a { b }"},
        {L"unterminated quote", L"HKCR { 'a }"},
        {L"unknown variable", L"HKCR { a = s '%NOPE%' }"},
        {L"unmatched percent", L"HKCR { a = s '100%' }"},
        {L"named value under a root", L"HKCR { val x = s 'y' }"},
        {L"unknown value type", L"HKCR { a = q 'y' }"},
        {L"odd hex digits", L"HKCR { a { val x = b 'abc' } }"},
        {L"bad number", L"HKCR { a { val x = d '12z' } }"},
        {L"number too large", L"HKCR { a { val x = d '4294967296' } }"},
        {L"backslash in a key name", L"HKCR { 'a\\b' }"},
        {L"empty key name", L"HKCR { '' }"},
        {L"value without type", L"HKCR { a = 'y' }"},
    };
    for (const BadScript& bad : cases) {
        RegistryScript script;
        std::wstring error;
        EXPECT_FALSE(ParseRegistryScript(bad.text, {}, script, error)) << bad.what;
        EXPECT_THAT(error, ::testing::HasSubstr(L"line 1")) << bad.what;
    }
}

TEST(RegistryScriptTest, ReadsKindsValuesAndVariables) {
    const std::wstring text =
        L"hkey_classes_root\n"
        L"{\n"
        L"    noremove Kept\n"
        L"    {\n"
        L"        FORCEREMOVE '%ID%' = s 'It''s %NAME% at 100%%'\n"
        L"        {\n"
        L"            val 'val' = d '0x1F'\n"
        L"            val Bytes = b '00fF10'\n"
        L"        }\n"
        L"        Delete Old\n"
        L"        'NoRemove'\n"
        L"    }\n"
        L"}\n";
    RegistryScript script;
    std::wstring error;
    ASSERT_TRUE(ParseRegistryScript(text, {{L"ID", L"{X}"}, {L"NAME", L"C:\\Bob's %NAME%"}}, script, error))
        << error;
    ASSERT_EQ(script.roots.size(), 1u);
    EXPECT_EQ(script.roots[0].key, HKEY_CLASSES_ROOT);
    const ScriptKey& kept = script.roots[0].keys.at(0);
    EXPECT_EQ(kept.kind, KeyKind::Kept);
    ASSERT_EQ(kept.subkeys.size(), 3u);
    const ScriptKey& replaced = kept.subkeys[0];
    EXPECT_EQ(replaced.name, L"{X}");
    EXPECT_EQ(replaced.kind, KeyKind::Replaced);
    ASSERT_TRUE(replaced.hasDefaultValue);
    // A variable's text is taken as it is: its quotes and percent signs are not script syntax.
    EXPECT_EQ(replaced.defaultValue.text, L"It's C:\\Bob's %NAME% at 100%");
    ASSERT_EQ(replaced.values.size(), 2u);
    EXPECT_EQ(replaced.values[0].name, L"val");
    EXPECT_EQ(replaced.values[0].number, 0x1Fu);
    EXPECT_THAT(replaced.values[1].bytes, ElementsAre(0x00, 0xFF, 0x10));
    EXPECT_EQ(kept.subkeys[1].kind, KeyKind::Deleted);
    EXPECT_EQ(kept.subkeys[2].name, L"NoRemove");
    EXPECT_EQ(kept.subkeys[2].kind, KeyKind::Plain);
}

class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root_.put(),
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        root_.reset();
        DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\MarrowgateTests");
    }

    HRESULT Apply(const std::wstring& text, ScriptAction action) {
        const Registrar registrar([this](const ScriptRoot&) { return root_.get(); });
        return registrar.Apply(text, {{L"MODULE", L"C:\\Bob's Tools\\M.dll"}}, action);
    }
    void Create(const std::wstring& path) {
        UniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(root_.get(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                  nullptr),
                  ERROR_SUCCESS);
    }
    std::vector<std::wstring> Lines() { return RegistryLines(HKEY_CURRENT_USER, kScratch); }

    static constexpr const wchar_t* kScratch = L"Software\\MarrowgateTests\\Registrar";
    UniqueKey root_;
};

const wchar_t* const kScript =
    L"HKCR\n"
    L"{\n"
    L"    NoRemove Kept\n"
    L"    {\n"
    L"        ForceRemove Replaced = s 'r'\n"
    L"        {\n"
    L"            Child = s 'c'\n"
    L"        }\n"
    L"        Plain = s '%MODULE%'\n"
    L"        {\n"
    L"            val Named = s 'v'\n"
    L"            val Number = d '16'\n"
    L"        }\n"
    L"        Delete Gone\n"
    L"    }\n"
    L"}\n";

TEST_F(RegistrarTest, RegistrationRebuildsReplacedKeysAndIsRepeatable) {
    Create(L"Kept\\Replaced\\Stale");
    Create(L"Kept\\Gone\\Inside");
    Create(L"Kept\\Other");
    ASSERT_EQ(Apply(kScript, ScriptAction::Register), S_OK);
    const std::wstring k = std::wstring(kScratch) + L"\\Kept";
    std::vector<std::wstring> expected = {
        kScratch,
        k,
        k + L"\\Other",
        k + L"\\Plain",
        k + L"\\Plain||REG_SZ:C:\\Bob's Tools\\M.dll",
        k + L"\\Plain|Named|REG_SZ:v",
        k + L"\\Plain|Number|type4:10000000",
        k + L"\\Replaced",
        k + L"\\Replaced||REG_SZ:r",
        k + L"\\Replaced\\Child",
        k + L"\\Replaced\\Child||REG_SZ:c",
    };
    std::sort(expected.begin(), expected.end());
    std::vector<std::wstring> lines = Lines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, expected);

    ASSERT_EQ(Apply(kScript, ScriptAction::Register), S_OK);
    lines = Lines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(RegistrarTest, RemovalKeepsKeptKeysAndKeysOthersStillUse) {
    Create(L"Kept\\Other");
    ASSERT_EQ(Apply(kScript, ScriptAction::Register), S_OK);
    Create(L"Kept\\Plain\\Foreign");
    Create(L"Kept\\Replaced\\Foreign");
    ASSERT_EQ(Apply(kScript, ScriptAction::Unregister), S_OK);
    const std::wstring k = std::wstring(kScratch) + L"\\Kept";
    std::vector<std::wstring> lines = Lines();
    std::sort(lines.begin(), lines.end());
    // The plain key stays for its foreign subkey, without our named values; a
    // replaced key is ours with everything below it.
    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         kScratch,
                         k,
                         k + L"\\Other",
                         k + L"\\Plain",
                         k + L"\\Plain\\Foreign",
                         k + L"\\Plain||REG_SZ:C:\\Bob's Tools\\M.dll",
                     }));

    ASSERT_EQ(DeleteKeyTree(root_.get(), L"Kept\\Plain\\Foreign"), ERROR_SUCCESS);
    EXPECT_EQ(Apply(kScript, ScriptAction::Unregister), S_OK);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{kScratch, k, k + L"\\Other"}));
}

TEST_F(RegistrarTest, RemovalOfWhatIsNotThereSucceedsAndABadScriptTouchesNothing) {
    EXPECT_EQ(Apply(kScript, ScriptAction::Unregister), S_OK);
    EXPECT_EQ(Lines(), std::vector<std::wstring>{kScratch});
    EXPECT_EQ(Apply(L"HKCR { NoRemove A { B = s '%UNKNOWN%' } }", ScriptAction::Register),
              HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    EXPECT_EQ(Lines(), std::vector<std::wstring>{kScratch});
}

}  // namespace
