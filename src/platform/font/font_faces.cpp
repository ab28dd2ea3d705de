// Windows face names to installed fonts, through fontconfig.
#include "platform/font/font_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/font/cp932_chars.h"

namespace {

// Latin face names (lower case) and the style they have; a name matches when it starts with the
// entry, so "arial" covers "Arial CE", "Arial Black", "Arial Narrow".
struct LatinFace {
  const char* prefix;
  FontFaceKind kind;
};
constexpr LatinFace kLatinFaces[] = {
    {"courier", FontFaceKind::LatinMono},
    {"lucida console", FontFaceKind::LatinMono},
    {"fixedsys", FontFaceKind::LatinMono},
    {"terminal", FontFaceKind::LatinMono},
    {"ocrb", FontFaceKind::LatinMono},
    {"times new roman", FontFaceKind::LatinSerif},
    {"georgia", FontFaceKind::LatinSerif},
    {"ms serif", FontFaceKind::LatinSerif},
    {"roman", FontFaceKind::LatinSerif},
    {"book antiqua", FontFaceKind::LatinSerif},
    {"bookman", FontFaceKind::LatinSerif},
    {"century gothic", FontFaceKind::LatinSans},
    {"century", FontFaceKind::LatinSerif},
    {"garamond", FontFaceKind::LatinSerif},
    {"palatino", FontFaceKind::LatinSerif},
    {"sylfaen", FontFaceKind::LatinSerif},
    {"system", FontFaceKind::LatinSans},
    {"script", FontFaceKind::LatinSans},
    {"modern", FontFaceKind::LatinSans},
    {"small fonts", FontFaceKind::LatinSans},
    {"wst_", FontFaceKind::LatinSans},
    {"ms sans serif", FontFaceKind::LatinSans},
    {"microsoft sans serif", FontFaceKind::LatinSans},
    {"arial", FontFaceKind::LatinSans},
    {"lucida sans", FontFaceKind::LatinSans},
    {"verdana", FontFaceKind::LatinSans},
    {"comic sans", FontFaceKind::LatinSans},
    {"impact", FontFaceKind::LatinSans},
    {"franklin gothic", FontFaceKind::LatinSans},
    {"tahoma", FontFaceKind::LatinSans},
    {"trebuchet", FontFaceKind::LatinSans},
    {"marlett", FontFaceKind::LatinSans},
    {"wingdings", FontFaceKind::LatinSans},
    {"webdings", FontFaceKind::LatinSans},
    {"symbol", FontFaceKind::LatinSans},
    {"mt extra", FontFaceKind::LatinSans},
    {"ms outlook", FontFaceKind::LatinSans},
    {"inmusicsym", FontFaceKind::LatinSans},
    {"sydnie", FontFaceKind::LatinSans},
};

bool Contains(const std::u32string& text, std::u32string_view part) { return text.find(part) != std::u32string::npos; }
bool StartsWith(const std::u32string& text, std::u32string_view part) {
  return text.compare(0, part.size(), part) == 0;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Last-resort file locations of the Debian packages, should fontconfig find nothing.
const char* KnownFileForKind(FontFaceKind kind) {
  switch (kind) {
    case FontFaceKind::ProportionalGothic: return "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
    case FontFaceKind::FixedMincho: return "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";
    case FontFaceKind::ProportionalMincho: return "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf";
    case FontFaceKind::LatinSans: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case FontFaceKind::LatinSerif: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    case FontFaceKind::LatinMono: return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    case FontFaceKind::FixedGothic:
    case FontFaceKind::JapaneseFallback: return "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  }
  return "";
}

constexpr FontFaceKind kKinds[] = {FontFaceKind::FixedGothic, FontFaceKind::ProportionalGothic,
                                   FontFaceKind::FixedMincho, FontFaceKind::ProportionalMincho,
                                   FontFaceKind::LatinSans,   FontFaceKind::LatinSerif,
                                   FontFaceKind::LatinMono,   FontFaceKind::JapaneseFallback};
constexpr size_t kKindCount = std::size(kKinds);

// One installed face of a wanted family, and how far it is from an upright face of regular weight
// and width (what a font of that family is asked for).
struct FamilyFace {
  ResolvedFontFile file;
  int distance = 0;
};

// The best installed face of each wanted family (lower-case name), found in one fontconfig query.
std::map<std::string, ResolvedFontFile> FindFamilies(const std::vector<std::string>& families) {
  std::map<std::string, FamilyFace> best;
  if (!FcInit()) return {};
  FcPattern* pattern = FcPatternCreate();
  for (const std::string& family : families)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  for (int f = 0; fonts != nullptr && f < fonts->nfont; ++f) {
    FcPattern* font = fonts->fonts[f];
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    FcPatternGetInteger(font, FC_WIDTH, 0, &width);
    const int distance = (slant != FC_SLANT_ROMAN ? 1000000 : 0) + std::abs(weight - FC_WEIGHT_REGULAR) * 1000 +
                         std::abs(width - FC_WIDTH_NORMAL);
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      const std::string lower = LowerAscii(reinterpret_cast<const char*>(name));
      if (std::find(families.begin(), families.end(), lower) == families.end()) continue;
      const std::string path = reinterpret_cast<const char*>(file);
      auto it = best.find(lower);
      // Equally close faces: the first file by name, so that every run picks the same one.
      if (it != best.end() &&
          (it->second.distance < distance || (it->second.distance == distance && it->second.file.path <= path)))
        continue;
      FamilyFace& face = best[lower];
      face.file.path = path;
      face.file.faceIndex = index;
      face.distance = distance;
    }
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  std::map<std::string, ResolvedFontFile> found;
  for (auto& [family, face] : best) found[family] = face.file;
  return found;
}

// The file of every kind of face: fontconfig's best face of the kind's family, else the package's
// file when it exists, else (for every kind but the fallback itself) the Japanese fallback's.
using FaceTable = std::array<ResolvedFontFile, kKindCount>;

FaceTable BuildFaceTable() {
  std::vector<std::string> families;
  for (FontFaceKind kind : kKinds) {
    const std::string lower = LowerAscii(FontFamilyForKind(kind));
    if (std::find(families.begin(), families.end(), lower) == families.end()) families.push_back(lower);
  }
  const std::map<std::string, ResolvedFontFile> installed = FindFamilies(families);
  auto own = [&](FontFaceKind kind) {
    ResolvedFontFile file;
    if (auto it = installed.find(LowerAscii(FontFamilyForKind(kind))); it != installed.end()) file = it->second;
    if (!file.ok() && std::filesystem::exists(KnownFileForKind(kind))) file.path = KnownFileForKind(kind);
    if (file.ok()) file.family = FontFamilyForKind(kind);
    return file;
  };
  const ResolvedFontFile fallback = own(FontFaceKind::JapaneseFallback);
  FaceTable table;
  for (size_t i = 0; i < kKindCount; ++i) {
    ResolvedFontFile file = own(kKinds[i]);
    if (!file.ok()) file = fallback;  // the face's own family is missing
    file.kind = kKinds[i];
    table[i] = file;
  }
  return table;
}

// The table is built once, on a thread of its own from the first request on, so that start-up can
// ask for it early and carry on while fontconfig reads its configuration.
struct FaceLookup {
  std::once_flag started;
  std::shared_future<FaceTable> table;
};

FaceLookup& Lookup() {
  static FaceLookup lookup;
  return lookup;
}

FaceLookup& StartLookup() {
  FaceLookup& lookup = Lookup();
  std::call_once(lookup.started, [&] { lookup.table = std::async(std::launch::async, BuildFaceTable).share(); });
  return lookup;
}

const FaceTable& Faces() { return StartLookup().table.get(); }

ResolvedFontFile ResolveKind(FontFaceKind kind) {
  for (size_t i = 0; i < kKindCount; ++i)
    if (kKinds[i] == kind) return Faces()[i];
  return Faces()[kKindCount - 1];
}

}  // namespace

FontFaceKind ClassifyFontFace(std::string_view faceCp932) {
  const std::string lower = LowerAscii(faceCp932);
  // Japanese faces first: "MS UI Gothic" and the MS faces spelt in Latin letters.
  if (lower == "ms ui gothic" || lower == "ms pgothic") return FontFaceKind::ProportionalGothic;
  if (lower == "ms gothic") return FontFaceKind::FixedGothic;
  if (lower == "ms mincho") return FontFaceKind::FixedMincho;
  if (lower == "ms pmincho") return FontFaceKind::ProportionalMincho;

  const std::u32string name = Cp932ToUtf32(faceCp932);
  // "Ｐ" (full-width P) in the MS names and the HGP / HGS families mark proportional faces.
  const bool proportional = Contains(name, U"\uFF30") || StartsWith(name, U"HGP") || StartsWith(name, U"HGS");
  const bool gothic = Contains(name, U"ゴシック") || Contains(name, U"ｺﾞｼｯｸ");
  const bool mincho = Contains(name, U"明朝");
  if (gothic) return proportional ? FontFaceKind::ProportionalGothic : FontFaceKind::FixedGothic;
  if (mincho) return proportional ? FontFaceKind::ProportionalMincho : FontFaceKind::FixedMincho;
  if (name == U"メイリオ") return FontFaceKind::ProportionalGothic;

  for (const LatinFace& face : kLatinFaces) {
    if (lower.compare(0, std::char_traits<char>::length(face.prefix), face.prefix) == 0) return face.kind;
  }
  return FontFaceKind::JapaneseFallback;
}

const char* FontFamilyForKind(FontFaceKind kind) {
  switch (kind) {
    case FontFaceKind::FixedGothic: return "IPAGothic";
    case FontFaceKind::ProportionalGothic: return "IPAPGothic";
    case FontFaceKind::FixedMincho: return "IPAMincho";
    case FontFaceKind::ProportionalMincho: return "IPAPMincho";
    case FontFaceKind::LatinSans: return "DejaVu Sans";
    case FontFaceKind::LatinSerif: return "DejaVu Serif";
    case FontFaceKind::LatinMono: return "DejaVu Sans Mono";
    case FontFaceKind::JapaneseFallback: return "IPAGothic";
  }
  return "IPAGothic";
}

ResolvedFontFile ResolveFontFace(std::string_view faceCp932) { return ResolveKind(ClassifyFontFace(faceCp932)); }

ResolvedFontFile ResolveJapaneseFallback() { return ResolveKind(FontFaceKind::JapaneseFallback); }

void PrepareFontFaces() { StartLookup(); }
