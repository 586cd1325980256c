// Guarded allocation on top of malloc/realloc, which report exhaustion with null
// instead of ending the program, so the failure can be told in the engine's own words.
#include "gfx/memory.h"

#include <cstdlib>

#include "gfx/boxes.h"

void AllocChecked(void*& block, uint32_t size) {
  // A zero-byte request may legally come back null; ask for one byte so that null
  // always means exhaustion.
  const size_t bytes = size == 0 ? 1 : size;
  void* result = block == nullptr ? std::malloc(bytes) : std::realloc(block, bytes);
  if (result == nullptr) FatalBox("MEMORY ERROR !", "Not enough memory to run this application !");
  block = result;
}

void FreeChecked(void*& block) {
  if (block == nullptr) return;
  std::free(block);
  block = nullptr;
}
