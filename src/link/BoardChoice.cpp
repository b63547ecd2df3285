#include "link/BoardDevices.h"

namespace {

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SamePath(const std::wstring& a, const std::wstring& b, bool ignoreCase)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        if (!ignoreCase || FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// The path behind the prefix that says which namespace it lives in.
std::wstring WithoutNamespacePrefix(const std::wstring& path)
{
    static const wchar_t* const prefixes[] = {L"\\\\?\\", L"\\\\.\\", L"##?#", L"##.#"};
    for (const wchar_t* prefix : prefixes) {
        const std::wstring text(prefix);
        if (path.compare(0, text.size(), text) == 0) return path.substr(text.size());
    }
    return path;
}

} // namespace

bool SameWindowsDevicePath(const std::wstring& a, const std::wstring& b)
{
    if (a.empty() || b.empty()) return false;
    return SamePath(WithoutNamespacePrefix(a), WithoutNamespacePrefix(b), true);
}

std::optional<size_t> ChooseBoard(const std::vector<BoardInfo>& boards, const std::wstring& wanted,
                                  bool ignoreCase)
{
    if (boards.empty()) return std::nullopt;
    if (wanted.empty()) return boards.size() - 1;
    for (size_t i = 0; i < boards.size(); ++i)
        if (SamePath(boards[i].path, wanted, ignoreCase)) return i;
    return std::nullopt;
}

std::vector<std::wstring> SplitDeviceList(const std::wstring& list)
{
    std::vector<std::wstring> paths;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}
