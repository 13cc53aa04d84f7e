#pragma once
// What the process holds now, read from the system and the allocator, for a long run to compare over time.

#include <cstdint>

int64_t ResidentBytes();  // VmRSS
// Allocated and not yet freed. Under AddressSanitizer the sanitizer's own count, which is exact; otherwise glibc's,
// which rounds each block up to its chunk.
int64_t HeapBytesInUse();
int OpenFileCount();  // file descriptors
int ThreadCount();
