// The image cache: one decoded picture per (name, package) while anyone holds it, reference
// counts, list order across releases, and releases that match no picture.
#include "res/image_cache.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "res/res_helpers.h"

namespace {

class ImageCacheTest : public TResFixture {
 protected:
  void SetUp() override {
    TResFixture::SetUp();
    TArchiveWriter sprites;
    for (const char* name : {"bus.pcx", "a.pcx", "b.pcx", "c.pcx", "d.pcx"})
      sprites.Add(name, MakePcx(TestPicture(5, 3, name[0]), 5, 3));
    sprites.WriteTo(Dir + "/SPRITES.MPK");
    TArchiveWriter()
        .Add("bus.pcx", MakePcx(TestPicture(2, 2, 9), 2, 2))
        .WriteTo(Dir + "/OTHER.MPK");
  }

  std::vector<std::string> Order() const {
    std::vector<std::string> names;
    for (const TCachedImage& node : ImageCache.Nodes)
      names.push_back(node.Name);
    return names;
  }
};

TEST_F(ImageCacheTest, RepeatedLoadsShareOnePictureUntilTheLastRelease) {
  TSurface first, second, third;
  CacheLoad("bus.pcx", "SPRITES", first);
  CacheLoad("bus.pcx", "SPRITES", second);
  CacheLoad("bus.pcx", "SPRITES", third);
  ASSERT_EQ(ImageCache.Nodes.size(), 1u);
  EXPECT_EQ(ImageCache.Nodes.front().References, 3);
  EXPECT_EQ(first, second);
  EXPECT_EQ(second, third);
  EXPECT_EQ(first.Name, "bus.pcx");
  EXPECT_EQ(first.Width, 6);

  CacheRelease(first);
  CacheRelease(second);
  ASSERT_EQ(ImageCache.Nodes.size(), 1u);
  EXPECT_EQ(ImageCache.Nodes.front().References, 1);
  EXPECT_EQ(PixelAt(third, 0, 0), ImageCache.Nodes.front().Image.Pixels[0]);
  CacheRelease(third);
  EXPECT_TRUE(ImageCache.Nodes.empty());
}

TEST_F(ImageCacheTest, NamesAndPackagesAreComparedExactly) {
  TSurface lower, upper, other;
  CacheLoad("bus.pcx", "SPRITES", lower);
  CacheLoad("Bus.pcx", "SPRITES", upper);  // the archive finds both names; the cache does not
  CacheLoad("bus.pcx", "OTHER", other);
  EXPECT_EQ(ImageCache.Nodes.size(), 3u);
  EXPECT_NE(lower.Pixels, upper.Pixels);
  EXPECT_EQ(lower.SizeBytes, upper.SizeBytes);
  EXPECT_EQ(other.Width, 2);
}

TEST_F(ImageCacheTest, ReleasesKeepTheOrderOfTheOthersAndLoadsAppend) {
  TSurface a, b, c, d;
  CacheLoad("a.pcx", "SPRITES", a);
  CacheLoad("b.pcx", "SPRITES", b);
  CacheLoad("c.pcx", "SPRITES", c);
  CacheRelease(b);
  EXPECT_EQ(Order(), (std::vector<std::string>{"a.pcx", "c.pcx"}));
  CacheRelease(c);
  CacheLoad("d.pcx", "SPRITES", d);
  EXPECT_EQ(Order(), (std::vector<std::string>{"a.pcx", "d.pcx"}));
  CacheRelease(a);
  CacheLoad("b.pcx", "SPRITES", b);  // read again after it was freed
  EXPECT_EQ(Order(), (std::vector<std::string>{"d.pcx", "b.pcx"}));
}

TEST_F(ImageCacheTest, ReleasesOfRecordsNoNodeHoldsDoNothing) {
  TSurface kept, gone;
  CacheLoad("a.pcx", "SPRITES", kept);
  CacheLoad("b.pcx", "SPRITES", gone);
  const TSurface copy = gone;
  CacheRelease(gone);
  CacheRelease(copy);  // released again after its node was freed
  TSurface changed = kept;
  changed.Name = "other";
  CacheRelease(changed);
  CacheRelease(TSurface{});
  ASSERT_EQ(ImageCache.Nodes.size(), 1u);
  EXPECT_EQ(ImageCache.Nodes.front().References, 1);
}

TEST_F(ImageCacheTest, FailedLoadLeavesTheCacheAsItWas) {
  TSurface kept, missing;
  CacheLoad("a.pcx", "SPRITES", kept);
  EXPECT_THROW(CacheLoad("missing.pcx", "SPRITES", missing), TProgramExit);
  EXPECT_EQ(Order(), (std::vector<std::string>{"a.pcx"}));
}

TEST_F(ImageCacheTest, DoneFreesEveryPictureWhateverItsCount) {
  TSurface a, b;
  CacheLoad("a.pcx", "SPRITES", a);
  CacheLoad("a.pcx", "SPRITES", a);
  CacheLoad("b.pcx", "SPRITES", b);
  CacheDone();
  EXPECT_TRUE(ImageCache.Nodes.empty());
  CacheRelease(a);  // harmless on the emptied cache
  CacheLoad("a.pcx", "SPRITES", a);
  EXPECT_EQ(ImageCache.Nodes.size(), 1u);
}

}  // namespace
