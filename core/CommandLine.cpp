#include "core/CommandLine.h"

#include <utility>

#include "core/CommandLineSplitter.h"
#include "core/PathText.h"

namespace CommandLineRules {

std::wstring DoubleBackslashBeforeQuote(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'"') {
            out += L"\\\\\"";
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> args;
    size_t i = 0;
    const size_t n = text.size();

    // The program path: up to the next quote when it starts with one, else up
    // to the first blank. Backslashes are plain characters here.
    std::wstring first;
    if (i < n && text[i] == L'"') {
        ++i;
        while (i < n && text[i] != L'"') first.push_back(text[i++]);
        if (i < n) ++i;  // the closing quote
    } else {
        while (i < n && !IsBlank(text[i])) first.push_back(text[i++]);
    }
    args.push_back(first);

    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n) return args;

    std::wstring current;
    int quoteCount = 0;      // 1 while inside a quoted stretch
    size_t backslashes = 0;  // length of the backslash run just copied
    while (i < n) {
        const wchar_t c = text[i];
        if (IsBlank(c) && quoteCount == 0) {
            args.push_back(current);
            current.clear();
            while (i < n && IsBlank(text[i])) ++i;
            backslashes = 0;
            if (i >= n) return args;
        } else if (c == L'\\') {
            current.push_back(c);
            ++backslashes;
            ++i;
        } else if (c == L'"') {
            if (backslashes % 2 == 0) {
                // 2n backslashes: n of them stay, the quote toggles quoting.
                current.erase(current.size() - backslashes / 2);
                ++quoteCount;
            } else {
                // 2n+1 backslashes: n of them stay, followed by a literal quote.
                current.erase(current.size() - backslashes / 2 - 1);
                current.push_back(L'"');
            }
            ++i;
            backslashes = 0;
            // A run of quotes: every third one is literal.
            while (i < n && text[i] == L'"') {
                if (++quoteCount == 3) {
                    current.push_back(L'"');
                    quoteCount = 0;
                }
                ++i;
            }
            if (quoteCount == 2) quoteCount = 0;
        } else {
            current.push_back(c);
            backslashes = 0;
            ++i;
        }
    }
    args.push_back(current);
    return args;
}

}  // namespace CommandLineRules

std::vector<std::wstring> SplitArguments(const std::wstring& text) {
    return CommandLineSplitter::Split(CommandLineRules::DoubleBackslashBeforeQuote(text));
}

std::wstring SourceListText(const std::vector<std::wstring>& sources) {
    if (sources.size() == 1) return sources[0];
    std::wstring text;
    for (size_t i = 0; i < sources.size(); ++i) {
        if (i > 0) text.push_back(L' ');
        text += L'"' + sources[i] + L'"';
    }
    return text;
}

std::vector<std::wstring> SplitSourceList(const std::wstring& text) {
    // An empty quoted program path in front puts every path in argument position.
    std::vector<std::wstring> elements = SplitArguments(L"\"\" " + text);
    if (elements.empty()) return elements;
    elements.erase(elements.begin());
    return elements;
}

ArgumentFields FieldsFromArguments(const std::vector<std::wstring>& arguments) {
    ArgumentFields fields;
    const size_t n = arguments.size();
    if (n == 0) return fields;  // the splitter failed: nothing changes, no chooser
    if (n == 1) {
        fields.startedWithoutArguments = true;
        return fields;
    }
    if (n == 2) {
        fields.setFrom = true;
        fields.sources = {NormalizePath(arguments[1])};
        fields.fromText = fields.sources[0];
        return fields;
    }
    std::vector<std::wstring> sources;
    for (size_t i = 1; i + 1 < n; ++i) sources.push_back(NormalizePath(arguments[i]));
    fields.setFrom = true;
    fields.fromText = SourceListText(sources);
    fields.sources = std::move(sources);
    fields.setTo = true;
    fields.toText = NormalizePath(arguments[n - 1]);
    return fields;
}
