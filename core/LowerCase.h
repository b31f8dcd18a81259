#pragma once
// Lower-casing of row names for the result-list order, by the platform's own
// case tables (CharLowerBuffW on Windows; the C.UTF-8 tables elsewhere). The
// length never changes: one code unit in, one code unit out. Each system's
// version lives in platform/.

#include <string>

std::wstring LowerCase(std::wstring text);
