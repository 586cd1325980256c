// Text-value parsing and the resource dispatch between disk files and packages.
#include "res/resource.h"

#include "res/file_load.h"

std::optional<TResourceRef> ParseTextValue(std::string_view value) {
  if (value.empty() || value.front() != '&') return std::nullopt;
  const std::string_view rest = value.substr(1);
  const size_t at = rest.find('@');
  if (at == std::string_view::npos) return TResourceRef{std::string(rest), {}};
  return TResourceRef{std::string(rest.substr(0, at)), std::string(rest.substr(at + 1))};
}

uint32_t LoadResource(std::string_view fileName, std::string_view package, uint8_t*& buffer) {
  if (package.empty()) return LoadFile(fileName, buffer);
  return LoadSubFile(fileName, package, buffer);
}

std::string LoadTextValue(std::string_view value) {
  const auto ref = ParseTextValue(value);
  if (!ref) return std::string(value);
  TFileBlock block;
  block.Size = LoadResource(ref->FileName, ref->Package, block.Data);
  return std::string(reinterpret_cast<const char*>(block.Data), block.Size);
}
