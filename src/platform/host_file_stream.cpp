#include "platform/host_file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

HostFileStream::~HostFileStream() { Abandon(); }

bool HostFileStream::Open(const std::string& hostPath) {
  Abandon();
  m_strError.clear();
  if (hostPath.empty()) {
    Fail(ENOENT);
    return false;
  }
  m_strTarget = hostPath;
  // Writing through a symbolic link replaces the file it points to, as the game's own writes do.
  struct stat st;
  bool exists = lstat(m_strTarget.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(m_strTarget.c_str(), nullptr)) {
      m_strTarget = real;
      std::free(real);
      exists = lstat(m_strTarget.c_str(), &st) == 0;
    }
  }
  if (exists && S_ISDIR(st.st_mode)) {
    Fail(EISDIR);
    return false;
  }
  std::string temp = FolderOf(m_strTarget) + "/.qc4-XXXXXX.tmp";
  const int fd = mkostemps(temp.data(), 4, O_CLOEXEC);
  if (fd < 0) {
    Fail(errno);
    return false;
  }
  fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
  m_lpFile = fdopen(fd, "wb");
  if (!m_lpFile) {
    const int error = errno;
    close(fd);
    unlink(temp.c_str());
    Fail(error);
    return false;
  }
  m_strTemp = temp;
  return true;
}

void HostFileStream::Write(const char* data, size_t size) {
  if (!m_lpFile || !m_strError.empty()) return;
  // Each piece reaches the file at once: a run that is stopped hard leaves what it wrote behind.
  if (std::fwrite(data, 1, size, m_lpFile) != size || std::fflush(m_lpFile) != 0) Fail(errno);
}

void HostFileStream::WriteAt(uint64_t offset, const char* data, size_t size) {
  if (!m_lpFile || !m_strError.empty()) return;
  if (fseeko(m_lpFile, static_cast<off_t>(offset), SEEK_SET) != 0 || std::fwrite(data, 1, size, m_lpFile) != size ||
      fseeko(m_lpFile, 0, SEEK_END) != 0 || std::fflush(m_lpFile) != 0)
    Fail(errno);
}

bool HostFileStream::Commit() {
  if (!m_lpFile) {
    if (m_strError.empty()) Fail(EBADF);
    return false;
  }
  bool ok = m_strError.empty();
  if (ok && (std::fflush(m_lpFile) != 0 || fsync(fileno(m_lpFile)) != 0)) {
    Fail(errno);
    ok = false;
  }
  std::FILE* file = std::exchange(m_lpFile, nullptr);
  if (std::fclose(file) != 0 && ok) {
    Fail(errno);
    ok = false;
  }
  if (ok && std::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
    Fail(errno);
    ok = false;
  }
  if (!ok) {
    unlink(m_strTemp.c_str());
  } else {
    // Make the rename itself durable.
    const int dirFd = open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      fsync(dirFd);
      close(dirFd);
    }
  }
  m_strTemp.clear();
  return ok;
}

void HostFileStream::Abandon() {
  if (!m_lpFile) return;
  std::fclose(std::exchange(m_lpFile, nullptr));
  unlink(m_strTemp.c_str());
  m_strTemp.clear();
}

void HostFileStream::Fail(int error) {
  if (m_strError.empty()) m_strError = std::strerror(error ? error : EIO);
}

bool CanWriteHostFile(const std::string& hostPath, std::string* reason) {
  HostFileStream probe;
  if (probe.Open(hostPath)) return true;
  if (reason) *reason = probe.Error();
  return false;
}
