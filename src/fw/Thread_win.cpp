#include "fw/Thread_win.h"

CWorkerThread::~CWorkerThread()
{
    // A thread must never outlive the object whose body it runs.
    if (m_thread.IsValid()) {
        ResumeThread(m_thread.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
    }
}

bool CWorkerThread::Create()
{
    if (m_thread.IsValid()) return false;
    m_thread.Reset(CreateThread(nullptr, 0, &CWorkerThread::Entry, this, CREATE_SUSPENDED, nullptr));
    return m_thread.IsValid();
}

void CWorkerThread::Resume()
{
    if (m_thread.IsValid()) ResumeThread(m_thread.Get());
}

bool CWorkerThread::Wait(DWORD ms)
{
    if (!m_thread.IsValid()) return true;
    return WaitForSingleObject(m_thread.Get(), ms) == WAIT_OBJECT_0;
}

DWORD WINAPI CWorkerThread::Entry(void* self)
{
    auto* thread = static_cast<CWorkerThread*>(self);
    try {
        thread->m_body();
    } catch (...) {
        // Nothing may escape into the system's thread start routine.
    }
    return 0;
}
