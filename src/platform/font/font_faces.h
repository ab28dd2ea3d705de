// The Windows font face names a game can choose, mapped onto the fonts installed here.
//
// Fixed-pitch Gothic faces ("ＭＳ ゴシック", HGｺﾞｼｯｸE, ...) map to IPA Gothic, proportional Gothic
// ("ＭＳ Ｐゴシック", "MS UI Gothic", "メイリオ", HGP...) to IPA P Gothic, Mincho faces to IPA Mincho
// (proportional ones to IPA P Mincho), Latin faces to DejaVu (Sans, Serif or Sans Mono after the
// face's style) and any other name to the Japanese fallback, IPA Gothic. Faces are found through
// fontconfig; a font that is not installed falls back along the same chain.
#pragma once

#include <string>
#include <string_view>

enum class FontFaceKind {
  FixedGothic,         // IPA Gothic
  ProportionalGothic,  // IPA P Gothic
  FixedMincho,         // IPA Mincho
  ProportionalMincho,  // IPA P Mincho
  LatinSans,           // DejaVu Sans
  LatinSerif,          // DejaVu Serif
  LatinMono,           // DejaVu Sans Mono
  JapaneseFallback,    // IPA Gothic
};

// The kind of face a Windows face name stands for. `faceCp932` is the name as the game holds it
// (Shift-JIS bytes, e.g. the literal "ＭＳ ゴシック" of this build). Case of Latin names is ignored.
FontFaceKind ClassifyFontFace(std::string_view faceCp932);

// The fontconfig family name used for a kind ("IPAGothic", "DejaVu Sans", ...).
const char* FontFamilyForKind(FontFaceKind kind);

// An installed font file chosen for a face name.
struct ResolvedFontFile {
  std::string path;    // font file on disk; empty when nothing at all was found
  int faceIndex = 0;   // face inside a collection file
  std::string family;  // the family fontconfig matched
  FontFaceKind kind = FontFaceKind::JapaneseFallback;
  bool ok() const { return !path.empty(); }
};

// Finds the file for a face name (safe from any thread). The installed faces of every kind are
// looked up once, in one fontconfig query, on the first call (or from PrepareFontFaces on).
ResolvedFontFile ResolveFontFace(std::string_view faceCp932);

// Starts looking up the installed faces on a thread of their own and returns at once, so that
// start-up can go on while fontconfig reads its configuration.
void PrepareFontFaces();

// The file of the Japanese fallback face, used for characters the chosen face lacks.
ResolvedFontFile ResolveJapaneseFallback();
