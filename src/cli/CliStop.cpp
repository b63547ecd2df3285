#include "cli/CliStop.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "link/ReportInbox.h"

namespace {

struct StopState {
    std::atomic<bool> requested{false};
    std::mutex lock;
    std::vector<CReportInbox*> watching;
};

StopState& State()
{
    static StopState state;
    return state;
}

} // namespace

void CliRequestStop()
{
    StopState& s = State();
    s.requested.store(true);
    std::lock_guard<std::mutex> guard(s.lock);
    for (CReportInbox* inbox : s.watching) inbox->Notify();
}

bool CliStopRequested()
{
    return State().requested.load();
}

void ResetCliStop()
{
    State().requested.store(false);
}

CCliStopWatch::CCliStopWatch(CReportInbox& inbox) : m_inbox(inbox)
{
    StopState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.watching.push_back(&m_inbox);
}

CCliStopWatch::~CCliStopWatch()
{
    StopState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.watching.erase(std::remove(s.watching.begin(), s.watching.end(), &m_inbox), s.watching.end());
}
