// Counts the heap requests a program makes while counting is on: every malloc, calloc and
// realloc of the program's own objects (the module's included) is routed through
// wrappers by the linker (--wrap). The total requested is an upper bound of the peak.
#pragma once

#include <cstddef>

namespace allocation_count {

struct Counts {
    unsigned long long requests = 0;
    unsigned long long bytes = 0;    // sum of every size requested (saturating)
    unsigned long long largest = 0;  // the largest single request
};

void Start();
Counts Stop();

// While set (not 0), every calloc whose total is exactly `bytes` fails, counted or not.
void FailCallocOf(std::size_t bytes);

}  // namespace allocation_count
