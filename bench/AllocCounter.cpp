#include "AllocCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_live{0};

// Each block carries its size in a header, so that unsized deletes can count too.
constexpr size_t kHeader = alignof(std::max_align_t);

void* Allocate(size_t size)
{
    void* raw = std::malloc(size + kHeader);
    if (raw == nullptr)
        throw std::bad_alloc();
    *static_cast<size_t*>(raw) = size;
    g_live.fetch_add(size, std::memory_order_relaxed);
    return static_cast<char*>(raw) + kHeader;
}

void Release(void* p) noexcept
{
    if (p == nullptr)
        return;
    void* raw = static_cast<char*>(p) - kHeader;
    g_live.fetch_sub(*static_cast<size_t*>(raw), std::memory_order_relaxed);
    std::free(raw);
}

} // namespace

size_t LiveHeapBytes()
{
    return g_live.load(std::memory_order_relaxed);
}

void* operator new(size_t size)
{
    return Allocate(size);
}

void* operator new[](size_t size)
{
    return Allocate(size);
}

void operator delete(void* p) noexcept
{
    Release(p);
}

void operator delete[](void* p) noexcept
{
    Release(p);
}

void operator delete(void* p, size_t) noexcept
{
    Release(p);
}

void operator delete[](void* p, size_t) noexcept
{
    Release(p);
}
