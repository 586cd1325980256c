// Drawing routines: the clipping rule at every edge and fully outside, the keyed and blend pixel
// rules at their limits, the full-frame copy, and every code path against the literal reference
// on random pictures of every small width, alignment and clipping offset.
#include "gfx/blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "gfx/blit_reference.h"
#include "gfx/display.h"
#include "support/engine_fixture.h"

namespace {

constexpr uint16_t GuardValue = 0xA5C3;
constexpr int32_t GuardPixels = 24;

uint16_t Rgb(int r, int g, int b) {
  return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

// A surface record over pixels inside a larger block, with guard pixels on both sides and the
// first pixel `offset` pixels in, so that any alignment can be tried and any write outside the
// surface shows in the guards.
class TGuardedSurface {
 public:
  TGuardedSurface(int32_t width, int32_t height, int32_t offset = 0, uint16_t fill = 0)
      : Block(static_cast<size_t>(2 * GuardPixels + offset + width * height), GuardValue) {
    uint16_t* pixels = Block.data() + GuardPixels + offset;
    std::fill(pixels, pixels + width * height, fill);
    Surface.Pixels = pixels;
    Surface.SizeBytes = static_cast<uint32_t>(width * height * 2);
    Surface.Width = width;
    Surface.MaxX = width - 1;
    Surface.HalfWidth = width / 2;
    Surface.OddWidth = width % 2;
    Surface.Pitch = width * 2;
    Surface.Height = height;
    Surface.HalfHeight = height / 2;
    Surface.MaxY = height - 1;
  }
  // Copies keep their own block; the record is pointed at it.
  TGuardedSurface(const TGuardedSurface& other) : Block(other.Block), Surface(other.Surface) {
    Surface.Pixels = Block.data() + (other.Surface.Pixels - other.Block.data());
  }
  TGuardedSurface& operator=(const TGuardedSurface&) = delete;

  uint16_t& At(int32_t x, int32_t y) { return PixelAt(Surface, x, y); }
  void FillRandom(std::mt19937& random) {
    for (int32_t i = 0; i < Surface.Width * Surface.Height; ++i)
      Surface.Pixels[i] = static_cast<uint16_t>(random());
  }
  // Runs of the key between runs of other colours, as sprites have them.
  void FillRuns(std::mt19937& random, uint16_t key) {
    bool keyed = random() % 2 == 0;
    int32_t left = 0;
    for (int32_t i = 0; i < Surface.Width * Surface.Height; ++i) {
      if (left-- == 0) keyed = !keyed, left = static_cast<int32_t>(random() % 12);
      const uint16_t colour = static_cast<uint16_t>(random());
      Surface.Pixels[i] = keyed ? key : (colour == key ? uint16_t(key ^ 1) : colour);
    }
  }

  std::vector<uint16_t> Block;
  TSurface Surface;
};

enum class TRoutine { Put, Get, PutClipped, GetClipped, Keyed, Add, ShadeAdd };
constexpr TRoutine AllRoutines[] = {TRoutine::Put,        TRoutine::Get,   TRoutine::PutClipped,
                                    TRoutine::GetClipped, TRoutine::Keyed, TRoutine::Add,
                                    TRoutine::ShadeAdd};

const char* Name(TRoutine routine) {
  switch (routine) {
    case TRoutine::Put:
      return "PutImage";
    case TRoutine::Get:
      return "GetImage";
    case TRoutine::PutClipped:
      return "PutImageClipped";
    case TRoutine::GetClipped:
      return "GetImageClipped";
    case TRoutine::Keyed:
      return "PutImageKeyed";
    case TRoutine::Add:
      return "PutImageAdd";
    case TRoutine::ShadeAdd:
      return "PutImageShadeAdd";
  }
  return "?";
}

struct TCall {
  TRoutine Routine;
  int32_t X, Y;
  uint16_t Key = 0;
  uint8_t Red = 0, Green = 0, Blue = 0;
};

void RunEngine(const TCall& c, const TSurface& surface, const TSurface& image) {
  switch (c.Routine) {
    case TRoutine::Put:
      return PutImage(surface, image, c.X, c.Y);
    case TRoutine::Get:
      return GetImage(surface, image, c.X, c.Y);
    case TRoutine::PutClipped:
      return PutImageClipped(surface, image, c.X, c.Y);
    case TRoutine::GetClipped:
      return GetImageClipped(surface, image, c.X, c.Y);
    case TRoutine::Keyed:
      return PutImageKeyed(surface, image, c.X, c.Y, c.Key);
    case TRoutine::Add:
      return PutImageAdd(surface, image, c.X, c.Y, c.Red, c.Green, c.Blue);
    case TRoutine::ShadeAdd:
      return PutImageShadeAdd(surface, image, c.X, c.Y, c.Red, c.Green, c.Blue);
  }
}

void RunReference(const TCall& c, const TSurface& surface, const TSurface& image) {
  switch (c.Routine) {
    case TRoutine::Put:
    case TRoutine::PutClipped:
      return BlitReference::PutImageClipped(surface, image, c.X, c.Y);
    case TRoutine::Get:
    case TRoutine::GetClipped:
      return BlitReference::GetImageClipped(surface, image, c.X, c.Y);
    case TRoutine::Keyed:
      return BlitReference::PutImageKeyed(surface, image, c.X, c.Y, c.Key);
    case TRoutine::Add:
      return BlitReference::PutImageAdd(surface, image, c.X, c.Y, c.Red, c.Green, c.Blue);
    case TRoutine::ShadeAdd:
      return BlitReference::PutImageShadeAdd(surface, image, c.X, c.Y, c.Red, c.Green, c.Blue);
  }
}

// Runs the call through the engine and the reference on copies of the same blocks and reports
// the first pixel where they differ, guards included.
::testing::AssertionResult MatchesReference(const TCall& c, const TGuardedSurface& surface,
                                            const TGuardedSurface& image) {
  TGuardedSurface engineSurface(surface), engineImage(image);
  TGuardedSurface referenceSurface(surface), referenceImage(image);
  RunEngine(c, engineSurface.Surface, engineImage.Surface);
  RunReference(c, referenceSurface.Surface, referenceImage.Surface);
  const auto describe = [&](const char* block, size_t i) {
    return ::testing::AssertionFailure()
           << Name(c.Routine) << " at (" << c.X << ", " << c.Y << ") of a " << image.Surface.Width
           << "x" << image.Surface.Height << " image on a " << surface.Surface.Width << "x"
           << surface.Surface.Height << " surface, key " << c.Key << ", amounts " << int{c.Red}
           << "/" << int{c.Green} << "/" << int{c.Blue} << ": " << block << " word " << i
           << " differs";
  };
  for (size_t i = 0; i < surface.Block.size(); ++i)
    if (engineSurface.Block[i] != referenceSurface.Block[i]) return describe("surface", i);
  for (size_t i = 0; i < image.Block.size(); ++i)
    if (engineImage.Block[i] != referenceImage.Block[i]) return describe("image", i);
  return ::testing::AssertionSuccess();
}

// Selects a path for one test and puts the best one back afterwards.
class TPathScope {
 public:
  explicit TPathScope(TBlitPath path) : Ok(SelectBlitPath(path)) {}
  ~TPathScope() { SelectBlitPath(BestBlitPath()); }
  const bool Ok;
};

std::vector<TBlitPath> AvailablePaths() {
  std::vector<TBlitPath> paths;
  for (TBlitPath path : {TBlitPath::Scalar, TBlitPath::Sse2, TBlitPath::Avx2})
    if (BlitPathSupported(path)) paths.push_back(path);
  return paths;
}

const char* Name(TBlitPath path) {
  switch (path) {
    case TBlitPath::Scalar:
      return "scalar";
    case TBlitPath::Sse2:
      return "SSE2";
    case TBlitPath::Avx2:
      return "AVX2";
  }
  return "?";
}

class BlitTest : public TEngineFixture {};

// ---- Clipping -----------------------------------------------------------------------------

TEST_F(BlitTest, ClippedDrawAtTopLeftShowsImagesLowerRightQuarter) {
  std::mt19937 random(1);
  TGuardedSurface frame(800, 600), image(10, 10);
  image.FillRandom(random);
  for (TRoutine routine : {TRoutine::Put, TRoutine::PutClipped}) {
    TGuardedSurface target(frame);
    RunEngine({routine, -5, -5}, target.Surface, image.Surface);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 6; ++x)
        ASSERT_EQ(target.At(x, y), x < 5 && y < 5 ? image.At(x + 5, y + 5) : 0)
            << Name(routine) << " " << x << "," << y;
    EXPECT_TRUE(MatchesReference({routine, -5, -5}, frame, image));
  }
}

TEST_F(BlitTest, ClippedDrawAtBottomRightShowsImagesUpperLeftQuarter) {
  std::mt19937 random(2);
  TGuardedSurface frame(800, 600), image(10, 10);
  image.FillRandom(random);
  for (TRoutine routine : {TRoutine::Put, TRoutine::PutClipped}) {
    TGuardedSurface target(frame);
    RunEngine({routine, 795, 595}, target.Surface, image.Surface);
    for (int32_t y = 594; y < 600; ++y)
      for (int32_t x = 794; x < 800; ++x)
        ASSERT_EQ(target.At(x, y), x >= 795 && y >= 595 ? image.At(x - 795, y - 595) : 0)
            << Name(routine) << " " << x << "," << y;
    EXPECT_TRUE(MatchesReference({routine, 795, 595}, frame, image));
  }
}

TEST_F(BlitTest, EveryRoutineLeavesBothBlocksAloneWhenWhollyOutside) {
  std::mt19937 random(3);
  TGuardedSurface frame(800, 600), image(10, 10);
  frame.FillRandom(random);
  image.FillRandom(random);
  const std::pair<int32_t, int32_t> outside[] = {
      {800, 0},     {0, 600},    {-10, 0},       {0, -10},       {-10, -10},     {800, 600},
      {-1000, 300}, {400, 5000}, {INT32_MIN, 0}, {0, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}};
  for (TRoutine routine : AllRoutines)
    for (const auto& [x, y] : outside) {
      TGuardedSurface target(frame), source(image);
      RunEngine({routine, x, y, 0, 0, 0, 0}, target.Surface, source.Surface);
      EXPECT_EQ(target.Block, frame.Block) << Name(routine) << " at " << x << "," << y;
      EXPECT_EQ(source.Block, image.Block) << Name(routine) << " at " << x << "," << y;
    }
}

TEST_F(BlitTest, ImageOneColumnOrRowInsideShowsExactlyThatColumnOrRow) {
  std::mt19937 random(4);
  TGuardedSurface frame(800, 600), image(10, 10);
  image.FillRandom(random);
  for (TRoutine routine : {TRoutine::Put, TRoutine::PutClipped, TRoutine::Keyed}) {
    TGuardedSurface column(frame), row(frame);
    RunEngine({routine, -9, 100, 0x1234}, column.Surface, image.Surface);
    RunEngine({routine, 100, -9, 0x1234}, row.Surface, image.Surface);
    for (int32_t i = 0; i < 12; ++i) {
      EXPECT_EQ(column.At(0, 100 + i), i < 10 ? image.At(9, i) : 0) << Name(routine);
      EXPECT_EQ(column.At(1, 100 + i), 0) << Name(routine);
      EXPECT_EQ(row.At(100 + i, 0), i < 10 ? image.At(i, 9) : 0) << Name(routine);
      EXPECT_EQ(row.At(100 + i, 1), 0) << Name(routine);
    }
  }
}

TEST_F(BlitTest, PartlyOutsideCallsAffectOnlyTheOverlap) {
  // The blends and the plain copies once relied on their callers to stay inside; now every
  // routine keeps to the overlap at each of the four edges.
  std::mt19937 random(5);
  TGuardedSurface frame(40, 30), image(12, 9);
  frame.FillRandom(random);
  image.FillRandom(random);
  const std::pair<int32_t, int32_t> edges[] = {{-4, 10}, {34, 10}, {10, -3}, {10, 25},
                                               {-4, -3}, {34, 25}, {-4, 25}, {34, -3}};
  for (TRoutine routine : AllRoutines)
    for (const auto& [x, y] : edges)
      EXPECT_TRUE(MatchesReference({routine, x, y, 0, 3, 7, 2}, frame, image));
}

TEST_F(BlitTest, GetImageLeavesImagePixelsOutsideTheSurfaceAsTheyWere) {
  std::mt19937 random(6);
  TGuardedSurface frame(800, 600), image(10, 10);
  frame.FillRandom(random);
  for (TRoutine routine : {TRoutine::Get, TRoutine::GetClipped}) {
    TGuardedSurface target(10, 10, 0, 0x7777);
    RunEngine({routine, 793, -4}, frame.Surface, target.Surface);
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 10; ++x)
        ASSERT_EQ(target.At(x, y), x < 7 && y >= 4 ? frame.At(793 + x, y - 4) : 0x7777)
            << Name(routine) << " " << x << "," << y;
  }
}

TEST_F(BlitTest, RecordsWithoutPixelsDrawNothing) {
  TGuardedSurface frame(20, 20, 0, 0x1111);
  const TSurface empty;
  for (TRoutine routine : AllRoutines) {
    TGuardedSurface target(frame);
    RunEngine({routine, 0, 0, 0, 0, 0, 0}, target.Surface, empty);
    RunEngine({routine, 0, 0, 0, 0, 0, 0}, empty, target.Surface);
    EXPECT_EQ(target.Block, frame.Block) << Name(routine);
  }
}

// ---- Pixel rules --------------------------------------------------------------------------

TEST_F(BlitTest, KeyedDrawKeepsTheSurfaceWhereTheImageHasTheKey) {
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    TGuardedSurface frame(40, 4, 0, Rgb(3, 5, 7)), image(40, 4);
    for (int32_t x = 0; x < 40; ++x)
      for (int32_t y = 0; y < 4; ++y)
        image.At(x, y) = (x / 3 + y) % 2 ? Rgb(31, 0, 9) : 0;
    PutImageKeyed(frame.Surface, image.Surface, 0, 0, 0);
    for (int32_t x = 0; x < 40; ++x)
      for (int32_t y = 0; y < 4; ++y)
        ASSERT_EQ(frame.At(x, y), image.At(x, y) == 0 ? Rgb(3, 5, 7) : Rgb(31, 0, 9))
            << Name(path) << " " << x << "," << y;
    // With another key, black is an ordinary colour and is copied.
    PutImageKeyed(frame.Surface, image.Surface, 0, 0, Rgb(31, 0, 9));
    for (int32_t x = 0; x < 40; ++x)
      ASSERT_EQ(frame.At(x, 0), image.At(x, 0) ? Rgb(31, 0, 9) : 0);
  }
}

TEST_F(BlitTest, AddSaturatesEachChannelAndAmountsReduceOnlyTheImage) {
  struct TCase {
    uint16_t Surface, Image;
    uint8_t R, G, B;
    uint16_t Expected;
  };
  const uint16_t white = Rgb(31, 63, 31), grey = Rgb(16, 32, 16);
  const TCase cases[] = {
      {grey, white, 0, 0, 0, white},
      {grey, white, 16, 32, 16, white},  // 16 + 15 = 31: still the top of each channel
      {grey, white, 17, 33, 17, Rgb(30, 62, 30)},
      {grey, white, 32, 64, 32, grey},
      {grey, white, 255, 255, 255, grey},  // large amounts are a subtraction with floor 0
      {grey, white, 200, 0, 31, Rgb(16, 63, 16)},
      {Rgb(30, 1, 0), Rgb(5, 2, 31), 0, 0, 0, Rgb(31, 3, 31)},
      {Rgb(1, 62, 2), Rgb(1, 5, 3), 1, 0, 2, Rgb(1, 63, 3)},
      {grey, 0, 0, 0, 0, grey},  // black adds nothing at any level
  };
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    for (const TCase& c : cases) {
      // Wide enough that the vector loops see these pixels as well as the row end.
      TGuardedSurface frame(21, 1, 0, c.Surface), image(21, 1, 0, c.Image);
      PutImageAdd(frame.Surface, image.Surface, 0, 0, c.R, c.G, c.B);
      for (int32_t x = 0; x < 21; ++x)
        ASSERT_EQ(frame.At(x, 0), c.Expected)
            << Name(path) << " " << c.Surface << "+" << c.Image << " amounts " << int{c.R} << "/"
            << int{c.G} << "/" << int{c.B} << " at " << x;
    }
  }
}

TEST_F(BlitTest, ShadeAddDarkensTheSurfaceThenAddsTheImage) {
  struct TCase {
    uint16_t Surface, Image;
    uint8_t R, G, B;
    uint16_t Expected;
  };
  const uint16_t white = Rgb(31, 63, 31), grey = Rgb(16, 32, 16);
  const TCase cases[] = {
      {white, 0, 64, 64, 64, 0},  // full level blacks out the rectangle under black pixels
      {white, Rgb(4, 9, 2), 64, 64, 64, Rgb(4, 9, 2)},
      {white, Rgb(4, 9, 2), 255, 255, 255, Rgb(4, 9, 2)},
      {grey, grey, 0, 0, 0, white},  // amounts 0: the plain saturating sum
      {grey, Rgb(3, 2, 1), 0, 0, 0, Rgb(19, 34, 17)},
      {grey, Rgb(3, 2, 1), 10, 40, 20, Rgb(9, 2, 1)},
      {Rgb(31, 0, 31), Rgb(31, 63, 0), 1, 0, 31, Rgb(31, 63, 0)},
  };
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    for (const TCase& c : cases) {
      TGuardedSurface frame(21, 1, 0, c.Surface), image(21, 1, 0, c.Image);
      PutImageShadeAdd(frame.Surface, image.Surface, 0, 0, c.R, c.G, c.B);
      for (int32_t x = 0; x < 21; ++x)
        ASSERT_EQ(frame.At(x, 0), c.Expected)
            << Name(path) << " " << c.Surface << "/" << c.Image << " amounts " << int{c.R} << "/"
            << int{c.G} << "/" << int{c.B} << " at " << x;
    }
  }
}

TEST_F(BlitTest, ThreePixelWideImageFillsExactlyThreePixelsPerRow) {
  // A row of one pair and one single pixel: the single one must be drawn, nothing beside it.
  std::mt19937 random(7);
  TGuardedSurface frame(9, 5, 0, 0), image(3, 3);
  image.FillRandom(random);
  image.At(1, 1) = 0;
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    for (TRoutine routine : AllRoutines) {
      TCall call{routine, 3, 1, 0x4321, 0, 0, 0};
      EXPECT_TRUE(MatchesReference(call, frame, image)) << Name(path);
      TGuardedSurface target(frame), source(image);
      RunEngine(call, target.Surface, source.Surface);
      if (routine == TRoutine::Get || routine == TRoutine::GetClipped) continue;
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 9; ++x) {
          const bool inside = x >= 3 && x < 6 && y >= 1 && y < 4;
          if (inside)
            EXPECT_EQ(target.At(x, y), image.At(x - 3, y - 1)) << Name(routine) << x << "," << y;
          else
            EXPECT_EQ(target.At(x, y), 0) << Name(routine) << " " << x << "," << y;
        }
    }
  }
}

// ---- Full-frame copy ----------------------------------------------------------------------

TEST_F(BlitTest, CopyScreenCopiesOneDisplayFrameAndNothingMore) {
  std::mt19937 random(8);
  TGuardedSurface source(800, 601), target(800, 601);
  source.FillRandom(random);
  Display.Width = 800;
  Display.Height = 600;
  CopyScreen(source.Surface.Pixels, target.Surface.Pixels);
  for (int32_t i = 0; i < 800 * 600; ++i)
    ASSERT_EQ(target.Surface.Pixels[i], source.Surface.Pixels[i]);
  EXPECT_EQ(target.Surface.Pixels[800 * 600], 0);
}

TEST_F(BlitTest, CopyScreenCopiesTheLastBytesOfAnOddDisplaySize) {
  // 801 x 3 pixels is no whole number of 256-byte blocks; the remainder is copied too.
  std::mt19937 random(9);
  TGuardedSurface source(801, 4), target(801, 4);
  source.FillRandom(random);
  Display.Width = 801;
  Display.Height = 3;
  CopyScreen(source.Surface.Pixels, target.Surface.Pixels);
  for (int32_t i = 0; i < 801 * 3; ++i)
    ASSERT_EQ(target.Surface.Pixels[i], source.Surface.Pixels[i]);
  EXPECT_EQ(target.Surface.Pixels[801 * 3], 0);
}

TEST_F(BlitTest, CopyScreenCopiesNothingWithoutADisplaySize) {
  std::mt19937 random(10);
  TGuardedSurface source(8, 8), target(8, 8);
  source.FillRandom(random);
  CopyScreen(source.Surface.Pixels, target.Surface.Pixels);
  EXPECT_EQ(target.Block, TGuardedSurface(8, 8).Block);
}

// ---- Paths against the reference ----------------------------------------------------------

TEST_F(BlitTest, EveryPathMatchesTheReferenceAtEveryWidthAlignmentAndClip) {
  std::mt19937 random(11);
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    ASSERT_TRUE(scope.Ok);
    for (int32_t width = 1; width <= 37; ++width) {
      // Surfaces as wide as the image (rows that follow each other in both blocks) and others.
      for (int32_t surfaceWidth : {width, 1 + static_cast<int32_t>(random() % 45)}) {
        for (int32_t x = -width - 1; x <= surfaceWidth + 1; ++x) {
          const int32_t height = 1 + static_cast<int32_t>(random() % 4);
          const int32_t surfaceHeight = 1 + static_cast<int32_t>(random() % 6);
          const int32_t y =
              static_cast<int32_t>(random() % (surfaceHeight + height + 3)) - height - 1;
          const uint16_t key = random() % 2 ? 0 : static_cast<uint16_t>(random());
          TGuardedSurface surface(surfaceWidth, surfaceHeight, static_cast<int32_t>(random() % 16));
          TGuardedSurface image(width, height, static_cast<int32_t>(random() % 16));
          surface.FillRuns(random, key);
          image.FillRuns(random, key);
          for (TRoutine routine : AllRoutines) {
            const TCall call{routine,
                             x,
                             y,
                             key,
                             static_cast<uint8_t>(random()),
                             static_cast<uint8_t>(random()),
                             static_cast<uint8_t>(random())};
            ASSERT_TRUE(MatchesReference(call, surface, image)) << Name(path);
          }
        }
      }
    }
  }
}

TEST_F(BlitTest, EveryPathMatchesTheReferenceForEveryAmountOnRandomPixels) {
  // Every amount from 0 to 255 on each channel in turn, over pixels of every value mix.
  std::mt19937 random(12);
  TGuardedSurface surface(37, 3, 5), image(37, 3, 3);
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    for (int amount = 0; amount < 256; ++amount)
      for (TRoutine routine : {TRoutine::Add, TRoutine::ShadeAdd}) {
        surface.FillRandom(random);
        image.FillRandom(random);
        const uint8_t a = static_cast<uint8_t>(amount);
        const uint8_t other = static_cast<uint8_t>(random());
        ASSERT_TRUE(MatchesReference({routine, 0, 0, 0, a, other, other}, surface, image))
            << Name(path);
        ASSERT_TRUE(MatchesReference({routine, 0, 0, 0, other, a, other}, surface, image))
            << Name(path);
        ASSERT_TRUE(MatchesReference({routine, 0, 0, 0, other, other, a}, surface, image))
            << Name(path);
      }
  }
}

TEST_F(BlitTest, FullFramesMatchTheReferenceOnEveryPath) {
  std::mt19937 random(13);
  TGuardedSurface frame(800, 600), sprites(800, 600);
  frame.FillRandom(random);
  sprites.FillRuns(random, 0);
  for (TBlitPath path : AvailablePaths()) {
    TPathScope scope(path);
    for (TRoutine routine : AllRoutines)
      EXPECT_TRUE(MatchesReference({routine, 0, 0, 0, 9, 17, 30}, frame, sprites)) << Name(path);
  }
}

}  // namespace
