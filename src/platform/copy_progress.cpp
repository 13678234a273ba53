#include "platform/copy_progress.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace qm {

namespace {

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

QString Sys_Error(int e) {
  return QString::fromLocal8Bit(std::strerror(e));
}

bool Read_Full(int fd, char* buf, int64_t n, int64_t at) {
  while (n > 0) {
    const ssize_t r = ::pread(fd, buf, static_cast<size_t>(n), at);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    buf += r;
    n -= r;
    at += r;
  }
  return true;
}

bool Write_Full(int fd, const char* buf, int64_t n, int64_t at) {
  while (n > 0) {
    const ssize_t w = ::pwrite(fd, buf, static_cast<size_t>(n), at);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    buf += w;
    n -= w;
    at += w;
  }
  return true;
}

// The kept part of a destination is trusted only when its tail matches the
// source: a different file of the same name must not be "resumed".
bool Tail_Matches(int src, int dst, int64_t kept) {
  const int64_t n = std::min<int64_t>(kept, 64 * 1024);
  if (n == 0) return true;
  std::vector<char> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
  return Read_Full(src, a.data(), n, kept - n) && Read_Full(dst, b.data(), n, kept - n) && a == b;
}

}  // namespace

Copy_Outcome Restartable_Copy(const QString& source, const QString& destination,
                              const Copy_Progress& progress, int64_t chunk_bytes) {
  Copy_Outcome out;
  if (chunk_bytes <= 0) chunk_bytes = 1 << 20;
  Fd src;
  src.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  if (src.fd < 0) {
    out.error = Sys_Error(errno);
    return out;
  }
  struct stat ss {};
  if (::fstat(src.fd, &ss) != 0) {
    out.error = Sys_Error(errno);
    return out;
  }
  if (!S_ISREG(ss.st_mode)) {
    out.error = Sys_Error(S_ISDIR(ss.st_mode) ? EISDIR : EINVAL);
    return out;
  }
  Fd dst;
  dst.fd = ::open(QFile::encodeName(destination).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (dst.fd < 0) {
    out.error = Sys_Error(errno);
    return out;
  }
  struct stat ds {};
  if (::fstat(dst.fd, &ds) != 0) {
    out.error = Sys_Error(errno);
    return out;
  }
  if (ds.st_dev == ss.st_dev && ds.st_ino == ss.st_ino) {
    out.error = QStringLiteral("Source and destination are the same file");
    return out;
  }
  const int64_t total = ss.st_size;
  int64_t done = ds.st_size;
  if (done > total || !Tail_Matches(src.fd, dst.fd, done)) {
    if (::ftruncate(dst.fd, 0) != 0) {
      out.error = Sys_Error(errno);
      return out;
    }
    done = 0;
  }
  out.resumed_from = done;
  out.transferred = done;
  if (progress && progress(done, total) == Copy_Progress_Reply::Cancel) {
    out.cancelled = true;
    return out;
  }
  std::vector<char> buf(static_cast<size_t>(chunk_bytes));
  while (done < total) {
    const int64_t n = std::min(chunk_bytes, total - done);
    if (!Read_Full(src.fd, buf.data(), n, done)) {
      out.error = errno ? Sys_Error(errno) : QStringLiteral("Source file ended early");
      return out;
    }
    if (!Write_Full(dst.fd, buf.data(), n, done)) {
      out.error = Sys_Error(errno ? errno : ENOSPC);
      return out;
    }
    done += n;
    out.transferred = done;
    if (progress && progress(done, total) == Copy_Progress_Reply::Cancel) {
      out.cancelled = true;
      return out;
    }
  }
  if (::fsync(dst.fd) != 0) {
    out.error = Sys_Error(errno);
    return out;
  }
  out.ok = true;
  return out;
}

}  // namespace qm
