#pragma once
// Threads, kernel handles and private memory of this process, for tests
// that check nothing is left behind and for the printed figures.
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2
#endif
#include <cstdint>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

inline DWORD ThreadCount()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snap);
    return count;
}

// Open kernel handles, found by asking about every handle value in turn
// (Wine does not count them for GetProcessHandleCount).
inline DWORD HandleCount()
{
    DWORD count = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

struct ProcessCounts {
    DWORD handles;
    DWORD threads;
};

inline ProcessCounts CurrentCounts()
{
    return {HandleCount(), ThreadCount()};
}

struct PrivateBytes {
    double reported;   // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
    double committed;  // committed private regions of the address space
};

inline PrivateBytes PrivateMegabytes()
{
    constexpr double kMiB = 1024.0 * 1024.0;
    PrivateBytes bytes{-1.0, 0.0};
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        bytes.reported = static_cast<double>(counters.PrivateUsage) / kMiB;
    // Some platforms leave PrivateUsage at 0; the address space tells too.
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes.committed += static_cast<double>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    bytes.committed /= kMiB;
    return bytes;
}
