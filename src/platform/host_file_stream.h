#pragma once
// A file of this system (a path given on the command line) written piece by piece as a run goes
// on, and still replaced all or nothing: the pieces go to a temporary file beside the target as they
// come (nothing is kept in memory), and only Commit renames it over the target. Until then an older
// file at the path stays as it was; a stream dropped without Commit removes its temporary file.
//
// Opening is the check that the file can be written at all: the folder exists and takes a new file,
// and the target is no folder. Each failure keeps the system's reason (strerror).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class HostFileStream {
 public:
  HostFileStream() = default;
  HostFileStream(const HostFileStream&) = delete;
  HostFileStream& operator=(const HostFileStream&) = delete;
  ~HostFileStream();

  // Starts a new file for hostPath (a path of this system as it stands); false with the reason.
  bool Open(const std::string& hostPath);
  bool IsOpen() const { return m_lpFile != nullptr; }
  // Appends bytes; each call reaches the file before it returns. A failure is kept for Commit.
  void Write(const char* data, size_t size);
  void Write(const std::string& text) { Write(text.data(), text.size()); }
  // Overwrites bytes already written at offset (a header whose sizes are known only at the end);
  // later Writes still append. A failure is kept for Commit.
  void WriteAt(uint64_t offset, const char* data, size_t size);
  // Flushes the pieces to the disk and renames the temporary file over the target; false with the
  // reason when a write or the replacement failed (the target then stays as it was).
  bool Commit();
  // Removes the temporary file; the target stays as it was.
  void Abandon();
  // The system's reason for the first failure ("" while there is none).
  const std::string& Error() const { return m_strError; }

 private:
  void Fail(int error);

  std::FILE* m_lpFile = nullptr;
  std::string m_strTarget;
  std::string m_strTemp;
  std::string m_strError;
};

// Whether a file could be written at hostPath now (the check HostFileStream::Open makes; nothing is
// left behind). false with the system's reason.
bool CanWriteHostFile(const std::string& hostPath, std::string* reason);
