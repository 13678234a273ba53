// Export folders: drive kinds from mount-table text, the mapped-drive
// messages and the restartable copy behind "Test Copy".
#include "platform/copy_progress.h"
#include "platform/mounts.h"
#include "results_output/remote_copy.h"
#include "results_output/results_export.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

using Folders_Test = qmtest::Test;

// A machine with a root disk, a USB stick, a CD, a RAM disk and three shares
// (one with a blank in its mount point, escaped as the kernel writes it).
const QString Table = QStringLiteral(
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "40 22 8:17 / /media/stick rw,nosuid shared:20 - vfat /dev/sdb1 rw\n"
    "41 22 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "42 22 0:45 / /run/ram rw - tmpfs tmpfs rw\n"
    "43 22 0:50 / /mnt/results rw,relatime shared:30 - cifs //server/results rw,vers=3.1.1\n"
    "44 22 0:51 / /mnt/office\\040share rw - nfs4 office:/export/results rw\n"
    "45 22 0:52 / /home/op/remote rw - fuse.sshfs op@boat:/srv rw\n"
    "garbage line\n");

bool Stick_Only(int major, int minor) {
  return major == 8 && minor == 17;
}

TEST_F(Folders_Test, MountInfoParsesEscapesAndSkipsBadLines) {
  const auto t = qm::Parse_Mount_Info(Table);
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[5].mount_point, QStringLiteral("/mnt/office share"));
  EXPECT_EQ(t[5].fs_type, QStringLiteral("nfs4"));
  EXPECT_EQ(t[5].source, QStringLiteral("office:/export/results"));
  EXPECT_EQ(t[1].major, 8);
  EXPECT_EQ(t[1].minor, 17);
}

TEST_F(Folders_Test, DriveKindsOfPaths) {
  struct Case {
    const char* path;
    qm::Drive_Kind kind;
    const char* share;
  };
  const std::vector<Case> cases = {
      {"/home/op/Results", qm::Drive_Kind::Fixed, ""},
      {"/media/stick/heats", qm::Drive_Kind::Removable, ""},
      {"/media/sticker", qm::Drive_Kind::Fixed, ""},  // a prefix, not the mount
      {"/mnt/results", qm::Drive_Kind::Network, "//server/results"},
      {"/mnt/results/2026/day1", qm::Drive_Kind::Network, "//server/results"},
      {"/mnt/office share/x", qm::Drive_Kind::Network, "office:/export/results"},
      {"/home/op/remote/r", qm::Drive_Kind::Network, "op@boat:/srv"},
      {"/media/cdrom/r", qm::Drive_Kind::CD_ROM, ""},
      {"/run/ram/r", qm::Drive_Kind::Ram_Disk, ""},
  };
  for (const Case& c : cases) {
    const qm::Drive_Info d = qm::Drive_Of_Path(QString::fromUtf8(c.path), Table, &Stick_Only);
    EXPECT_EQ(d.kind, c.kind) << c.path;
    EXPECT_EQ(d.share, QString::fromUtf8(c.share)) << c.path;
    EXPECT_TRUE(d.failure.isEmpty()) << c.path;
  }
  EXPECT_FALSE(
      qm::Drive_Of_Path(QStringLiteral("relative/path"), Table, &Stick_Only).failure.isEmpty());
}

TEST_F(Folders_Test, TextRemoteShowsKindShareOrFailure) {
  qm::Results_Export x;
  x.mount_info_for_test = Table;
  x.removable_for_test = &Stick_Only;
  struct Case {
    const char* folder;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"/mnt/results/day1", "//server/results"},
      {"/home/op/", "Local"},
      {"/media/stick/r", "Removable"},
      {"/media/cdrom", "Removable"},  // not described: the previous text stays
  };
  for (const Case& c : cases) {
    x.Export_folder = QString::fromUtf8(c.folder);
    x.Update_capture_folder_Remote();
    EXPECT_EQ(x.Text_remote, QString::fromUtf8(c.text)) << c.folder;
  }
  // The live system: a folder that is gone (a pulled stick) shows why.
  qm::Results_Export live;
  live.Export_folder = Tmp("pulled/stick");
  live.Update_capture_folder_Remote();
  EXPECT_EQ(live.Text_remote, QStringLiteral("Path not found"));
  live.Export_folder = tmp.path();
  live.Update_capture_folder_Remote();
  EXPECT_FALSE(live.Text_remote.isEmpty());
  EXPECT_NE(live.Text_remote, QStringLiteral("Path not found"));
  Expect_No_Reports();
}

TEST_F(Folders_Test, MappedDriveAndShareName) {
  EXPECT_EQ(qm::Module_mapped_drive(QStringLiteral("/mnt/results"), Table),
            QStringLiteral("//server/results"));
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_EQ(qm::Module_mapped_drive(QStringLiteral("/mnt/results/day1"), Table), QString());
  EXPECT_EQ(qm::Module_mapped_drive(QString(), Table), QString());
  ASSERT_EQ(dialogs.Texts(), QStringList({QStringLiteral("Error: Not Connected"),
                                          QStringLiteral("Error: Bad Device")}));
  EXPECT_EQ(dialogs.records()[0].icon, qm::Icon::Information);
  EXPECT_EQ(qm::Drive_Share_Name(QStringLiteral("/mnt/results/2026/day1"), Table),
            QStringLiteral("//server/results/2026/day1"));
  EXPECT_EQ(qm::Drive_Share_Name(QStringLiteral("/home/op/r"), Table),
            QStringLiteral("/home/op/r"));

  // "Get mapped drive": the folder without its trailing separator, two messages.
  dialogs.Clear();
  qm::Results_Export x;
  x.mount_info_for_test = Table;
  x.Export_folder = QStringLiteral("/mnt/results/");
  x.Get_Mapped_Drive();
  EXPECT_EQ(dialogs.Texts(),
            QStringList({QStringLiteral("//server/results"), QStringLiteral("//server/results")}));
  Expect_No_Reports();
}

TEST_F(Folders_Test, FolderSettingDialogAndCheck) {
  qm::Results_Export x;
  x.Load_Export_Folder();  // nothing stored: the home folder ("C:\")
  EXPECT_EQ(x.Export_folder, QDir::homePath() + QStringLiteral("/"));
  EXPECT_EQ(x.Lbl_export_folder, x.Export_folder);
  EXPECT_EQ(x.Text_remote.isEmpty(), false);

  dialogs.File_With(tmp.path());
  x.Lbl_export_folder_Click();
  EXPECT_EQ(x.Export_folder, tmp.path());
  EXPECT_EQ(qm::Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("export_folder"), {}),
            tmp.path());
  EXPECT_TRUE(x.Check_Export_Folder());

  // Cancelled: the folder stays, the drive text is refreshed.
  x.Text_remote = QStringLiteral("stale");
  x.Lbl_export_folder_Click();
  EXPECT_EQ(x.Export_folder, tmp.path());
  EXPECT_NE(x.Text_remote, QStringLiteral("stale"));

  x.Export_folder = Tmp("gone");
  dialogs.Clear();
  EXPECT_FALSE(x.Check_Export_Folder());
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("Result export folder not found!")));
  Expect_No_Reports();
}

QByteArray Pattern(int n) {
  QByteArray b(n, 0);
  for (int i = 0; i < n; ++i) b[i] = char((i * 7 + i / 251) & 0xff);
  return b;
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(Folders_Test, RestartableCopyReportsProgressAndResumes) {
  const QByteArray src = Pattern(10000);
  Write(Tmp("heat.kv2"), src);

  // Interrupted after the third chunk.
  std::vector<std::pair<int64_t, int64_t>> seen;
  auto stop_after_3000 = [&](int64_t done, int64_t total) {
    seen.push_back({done, total});
    return done >= 3000 ? qm::Copy_Progress_Reply::Cancel : qm::Copy_Progress_Reply::Continue;
  };
  qm::Copy_Outcome a =
      qm::Restartable_Copy(Tmp("heat.kv2"), Tmp("copy.kv2"), stop_after_3000, 1000);
  EXPECT_FALSE(a.ok);
  EXPECT_TRUE(a.cancelled);
  EXPECT_EQ(a.transferred, 3000);
  EXPECT_EQ(Read(Tmp("copy.kv2")), src.left(3000));
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen.front(), std::make_pair(int64_t{0}, int64_t{10000}));
  EXPECT_EQ(seen.back(), std::make_pair(int64_t{3000}, int64_t{10000}));

  // The next copy carries on from the partial destination.
  seen.clear();
  qm::Copy_Outcome b = qm::Restartable_Copy(
      Tmp("heat.kv2"), Tmp("copy.kv2"),
      [&](int64_t d, int64_t t) {
        seen.push_back({d, t});
        return qm::Copy_Progress_Reply::Continue;
      },
      4000);
  EXPECT_TRUE(b.ok) << b.error.toStdString();
  EXPECT_EQ(b.resumed_from, 3000);
  EXPECT_EQ(Read(Tmp("copy.kv2")), src);
  ASSERT_EQ(seen.size(), 3u);  // 3000, 7000, 10000
  EXPECT_EQ(seen[1].first, 7000);
  EXPECT_EQ(seen[2].first, 10000);

  // A different file of that name is not "resumed": copied afresh.
  QByteArray other = src.left(5000);
  other[4999] = char(other[4999] ^ 0x55);
  Write(Tmp("copy.kv2"), other);
  qm::Copy_Outcome c = qm::Restartable_Copy(Tmp("heat.kv2"), Tmp("copy.kv2"), {}, 1000);
  EXPECT_TRUE(c.ok);
  EXPECT_EQ(c.resumed_from, 0);
  EXPECT_EQ(Read(Tmp("copy.kv2")), src);

  // Longer than the source: copied afresh too.
  Write(Tmp("copy.kv2"), src + "tail");
  EXPECT_TRUE(qm::Restartable_Copy(Tmp("heat.kv2"), Tmp("copy.kv2")).ok);
  EXPECT_EQ(Read(Tmp("copy.kv2")), src);

  qm::Copy_Outcome d = qm::Restartable_Copy(Tmp("missing.kv2"), Tmp("copy2.kv2"));
  EXPECT_FALSE(d.ok);
  EXPECT_FALSE(d.error.isEmpty());
  qm::Copy_Outcome e = qm::Restartable_Copy(Tmp("heat.kv2"), Tmp("heat.kv2"));
  EXPECT_FALSE(e.ok);
  EXPECT_EQ(Read(Tmp("heat.kv2")), src);
}

TEST_F(Folders_Test, TestCopyCommand) {
  Write(Tmp("Heat12_a.kv2"), Pattern(3000));
  // Nothing sets the destination: the command stops at once.
  qm::Copy_Destination_Folder().clear();
  EXPECT_FALSE(qm::File_Copy(Tmp("Heat12_a.kv2"), 0));
  EXPECT_EQ(dialogs.Texts(),
            QStringList(QStringLiteral("Can't find destination folder for file copy!")));

  QDir().mkpath(Tmp("dest"));
  qm::Copy_Destination_Folder() = Tmp("dest");
  dialogs.Clear();
  EXPECT_TRUE(qm::File_Copy(Tmp("Heat12_a.kv2"), 0));
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_EQ(qm::Last_Copy_Percent(), 100);
  EXPECT_EQ(Read(Tmp("dest/Heat12_a.kv2")), Pattern(3000));

  EXPECT_FALSE(qm::File_Copy(Tmp("no_such_heat.kv2"), 0));
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("Copy Failed")));
  qm::Copy_Destination_Folder().clear();
  Expect_No_Reports();
}

}  // namespace
