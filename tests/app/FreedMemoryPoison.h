// While a PoisonFreedMemory lives, every block that operator delete frees in this test program is
// overwritten first, so code that uses a freed object reads garbage pointers and crashes at once
// instead of quietly working on memory that nobody has reused yet.
#pragma once

namespace qmtest {

class PoisonFreedMemory {
public:
    PoisonFreedMemory();
    ~PoisonFreedMemory();
    PoisonFreedMemory(const PoisonFreedMemory &) = delete;
    PoisonFreedMemory &operator=(const PoisonFreedMemory &) = delete;
};

}  // namespace qmtest
