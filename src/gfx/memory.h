// Guarded allocation: every engine block goes through here, and a failure never
// reaches the caller (it ends the program with the memory box).
#pragma once

#include <cstdint>

// Allocates `size` bytes when `block` is null, otherwise resizes it (contents kept up to
// the smaller size; the block may move).
void AllocChecked(void*& block, uint32_t size);

// Frees a non-null block and nulls the pointer.
void FreeChecked(void*& block);

// Typed helpers for the common pixel and byte blocks.
template <typename T>
void AllocChecked(T*& block, uint32_t size) {
  void* raw = block;
  AllocChecked(raw, size);
  block = static_cast<T*>(raw);
}
template <typename T>
void FreeChecked(T*& block) {
  void* raw = block;
  FreeChecked(raw);
  block = nullptr;
}
