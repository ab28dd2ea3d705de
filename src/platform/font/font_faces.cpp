// Windows face names to installed fonts, through fontconfig.
#include "platform/font/font_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <mutex>

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

bool FamilyMatches(FcPattern* font, const std::string& wanted) {
  const std::string wantedLower = LowerAscii(wanted);
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (LowerAscii(reinterpret_cast<const char*>(family)) == wantedLower) return true;
  }
  return false;
}

// Asks fontconfig for an installed font of exactly this family.
ResolvedFontFile FindFamily(const char* familyName) {
  ResolvedFontFile found;
  if (!FcInit()) return found;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyName));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match != nullptr) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FamilyMatches(match, familyName) && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      found.path = reinterpret_cast<const char*>(file);
      found.faceIndex = index;
      found.family = familyName;
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

ResolvedFontFile ResolveKind(FontFaceKind kind) {
  static std::mutex mutex;
  static std::map<FontFaceKind, ResolvedFontFile> cache;
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = cache.find(kind); it != cache.end()) return it->second;

  ResolvedFontFile file = FindFamily(FontFamilyForKind(kind));
  if (!file.ok() && std::filesystem::exists(KnownFileForKind(kind))) {
    file.path = KnownFileForKind(kind);
    file.family = FontFamilyForKind(kind);
  }
  if (!file.ok() && kind != FontFaceKind::JapaneseFallback) {
    // The face's own family is missing: the Japanese fallback stands in for it.
    file = FindFamily(FontFamilyForKind(FontFaceKind::JapaneseFallback));
    if (!file.ok() && std::filesystem::exists(KnownFileForKind(FontFaceKind::JapaneseFallback))) {
      file.path = KnownFileForKind(FontFaceKind::JapaneseFallback);
      file.family = FontFamilyForKind(FontFaceKind::JapaneseFallback);
    }
  }
  file.kind = kind;
  cache[kind] = file;
  return file;
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
