// Benchmarks measure the steady state: freed memory stays with the process,
// rather than each figure paying for fresh pages from the kernel.
#pragma once

#include <malloc.h>

namespace veln::bench {

inline void KeepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace veln::bench
