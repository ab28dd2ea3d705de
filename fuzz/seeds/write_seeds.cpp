// Writes the generated seeds of every fuzz target into FOLDER/<corpus>/<name>, beside which the
// fuzz runs also read the checked-in corpora (fuzz/corpus/<corpus>).
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_targets.h"
#include "seeds/generated_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  int written = 0;
  for (const cFuzzTarget& target : FuzzTargets()) {
    const std::string corpus = target.name;
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / corpus;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const cGeneratedSeed& seed : FuzzSeeds(corpus)) {
      std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], (folder / seed.name).c_str());
        return 1;
      }
      ++written;
    }
  }
  std::printf("%d seeds written to %s\n", written, argv[1]);
  return 0;
}
