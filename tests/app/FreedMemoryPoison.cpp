// The program's own operator delete: plain free, with the block overwritten first while asked.
#include "FreedMemoryPoison.h"
#include <malloc.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::atomic<int> poisoning{0};
}

void operator delete(void *p) noexcept
{
    if (p && poisoning.load() > 0) std::memset(p, 0xDD, _msize(p));
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept { ::operator delete(p); }
void operator delete[](void *p) noexcept { ::operator delete(p); }
void operator delete[](void *p, std::size_t) noexcept { ::operator delete(p); }

namespace qmtest {

PoisonFreedMemory::PoisonFreedMemory() { ++poisoning; }
PoisonFreedMemory::~PoisonFreedMemory() { --poisoning; }

}  // namespace qmtest
