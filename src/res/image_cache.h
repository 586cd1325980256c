// The program-wide image cache: each picture loaded by (file name, package) is decoded once
// and shared; clients hold copies of its TSurface record and hand them back to release it.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

#include "gfx/surface.h"

struct TCachedImage {
  std::string Name;     // the file name as requested, e.g. "background.pcx"
  std::string Package;  // empty for a disk file
  TSurface Image;       // owns its pixel block
  uint16_t References = 1;
};

struct TImageCache {
  std::list<TCachedImage> Nodes;  // in order of first load; front is the first node
};
extern TImageCache ImageCache;

// Starts the cache empty; pictures left over from an earlier run of the cache are freed.
void CacheInit();
// Frees every picture, whatever its count. The cache is empty and usable again afterwards.
void CacheDone();

// The shared record of the picture (name, package), both compared exactly; the picture is
// loaded with LoadPcx on first use, whose boxes end the program when it cannot be.
void CacheLoad(std::string_view name, std::string_view package, TSurface& image);

// Drops one reference of the node whose record equals `image` in every field, freeing the
// picture at zero. A record that no node holds is ignored.
void CacheRelease(const TSurface& image);
