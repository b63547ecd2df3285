#include "app/IniText.h"

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r';
}

std::wstring Trim(const std::wstring& s, size_t begin, size_t end)
{
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace

std::optional<std::wstring> IniValue(const std::wstring& text, const std::wstring& section, const std::wstring& key,
                                     size_t maxChars)
{
    // Only the first section of the name counts.
    bool inside = false;
    bool seen = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = Trim(text, start, end);
        start = end + 1;
        if (!line.empty() && line[0] == L'[') {
            const size_t close = line.rfind(L']');
            if (close == std::wstring::npos) continue;
            if (inside) return std::nullopt;  // the first section of the name ended without the key
            inside = !seen && SameName(line.substr(1, close - 1), section);
            seen = seen || inside;
            continue;
        }
        if (!inside) continue;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos || !SameName(Trim(line, 0, eq), key)) continue;
        std::wstring value = Trim(line, eq + 1, line.size());
        if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        if (value.size() > maxChars) value.resize(maxChars);
        return value;
    }
    return std::nullopt;
}
