// Allocation of the global arrays: one table of rows (name, handle, dimensions, condition)
// per family, walked in the system's order by sialloc, AllocateArrays and SetArraysZero.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace qorva {

struct ArrayRow {
  const char* name;
  std::function<bool()> when;          // condition under which the array is created
  std::function<bool()> allocate;      // allocates with the present sizes; false when it cannot
  std::function<std::size_t()> bytes;  // what the allocation report counts
  std::function<bool()> allocated;
  std::function<void()> release;
  bool afterReport = false;            // created after the report line, outside its count
};

// Structured-grid arrays (indexed by the grid lines of G 1), in allocation order.
const std::vector<ArrayRow>& structuredArrays();
// Unstructured arrays (cells, surfaces, points, bed cells, nests, column tables), in order.
const std::vector<ArrayRow>& unstructuredArrays();
// The row of an array of either table by its name; nullptr when there is none.
const ArrayRow* findArray(std::string_view name);

// Every handle back to "not allocated" and the counts of cells, surfaces, points and joint
// pairs to 0, so that a run (or a test) can allocate again.
void SetArraysZero();
// Creates the structured arrays that are missing; 0 on success, -1 when memory ran out.
int sialloc();
// Creates the unstructured arrays once; the megabytes allocated, or -1.0 on failure. The
// three arguments are not used.
double AllocateArrays(int a, int b, int c);
// Empties the topology of the present grid before the two-layer generator rebuilds it.
void setArraysZeroUnstruc();
// Does nothing.
void show();

}  // namespace qorva
