// An append-only array stored in fixed-size chunks: appending never moves or copies
// existing elements and never needs one large block of address space, and element
// access is one shift and one mask.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

template <typename T, unsigned ChunkBits>
class ChunkedArray {
    static_assert(std::is_trivially_copyable<T>::value, "elements are copied as plain data");

public:
    static constexpr size_t kChunkSize = size_t(1) << ChunkBits;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    const T& operator[](size_t i) const { return chunks_[i >> ChunkBits][i & (kChunkSize - 1)]; }
    T& operator[](size_t i) { return chunks_[i >> ChunkBits][i & (kChunkSize - 1)]; }

    // Makes room for one more element; may throw std::bad_alloc, leaving the array
    // unchanged. After it, PushBackReserved cannot fail.
    void ReserveOne()
    {
        if ((size_ >> ChunkBits) < chunks_.size())
            return;
        if (chunks_.size() == chunks_.capacity())
            chunks_.reserve(chunks_.empty() ? 16 : chunks_.size() * 2);
        chunks_.push_back(std::unique_ptr<T[]>(new T[kChunkSize]));
    }

    void PushBackReserved(const T& value)
    {
        chunks_[size_ >> ChunkBits][size_ & (kChunkSize - 1)] = value;
        ++size_;
    }

    void push_back(const T& value)
    {
        ReserveOne();
        PushBackReserved(value);
    }

    // Frees every chunk.
    void clear()
    {
        std::vector<std::unique_ptr<T[]>>().swap(chunks_);
        size_ = 0;
    }

    void swap(ChunkedArray& other) noexcept
    {
        chunks_.swap(other.chunks_);
        std::swap(size_, other.size_);
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t size_ = 0;
};
