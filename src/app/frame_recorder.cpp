// PNG frame recording through libpng.
#include "app/frame_recorder.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "gfx/boxes.h"

namespace {

void WidenRow(const uint16_t* src, int32_t width, uint8_t* dst) {
  for (int32_t x = 0; x < width; ++x) {
    const uint16_t p = src[x];
    const unsigned r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    dst[3 * x] = static_cast<uint8_t>(r << 3 | r >> 2);
    dst[3 * x + 1] = static_cast<uint8_t>(g << 2 | g >> 4);
    dst[3 * x + 2] = static_cast<uint8_t>(b << 3 | b >> 2);
  }
}

struct TFileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteRgb565Png(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string& reason) {
  std::unique_ptr<FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  return WriteRgb565Png(file.get(), pixels, width, height, reason);
}

bool WriteRgb565Png(std::FILE* file, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string& reason) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    reason = "out of memory";
    return false;
  }
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  // libpng reports errors by longjmp; nothing with a destructor is created past this point.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    reason = "libpng could not write the file";
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 1);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y) {
    WidenRow(pixels + static_cast<size_t>(y) * static_cast<size_t>(width), width, row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

TFrameRecorder::TFrameRecorder(std::string dir, uint64_t every, std::vector<uint64_t> frames)
    : Dir(std::move(dir)), Every(every == 0 ? 1 : every), Frames(frames.begin(), frames.end()) {}

bool TFrameRecorder::Prepare() {
  std::error_code error;
  std::filesystem::create_directories(Dir, error);
  if (error) {
    std::fprintf(stderr, "quibbet: cannot make the folder %s: %s\n", Dir.c_str(),
                 error.message().c_str());
    return false;
  }
  return true;
}

void TFrameRecorder::OnFrame(const uint16_t* pixels, int32_t width, int32_t height,
                             uint64_t index) {
  const bool wanted = Frames.empty() ? index % Every == 0 : Frames.count(index) != 0;
  if (!wanted) return;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(index));
  const std::string path = (std::filesystem::path(Dir) / name).string();
  std::string reason;
  if (!WriteRgb565Png(path, pixels, width, height, reason)) {
    std::fprintf(stderr, "quibbet: cannot write %s: %s\n", path.c_str(), reason.c_str());
    throw TProgramExit{1};
  }
}
