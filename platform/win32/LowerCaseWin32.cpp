#include "core/LowerCase.h"

#include <windows.h>

std::wstring LowerCase(std::wstring text) {
    // CharLowerBuffW takes a DWORD count: lower long texts in slices.
    constexpr size_t kSlice = 0x40000000;
    for (size_t start = 0; start < text.size(); start += kSlice) {
        const size_t count = text.size() - start < kSlice ? text.size() - start : kSlice;
        CharLowerBuffW(&text[start], static_cast<DWORD>(count));
    }
    return text;
}
