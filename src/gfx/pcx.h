// PCX pictures: the loader of 24-bit run-length-encoded PCX files into RGB565 surfaces,
// and the matching encoder the modders' tools and the tests write pictures with.
// Files come from archives or disk through the resource loaders, and are untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/surface.h"

constexpr size_t PcxHeaderSize = 128;

// Why a PCX file was refused; each kind has its own box.
enum class TPcxStatus {
  Ok,
  NotPcx,         // too short, manufacturer byte not 10, no pixels in the picture
  NotCompressed,  // encoding byte not 1
  Not24Bit,       // not 3 planes of 8 bits
  Damaged,        // the encoded lines end before the picture does
};

// What a PCX header says about the picture, as the decoder uses it.
struct TPcxLayout {
  int32_t Width = 0;         // picture width, Xmax - Xmin + 1: up to 65536
  int32_t SurfaceWidth = 0;  // rounded up to even: an odd picture gains a padding column
  int32_t Height = 0;
  uint32_t FieldLineBytes = 0;  // the header's bytes-per-line field
  // The length every plane line is decoded with: the field when it holds the whole width,
  // else SurfaceWidth, the length the game has always read its pictures with; files with a
  // field of 0, or 65536 pixels wide (beyond the 16-bit field), rely on it.
  uint32_t LineBytes = 0;
};

// Reads and checks the header of a PCX file held in memory, without decoding any pixels.
// Ok does not promise the lines decode: DecodePcx may still find them Damaged.
TPcxStatus ReadPcxLayout(const uint8_t* data, size_t size, TPcxLayout& layout);

// Decodes a PCX file held in memory into `surface` (width rounded up to even, Allocated
// set, Name empty). On any status but Ok the surface is untouched and nothing stays
// allocated. A surface too large for memory ends the
// program with the memory box.
TPcxStatus DecodePcx(const uint8_t* data, size_t size, TSurface& surface);

// Decodes a PCX file held in memory and names the surface `name`; a refused file ends the
// program with the "FILE ERROR" box naming `name`.
void LoadPcxFromMemory(const uint8_t* data, size_t size, std::string_view name, TSurface& surface);

// Loads `fileName` from the archive `archiveName`, or from disk when that is empty. Every
// failure ends the program with a box; the previous contents of `surface` are not freed.
void LoadPcx(std::string_view fileName, std::string_view archiveName, TSurface& surface);

// Writes a picture of 8-bit RGB triples (top row first) as a 24-bit PCX file: 3 planes,
// run-length encoded, plane lines of even length padded with a zero byte. False when the
// size cannot be described by a PCX header (0 or above 65534 wide, 0 or above 65536 high).
bool EncodePcx(const uint8_t* rgb, int32_t width, int32_t height, std::vector<uint8_t>& file);
