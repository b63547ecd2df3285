#include "log/JournalFiles.h"

#include <algorithm>
#include <cwchar>

namespace {
constexpr wchar_t kPrefix[] = L"Vantrel_";
constexpr wchar_t kSuffix[] = L".txt";
constexpr std::size_t kPrefixLength = 8;    // "Vantrel_"
constexpr std::size_t kStampLength = 15;    // "YYYYMMDD_HHMMSS"

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

void AppendNumber(std::wstring& out, int value, int width)
{
    std::wstring digits(static_cast<std::size_t>(width), L'0');
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    for (int i = width - 1; i >= 0; --i, v /= 10) digits[static_cast<std::size_t>(i)] = static_cast<wchar_t>(L'0' + v % 10);
    out += digits;
}
}

std::wstring JournalFileName(const LogTime& start, int attempt)
{
    std::wstring name = kPrefix;
    AppendNumber(name, start.year, 4);
    AppendNumber(name, start.month, 2);
    AppendNumber(name, start.day, 2);
    name += L'_';
    AppendNumber(name, start.hour, 2);
    AppendNumber(name, start.minute, 2);
    AppendNumber(name, start.second, 2);
    if (attempt > 0) {
        name += L'_';
        name += std::to_wstring(attempt);
    }
    return name + kSuffix;
}

bool IsJournalFileName(const std::wstring& name)
{
    const std::size_t suffixLength = 4;
    if (name.size() < kPrefixLength + kStampLength + suffixLength) return false;
    if (name.compare(0, kPrefixLength, kPrefix) != 0) return false;
    if (name.compare(name.size() - suffixLength, suffixLength, kSuffix) != 0) return false;
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const wchar_t c = name[kPrefixLength + i];
        if (i == 8 ? c != L'_' : !IsDigit(c)) return false;
    }
    // Optional "_<attempt>" between the stamp and the suffix.
    const std::size_t rest = kPrefixLength + kStampLength;
    const std::size_t end = name.size() - suffixLength;
    if (rest == end) return true;
    if (name[rest] != L'_' || rest + 1 == end) return false;
    for (std::size_t i = rest + 1; i < end; ++i)
        if (!IsDigit(name[i])) return false;
    return true;
}

std::vector<std::wstring> JournalFilesToRemove(std::vector<std::wstring> names, std::size_t keep)
{
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::wstring& n) { return !IsJournalFileName(n); }),
                names.end());
    // Same stamp: the plain name came first, then _1, _2, ... _10 (compare numerically).
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const std::wstring sa = a.substr(kPrefixLength, kStampLength);
        const std::wstring sb = b.substr(kPrefixLength, kStampLength);
        if (sa != sb) return sa < sb;
        if (a.size() != b.size()) return a.size() < b.size();
        return a < b;
    });
    const std::size_t existingKept = keep > 0 ? keep - 1 : 0;  // the new run takes one place
    if (names.size() <= existingKept) return {};
    names.resize(names.size() - existingKept);
    return names;
}
