#pragma once
// Queries on a source list text (the From field): one path when the text has
// no double quote, otherwise every quoted path.

#include <string>
#include <vector>

#include "platform/Platform.h"

// The sources as given, not normalised (what a copy job stores).
std::vector<std::wstring> ParseSourceText(const std::wstring& sourceText);
// True when every normalised source exists. An empty text is one empty
// source, which does not exist.
bool AllSourcesExist(const std::wstring& sourceText, Platform& platform);
