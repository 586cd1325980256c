// Resource names: a file name plus a package (empty for a disk file), the text-value
// syntax "&file@package" that names a text resource, and the dispatch to the loaders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TResourceRef {
  std::string FileName;
  std::string Package;  // empty: FileName is a disk path

  bool operator==(const TResourceRef&) const = default;
};

// The resource a text value names, or nothing when the value is literal text. The file
// name runs to the first '@'; the package is everything after it (it may hold '@' itself).
std::optional<TResourceRef> ParseTextValue(std::string_view value);

// Reads a resource whole: LoadFile for an empty package, else LoadSubFile. Same contract
// and boxes as those two.
uint32_t LoadResource(std::string_view fileName, std::string_view package, uint8_t*& buffer);

// The text a text value stands for: the value itself when literal, else every byte of the
// named resource in order (line ends included), however long the resource is.
std::string LoadTextValue(std::string_view value);
