#pragma once
// Splitting a command line or a source list text into paths. The paths it
// gives out are trimmed by NormalizePath, which comes with this header.

#include <string>
#include <vector>

#include "core/PathText.h"

// Splits text the way the platform splits a process command line, after
// doubling every backslash that stands before a double quote (so a quoted
// drive root "C:\" splits into C:\ again). Never fails: an empty list means
// the platform could not split the text.
std::vector<std::wstring> SplitArguments(const std::wstring& text);

namespace CommandLineRules {

// The platform's command-line splitting rules, in code of our own: the first
// element is the program path (no escapes), later elements follow the
// backslash and quote rules. An empty text yields one empty element; the
// platform would put the program's own path there.
std::vector<std::wstring> Split(const std::wstring& text);

// Step 1 of SplitArguments: every backslash-quote pair becomes backslash,
// backslash, quote; the scan does not look at replaced text again.
std::wstring DoubleBackslashBeforeQuote(const std::wstring& text);

}  // namespace CommandLineRules

// What the command line does to the main form's fields.
struct ArgumentFields {
    bool setFrom = false;               // From's text is replaced by fromText
    std::wstring fromText;
    std::vector<std::wstring> sources;  // the paths fromText shows, each as it stands
    bool setTo = false;                 // To's text is replaced by toText
    std::wstring toText;
    bool startedWithoutArguments = false;  // run the choosers at start-up
};

// Maps the split process command line (program path first) to the fields.
ArgumentFields FieldsFromArguments(const std::vector<std::wstring>& arguments);

// The From text for a list of sources: one path as it is, or every path
// quoted and separated by one space.
std::wstring SourceListText(const std::vector<std::wstring>& sources);

// Splits a source list text (several quoted paths) with the argument rules
// for every element. SplitArguments alone would read the first path by the
// program-path rule, which keeps the backslash it doubled: "C:\Data\" would
// come out as C:\Data\\ and still end in a backslash after NormalizePath.
// Empty when the platform cannot split the text.
std::vector<std::wstring> SplitSourceList(const std::wstring& text);
