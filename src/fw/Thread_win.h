#pragma once
// Worker thread created suspended and never self-deleting: the owner resumes
// it, waits for its end and deletes the object.
#include <functional>
#include <windows.h>
#include "fw/Handle_win.h"

class CWorkerThread {
public:
    explicit CWorkerThread(std::function<void()> body) : m_body(std::move(body)) {}
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Creates the thread suspended with the default stack size.
    bool Create();
    void Resume();
    // Waits without time-out (INFINITE) or for the given milliseconds.
    bool Wait(DWORD ms = INFINITE);
    HANDLE Handle() const { return m_thread.Get(); }

private:
    static DWORD WINAPI Entry(void* self);
    std::function<void()> m_body;
    CHandle m_thread;
};
