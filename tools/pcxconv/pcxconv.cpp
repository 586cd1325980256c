// pcxconv: inspects and converts the game's PCX pictures. Pictures are read with the
// engine's own loader, so a file it accepts is a file the game shows the same way.
#include <png.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/frame_recorder.h"
#include "gfx/boxes.h"
#include "gfx/pcx.h"
#include "res/file_load.h"

namespace {

constexpr int BadUsage = 2;
constexpr int Failed = 1;

int Usage() {
  std::fputs(
      "usage: pcxconv info FILE.pcx              print WIDTH HEIGHT of the decoded picture,\n"
      "                                          then the plane line length decoded\n"
      "       pcxconv to-rgb565 FILE.pcx OUT     raw little-endian RGB565 words, top row first\n"
      "       pcxconv to-png FILE.pcx OUT.png    8-bit RGB PNG of the decoded picture\n"
      "       pcxconv from-png IN.png OUT.pcx    24-bit run-length-encoded PCX\n",
      stderr);
  return BadUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "pcxconv: %s\n", message.c_str());
  return Failed;
}

// Owns a decoded picture, so a box raised later still frees it.
struct TPicture {
  TSurface Surface;
  ~TPicture() { FreeSurface(Surface); }
};

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

int Info(const std::string& file) {
  TFileBlock block;
  block.Size = LoadFile(file, block.Data);
  TPicture picture;
  LoadPcxFromMemory(block.Data, block.Size, file, picture.Surface);
  TPcxLayout layout;
  ReadPcxLayout(block.Data, block.Size, layout);  // the loader accepted it, so Ok
  std::printf("%d %d\n", picture.Surface.Width, picture.Surface.Height);
  // A field too short for the picture is not what was decoded; saying so explains why a
  // file another reader refuses shows here.
  if (layout.LineBytes == layout.FieldLineBytes)
    std::printf("line bytes %u\n", layout.LineBytes);
  else
    std::printf("line bytes %u (the header's %u is below the width)\n", layout.LineBytes,
                layout.FieldLineBytes);
  return std::fflush(stdout) == 0 ? 0 : Fail("cannot write to standard output");
}

int ToRgb565(const std::string& file, const std::string& outPath) {
  TPicture picture;
  LoadPcx(file, "", picture.Surface);
  const TSurface& surface = picture.Surface;
  std::vector<uint8_t> bytes(surface.SizeBytes);
  for (size_t i = 0; i < surface.SizeBytes / 2; ++i) {
    bytes[i * 2] = static_cast<uint8_t>(surface.Pixels[i]);
    bytes[i * 2 + 1] = static_cast<uint8_t>(surface.Pixels[i] >> 8);
  }
  return WriteFile(outPath, bytes) ? 0 : Fail("cannot write " + outPath);
}

int ToPng(const std::string& file, const std::string& outPath) {
  TPicture picture;
  LoadPcx(file, "", picture.Surface);
  std::string reason;
  if (!WriteRgb565Png(outPath, picture.Surface.Pixels, picture.Surface.Width,
                      picture.Surface.Height, reason))
    return Fail("cannot write " + outPath + ": " + reason);
  return 0;
}

int FromPng(const std::string& file, const std::string& outPath) {
  TFileBlock block;
  block.Size = LoadFile(file, block.Data);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, block.Data, block.Size))
    return Fail(file + ": " + image.message);
  if (image.width > 65534 || image.height > 65536) {
    png_image_free(&image);
    return Fail(file + ": a PCX picture is at most 65534 by 65536 pixels");
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  // Transparent parts become black, the colour the game draws as transparent.
  const png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr))
    return Fail(file + ": " + image.message);
  std::vector<uint8_t> pcx;
  if (!EncodePcx(rgb.data(), static_cast<int32_t>(image.width), static_cast<int32_t>(image.height),
                 pcx))
    return Fail(file + ": a PCX picture is at most 65534 by 65536 pixels");
  return WriteFile(outPath, pcx) ? 0 : Fail("cannot write " + outPath);
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "info") return Info(args[1]);
  if (args.size() == 3 && args[0] == "to-rgb565") return ToRgb565(args[1], args[2]);
  if (args.size() == 3 && args[0] == "to-png") return ToPng(args[1], args[2]);
  if (args.size() == 3 && args[0] == "from-png") return FromPng(args[1], args[2]);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return Run(args);
  } catch (const TProgramExit& exit) {
    // The box was printed to stderr; a box never means success, whatever code it carries.
    return exit.Code != 0 ? exit.Code : Failed;
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for this picture");
  }
}
