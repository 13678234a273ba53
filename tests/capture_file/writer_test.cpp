// KV2 writing operations and the platform file routines underneath them.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/kv_fixtures.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace {

using qmtest::Bytes;
using Writer_Test = qmtest::Test;

TEST_F(Writer_Test, NewKV2HasItsHeadFramesAndFrameCount) {
  qmtest::KV2_Options o;
  o.frames = 5;
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("new.kv2"), o);
  ASSERT_TRUE(kv.ok);
  const Bytes file = qmtest::Load_Bytes(kv.path);
  EXPECT_EQ(std::memcmp(file.data(), "KVS1", 4), 0);
  EXPECT_EQ(qm::Get_LE32(file.data() + 4), 100005);
  EXPECT_EQ(std::memcmp(file.data() + 99999, "hdrend", 6), 0);
  const int32_t xml_len = qm::Get_LE32(file.data() + 12);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(file[static_cast<size_t>(20 + xml_len + i)], 0);
  // Frame i of the file is the frame appended i-th, block and all.
  for (int32_t i = 0; i < 5; ++i) {
    Bytes expect = qmtest::DV_Frame(false, 10 + i % 3);
    qmtest::Put_Timecode(expect, o.first_timecode + i);
    qmtest::Put_SSCD(expect, 12000, kv.blocks[static_cast<size_t>(i)]);
    EXPECT_EQ(std::memcmp(file.data() + 100005 + 144000 * i, expect.data(), 144000), 0) << i;
  }
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_EQ(h.num_frames(), 5);
  EXPECT_EQ(h.XML_header().Streams_no(), 1);
  Expect_No_Reports();
}

TEST_F(Writer_Test, AppendingToAClosedFileReopensItAndCloseAddsTheCount) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("grow.kv2"), {});
  qm::cls_AVI_handler h;
  h.File_name(kv.path);
  Bytes extra = qmtest::DV_Frame(false, 30);
  qmtest::Put_Timecode(extra, 41);
  ASSERT_TRUE(h.Append_DV_frame(extra.data()));
  qmtest::Put_Timecode(extra, 43);
  ASSERT_TRUE(h.Append_DV_frame(extra.data()));
  EXPECT_EQ(h.DV_frames_appended(), 2);
  EXPECT_EQ(h.m_Last_DV_counter(), 43);
  h.Close_File();
  EXPECT_EQ(h.DV_frames_appended(), 0);
  EXPECT_EQ(QFile(kv.path).size(), 100005 + 5 * 144000);
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_EQ(h.num_frames(), 5);
  h.Read_Frame(5, 1);
  EXPECT_EQ(std::memcmp(h.Frame_address(), extra.data(), 144000), 0);
  Expect_No_Reports();
}

TEST_F(Writer_Test, CreateFileFailureShowsTheCaptureFolderMessage) {
  qm::cls_AVI_handler h;
  h.File_name(Tmp("no/such/folder/x.kv2"));
  EXPECT_FALSE(h.Create_File());
  ASSERT_EQ(dialogs.Texts().size(), 1);
  EXPECT_TRUE(
      dialogs.Texts()[0].startsWith(QStringLiteral("File error! Check capture folder! \r\n")));
  EXPECT_FALSE(h.File_open());
}

TEST_F(Writer_Test, ReadOnlyAttributeAndDelete) {
  const QString path = Tmp("ro.bin");
  qmtest::Save_Bytes(path, Bytes(10, 1));
  EXPECT_FALSE(qm::Is_Read_Only(path));
  qm::Set_Read_Only(path, true);
  EXPECT_TRUE(qm::Is_Read_Only(path));
  try {
    qm::Remove_File(path);
    ADD_FAILURE() << "a read-only file was removed";
  } catch (const qm::Failure& f) {
    EXPECT_EQ(f.number, 75);
  }
  EXPECT_FALSE(qm::Delete_File(path, false));
  EXPECT_EQ(dialogs.Texts(), QStringList{QStringLiteral("Could not delete file: ") + path +
                                         QStringLiteral(", the file is probably read-only!")});
  EXPECT_TRUE(qm::File_Exists(path));
  qm::Set_Read_Only(path, false);
  EXPECT_TRUE(qm::Delete_File(path, true));
  EXPECT_FALSE(qm::File_Exists(path));
  EXPECT_FALSE(qm::Delete_File(path, false));  // nothing there: false, no message
  EXPECT_EQ(dialogs.Texts().size(), 1);
  EXPECT_TRUE(qm::Folder_Exists(tmp.path()));
  EXPECT_FALSE(qm::File_Exists(tmp.path()));
}

TEST_F(Writer_Test, PathPartsAndSuffix) {
  EXPECT_EQ(qm::ParsePath(QStringLiteral("/data/heats/h1.kv2"), 16), QStringLiteral("/data/heats"));
  EXPECT_EQ(qm::ParsePath(QStringLiteral("/data/heats/h1.kv2"), 16, false),
            QStringLiteral("/data/heats/"));
  EXPECT_EQ(qm::ParsePath(QStringLiteral("/data/heats/h1.kv2"), 0), QStringLiteral("h1.kv2"));
  EXPECT_EQ(qm::ParsePath(QStringLiteral("/data/heats/h1.kv2"), 3),
            QStringLiteral("/data/heats/h1.kv2"));
  EXPECT_EQ(qm::File_Suffix(QStringLiteral("a.b.KV2")), QStringLiteral("KV2"));
  EXPECT_EQ(qm::File_Suffix(QStringLiteral("noext")), QString());
}

TEST_F(Writer_Test, WriteLimitStopsPartWayThroughAWrite) {
  const QString path = Tmp("cut.bin");
  qmtest::Save_Bytes(path, Bytes(16, 0));
  qm::File_Handle f;
  f.Open(path, qm::File_Handle::Mode::Read_Write);
  const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  qm::Set_Write_Limit(11);
  f.Write_At(0, data, 8);
  EXPECT_THROW(f.Write_At(8, data, 8), qm::Failure);
  EXPECT_THROW(f.Write_At(0, data, 1), qm::Failure);
  qm::Set_Write_Limit(-1);
  f.Close();
  const Bytes b = qmtest::Load_Bytes(path);
  EXPECT_EQ(b, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 0, 0, 0, 0, 0}));
}

}  // namespace
