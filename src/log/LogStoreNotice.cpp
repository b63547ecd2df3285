#include "log/LogStoreNotice.h"

namespace {
// A long message row is named by its start.
constexpr size_t kShownChars = 120;
}

std::wstring ReplacedRowsNotice(const LogStoreResult& result)
{
    if (result.replacedRows == 0) return std::wstring();
    const bool one = result.replacedRows == 1;
    std::wstring text = L"The log was stored, but " + std::to_wstring(result.replacedRows) +
                        (one ? L" message row was" : L" message rows were") +
                        L" not written as shown: the system's code page has no form for some of "
                        L"the characters, and each of them was written as \"?\".\n\nIn the file:\n";
    for (const LogReplacedRow& r : result.replaced) {
        text += L"line " + std::to_wstring(r.row + 1) + L": ";
        text += r.written.size() > kShownChars ? r.written.substr(0, kShownChars) + L"..." : r.written;
        text += L"\n";
    }
    if (result.replacedRows > result.replaced.size())
        text += L"and " + std::to_wstring(result.replacedRows - result.replaced.size()) + L" more\n";
    text += L"\nThe log list still shows these rows as they were.";
    return text;
}
