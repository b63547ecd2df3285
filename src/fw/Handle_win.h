#pragma once
// Owning wrapper for a kernel HANDLE. Null and INVALID_HANDLE_VALUE both mean
// "nothing owned", so a failed CreateFileW result can be stored as is.
#include <windows.h>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle() { Reset(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_h(other.Release()) {}
    CHandle& operator=(CHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return m_h; }
    bool IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE Release() { HANDLE h = m_h; m_h = nullptr; return h; }
    // Closes what is owned and says whether the close succeeded; owns
    // nothing afterwards either way (a handle whose close failed is no
    // longer usable). Nothing owned counts as success.
    BOOL Close() { return IsValid() ? CloseHandle(Release()) : TRUE; }
    void Reset(HANDLE h = nullptr) {
        if (IsValid()) CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

// The program's only lock kind: a critical section with a scope guard.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_cs); }
    ~CCriticalSection() { DeleteCriticalSection(&m_cs); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    void Lock() { EnterCriticalSection(&m_cs); }
    void Unlock() { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

class CLockGuard {
public:
    explicit CLockGuard(CCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CLockGuard() { m_cs.Unlock(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CCriticalSection& m_cs;
};
