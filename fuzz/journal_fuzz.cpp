// Names of the measurement journal's files. A name made for any start time
// (even out-of-range fields) is recognised as the journal's; recognition of
// any text equals a plain pattern match; and from any folder listing (journal
// names of many runs mixed with other files) exactly the oldest runs are
// removed, by start time and then attempt, so that the newest stay.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "log/JournalFiles.h"

namespace {

// "Vantrel_" 8 digits "_" 6 digits [ "_" digits ] ".txt"
bool ReferenceIsJournalName(const std::wstring& name)
{
    const std::wstring prefix = L"Vantrel_";
    const std::wstring suffix = L".txt";
    if (name.size() < prefix.size() + 15 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    const std::wstring middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const auto digits = [](const std::wstring& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    if (!digits(middle.substr(0, 8)) || middle[8] != L'_' || !digits(middle.substr(9, 6))) {
        return false;
    }
    return middle.size() == 15 || (middle[15] == L'_' && digits(middle.substr(16)));
}

struct Run {
    LogTime start;
    int attempt;
    std::wstring name;
};

std::tuple<int, int, int, int, int, int, int> Age(const Run& r)
{
    return std::make_tuple(r.start.year, r.start.month, r.start.day, r.start.hour, r.start.minute, r.start.second,
                           r.attempt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);

    // Any fields: the name is still one of the journal's.
    LogTime any;
    any.year = input.ConsumeIntegral<int16_t>();
    any.month = input.ConsumeIntegral<int16_t>();
    any.day = input.ConsumeIntegral<int16_t>();
    any.hour = input.ConsumeIntegral<int16_t>();
    any.minute = input.ConsumeIntegral<int16_t>();
    any.second = input.ConsumeIntegral<int16_t>();
    const int anyAttempt = input.ConsumeIntegral<int>();
    const std::wstring anyName = JournalFileName(any, anyAttempt);
    FUZZ_CHECK(IsJournalFileName(anyName));
    FUZZ_CHECK(anyName.size() == 27 + (anyAttempt > 0 ? 1 + std::to_wstring(anyAttempt).size() : 0));

    // Runs with real start times, and other files in the same folder.
    std::vector<Run> runs;
    std::vector<std::wstring> listing;
    const int runCount = input.ConsumeIntegralInRange(0, 60);
    for (int i = 0; i < runCount; ++i) {
        Run r;
        r.start.year = input.ConsumeIntegralInRange<int16_t>(2019, 2021);
        r.start.month = input.ConsumeIntegralInRange<int16_t>(1, 12);
        r.start.day = input.ConsumeIntegralInRange<int16_t>(1, 2);
        r.start.hour = input.ConsumeIntegralInRange<int16_t>(0, 23);
        r.start.minute = input.ConsumeIntegralInRange<int16_t>(0, 1);
        r.start.second = input.ConsumeIntegralInRange<int16_t>(0, 1);
        r.attempt = input.ConsumeIntegralInRange(0, 12);
        r.name = JournalFileName(r.start, r.attempt);
        if (std::any_of(runs.begin(), runs.end(), [&r](const Run& o) { return o.name == r.name; })) {
            continue;  // one file per name in a folder
        }
        FUZZ_CHECK(r.name.compare(8, 15, JournalFileName(r.start).substr(8, 15)) == 0);
        runs.push_back(r);
        listing.push_back(r.name);
    }
    const size_t keep = input.ConsumeIntegralInRange<size_t>(0, 40);
    while (input.remaining_bytes() > 0) {
        const std::wstring other = FuzzWideText(input.ConsumeRandomLengthString(40));
        FUZZ_CHECK(IsJournalFileName(other) == ReferenceIsJournalName(other));
        if (!IsJournalFileName(other)) {
            listing.push_back(other);  // never removed
        }
    }
    std::reverse(listing.begin(), listing.end());  // a folder lists in any order

    const std::vector<std::wstring> removed = JournalFilesToRemove(listing, keep);
    const size_t kept = keep > 0 ? keep - 1 : 0;
    FUZZ_CHECK(removed.size() == (runs.size() > kept ? runs.size() - kept : 0));
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return Age(a) < Age(b); });
    for (size_t i = 0; i < removed.size(); ++i) {
        FUZZ_CHECK(removed[i] == runs[i].name);  // oldest first
    }
    return 0;
}
