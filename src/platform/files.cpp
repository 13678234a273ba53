#include "platform/files.h"

#include "platform/dialogs.h"
#include "platform/failure.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qm {

namespace {

int64_t g_write_limit = -1;  // bytes still allowed; negative = no limit
int64_t g_written_since_limit = 0;
bool g_cut = false;  // the limit stopped a write

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

[[noreturn]] void Raise_Errno(int e) {
  switch (e) {
    case ENOENT:
      Raise(Err_File_Not_Found);
    case EACCES:
    case EPERM:
    case EROFS:
      Raise(Err_Permission_Denied);
    case ENOTDIR:
      Raise(Err_Path_Not_Found);
    case ENOSPC:
    case EDQUOT:
      Raise(Err_Disk_Full);
    default:
      Raise(Err_Path_Access, QString::fromLocal8Bit(std::strerror(e)));
  }
}

}  // namespace

File_Handle::~File_Handle() {
  Close();
}

File_Handle::File_Handle(File_Handle&& other) noexcept
    : fd_(other.fd_), writable_(other.writable_) {
  other.fd_ = -1;
}

File_Handle& File_Handle::operator=(File_Handle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    writable_ = other.writable_;
    other.fd_ = -1;
  }
  return *this;
}

void File_Handle::Open(const QString& path, Mode mode) {
  Close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::Read:
      flags |= O_RDONLY;
      break;
    case Mode::Read_Write:
      flags |= O_RDWR;
      break;
    case Mode::Write:
      flags |= O_WRONLY;
      break;
    case Mode::Create_Read_Write:
      flags |= O_RDWR | O_CREAT;
      break;
  }
  const int fd = ::open(Native(path).constData(), flags, 0666);
  if (fd < 0) Raise_Errno(errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Raise(Err_Path_Access);
  }
  fd_ = fd;
  writable_ = mode != Mode::Read;
}

void File_Handle::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  writable_ = false;
}

int64_t File_Handle::Size() const {
  if (fd_ < 0) Raise(Err_Bad_File);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) Raise_Errno(errno);
  return st.st_size;
}

size_t File_Handle::Read_At(int64_t offset, void* buffer, size_t n) const {
  if (fd_ < 0) Raise(Err_Bad_File);
  if (offset < 0) Raise(Err_Invalid_Call);
  size_t done = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (done < n) {
    const ssize_t r = ::pread(fd_, p + done, n - done, offset + static_cast<int64_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      Raise_Errno(errno);
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

void File_Handle::Read_Exact(int64_t offset, void* buffer, size_t n) const {
  if (Read_At(offset, buffer, n) != n) Raise(Err_Input_Past_End);
}

void File_Handle::Write_At(int64_t offset, const void* data, size_t n) {
  if (fd_ < 0) Raise(Err_Bad_File);
  if (!writable_) Raise(Err_Permission_Denied);
  if (offset < 0) Raise(Err_Invalid_Call);
  size_t allowed = n;
  bool cut = false;
  if (g_write_limit >= 0 && static_cast<int64_t>(n) > g_write_limit) {
    allowed = static_cast<size_t>(g_write_limit);
    cut = true;
  }
  size_t done = 0;
  const auto* p = static_cast<const uint8_t*>(data);
  while (done < allowed) {
    const ssize_t r = ::pwrite(fd_, p + done, allowed - done, offset + static_cast<int64_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      Raise_Errno(errno);
    }
    done += static_cast<size_t>(r);
  }
  if (g_write_limit >= 0) {
    g_write_limit -= static_cast<int64_t>(done);
    g_written_since_limit += static_cast<int64_t>(done);
  }
  if (cut) g_cut = true;
  if (cut) Raise(Err_Path_Access, QStringLiteral("Write stopped (simulated power cut)"));
}

void File_Handle::Sync() {
  if (fd_ < 0) Raise(Err_Bad_File);
  if (g_cut) Raise(Err_Path_Access, QStringLiteral("Write stopped (simulated power cut)"));
  if (::fsync(fd_) != 0 && errno != EINVAL) Raise_Errno(errno);
}

void File_Handle::Truncate(int64_t length) {
  if (fd_ < 0) Raise(Err_Bad_File);
  if (!writable_) Raise(Err_Permission_Denied);
  if (::ftruncate(fd_, length) != 0) Raise_Errno(errno);
}

void Set_Write_Limit(int64_t bytes) {
  g_write_limit = bytes < 0 ? -1 : bytes;
  g_written_since_limit = 0;
  g_cut = false;
}

int64_t Bytes_Written_Since_Limit() {
  return g_written_since_limit;
}

bool File_Exists(const QString& path) {
  if (path.isEmpty()) return false;
  struct stat st {};
  return ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Folder_Exists(const QString& path) {
  if (path.isEmpty()) return false;
  struct stat st {};
  return ::stat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t File_Length(const QString& path) {
  struct stat st {};
  if (::stat(Native(path).constData(), &st) != 0) return -1;
  return st.st_size;
}

bool Is_Read_Only(const QString& path) {
  const QByteArray p = Native(path);
  struct stat st {};
  if (::stat(p.constData(), &st) != 0) return false;
  if ((st.st_mode & S_IWUSR) == 0) return true;
  if (::access(p.constData(), W_OK) != 0) return true;
  struct statvfs vfs {};
  if (::statvfs(p.constData(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY)) return true;
  return false;
}

void Set_Read_Only(const QString& path, bool read_only) {
  const QByteArray p = Native(path);
  struct stat st {};
  if (::stat(p.constData(), &st) != 0) Raise_Errno(errno);
  mode_t mode = st.st_mode & 07777;
  mode = read_only ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  if (::chmod(p.constData(), mode) != 0) Raise_Errno(errno);
}

void Remove_File(const QString& path) {
  if (!File_Exists(path)) Raise(Err_File_Not_Found);
  if (Is_Read_Only(path)) Raise(Err_Path_Access);
  if (::unlink(Native(path).constData()) != 0) {
    const int e = errno;
    if (e == EACCES || e == EPERM || e == EROFS) Raise(Err_Path_Access);
    Raise_Errno(e);
  }
}

bool Delete_File(const QString& path, bool quiet) {
  if (!File_Exists(path)) return false;
  try {
    Remove_File(path);
    return true;
  } catch (const Failure& f) {
    if (!quiet) {
      if (f.number == Err_Path_Access)
        MsgBox(QStringLiteral("Could not delete file: ") + path +
               QStringLiteral(", the file is probably read-only!"));
      else
        MsgBox(QStringLiteral("Could not delete file: ") + path +
               QStringLiteral(" error number: ") + QString::number(f.number) + QStringLiteral(" ") +
               f.description);
    }
    return false;
  }
}

void Rename_File(const QString& from, const QString& to) {
  if (from.isEmpty() || to.trimmed().isEmpty()) Raise(Err_Bad_File);
  if (!File_Exists(from)) Raise(Err_File_Not_Found);
  // rename() would silently replace an existing file.
  if (QFileInfo::exists(to)) Raise(Err_File_Exists);
  const QByteArray a = Native(from), b = Native(to);
  if (::rename(a.constData(), b.constData()) == 0) return;
  const int e = errno;
  if (e != EXDEV) Raise_Errno(e);
  // Another file system: copy, then remove the original; a failed copy
  // leaves no half file behind.
  std::error_code ec;
  const std::filesystem::path src(a.toStdString()), dst(b.toStdString());
  if (!std::filesystem::copy_file(src, dst, std::filesystem::copy_options::none, ec)) {
    std::filesystem::remove(dst, ec);
    Raise_Errno(ec ? ec.value() : EIO);
  }
  Remove_File(from);
}

QString ParsePath(const QString& path, int part, bool drop_trailing_separator) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (part == 16) {
    if (slash < 0) return {};
    return drop_trailing_separator ? path.left(slash) : path.left(slash + 1);
  }
  if (part == 0) return slash < 0 ? path : path.mid(slash + 1);
  return path;
}

QString File_Suffix(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return {};
  return name.mid(dot + 1);
}

}  // namespace qm

namespace qm {
void Sync_Folder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
}  // namespace qm
