#include <windows.h>
#include <shellapi.h>

#include "core/CommandLineSplitter.h"
#include "core/Diagnostics.h"
#include "core/Exception.h"

namespace CommandLineSplitter {
namespace {

// Owns the array CommandLineToArgvW returns.
class ArgvOwner {
public:
    explicit ArgvOwner(LPWSTR* argv) : argv(argv) {}
    ~ArgvOwner() {
        if (argv) LocalFree(argv);
    }
    ArgvOwner(const ArgvOwner&) = delete;
    ArgvOwner& operator=(const ArgvOwner&) = delete;
    LPWSTR* get() const { return argv; }

private:
    LPWSTR* argv;
};

}  // namespace

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> result;
    try {
        int count = 0;
        ArgvOwner argv(CommandLineToArgvW(text.c_str(), &count));
        if (!argv.get()) Diagnostics::Raise(L"CommandLineToArgvW failed.", Diagnostics::LastError());
        for (int i = 0; i < count; ++i) result.emplace_back(argv.get()[i]);
    } catch (const Exception&) {
        result.clear();
    }
    return result;
}

}  // namespace CommandLineSplitter
