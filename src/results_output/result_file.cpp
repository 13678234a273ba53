#include "results_output/result_file.h"

#include "platform/failure.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qm {

namespace {

[[noreturn]] void Raise_Errno(int e, const QString& path) {
  Extra(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(e)));
  if (e == EACCES || e == EPERM || e == EROFS) Raise(Err_Permission_Denied);
  if (e == ENOENT || e == ENOTDIR) Raise(Err_Path_Not_Found);
  Raise(Err_Path_Access);
}

}  // namespace

QString Result_Temp_Path(const QString& target) {
  const QFileInfo fi(target);
  return fi.path() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".part");
}

void Require_Name_Inside_Folder(const QString& name) {
  const QStringList parts =
      QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
  if (name.trimmed().isEmpty() || name.startsWith(QLatin1Char('/')) ||
      parts.contains(QStringLiteral(".."))) {
    Extra(QStringLiteral("File name refused: ") + name);
    Raise(Err_Bad_File);
  }
}

void Write_Result_File(const QString& target, const QByteArray& bytes) {
  const QFileInfo fi(target);
  if (!QFileInfo(fi.path()).isDir()) {
    Extra(fi.path());
    Raise(Err_Path_Not_Found);
  }
  if (fi.isDir()) {
    Extra(target);
    Raise(Err_Path_Access);
  }
  if (Is_Read_Only(target)) {
    Extra(target);
    Raise(Err_Permission_Denied);
  }
  const QString temp = Result_Temp_Path(target);
  const QByteArray tp = QFile::encodeName(temp);
  const int fd = ::open(tp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Raise_Errno(errno, temp);
  struct Cleanup {
    int fd;
    const QByteArray& path;
    bool done = false;
    ~Cleanup() {
      if (fd >= 0) ::close(fd);
      if (!done) ::unlink(path.constData());
    }
  } cleanup{fd, tp};
  // A replaced file keeps its permissions.
  struct stat old {};
  if (::stat(QFile::encodeName(target).constData(), &old) == 0)
    (void)::fchmod(fd, old.st_mode & 07777);
  const char* at = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t w = ::write(fd, at, static_cast<size_t>(left));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) Raise_Errno(w < 0 ? errno : ENOSPC, temp);
    at += w;
    left -= w;
  }
  if (::fsync(fd) != 0) Raise_Errno(errno, temp);
  const int c = ::close(fd);
  cleanup.fd = -1;
  if (c != 0) Raise_Errno(errno, temp);
  if (::rename(tp.constData(), QFile::encodeName(target).constData()) != 0)
    Raise_Errno(errno, target);
  cleanup.done = true;
  // The new directory entry survives a power cut too.
  const int dfd = ::open(QFile::encodeName(fi.path()).constData(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace qm
