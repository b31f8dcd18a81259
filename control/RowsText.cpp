#include "control/RowsText.h"

#include <cwchar>

#include "control/ResultMessages.h"

namespace {

void AppendField(std::wstring& text, const std::wstring& field) {
    if (field.find_first_of(L"\t\r\n\"") == std::wstring::npos) {
        text += field;
        return;
    }
    text += L'"';
    for (wchar_t c : field) {
        if (c == L'"') text += L'"';
        text += c;
    }
    text += L'"';
}

}  // namespace

std::wstring RowsText(const ResultRows& rows, const std::vector<std::size_t>& indexes, RowName name) {
    std::wstring text;
    text.reserve(indexes.size() * 80);
    for (std::size_t index : indexes) {
        const ItemResult& item = rows.At(index).item;
        AppendField(text, name == RowName::FullPath ? item.path : item.relativeName);
        text += L'\t';
        text += ResultMessage(item.code);
        text += L"\r\n";
    }
    return text;
}
