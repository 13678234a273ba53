#pragma once
// Drive kinds and network share names of paths, from the mount table.
//
// The "drive" of a path is the mount point it lies on. The kind comes from
// the mount's file-system type (network file systems) or from the backing
// block device (/sys/.../removable). Parsing takes the table as text so that
// every kind can be checked without a real mount.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace qm {

// 1 removable, 2 fixed, 3 network, as the program numbers them; the others
// are not described to the operator.
enum class Drive_Kind : int {
  Unknown = 0,
  Removable = 1,
  Fixed = 2,
  Network = 3,
  CD_ROM = 5,
  Ram_Disk = 6
};

struct Mount_Entry {
  int major = 0;
  int minor = 0;
  QString root;         // root of the mount inside its file system
  QString mount_point;  // unescaped
  QString fs_type;      // "ext4", "cifs", "fuse.sshfs", ...
  QString source;       // "/dev/sdb1", "//server/results", "host:/export"
};

// Parses /proc/self/mountinfo text (octal escapes such as \040 undone).
// Lines that do not have the layout are skipped.
std::vector<Mount_Entry> Parse_Mount_Info(const QString& text);

bool Is_Network_Fs_Type(const QString& fs_type);

// The mount a path lies on: the entry with the longest mount point that is a
// prefix of the path (whole components). Later entries hide earlier ones
// mounted on the same point. nullopt for a relative or empty path.
std::optional<Mount_Entry> Mount_Of_Path(const std::vector<Mount_Entry>& table,
                                         const QString& absolute_path);

// Answers whether the block device major:minor is removable.
using Removable_Lookup = std::function<bool(int major, int minor)>;

// Reads /sys/dev/block/MAJ:MIN (and its parent disk for a partition).
bool Sys_Block_Removable(int major, int minor);

// What the drive of a path is. `failure` is set (and kind Unknown) when the
// drive cannot be examined; the text is the description the operator sees.
struct Drive_Info {
  Drive_Kind kind = Drive_Kind::Unknown;
  QString mount_point;
  QString share;  // mount source of a network drive
  QString failure;
};

Drive_Info Classify_Mount(const Mount_Entry& entry, const Removable_Lookup& removable);

// Drive of `path` on this system: the path must exist (statfs), then the live
// mount table decides. `mount_info_text` and `removable` default to the
// system's when not given (tests give both).
Drive_Info Drive_Of_Path(const QString& path, const std::optional<QString>& mount_info_text = {},
                         const Removable_Lookup& removable = {});

// The mount source behind a mount point ("mapped drive"); nullopt when the
// path is not a mount point.
std::optional<QString> Mapped_Source(const QString& mount_point,
                                     const std::optional<QString>& mount_info_text = {});

// Share name of the path's drive followed by the rest of the path, for a
// network drive; the path itself otherwise.
QString Drive_Share_Name(const QString& path, const std::optional<QString>& mount_info_text = {});

// The live table (empty text when it cannot be read).
QString Read_Mount_Info();

}  // namespace qm
