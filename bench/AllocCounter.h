// Heap bytes requested through operator new and not yet released, counted by the
// replacement operators in AllocCounter.cpp (benchmarks only).
#pragma once

#include <cstddef>

size_t LiveHeapBytes();
