// The system facts of the environment report, read from the texts of os-release, /proc/cpuinfo,
// /proc/meminfo and /proc/self/status as this system writes them, and from the machine itself.
#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SystemInfo, DistributionNameFromOsRelease) {
  struct Case {
    const char* text;
    const char* name;
  };
  const Case cases[] = {
      {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n",
       "Debian GNU/Linux 12 (bookworm)"},
      // Without a pretty name: the name and the version.
      {"NAME=Fedora\nVERSION=\"39 (Workstation Edition)\"\n", "Fedora 39 (Workstation Edition)"},
      {"NAME='Arch Linux'\n", "Arch Linux"},
      // Comments, blank lines, spaces around the line, escapes inside double quotes.
      {"# a comment\n\n  PRETTY_NAME=\"Say \\\"hi\\\" OS\"  \r\n", "Say \"hi\" OS"},
      {"ID=unknown\n", ""},
      {"", ""},
      // A line without "=" or a lone quote does not throw the reader off.
      {"garbage\nPRETTY_NAME=\"\nNAME=X\n", "\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseOsReleaseName(c.text), c.name);
  }
}

TEST(SystemInfo, ProcessorOfTheFirstEntryAndTheCount) {
  const char* text =
      "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel name\t: Intel(R) Xeon(R) Processor\n"
      "cpu MHz\t\t: 2599.998\nflags\t\t: fpu sse sse2\n\n"
      "processor\t: 1\nvendor_id\t: OtherVendor\nmodel name\t: Other\ncpu MHz\t\t: 800.000\n\n";
  const CpuInfo cpu = ParseCpuInfo(text);
  EXPECT_EQ(cpu.vendor, "GenuineIntel");
  EXPECT_EQ(cpu.brand, "Intel(R) Xeon(R) Processor");
  EXPECT_DOUBLE_EQ(cpu.clockHz, 2599.998e6);
  EXPECT_EQ(cpu.count, 2);
}

TEST(SystemInfo, ProcessorWithoutNameOrClockLeavesThemEmpty) {
  // A processor that names neither its brand nor its clock, and a clock that is not a number.
  CpuInfo cpu = ParseCpuInfo("processor : 0\nvendor_id : AuthenticAMD\n");
  EXPECT_EQ(cpu.vendor, "AuthenticAMD");
  EXPECT_EQ(cpu.brand, "");
  EXPECT_EQ(cpu.clockHz, 0);
  cpu = ParseCpuInfo("processor : 0\ncpu MHz : fast\n");
  EXPECT_EQ(cpu.clockHz, 0);
  cpu = ParseCpuInfo("");
  EXPECT_EQ(cpu.count, 0);
  EXPECT_EQ(cpu.vendor, "");
}

TEST(SystemInfo, MemoryInBytes) {
  MemoryInfo memory = ParseMemInfo(
      "MemTotal:       24682292 kB\nMemFree:        15447028 kB\n"
      "MemAvailable:   18245528 kB\nBuffers:          174044 kB\n");
  EXPECT_EQ(memory.totalBytes, 24682292ull * 1024);
  EXPECT_EQ(memory.availableBytes, 18245528ull * 1024);
  // Older kernels have no MemAvailable: the free memory stands in.
  memory = ParseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
  EXPECT_EQ(memory.availableBytes, 1024ull * 1024);
  // Damaged values read as 0, never as a wrapped huge number.
  memory = ParseMemInfo("MemTotal: 99999999999999999999999 kB\nMemFree: -5 kB\n");
  EXPECT_EQ(memory.totalBytes, 0u);
  EXPECT_EQ(memory.availableBytes, 0u);
}

TEST(SystemInfo, ProcessVirtualSize) {
  EXPECT_EQ(ParseProcessVirtualSize("Name:\tqc4\nVmPeak:\t  5000 kB\nVmSize:\t    3892 kB\n"), 3892ull * 1024);
  EXPECT_EQ(ParseProcessVirtualSize("Name:\tkthread\n"), 0u);
}

// This machine: a Linux kernel with its release, memory that adds up, a processor.
TEST(SystemInfo, ThisMachine) {
  const OsInfo os = ReadOsInfo();
  EXPECT_EQ(os.kernelName, "Linux");
  EXPECT_FALSE(os.kernelRelease.empty());
  EXPECT_FALSE(os.machine.empty());
  const MemoryInfo memory = ReadMemoryInfo();
  EXPECT_GT(memory.totalBytes, 0u);
  EXPECT_LE(memory.availableBytes, memory.totalBytes);
  EXPECT_GT(memory.virtualTotalBytes, 0u);
  EXPECT_LE(memory.virtualAvailableBytes, memory.virtualTotalBytes);
  EXPECT_GE(ReadCpuInfo().count, 1);
}

}  // namespace
