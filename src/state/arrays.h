// Allocation of the global arrays: one table of rows (name, handle, dimensions, condition)
// per family, walked in the system's order by sialloc and AllocateArrays.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace qorva {

struct ArrayRow {
  const char* name;
  std::function<bool()> when;        // condition under which the array is created
  std::function<bool()> allocate;    // allocates with the present sizes; false when out of memory
  std::function<std::size_t()> bytes;  // what the allocation report counts
  std::function<bool()> allocated;
  std::function<void()> release;
};

// Structured-grid arrays (indexed by the grid lines of G 1), in allocation order.
const std::vector<ArrayRow>& structuredArrays();
// Unstructured arrays (cells, surfaces, points, bed cells, nests, column tables), in order.
const std::vector<ArrayRow>& unstructuredArrays();

// Every handle back to "not allocated".
void SetArraysZero();
// Creates the structured arrays that are missing; 0 on success, -1 when memory ran out.
int sialloc();
// Creates the unstructured arrays once; the megabytes allocated, or -1.0 on failure.
double AllocateArrays(int a, int b, int c);

}  // namespace qorva
