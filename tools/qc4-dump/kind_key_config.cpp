// "user_data\KeyConfig.dat": the optional key table, 108 raw bytes without a version. A table that
// is switched on but cannot be used (an input record that does not exist, more entries or players
// than the table has) is refused as the game refuses it: the game then plays with its fixed keys.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/load_error.h"
#include "dump_kind.h"
#include "platform/files.h"
#include "shell/input_state.h"
#include "shell/key_config.h"

namespace {

// Why the game would not use the table; "" when it would (or when it is switched off).
std::string WhyUnusable(const KEYCONFIG& config, size_t records) {
  if (!config.bEnabled || IsKeyConfigUsable(config, records)) return "";
  std::string why;
  if (config.nCount > kKeyAssignCount)
    FormatStr(why, "qc4-dump: %d entries, the table has %d", config.nCount, kKeyAssignCount);
  else if (config.nPlayers != 1)
    FormatStr(why, "qc4-dump: %d players, the table serves 1", config.nPlayers);
  else
    for (int i = 0; i < kKeyAssignCount && why.empty(); ++i) {
      const int32_t device = config.aKeys[i].nDevice;
      if (device != kKeyDeviceKeyboard && (device < 0 || static_cast<size_t>(device) >= records))
        FormatStr(why, "qc4-dump: entry %d reads input record %d, there is %d", i, device, static_cast<int>(records));
    }
  return why;
}

bool DumpKeyConfig(const std::string& path, cJsonWriter& out, std::string& error) {
  std::vector<uint8_t> bytes;
  eReadFail fail = eReadFail::None;
  const bool read = ReadWholeFile(path, 1u << 20, bytes, &fail);
  const int readError = errno;
  out.Key("version");
  out.Null();  // the table has no version header
  out.Key("loaded");
  if (!read) {
    out.Bool(false);
    error = LoadErrorText(path.c_str());
    if (fail == eReadFail::TooLarge)
      error += "\nqc4-dump: larger than the 1 MiB the game reads";
    else
      error += std::string("\nqc4-dump: ") + (fail == eReadFail::Missing ? "missing" : "unreadable") + " (" +
               std::strerror(readError) + ")";
    return false;
  }
  KEYCONFIG config;
  ParseKeyConfig(bytes.data(), bytes.size(), config);
  // The game has one input record per player it reads: player 1.
  const std::string why = WhyUnusable(config, g_InputStates.size());
  out.Bool(why.empty());
  out.Key("size");
  out.UInt(bytes.size());
  out.Key("KEYCONFIG");
  out.BeginObject();
  out.Key("aKeys");
  out.BeginArray();
  for (const KEYASSIGN& key : config.aKeys) {
    out.BeginObject();
    out.Key("nDevice");
    out.Int(key.nDevice);
    out.Key("nCode");
    out.Int(key.nCode);
    out.Key("nReserved");
    out.Int(key.nReserved);
    out.EndObject();
  }
  out.EndArray();
  out.Key("nCount");
  out.Int(config.nCount);
  out.Key("nPlayers");
  out.Int(config.nPlayers);
  out.Key("bEnabled");
  out.Int(config.bEnabled);
  out.EndObject();
  if (!why.empty()) {
    FormatStr(error, "%s : キー設定が不正なため、標準のキー設定を使います。(entries %d, players %d)", path.c_str(),
              config.nCount, config.nPlayers);
    error += "\n" + why;
    return false;
  }
  return true;
}

}  // namespace

QC4_DUMP_KIND(
    KeyConfig, "KeyConfig.dat", [](std::string_view f) { return SameFileName(f, "KeyConfig.dat"); }, DumpKeyConfig);
