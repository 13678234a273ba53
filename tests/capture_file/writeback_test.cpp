// Writing the XML header back: contents, refusals, and survival of a cut at
// every byte of the write.
#include "capture_file/avi_handler.h"
#include "capture_file/avi_handler_detail.h"
#include "capture_file/xml_header.h"
#include "fixtures/avi_fixtures.h"
#include "fixtures/kv_fixtures.h"
#include "platform/files.h"
#include "support/test_env.h"

#include <QFile>

#include <cstring>

namespace {

using qmtest::Bytes;

class Writeback_Test : public qmtest::Test {
 protected:
  void TearDown() override {
    qm::Set_Write_Limit(-1);
    qmtest::Test::TearDown();
  }
  static QByteArray Stored_XML(const Bytes& file) {
    const int32_t len = qm::Get_LE32(file.data() + 12);
    return QByteArray(reinterpret_cast<const char*>(file.data() + 20), len);
  }
  static void Restore_Head(const QString& path, const Bytes& original, int64_t from, int64_t n) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(from);
    f.write(reinterpret_cast<const char*>(original.data() + from), n);
  }
  // A KV file with a small header, so that a cut can be tried at every byte.
  QString Small_KV(const QString& name) {
    const QString path = Tmp(name);
    const QByteArray xml = qmtest::Minimal_KV_XML(1, 1, 4000);
    qmtest::Make_KV_Raw(path, xml, 100005, static_cast<int32_t>(xml.size()),
                        {qmtest::DV_Frame(false, 3)});
    return path;
  }
};

TEST_F(Writeback_Test, KVHeaderRoundTripsAndShorterTextKeepsTheOldTail) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("rt.kv2"), {});
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(kv.path));
    h.XML_header().Set_Heat_comment(1, QString(400, QLatin1Char('c')));
    h.Event_name(QStringLiteral("A much longer event name than before, Kanu č"));
    h.Heat_result(1, 3, 61230);
    ASSERT_TRUE(h.Write_XML_header());
  }
  const Bytes after_long = qmtest::Load_Bytes(kv.path);
  const QByteArray text = Stored_XML(after_long);
  // One byte a character, references for what Latin-1 lacks.
  EXPECT_TRUE(text.contains("Kanu &#269;"));
  EXPECT_TRUE(text.contains("<update_program>Quaymark, Free version</update_program>"));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(after_long[20 + text.size() + i], 0) << i;
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(kv.path));
    EXPECT_EQ(h.Event_name(), QStringLiteral("A much longer event name than before, Kanu č"));
    EXPECT_EQ(h.Heat_time(1, 3), 61230);
    h.XML_header().Set_Heat_comment(1, QString());
    h.Event_name(QStringLiteral("E"));  // writes at once
  }
  const Bytes after_short = qmtest::Load_Bytes(kv.path);
  const int32_t short_len = qm::Get_LE32(after_short.data() + 12);
  EXPECT_LT(short_len, text.size());
  // The old tail behind the new text and its zero bytes is left as it was.
  const int64_t tail = 20 + short_len + 100;
  EXPECT_EQ(std::memcmp(after_short.data() + tail, after_long.data() + tail,
                        static_cast<size_t>(20 + text.size() - tail)),
            0);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_EQ(h.Event_name(), QStringLiteral("E"));
  // Video untouched by every write.
  EXPECT_EQ(std::memcmp(after_short.data() + 100005, after_long.data() + 100005,
                        after_short.size() - 100005),
            0);
  Expect_No_Reports();
}

TEST_F(Writeback_Test, KVHeaderThatNoLongerFitsIsRefusedUntouched) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("big.kv2"), {});
  const Bytes before = qmtest::Load_Bytes(kv.path);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  h.XML_header().Set_Heat_comment(1, QString(40000, QLatin1Char('x')));
  EXPECT_FALSE(h.Write_XML_header());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Write_XML_header of Class Module cls_AVI_handler"));
  EXPECT_EQ(reports[0].errnum, 6);
  h.Close_File();
  EXPECT_EQ(qmtest::Load_Bytes(kv.path), before);
  EXPECT_FALSE(QFile::exists(qm::Sidecar_Journal_Path(kv.path)));
}

TEST_F(Writeback_Test, KVHeaderSurvivesACutAtEveryByte) {
  const QString path = Small_KV("cut.kv2");
  const Bytes original = qmtest::Load_Bytes(path);
  const auto change = [](qm::cls_AVI_handler& h) {
    h.XML_header().Set_Event_name(QStringLiteral("New name after the cut test"));
    h.XML_header().Set_Start_PC_mill(1, 777777);
  };
  // Bytes of one whole write.
  int64_t total = 0;
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    change(h);
    qm::Set_Write_Limit(INT64_MAX / 2);
    ASSERT_TRUE(h.Write_XML_header());
    total = qm::Bytes_Written_Since_Limit();
    qm::Set_Write_Limit(-1);
  }
  ASSERT_GT(total, 2 * static_cast<int64_t>(Stored_XML(original).size()));
  int old_seen = 0, new_seen = 0;
  for (int64_t n = 0; n <= total; ++n) {
    Restore_Head(path, original, 0, 100005);
    {
      qm::cls_AVI_handler h;
      ASSERT_TRUE(h.Open_File(path));
      change(h);
      qm::Set_Write_Limit(n);
      EXPECT_EQ(h.Write_XML_header(), n == total) << n;
      qm::Set_Write_Limit(-1);
    }
    for (int pass = 0; pass < 2; ++pass) {  // the recovery, then a plain open
      qm::cls_AVI_handler h;
      ASSERT_TRUE(h.Open_File(path)) << n;
      ASSERT_TRUE(h.XML_header().Valid()) << n;
      const QString name = h.Event_name();
      const int32_t start = h.Start_PC_Mill_time(1);
      if (name == QLatin1String("Mini")) {
        EXPECT_EQ(start, 4000) << n;
        old_seen += pass == 0;
      } else {
        EXPECT_EQ(name, QStringLiteral("New name after the cut test")) << n;
        EXPECT_EQ(start, 777777) << n;
        new_seen += pass == 0;
      }
      EXPECT_EQ(h.num_frames(), 1);
    }
    const Bytes now = qmtest::Load_Bytes(path);
    ASSERT_EQ(now.size(), original.size());
    ASSERT_EQ(std::memcmp(now.data() + 100005, original.data() + 100005, 144000), 0) << n;
  }
  // Cuts inside the journal leave the old header, every later one the new.
  EXPECT_GT(old_seen, 0);
  EXPECT_GT(new_seen, 0);
  EXPECT_EQ(old_seen + new_seen, total + 1);
  reports.clear();
}

TEST_F(Writeback_Test, ReadOnlyFileUsesAnUnfinishedWriteInMemory) {
  const QString path = Small_KV("ro_cut.kv2");
  const int64_t xml = static_cast<int64_t>(qmtest::Minimal_KV_XML(1, 1, 4000).size());
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    h.XML_header().Set_Event_name(QStringLiteral("Journalled"));
    // Past the journal record, in the middle of the text's own write.
    qm::Set_Write_Limit(36 + xml + 40 + xml / 2);
    EXPECT_FALSE(h.Write_XML_header());
    qm::Set_Write_Limit(-1);
  }
  const Bytes cut = qmtest::Load_Bytes(path);
  qm::Set_Read_Only(path, true);
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    EXPECT_EQ(h.Event_name(), QStringLiteral("Journalled"));
  }
  EXPECT_EQ(qmtest::Load_Bytes(path), cut);
  qm::Set_Read_Only(path, false);
  reports.clear();
}

class Avi_Writeback_Test : public Writeback_Test {
 protected:
  qmfix::AVI_Written Avi(const QString& path, uint32_t room) {
    qmfix::AVI_Recipe recipe;
    recipe.frames = {qmtest::DV_Frame(false, 1), qmtest::DV_Frame(false, 2)};
    recipe.kvxm.push_back({qmtest::Minimal_KV_XML(1, 2, 5000), room});
    qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    qmfix::Save(path, w.bytes);
    return w;
  }
};

TEST_F(Avi_Writeback_Test, HeaderGoesIntoItsKVXMChunk) {
  const QString path = Tmp("hdr.avi");
  const qmfix::AVI_Written w = Avi(path, 4096);
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    ASSERT_TRUE(h.Has_XML_header());
    EXPECT_EQ(h.m_XML_chunk_pos(), w.kvxm[0]);
    h.Event_name(QStringLiteral("AVI event"));
  }
  const Bytes after = qmtest::Load_Bytes(path);
  ASSERT_EQ(after.size(), w.bytes.size());
  // The chunk's size field is unchanged and nothing outside it moved.
  const int64_t text_at = w.kvxm[0] + 8;
  EXPECT_EQ(qmfix::Get32(after, w.kvxm[0] + 4), 4096u);
  EXPECT_EQ(std::memcmp(after.data(), w.bytes.data(), static_cast<size_t>(text_at)), 0);
  EXPECT_EQ(std::memcmp(after.data() + text_at + 4096, w.bytes.data() + text_at + 4096,
                        after.size() - static_cast<size_t>(text_at + 4096)),
            0);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Event_name(), QStringLiteral("AVI event"));
  EXPECT_FALSE(QFile::exists(qm::Sidecar_Journal_Path(path)));
  Expect_No_Reports();
}

TEST_F(Avi_Writeback_Test, HeaderPastTheChunkIsRefusedUntouched) {
  const QString path = Tmp("tight.avi");
  Avi(path, 0);  // just the text and its 100 zero bytes
  const Bytes before = qmtest::Load_Bytes(path);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  h.Event_name(QStringLiteral("A longer name that no longer fits"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Write_XML_header of Class Module cls_AVI_handler"));
  h.Close_File();
  EXPECT_EQ(qmtest::Load_Bytes(path), before);
  EXPECT_FALSE(QFile::exists(qm::Sidecar_Journal_Path(path)));
}

TEST_F(Avi_Writeback_Test, WithoutKVXMNothingIsWritten) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = {qmtest::DV_Frame(false, 1)};
  const QString path = Tmp("plain.avi");
  qmfix::Save(path, qmfix::Write_AVI(recipe).bytes);
  const Bytes before = qmtest::Load_Bytes(path);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_FALSE(h.Has_XML_header());
  EXPECT_TRUE(h.Write_XML_header());
  h.Close_File();
  EXPECT_EQ(qmtest::Load_Bytes(path), before);
}

TEST_F(Avi_Writeback_Test, HeaderSurvivesACutAtEveryByte) {
  const QString path = Tmp("cut.avi");
  const qmfix::AVI_Written w = Avi(path, 2048);
  const auto change = [](qm::cls_AVI_handler& h) {
    h.XML_header().Set_Event_name(QStringLiteral("After the cut"));
  };
  int64_t total = 0;
  {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    change(h);
    qm::Set_Write_Limit(INT64_MAX / 2);
    ASSERT_TRUE(h.Write_XML_header());
    total = qm::Bytes_Written_Since_Limit();
    qm::Set_Write_Limit(-1);
  }
  int old_seen = 0, new_seen = 0;
  for (int64_t n = 0; n <= total; ++n) {
    Restore_Head(path, w.bytes, w.kvxm[0], 8 + 2048);
    QFile::remove(qm::Sidecar_Journal_Path(path));
    {
      qm::cls_AVI_handler h;
      ASSERT_TRUE(h.Open_File(path));
      change(h);
      qm::Set_Write_Limit(n);
      EXPECT_EQ(h.Write_XML_header(), n == total) << n;
      qm::Set_Write_Limit(-1);
    }
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path)) << n;
    ASSERT_TRUE(h.XML_header().Valid()) << n;
    const QString name = h.Event_name();
    if (name == QLatin1String("Mini"))
      ++old_seen;
    else if (name == QLatin1String("After the cut"))
      ++new_seen;
    else
      ADD_FAILURE() << n << " " << name.toStdString();
  }
  EXPECT_GT(old_seen, 0);
  EXPECT_GT(new_seen, 0);
  EXPECT_FALSE(QFile::exists(qm::Sidecar_Journal_Path(path)));
  reports.clear();
}

}  // namespace
