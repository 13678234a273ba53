#include "platform/mounts.h"

#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statfs.h>

#include <cerrno>
#include <cstring>

namespace qm {

namespace {

// mountinfo escapes space, tab, newline and backslash as \ooo.
QString Unescape(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('\\') && i + 3 < s.size()) {
      const QString oct = s.mid(i + 1, 3);
      bool ok = false;
      const int v = oct.toInt(&ok, 8);
      if (ok && oct.size() == 3) {
        out += QChar(v);
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

bool Under(const QString& path, const QString& mount_point) {
  if (mount_point == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
  if (!path.startsWith(mount_point)) return false;
  return path.size() == mount_point.size() || path[mount_point.size()] == QLatin1Char('/');
}

QString Clean(const QString& path) {
  return QDir::cleanPath(path);
}

}  // namespace

std::vector<Mount_Entry> Parse_Mount_Info(const QString& text) {
  std::vector<Mount_Entry> out;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& line : lines) {
    const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // id parent maj:min root mount-point options [optional...] - type source super
    const qsizetype dash = f.indexOf(QStringLiteral("-"), 6);
    if (f.size() < 10 || dash < 0 || dash + 2 >= f.size()) continue;
    const QStringList dev = f[2].split(QLatin1Char(':'));
    if (dev.size() != 2) continue;
    bool ok1 = false, ok2 = false;
    Mount_Entry e;
    e.major = dev[0].toInt(&ok1);
    e.minor = dev[1].toInt(&ok2);
    if (!ok1 || !ok2) continue;
    e.root = Unescape(f[3]);
    e.mount_point = Unescape(f[4]);
    if (!e.mount_point.startsWith(QLatin1Char('/'))) continue;
    e.fs_type = f[dash + 1];
    e.source = Unescape(f[dash + 2]);
    out.push_back(std::move(e));
  }
  return out;
}

bool Is_Network_Fs_Type(const QString& fs_type) {
  static const QStringList kinds = {QStringLiteral("nfs"),        QStringLiteral("nfs4"),
                                    QStringLiteral("cifs"),       QStringLiteral("smb3"),
                                    QStringLiteral("smbfs"),      QStringLiteral("fuse.sshfs"),
                                    QStringLiteral("sshfs"),      QStringLiteral("ncpfs"),
                                    QStringLiteral("afs"),        QStringLiteral("ceph"),
                                    QStringLiteral("9p"),         QStringLiteral("davfs"),
                                    QStringLiteral("fuse.davfs"), QStringLiteral("fuse.rclone"),
                                    QStringLiteral("glusterfs"),  QStringLiteral("fuse.glusterfs"),
                                    QStringLiteral("coda"),       QStringLiteral("lustre")};
  return kinds.contains(fs_type);
}

std::optional<Mount_Entry> Mount_Of_Path(const std::vector<Mount_Entry>& table,
                                         const QString& absolute_path) {
  if (!absolute_path.startsWith(QLatin1Char('/'))) return std::nullopt;
  const QString path = Clean(absolute_path);
  const Mount_Entry* best = nullptr;
  for (const Mount_Entry& e : table) {
    if (!Under(path, e.mount_point)) continue;
    // >= : a later mount on the same point hides the earlier one.
    if (!best || e.mount_point.size() >= best->mount_point.size()) best = &e;
  }
  if (!best) return std::nullopt;
  return *best;
}

bool Sys_Block_Removable(int major, int minor) {
  const QString dev = QStringLiteral("/sys/dev/block/%1:%2").arg(major).arg(minor);
  QString dir = QFileInfo(dev).canonicalFilePath();
  if (dir.isEmpty()) return false;
  // A partition carries no flag of its own; its disk is the parent folder.
  if (QFileInfo::exists(dir + QStringLiteral("/partition"))) dir = QFileInfo(dir).path();
  QFile f(dir + QStringLiteral("/removable"));
  if (!f.open(QIODevice::ReadOnly)) return false;
  return f.readAll().trimmed() == "1";
}

Drive_Info Classify_Mount(const Mount_Entry& entry, const Removable_Lookup& removable) {
  Drive_Info d;
  d.mount_point = entry.mount_point;
  const QString& t = entry.fs_type;
  if (Is_Network_Fs_Type(t)) {
    d.kind = Drive_Kind::Network;
    d.share = entry.source;
  } else if (t == QLatin1String("iso9660") || t == QLatin1String("udf")) {
    d.kind = Drive_Kind::CD_ROM;
  } else if (t == QLatin1String("tmpfs") || t == QLatin1String("ramfs")) {
    d.kind = Drive_Kind::Ram_Disk;
  } else if (entry.major != 0 && removable && removable(entry.major, entry.minor)) {
    d.kind = Drive_Kind::Removable;
  } else {
    d.kind = Drive_Kind::Fixed;
  }
  return d;
}

QString Read_Mount_Info() {
  QFile f(QStringLiteral("/proc/self/mountinfo"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  // /proc files report size 0: read until the end.
  return QString::fromUtf8(f.readAll());
}

Drive_Info Drive_Of_Path(const QString& path, const std::optional<QString>& mount_info_text,
                         const Removable_Lookup& removable) {
  Drive_Info d;
  if (path.trimmed().isEmpty() || !QDir::isAbsolutePath(path)) {
    d.failure = Err_Description(Err_Bad_File);
    return d;
  }
  QString real = path;
  if (!mount_info_text) {
    struct statfs sf {};
    if (::statfs(QFile::encodeName(path).constData(), &sf) != 0) {
      const int e = errno;
      d.failure = (e == ENOENT || e == ENOTDIR) ? Err_Description(Err_Path_Not_Found)
                                                : QString::fromLocal8Bit(std::strerror(e));
      return d;
    }
    // Symbolic links lead to the mount that really holds the folder.
    const QString c = QFileInfo(path).canonicalFilePath();
    if (!c.isEmpty()) real = c;
  }
  const auto table = Parse_Mount_Info(mount_info_text ? *mount_info_text : Read_Mount_Info());
  const auto m = Mount_Of_Path(table, real);
  if (!m) {
    d.failure = Err_Description(Err_Path_Not_Found);
    return d;
  }
  return Classify_Mount(*m, removable ? removable : Removable_Lookup(&Sys_Block_Removable));
}

std::optional<QString> Mapped_Source(const QString& mount_point,
                                     const std::optional<QString>& mount_info_text) {
  if (mount_point.isEmpty()) return std::nullopt;
  const auto table = Parse_Mount_Info(mount_info_text ? *mount_info_text : Read_Mount_Info());
  const QString p = Clean(mount_point);
  std::optional<QString> found;
  for (const Mount_Entry& e : table)
    if (e.mount_point == p) found = e.source;
  return found;
}

QString Drive_Share_Name(const QString& path, const std::optional<QString>& mount_info_text) {
  const auto table = Parse_Mount_Info(mount_info_text ? *mount_info_text : Read_Mount_Info());
  const auto m = Mount_Of_Path(table, path);
  if (!m || !Is_Network_Fs_Type(m->fs_type)) return path;
  const QString p = Clean(path);
  QString rest = m->mount_point == QLatin1String("/") ? p : p.mid(m->mount_point.size());
  QString share = m->source;
  if (share.endsWith(QLatin1Char('/')) && rest.startsWith(QLatin1Char('/'))) share.chop(1);
  return share + rest;
}

}  // namespace qm
