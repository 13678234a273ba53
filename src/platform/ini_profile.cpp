#include "platform/ini_profile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace qm {

namespace {

// One line of the file: its bytes as stored (without the line end) and what
// it means.
struct Line {
  QByteArray bytes;
  enum class Kind { Other, Section, Key } kind = Kind::Other;
  QString name;   // section or key name
  QString value;  // for keys
};

// A line that is not valid UTF-8 comes from a file written in a one-byte
// code page; read it as Latin-1 rather than as replacement characters.
QString Decode(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString s = utf8(bytes);
  if (utf8.hasError()) return QString::fromLatin1(bytes);
  return s;
}

Line Classify(const QByteArray& raw) {
  Line l;
  l.bytes = raw;
  const QString t = Decode(raw).trimmed();
  if (t.isEmpty() || t.startsWith(QLatin1Char(';'))) return l;
  if (t.startsWith(QLatin1Char('['))) {
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    l.kind = Line::Kind::Section;
    l.name = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return l;
  }
  const qsizetype eq = t.indexOf(QLatin1Char('='));
  if (eq <= 0) return l;
  l.kind = Line::Kind::Key;
  l.name = t.left(eq).trimmed();
  l.value = t.mid(eq + 1).trimmed();
  return l;
}

struct Parsed {
  QList<Line> lines;
  QByteArray eol = "\n";
};

Parsed Parse(const QByteArray& content) {
  Parsed p;
  if (content.contains("\r\n")) p.eol = "\r\n";
  QList<QByteArray> raw = content.split('\n');
  if (content.endsWith('\n') || content.isEmpty()) raw.removeLast();
  for (QByteArray r : raw) {
    if (r.endsWith('\r')) r.chop(1);
    p.lines.push_back(Classify(r));
  }
  return p;
}

bool Same(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the section's header, or -1.
qsizetype Find_Section(const QList<Line>& lines, const QString& section) {
  for (qsizetype i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::Kind::Section && Same(lines[i].name, section)) return i;
  return -1;
}

// One past the last line of the section opened at `header`.
qsizetype Section_End(const QList<Line>& lines, qsizetype header) {
  qsizetype i = header + 1;
  while (i < lines.size() && lines[i].kind != Line::Kind::Section) ++i;
  return i;
}

Ini_Write_Result Fail(int e) {
  return Ini_Write_Result{false, e, QString::fromLocal8Bit(std::strerror(e))};
}

bool Write_All(int fd, const QByteArray& data) {
  const char* p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

// Replaces `path` by `data`: a temporary file beside it, synced, then renamed
// over it; the folder is synced so that the rename itself survives a crash.
Ini_Write_Result Replace_File(const QString& path, const QByteArray& data) {
  QString target = path;
  const QFileInfo info(path);
  if (info.isSymLink()) {
    // Replace the file the link points to, not the link.
    const QString resolved = info.canonicalFilePath();
    if (!resolved.isEmpty()) target = resolved;
  }
  const QByteArray target_bytes = QFile::encodeName(target);
  const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());

  mode_t mode = 0;
  struct stat st {};
  if (::stat(target_bytes.constData(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  QByteArray tmp = folder + "/." + QFile::encodeName(QFileInfo(target).fileName()) + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return Fail(errno);
  auto abandon = [&](int e) {
    ::close(fd);
    ::unlink(tmp.constData());
    return Fail(e);
  };
  if (!Write_All(fd, data)) return abandon(errno);
  if (::fchmod(fd, mode) != 0) return abandon(errno);
  if (::fsync(fd) != 0) return abandon(errno);
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(tmp.constData());
    return Fail(e);
  }
  if (::rename(tmp.constData(), target_bytes.constData()) != 0) {
    const int e = errno;
    ::unlink(tmp.constData());
    return Fail(e);
  }
  const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return Ini_Write_Result{true, 0, {}};
}

bool Has_Line_Break(const QString& s) {
  return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

}  // namespace

std::optional<QString> Ini_Read(const QString& path, const QString& section, const QString& key) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  const Parsed p = Parse(f.readAll());
  const qsizetype header = Find_Section(p.lines, section);
  if (header < 0) return std::nullopt;
  const qsizetype end = Section_End(p.lines, header);
  for (qsizetype i = header + 1; i < end; ++i) {
    const Line& l = p.lines[i];
    if (l.kind == Line::Kind::Key && Same(l.name, key)) return l.value.left(Ini_Value_Max);
  }
  return std::nullopt;
}

Ini_Write_Result Ini_Write(const QString& path, const QString& section, const QString& key,
                           const QString& value) {
  // A line break would end the line early and smuggle further lines (keys,
  // sections) into the file; a name with "=" or "]" could not be read back.
  if (Has_Line_Break(section) || Has_Line_Break(key) || Has_Line_Break(value) ||
      section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
      key.trimmed().isEmpty() || key.trimmed().startsWith(QLatin1Char(';')) ||
      key.trimmed().startsWith(QLatin1Char('[')))
    return Fail(EINVAL);

  QByteArray content;
  {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) return Fail(errno);
    if (fd >= 0) {
      QFile f;
      if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Fail(EIO);
      }
      content = f.readAll();
      if (f.error() != QFileDevice::NoError) return Fail(EIO);
    }
  }
  Parsed p = Parse(content);
  const QByteArray new_line = key.toUtf8() + '=' + value.toUtf8();

  const qsizetype header = Find_Section(p.lines, section);
  if (header < 0) {
    p.lines.push_back(Classify(QByteArray("[") + section.toUtf8() + ']'));
    p.lines.push_back(Classify(new_line));
  } else {
    const qsizetype end = Section_End(p.lines, header);
    qsizetype found = -1;
    qsizetype last_used = header;  // the new key goes after the section's last non-blank line
    for (qsizetype i = header + 1; i < end; ++i) {
      const Line& l = p.lines[i];
      if (l.kind == Line::Kind::Key && Same(l.name, key)) {
        found = i;
        break;
      }
      if (!l.bytes.trimmed().isEmpty()) last_used = i;
    }
    if (found >= 0)
      p.lines[found] = Classify(new_line);
    else
      p.lines.insert(last_used + 1, Classify(new_line));
  }

  QByteArray out;
  for (const Line& l : p.lines) out += l.bytes + p.eol;
  return Replace_File(path, out);
}

}  // namespace qm
