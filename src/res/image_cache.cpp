// The image cache: a list in load order with a reference count per picture. Lookups walk
// the list; it holds a few dozen pictures.
#include "res/image_cache.h"

#include <algorithm>

#include "gfx/pcx.h"

TImageCache ImageCache;

void CacheInit() {
  CacheDone();
}

void CacheDone() {
  while (!ImageCache.Nodes.empty()) {
    FreeSurface(ImageCache.Nodes.front().Image);
    ImageCache.Nodes.pop_front();
  }
}

void CacheLoad(std::string_view name, std::string_view package, TSurface& image) {
  auto& nodes = ImageCache.Nodes;
  auto found = std::find_if(nodes.begin(), nodes.end(), [&](const TCachedImage& node) {
    return node.Name == name && node.Package == package;
  });
  if (found != nodes.end()) {
    ++found->References;
    image = found->Image;
    return;
  }
  // Decode before linking, so a picture whose load ends the program leaves no node behind.
  TSurface loaded;
  LoadPcx(name, package, loaded);
  nodes.push_back(TCachedImage{std::string(name), std::string(package), std::move(loaded), 1});
  image = nodes.back().Image;
}

void CacheRelease(const TSurface& image) {
  auto& nodes = ImageCache.Nodes;
  auto found = std::find_if(nodes.begin(), nodes.end(),
                            [&](const TCachedImage& node) { return node.Image == image; });
  if (found == nodes.end()) return;
  if (found->References > 0) --found->References;
  if (found->References > 0) return;
  FreeSurface(found->Image);
  nodes.erase(found);
}
