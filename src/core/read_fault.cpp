#include "core/read_fault.h"

#include <cstring>
#include <string>

#include "core/log.h"

namespace {
template <class T>
std::string Number(T n) {
  return std::to_string(n);
}

// "1 byte", "2 bytes"
template <class T>
std::string Count(T n, const char* noun) {
  return Number(n) + " " + noun + (n == 1 ? "" : "s");
}

// "at byte 12 of 40"
std::string Where(const cReadFault& fault) {
  return "at byte " + Number(fault.offset) + " of " + Number(fault.fileSize);
}

// The bytes after the value or read that was refused.
uint64_t LeftAfter(const cReadFault& fault, size_t valueBytes) {
  const uint64_t end = uint64_t{fault.offset} + valueBytes;
  return end < fault.fileSize ? fault.fileSize - end : 0;
}
}  // namespace

std::string DescribeReadFault(const cReadFault& fault) {
  switch (fault.kind) {
    case eReadFault::None: return "";
    case eReadFault::Missing: return std::string("missing (") + std::strerror(fault.error) + ")";
    case eReadFault::Unreadable: return std::string("not readable (") + std::strerror(fault.error) + ")";
    case eReadFault::TooLarge:
      return "too large: a data file holds at most " + Number(kMaxDataFileBytes >> 20) + " MiB (" +
             std::strerror(fault.error) + ")";
    case eReadFault::NoHeader:
      return "cut short: " + Count(fault.fileSize, "byte") + ", too few for the 4-byte version header";
    case eReadFault::TooNew:
      return "too new: version " + Number(fault.value) + ", this program reads versions up to " +
             Number(g_nDataVersion);
    case eReadFault::CutShort:
      return "cut short: " + Count(fault.value, "byte") + " needed " + Where(fault) + ", " +
             Number(fault.fileSize - fault.offset) + " left";
    case eReadFault::CountPastEnd:
      return "a count past the file: " + Count(fault.value, "element") + " " + Where(fault) + ", only " +
             Count(LeftAfter(fault, 4), "byte") + " left";
    case eReadFault::LengthPastEnd:
      return "a length past the file: a text of " + Count(fault.value, "byte") + " " + Where(fault) + ", only " +
             Count(LeftAfter(fault, 4), "byte") + " left";
    case eReadFault::TooManyElements:
      return "too many elements for a file of " + Count(fault.fileSize, "byte") + " (" + Where(fault) + ")";
    case eReadFault::BadValue: return "a value the format does not allow: " + Number(fault.value) + " " + Where(fault);
    case eReadFault::BeyondLimit:
      return "a value beyond what a game file can hold: " + Number(fault.value) + " " + Where(fault);
  }
  return "";
}

void ReportReadFault(const char* path, const cReadFault& fault) {
  const std::string why = DescribeReadFault(fault);
  if (why.empty()) return;
  ReportLogPrintf("%s: %s", path ? path : "", why.c_str());
}
