#include "shell/environment_report.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>

#include "core/log.h"
#include "media/graphics/display.h"
#include "platform/disk_space.h"
#include "platform/encoding.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"

namespace {
// The software display shows 60 frames a second whatever the desktop runs at.
constexpr int kPresentRefreshRate = 60;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatBounded(kLogBufferSize, fmt, args);
  va_end(args);
  return text;
}

double megabytes(uint64_t bytes) { return static_cast<double>(bytes) / 1048576.0; }

// The system's texts are UTF-8; the report is Shift-JIS.
std::string sjis(const std::string& text) { return Utf8ToCp932(text); }

// Writes the lines as one block at the log's end.
int appendLines(const std::vector<std::string>& lines) {
  std::string block;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) block += '\n';
    block += lines[i];
  }
  return ReportLogPuts(block.c_str());
}
}  // namespace

std::string OsVersionText(const OsInfo& os) {
  std::string text;
  for (const std::string* part : {&os.distribution, &os.kernelName, &os.kernelRelease, &os.machine}) {
    if (part->empty()) continue;
    if (!text.empty()) text += ' ';
    text += *part;
  }
  return text;
}

std::vector<std::string> EnvironmentReportLines(const cEnvironmentFacts& f) {
  std::vector<std::string> lines;
  lines.push_back(format("OS : %s", sjis(OsVersionText(f.os)).c_str()));
  lines.push_back(format("CPU : %s %s %d", sjis(f.cpu.vendor).c_str(), sjis(f.cpu.brand).c_str(),
                         static_cast<int>(f.cpu.clockHz * 0.000001)));
  lines.push_back(format("Mem Total : %.3fMB", megabytes(f.memory.totalBytes)));
  lines.push_back(format("Mem Free : %3.fMB", megabytes(f.memory.availableBytes)));
  lines.push_back(format("Vir Total : %.3fMB", megabytes(f.memory.virtualTotalBytes)));
  lines.push_back(format("Vir Free : %3.fMB", megabytes(f.memory.virtualAvailableBytes)));
  lines.push_back(
      format("HD Free : %3.fMB", megabytes(static_cast<uint64_t>(f.diskFreeBytes < 0 ? 0 : f.diskFreeBytes))));
  lines.push_back(format("Display : (%d,%d)", f.screenWidth, f.screenHeight));
  return lines;
}

std::vector<std::string> DisplayReportLines(const cDisplayFacts& f) {
  std::vector<std::string> lines;
  lines.push_back(f.windowed ? "Mode : Window" : "Mode : Fullscreen");
  lines.push_back(format("Bpp : %d", f.bpp));
  if (!f.direct3d) {
    // Software drawing has no video memory of its own: only the refresh rate has a counterpart.
    lines.push_back(format("RR : %u", static_cast<unsigned>(f.refreshRate)));
    return lines;
  }
  if (f.display.known) {
    SDL_version v;
    SDL_GetVersion(&v);
    std::string system = format("SDL %d.%d.%d", v.major, v.minor, v.patch);
    if (!f.display.videoDriver.empty()) system += " (" + f.display.videoDriver + ")";
    lines.push_back(sjis(system));
  }
  lines.push_back(format("---デバイス%d", 0));
  if (f.display.known) {
    if (!f.display.displayName.empty())
      lines.push_back(format("Description : %s", sjis(f.display.displayName).c_str()));
    if (!f.display.rendererName.empty()) lines.push_back(format("Driver : %s", sjis(f.display.rendererName).c_str()));
  }
  lines.push_back(format("TextureMaxSize : (%d,%d)", f.maxTextureWidth, f.maxTextureHeight));
  if (f.alphaFullscreenFlipOrDiscard) lines.emplace_back("D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD");
  if (f.pow2Textures) lines.emplace_back("D3DPTEXTURECAPS_POW2");
  if (f.squareOnlyTextures) lines.emplace_back("D3DPTEXTURECAPS_SQUAREONLY");
  if (f.dynamicTextures) lines.emplace_back("D3DCAPS2_DYNAMICTEXTURES");
  return lines;
}

cEnvironmentFacts ReadEnvironmentFacts() {
  cEnvironmentFacts f;
  f.os = ReadOsInfo();
  f.cpu = ReadCpuInfo();
  f.memory = ReadMemoryInfo();
  f.diskFreeBytes = GetDiskFreeBytes(nullptr);
  const QcRect desk = DesktopBounds();
  f.screenWidth = desk.Width();
  f.screenHeight = desk.Height();
  return f;
}

cDisplayFacts ReadDisplayFacts() {
  cDisplayFacts f;
  f.windowed = g_Windowed;
  f.bpp = g_nDisplayBpp;
  f.direct3d = lpDTCon != nullptr;
  f.display = ReadDisplayInfo();
  f.refreshRate = kPresentRefreshRate;
  if (lpDTCon) {
    const gfx::DeviceCaps& caps = lpDTCon->caps;
    f.maxTextureWidth = caps.maxTextureWidth;
    f.maxTextureHeight = caps.maxTextureHeight;
    f.alphaFullscreenFlipOrDiscard = caps.alphaFullscreenFlipOrDiscard;
    f.pow2Textures = caps.pow2Textures;
    f.squareOnlyTextures = caps.squareOnlyTextures;
    f.dynamicTextures = caps.dynamicTextures;
  }
  return f;
}

int ReportEnvironment() { return appendLines(EnvironmentReportLines(ReadEnvironmentFacts())); }

int ReportDisplay() { return appendLines(DisplayReportLines(ReadDisplayFacts())); }
