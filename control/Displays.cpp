#include "control/Displays.h"


#include "control/Formatting.h"
#include "control/WideMath.h"

namespace {

// "%d" of a 32-bit field.
std::wstring Decimal(uint32_t value) {
    return std::to_wstring(static_cast<int32_t>(value));
}

}  // namespace

std::wstring FilesText(CopyStatistics& s) {
    if (s.filesDone == 0) return L"";
    if (s.filesDone > s.totalFiles) s.totalFiles = s.filesDone;
    return Decimal(s.filesDone) + L" of " + Decimal(s.totalFiles) + L" files";
}

std::wstring ElapsedText(const CopyStatistics& s) {
    std::wstring text = FormatDuration(s.elapsedMs);
    return text == L"0:00" ? L"less than 1 second" : text;
}

std::wstring RemainingTimeText(const CopyStatistics& s) {
    std::wstring text = FormatDuration(s.remainingMs);
    if (text != L"0:00") return text;
    return s.running ? L"-" : L"done";
}

std::wstring SpeedText(const CopyStatistics& s) {
    if (s.elapsedMs > 0 && s.bytesPerSecond > 0) return FormatSize(s.bytesPerSecond) + L"/second";
    return L"-";
}

std::wstring CopiedText(const CopyStatistics& s) {
    return FormatSize(s.copiedBytes);
}

std::wstring RemainingBytesText(const CopyStatistics& s) {
    // Both counts are non-negative in practice; a difference that would
    // overflow is treated as "nothing left" rather than computed.
    if (s.elapsedMs > 0 && s.totalBytes > s.copiedBytes && s.copiedBytes >= 0) {
        return FormatSize(s.totalBytes - s.copiedBytes);
    }
    return L"none";
}

std::wstring ProgressText(const CopyStatistics& s) {
    if (s.totalBytes <= 0) return L"";
    if (s.copiedBytes <= 0) return L"0.0%";
    const uint64_t total = static_cast<uint64_t>(s.totalBytes);
    const uint64_t copied = static_cast<uint64_t>(s.copiedBytes);
    const uint64_t percent = MulDivU64(copied, 100, total);
    if (percent != 0) return std::to_wstring(percent) + L"%";
    return L"0." + std::to_wstring(MulDivU64(copied, 1000, total)) + L"%";
}

std::wstring SkippedText(int32_t skipped) {
    return skipped != 0 ? std::to_wstring(skipped) : L"none";
}

std::wstring SourceSummary(int32_t files, int32_t folders, uint64_t bytes) {
    if (bytes == 0) return L"";
    std::wstring text;
    if (files != 0) text += std::to_wstring(files) + (files == 1 ? L" file" : L" files");
    if (files > 0 && folders > 0) text += L" in ";
    if (folders != 0) text += std::to_wstring(folders) + (folders == 1 ? L" folder" : L" folders");
    return text + L" (" + FormatSize(static_cast<int64_t>(bytes)) + L")";
}
