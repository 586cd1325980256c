// Resource names: the text-value syntax, the dispatch between disk files and packages, and
// text resources loaded whole.
#include "res/resource.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "res/file_load.h"
#include "res/packfile.h"
#include "res/res_helpers.h"

namespace {

class ResourceTest : public TResFixture {
 protected:
  std::string Load(const std::string& file, const std::string& package) {
    TFileBlock block;
    block.Size = LoadResource(file, package, block.Data);
    return std::string(reinterpret_cast<const char*>(block.Data), block.Size);
  }
};

TEST_F(ResourceTest, TextValuesSplitAtTheFirstAt) {
  using Ref = TResourceRef;
  EXPECT_EQ(ParseTextValue("&intro_f1.txt@TEXTS"), (Ref{"intro_f1.txt", "TEXTS"}));
  EXPECT_EQ(ParseTextValue("&readme.txt"), (Ref{"readme.txt", ""}));
  EXPECT_EQ(ParseTextValue("&readme.txt@"), (Ref{"readme.txt", ""}));
  EXPECT_EQ(ParseTextValue("&a@b@d"), (Ref{"a", "b@d"}));
  EXPECT_EQ(ParseTextValue("&x@T"), (Ref{"x", "T"}));
  EXPECT_EQ(ParseTextValue("&@TEXTS"), (Ref{"", "TEXTS"}));
  EXPECT_EQ(ParseTextValue("&"), (Ref{"", ""}));
  EXPECT_EQ(ParseTextValue("Hello"), std::nullopt);
  EXPECT_EQ(ParseTextValue(""), std::nullopt);
  EXPECT_EQ(ParseTextValue(" &a@b"), std::nullopt);
}

TEST_F(ResourceTest, EmptyPackageMeansADiskFileElseASubFile) {
  WriteData("readme.txt", "disk");
  TArchiveWriter().Add("readme.txt", "packed").WriteTo(Dir + "/TEXTS.MPK");
  TArchiveWriter().Add("a", "from b@d").WriteTo(Dir + "/b@d.MPK");
  TArchiveWriter().Add("x", "from T").WriteTo(Dir + "/T.MPK");
  EXPECT_EQ(Load("readme.txt", ""), "disk");
  EXPECT_EQ(Load("readme.txt", "TEXTS"), "packed");
  EXPECT_EQ(LoadTextValue("&readme.txt"), "disk");
  EXPECT_EQ(LoadTextValue("&readme.txt@"), "disk");
  EXPECT_EQ(LoadTextValue("&readme.txt@TEXTS"), "packed");
  EXPECT_EQ(LoadTextValue("&a@b@d"), "from b@d");
  EXPECT_EQ(LoadTextValue("&x@T"), "from T");
  EXPECT_EQ(LoadTextValue("Hello"), "Hello");
  EXPECT_EQ(LoadTextValue(""), "");
}

TEST_F(ResourceTest, EmptyFileNameInAPackageIsNeverFound) {
  TArchiveWriter().Add("hint.txt", "h").WriteTo(Dir + "/TEXTS.MPK");
  EXPECT_THROW(LoadTextValue("&@TEXTS"), TProgramExit);
  EXPECT_NE(LastBox().Text.find("open sub file \"\" of main file \"TEXTS\""), std::string::npos);
}

TEST_F(ResourceTest, LongTextResourcesLoadWhole) {
  std::string text;
  while (text.size() < 70000)
    text += "Line of a long story, with CR LF ends.\r\n";
  TArchiveWriter().Add("story.txt", text).WriteTo(Dir + "/TEXTS.MPK");
  EXPECT_EQ(LoadTextValue("&story.txt@TEXTS"), text);
}

TEST_F(ResourceTest, LowerCasePackageDoesNotFindTheResidentSlot) {
  TArchiveWriter().Add("bus.pcx", "bus").WriteTo(Dir + "/SPRITES.MPK");
  TArchiveWriter().Add("bus.pcx", "other").WriteTo(Dir + "/sprites.MPK");
  ASSERT_EQ(PackfileOpenResident("SPRITES"), 1);
  EXPECT_EQ(Load("bus.pcx", "sprites"), "other");  // opened in a second slot, then closed
  EXPECT_EQ(PackfileObject(2), nullptr);
  EXPECT_EQ(Load("bus.pcx", "SPRITES"), "bus");
}

}  // namespace
