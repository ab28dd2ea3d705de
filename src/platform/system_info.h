#pragma once
// What the machine is, for the environment report: the operating system (kernel from uname, the
// distribution from os-release), the processor and the memory (from /proc), and the display and
// the renderer (from SDL). Texts are as the system gives them (UTF-8); every reading that fails
// leaves its value empty or 0.
#include <cstdint>
#include <string>
#include <string_view>

struct OsInfo {
  std::string distribution;  // os-release PRETTY_NAME, else NAME and VERSION; empty when unknown
  std::string kernelName;    // uname: sysname, release, version, machine
  std::string kernelRelease;
  std::string kernelVersion;
  std::string machine;
};

struct CpuInfo {
  std::string vendor;  // vendor_id (or the architecture's own field); empty when unknown
  std::string brand;   // model name; empty when unknown
  double clockHz = 0;  // the clock the system reports for the first processor; 0 when unknown
  int count = 0;       // processors listed
};

struct MemoryInfo {
  uint64_t totalBytes = 0;             // physical memory
  uint64_t availableBytes = 0;         // physical memory available to new work
  uint64_t virtualTotalBytes = 0;      // the process's address space
  uint64_t virtualAvailableBytes = 0;  // what the process has not mapped of it
};

struct DisplayInfo {
  bool known = false;        // false: no video system to ask (the headless run)
  std::string videoDriver;   // the video driver in use
  std::string displayName;   // the first display's name
  int refreshRate = 0;       // the desktop's refresh rate in Hz; 0 when unknown
  std::string rendererName;  // the accelerated renderer the video driver offers; empty when none
  int maxTextureWidth = 0;   // that renderer's largest texture
  int maxTextureHeight = 0;
};

// Parsers of the files' texts, kept apart from the reading so that any text can be checked.
std::string ParseOsReleaseName(std::string_view text);
CpuInfo ParseCpuInfo(std::string_view text);
MemoryInfo ParseMemInfo(std::string_view text);
// VmSize of /proc/self/status, in bytes; 0 when absent.
uint64_t ParseProcessVirtualSize(std::string_view text);

OsInfo ReadOsInfo();
CpuInfo ReadCpuInfo();
MemoryInfo ReadMemoryInfo();
// Asks SDL; known stays false when its video system is not running.
DisplayInfo ReadDisplayInfo();
