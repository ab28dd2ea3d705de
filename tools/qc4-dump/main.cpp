// qc4-dump: loads a game or player data file through the game's own loaders and prints it as JSON
// on standard output. Exit status 0 when the file loaded, 1 when the game would refuse it (its
// message and the cause on standard error), 2 for a usage error.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/read_fault.h"
#include "core/record.h"
#include "dump_kind.h"
#include "json_writer.h"
#include "platform/encoding.h"
#include "platform/files.h"

namespace {

void PrintUsage() {
  std::fputs("usage: qc4-dump [--kind KIND] FILE\n       qc4-dump --list-kinds\n", stderr);
  std::fputs("kinds:", stderr);
  for (const cDumpKind& kind : DumpKinds()) std::fprintf(stderr, " %s", kind.name);
  std::fputs("\n", stderr);
}

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A path of this system as given: UTF-8 as it is; bytes that are not UTF-8 (a raw Shift-JIS name)
// are read as CP932, so that the output stays UTF-8.
void WriteHostPath(cJsonWriter& out, const std::string& hostPath) {
  if (IsValidUtf8(hostPath))
    out.Utf8Text(hostPath);
  else
    out.Text(hostPath);
}

// The game's CP932 message in UTF-8. It starts with the file's game path, which is put back as the
// host path given on the command line: a path with characters CP932 lacks would come out garbled.
std::string HostMessage(const std::string& cp932Message, const std::string& gamePath, const std::string& hostPath) {
  if (!IsValidUtf8(hostPath) || !std::string_view(cp932Message).starts_with(gamePath)) return Cp932ToUtf8(cp932Message);
  return hostPath + Cp932ToUtf8(std::string_view(cp932Message).substr(gamePath.size()));
}

}  // namespace

int main(int argc, char** argv) {
  std::string kindName;
  std::string pathArg;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--list-kinds") {
      for (const cDumpKind& kind : DumpKinds()) std::printf("%s\n", kind.name);
      return 0;
    }
    if (arg == "--kind" && i + 1 < argc) {
      kindName = argv[++i];
    } else if (arg.starts_with("--kind=")) {
      kindName = std::string(arg.substr(7));
    } else if (arg == "--help" || arg == "-h") {
      PrintUsage();
      return 0;
    } else if (pathArg.empty() && !arg.starts_with("--")) {
      pathArg = std::string(arg);
    } else {
      PrintUsage();
      return 2;
    }
  }
  if (pathArg.empty()) {
    PrintUsage();
    return 2;
  }

  const cDumpKind* kind = kindName.empty() ? FindDumpKindForFile(FileNameOf(pathArg)) : FindDumpKindByName(kindName);
  if (!kind) {
    if (kindName.empty())
      std::fprintf(stderr, "qc4-dump: %s: the kind of file is not known by its name; give one with --kind\n",
                   pathArg.c_str());
    else
      std::fprintf(stderr, "qc4-dump: unknown kind \"%s\"\n", kindName.c_str());
    PrintUsage();
    return 2;
  }

  // As at start-up: the data version written and accepted, CRs stripped from loaded texts.
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  g_bFileTooNew = 0;

  // The game names files in CP932, while a command-line path is this system's own (UTF-8). A path
  // CP932 can spell is given to the loaders in CP932; one with characters CP932 lacks ("café") keeps
  // its bytes, which the file layer finds on disk as they are.
  std::string path;
  if (!GamePathFromHost(pathArg, path)) path = pathArg;

  cJsonWriter out;
  out.BeginObject();
  out.Key("kind");
  out.Utf8Text(kind->name);
  out.Key("file");
  WriteHostPath(out, pathArg);
  std::string error;
  const bool loaded = kind->dump(path, out, error);
  out.EndObject();
  std::fwrite(out.Result().data(), 1, out.Result().size(), stdout);
  std::fflush(stdout);
  if (!loaded) {
    // The game's own message, then why the file was refused (the path is in the message already).
    std::fprintf(stderr, "%s\n", HostMessage(error, path, pathArg).c_str());
    const std::string why = DescribeReadFault(LastReadFault());
    if (!why.empty()) std::fprintf(stderr, "qc4-dump: %s\n", why.c_str());
    return 1;
  }
  return 0;
}
