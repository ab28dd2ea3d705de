#include "platform/system_info.h"

#include <SDL.h>
#include <sys/resource.h>
#include <sys/utsname.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {
// A small system file whole; empty when it cannot be read. /proc files report no size, so they are
// read to their end with a bound against a file that never ends.
std::string readSmallFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text;
  char buffer[4096];
  constexpr size_t kLimit = 1 << 20;
  while (text.size() < kLimit && in.read(buffer, sizeof buffer).gcount() > 0)
    text.append(buffer, static_cast<size_t>(in.gcount()));
  return text;
}

std::string_view trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

// Calls line(text) for each line of text.
template <class Fn>
void forEachLine(std::string_view text, Fn line) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    line(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// "key<sep>value" split at the first sep, both trimmed; false without sep.
bool splitField(std::string_view line, char sep, std::string_view& key, std::string_view& value) {
  const size_t at = line.find(sep);
  if (at == std::string_view::npos) return false;
  key = trim(line.substr(0, at));
  value = trim(line.substr(at + 1));
  return true;
}

// An os-release value: quoted with " or ', backslash escapes inside double quotes; plain otherwise.
std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    const char quote = v.front();
    v = v.substr(1, v.size() - 2);
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
      if (quote == '"' && v[i] == '\\' && i + 1 < v.size()) ++i;
      out.push_back(v[i]);
    }
    return out;
  }
  return std::string(v);
}

// Leading unsigned decimal digits of s; 0 without any (or beyond 64 bits).
uint64_t leadingNumber(std::string_view s) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  (void)end;
  return error == std::errc() ? value : 0;
}

// A "NNN kB" value of /proc in bytes; 0 when malformed or too large.
uint64_t kilobytes(std::string_view value) {
  const uint64_t kb = leadingNumber(value);
  return kb > UINT64_MAX / 1024 ? 0 : kb * 1024;
}
}  // namespace

std::string ParseOsReleaseName(std::string_view text) {
  std::string pretty, name, version;
  forEachLine(text, [&](std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() == '#') return;
    std::string_view key, value;
    if (!splitField(line, '=', key, value)) return;
    if (key == "PRETTY_NAME") pretty = unquote(value);
    if (key == "NAME") name = unquote(value);
    if (key == "VERSION") version = unquote(value);
  });
  if (!pretty.empty()) return pretty;
  if (!version.empty() && !name.empty()) return name + " " + version;
  return name;
}

CpuInfo ParseCpuInfo(std::string_view text) {
  CpuInfo info;
  bool firstDone = false;  // the vendor, brand and clock are the first processor's
  forEachLine(text, [&](std::string_view line) {
    std::string_view key, value;
    if (!splitField(line, ':', key, value)) return;
    if (key == "processor") {
      if (info.count > 0) firstDone = true;
      ++info.count;
      return;
    }
    if (firstDone) return;
    if ((key == "vendor_id" || key == "CPU implementer") && info.vendor.empty()) info.vendor = value;
    if ((key == "model name" || key == "Processor" || key == "cpu model") && info.brand.empty()) info.brand = value;
    if (key == "cpu MHz" && info.clockHz == 0) {
      double mhz = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), mhz);
      (void)end;
      if (error == std::errc() && mhz > 0 && mhz < 1e7) info.clockHz = mhz * 1e6;
    }
  });
  return info;
}

MemoryInfo ParseMemInfo(std::string_view text) {
  MemoryInfo info;
  uint64_t freeBytes = 0;
  bool haveAvailable = false;
  forEachLine(text, [&](std::string_view line) {
    std::string_view key, value;
    if (!splitField(line, ':', key, value)) return;
    if (key == "MemTotal") info.totalBytes = kilobytes(value);
    if (key == "MemFree") freeBytes = kilobytes(value);
    if (key == "MemAvailable") {
      info.availableBytes = kilobytes(value);
      haveAvailable = true;
    }
  });
  // Kernels before 3.14 have no MemAvailable: the free memory is the nearest figure.
  if (!haveAvailable) info.availableBytes = freeBytes;
  return info;
}

uint64_t ParseProcessVirtualSize(std::string_view text) {
  uint64_t size = 0;
  forEachLine(text, [&](std::string_view line) {
    std::string_view key, value;
    if (splitField(line, ':', key, value) && key == "VmSize") size = kilobytes(value);
  });
  return size;
}

OsInfo ReadOsInfo() {
  OsInfo info;
  std::string release = readSmallFile("/etc/os-release");
  if (release.empty()) release = readSmallFile("/usr/lib/os-release");
  info.distribution = ParseOsReleaseName(release);
  struct utsname names {};
  if (::uname(&names) == 0) {
    info.kernelName = names.sysname;
    info.kernelRelease = names.release;
    info.kernelVersion = names.version;
    info.machine = names.machine;
  }
  return info;
}

CpuInfo ReadCpuInfo() { return ParseCpuInfo(readSmallFile("/proc/cpuinfo")); }

MemoryInfo ReadMemoryInfo() {
  MemoryInfo info = ParseMemInfo(readSmallFile("/proc/meminfo"));
  // The address space a process may use: its limit when one is set, else the user half of the
  // pointer width the system gives processes (47 bits on 64-bit systems).
  struct rlimit limit {};
  uint64_t space = sizeof(void*) >= 8 ? (uint64_t{1} << 47) : (uint64_t{1} << 31);
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < space)
    space = limit.rlim_cur;
  const uint64_t used = ParseProcessVirtualSize(readSmallFile("/proc/self/status"));
  info.virtualTotalBytes = space;
  info.virtualAvailableBytes = used < space ? space - used : 0;
  return info;
}

DisplayInfo ReadDisplayInfo() {
  DisplayInfo info;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return info;
  info.known = true;
  if (const char* driver = SDL_GetCurrentVideoDriver()) info.videoDriver = driver;
  if (const char* name = SDL_GetDisplayName(0)) info.displayName = name;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) info.refreshRate = mode.refresh_rate;
  // The renderers the video driver offers, without making one: the first accelerated one is what a
  // hardware path would use.
  const int count = SDL_GetNumRenderDrivers();
  for (int i = 0; i < count; ++i) {
    SDL_RendererInfo r;
    if (SDL_GetRenderDriverInfo(i, &r) != 0 || !(r.flags & SDL_RENDERER_ACCELERATED)) continue;
    info.rendererName = r.name ? r.name : "";
    info.maxTextureWidth = r.max_texture_width;
    info.maxTextureHeight = r.max_texture_height;
    break;
  }
  return info;
}
