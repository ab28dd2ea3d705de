// Windows face names to installed fonts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/font/font_faces.h"

namespace {

TEST(FontFaces, WindowsNamesMapToTheRightKindOfFace) {
  struct Case {
    const char* face;
    FontFaceKind kind;
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", FontFaceKind::FixedGothic},
      {"ＭＳ Ｐゴシック", FontFaceKind::ProportionalGothic},
      {"MS UI Gothic", FontFaceKind::ProportionalGothic},
      {"メイリオ", FontFaceKind::ProportionalGothic},
      {"HGｺﾞｼｯｸE", FontFaceKind::FixedGothic},
      {"HGPｺﾞｼｯｸE", FontFaceKind::ProportionalGothic},
      {"HG創英角ｺﾞｼｯｸUB", FontFaceKind::FixedGothic},
      {"ＭＳ 明朝", FontFaceKind::FixedMincho},
      {"ＭＳ Ｐ明朝", FontFaceKind::ProportionalMincho},
      {"HGS明朝E", FontFaceKind::ProportionalMincho},
      {"Arial", FontFaceKind::LatinSans},
      {"arial black", FontFaceKind::LatinSans},
      {"Century Gothic", FontFaceKind::LatinSans},
      {"Franklin Gothic Medium", FontFaceKind::LatinSans},
      {"Century", FontFaceKind::LatinSerif},
      {"Times New Roman CYR", FontFaceKind::LatinSerif},
      {"Courier New", FontFaceKind::LatinMono},
      {"Lucida Console", FontFaceKind::LatinMono},
      {"Gulim", FontFaceKind::JapaneseFallback},
      {"HG創英角ﾎﾟｯﾌﾟ体", FontFaceKind::JapaneseFallback},
      {"", FontFaceKind::JapaneseFallback},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    EXPECT_EQ(ClassifyFontFace(c.face), c.kind);
  }
}

TEST(FontFaces, TheGameFacesResolveToInstalledFiles) {
  struct Case {
    const char* face;
    const char* family;
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"Arial", "DejaVu Sans"},       {"SimSun", "IPAGothic"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    const ResolvedFontFile file = ResolveFontFace(c.face);
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(std::filesystem::exists(file.path));
    EXPECT_EQ(file.family, c.family);
    // Of a family's faces the upright one of regular weight and width is taken.
    const std::string name = std::filesystem::path(file.path).filename().string();
    for (const char* style : {"Bold", "Oblique", "Italic", "Condensed", "Light"})
      EXPECT_EQ(name.find(style), std::string::npos) << name;
  }
  // Asked again (from another thread as well), the answer is the same file.
  std::string again;
  std::thread([&] { again = ResolveFontFace("Arial").path; }).join();
  EXPECT_EQ(again, ResolveFontFace("Arial").path);
}

}  // namespace
