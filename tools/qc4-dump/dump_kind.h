// The kinds of file the dump knows. Each kind lives in its own file and registers itself with one
// line:
//
//   QC4_DUMP_KIND(WorldMap, "WorldMap.dat",
//                 [](std::string_view f) { return SameFileName(f, "WorldMap.dat"); }, DumpWorldMap);
//
// where the matcher gets the file's name without its folder and the dump function loads the file
// through the game's own loader and writes the members of the output object ("version", "loaded"
// and the records). The dump function returns true when the file loaded; otherwise it sets error
// to the game's own message (CP932).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "json_writer.h"

struct cDumpKind {
  const char* name;  // the --kind value
  bool (*matches)(std::string_view fileName);
  bool (*dump)(const std::string& path, cJsonWriter& out, std::string& error);
};

// Every registered kind, in name order.
const std::vector<cDumpKind>& DumpKinds();
// The kind named name (ASCII case ignored), or the first kind whose matcher accepts the file name.
const cDumpKind* FindDumpKindByName(std::string_view name);
const cDumpKind* FindDumpKindForFile(std::string_view fileName);

struct cDumpKindRegistrar {
  explicit cDumpKindRegistrar(const cDumpKind& kind);
};

// QC4_DUMP_KIND(id, name, matcher, dumper): id is any identifier unique among the kinds.
#define QC4_DUMP_KIND(id, ...)                     \
  static const cDumpKindRegistrar g_dumpKind##id { \
    cDumpKind { __VA_ARGS__ }                      \
  }

// File-name helpers for matchers; ASCII case is ignored as on the game's file systems.
bool SameFileName(std::string_view a, std::string_view b);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);
// True for names like "c01-1.stg4_000": the text, "_" and three digits at the end.
bool HasNumberedSuffix(std::string_view fileName, std::string_view ext);
