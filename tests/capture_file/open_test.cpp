// Opening each kind of capture file, its refusals, and where frames are read.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/kv_fixtures.h"
#include "platform/files.h"
#include "support/test_env.h"

#include <QFile>

#include <cstring>

namespace {

using qmtest::Bytes;

class Open_Test : public qmtest::Test {
 protected:
  QStringList Messages() const { return dialogs.Texts(); }
  static bool Same(const uint8_t* a, const Bytes& b) {
    return a && std::memcmp(a, b.data(), b.size()) == 0;
  }
};

TEST_F(Open_Test, LengthLimitIs100Bytes) {
  const QString p99 = Tmp("short.dv"), p100 = Tmp("hundred.dv");
  qmtest::Save_Bytes(p99, Bytes(99, 0));
  qmtest::Save_Bytes(p100, Bytes(100, 0));
  qm::cls_AVI_handler h;
  EXPECT_FALSE(h.Open_File(p99));
  EXPECT_EQ(Messages(), QStringList{QStringLiteral("Corrupt file, (Invalid file length)")});
  EXPECT_FALSE(h.File_open());
  dialogs.Clear();
  // 100 bytes passes the length test: a raw DV file of one (short) frame.
  EXPECT_TRUE(h.Open_File(p100));
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_EQ(h.num_frames(), 0);
  h.Read_Frame(1, 1);
  EXPECT_EQ(h.Frame_in_store(), 0);  // nothing to read
}

TEST_F(Open_Test, SuffixRules) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("heat.kv2"), {});
  ASSERT_TRUE(kv.ok);
  const Bytes bytes = qmtest::Load_Bytes(kv.path);
  struct Case {
    const char* name;
    bool opens;
  } cases[] = {{"upper.KV2", true},
               {"mixed.Kv1", true},
               {"clip.mov", false},
               {"noextension", false},
               {"dotted.kv2.bak", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.Clear();
    const QString path = Tmp(QString::fromLatin1(c.name));
    ASSERT_TRUE(qmtest::Save_Bytes(path, bytes));
    qm::cls_AVI_handler h;
    EXPECT_EQ(h.Open_File(path), c.opens);
    if (c.opens) {
      EXPECT_EQ(h.Kind(), qm::Capture_Kind::KV);
      EXPECT_EQ(h.num_frames(), 3);
      EXPECT_TRUE(Messages().isEmpty());
    } else {
      EXPECT_EQ(Messages(),
                QStringList{QStringLiteral("cls_AVI_handler can't open this file type! ") + path});
    }
  }
  // A missing file fails without a message.
  dialogs.Clear();
  qm::cls_AVI_handler h;
  EXPECT_FALSE(h.Open_File(Tmp("missing.kv2")));
  EXPECT_TRUE(Messages().isEmpty());
  Expect_No_Reports();
}

TEST_F(Open_Test, KV2FromOurWriterGivesItsGeometry) {
  qmtest::KV2_Options o;
  o.frames = 4;
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("geo.kv2"), o);
  ASSERT_TRUE(kv.ok);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_EQ(h.Header_len(), 100005);
  EXPECT_EQ(h.num_frames(), 4);
  EXPECT_EQ(h.Num_fields(), 8);
  EXPECT_EQ(h.num_Calculated_frames(), 4);
  EXPECT_EQ(h.Num_Video_streams(), 1);
  EXPECT_EQ(h.Width(), 720);
  EXPECT_EQ(h.Height(), 576);
  EXPECT_EQ(h.m_Frame_ms(), 40);
  EXPECT_EQ(h.m_Field_ms(), 20);
  EXPECT_EQ(h.Clip_length(), 160);
  EXPECT_EQ(h.mill_per_frame(), 20);
  EXPECT_TRUE(h.is_DV());
  EXPECT_TRUE(h.Has_XML_header());
  EXPECT_TRUE(h.is_Quaymark());
  EXPECT_FALSE(h.NTSC());
  EXPECT_EQ(h.Event_name(), QStringLiteral("Fixture Regatta"));
  EXPECT_EQ(h.Frame_buffer().size(), 144000u);
  // Exactly what the writer stored: the file's XML text from offset 20.
  const Bytes bytes = qmtest::Load_Bytes(kv.path);
  EXPECT_EQ(qm::Get_LE32(bytes.data() + 12), h.XML_len());
  EXPECT_EQ(std::memcmp(bytes.data() + 99999, "hdrend", 6), 0);
  Expect_No_Reports();
}

TEST_F(Open_Test, KVFramesAreAddressedByStreamAndClampedToTheLastFrame) {
  qmtest::KV2_Options o;
  o.frames = 4;
  o.streams = 2;
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("two.kv2"), o);
  ASSERT_TRUE(kv.ok);
  const Bytes file = qmtest::Load_Bytes(kv.path);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  ASSERT_EQ(h.Num_Video_streams(), 2);
  ASSERT_EQ(h.num_frames(), 4);
  h.Read_Frame(3, 2);
  EXPECT_EQ(h.m_Frame_pos(), 100005 + 144000 * 5);
  EXPECT_EQ(h.Frame_in_store(), 3);
  EXPECT_EQ(std::memcmp(h.Frame_address(), file.data() + 100005 + 144000 * 5, 144000), 0);
  // Past the end: the last frame.
  h.Read_Frame(h.num_frames() + 10, 1);
  EXPECT_EQ(h.Frame_in_store(), 4);
  EXPECT_EQ(h.m_Frame_pos(), 100005 + 144000 * 6);
  // Below 1 and an unknown stream leave the buffer as it was.
  h.Read_Frame(0, 1);
  h.Read_Frame(2, 3);
  EXPECT_EQ(h.Frame_in_store(), 4);
  EXPECT_EQ(h.m_Frame_pos(), 100005 + 144000 * 6);
  Expect_No_Reports();
}

TEST_F(Open_Test, FramesAreReadFromHeaderLenWhateverHdrendSays) {
  // Another tool's layout: a shorter head, XML_len beyond the text's zero byte.
  const QByteArray xml = qmtest::Minimal_KV_XML(1, 2);
  const std::vector<Bytes> frames = {qmtest::DV_Frame(false, 1), qmtest::DV_Frame(false, 2)};
  const int32_t header_len = 20 + static_cast<int32_t>(xml.size()) + 500;
  const QString path = Tmp("other.kv2");
  qmtest::Make_KV_Raw(path, xml, header_len, static_cast<int32_t>(xml.size()) + 300, frames);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Header_len(), header_len);
  EXPECT_EQ(h.XML_header().Event_name(), QStringLiteral("Mini"));
  h.Read_Frame(2, 1);
  EXPECT_EQ(h.m_Frame_pos(), header_len + 144000);
  EXPECT_TRUE(Same(h.Frame_address(), frames[1]));
  Expect_No_Reports();
}

TEST_F(Open_Test, KVWithZeroStreamsFailsWithoutMessage) {
  const QString path = Tmp("zero.kv2");
  qmtest::Make_KV_Raw(path, qmtest::Minimal_KV_XML(0, 1), 100005,
                      static_cast<int32_t>(qmtest::Minimal_KV_XML(0, 1).size()),
                      {qmtest::DV_Frame(false, 1)});
  qm::cls_AVI_handler h;
  EXPECT_FALSE(h.Open_File(path));
  EXPECT_FALSE(h.File_open());
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Open_Test, HostileSizesFailCleanly) {
  const QByteArray xml = qmtest::Minimal_KV_XML(1, 1);
  const int32_t len = static_cast<int32_t>(xml.size());
  struct Case {
    const char* what;
    int32_t header_len;
    int32_t xml_len;
  } cases[] = {{"header past the end", 0x7fff0000, len},
               {"header inside the record", 8, len},
               {"negative xml", 100005, -5},
               {"xml past the header", 100005, 100005},
               {"xml huge", 100005, 0x7ffffff0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.Clear();
    reports.clear();
    const QString path = Tmp(QStringLiteral("hostile.kv2"));
    qmtest::Make_KV_Raw(path, xml, std::min(c.header_len, 100005), c.xml_len,
                        {qmtest::DV_Frame(false, 1)});
    if (c.header_len != std::min(c.header_len, 100005)) {
      Bytes b = qmtest::Load_Bytes(path);
      qm::Put_LE32(b.data() + 4, c.header_len);
      qmtest::Save_Bytes(path, b);
    }
    qm::cls_AVI_handler h;
    EXPECT_FALSE(h.Open_File(path));
    EXPECT_FALSE(h.File_open());
    // The header read is reported; the open then fails on the empty header.
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].errproc, QStringLiteral("Get_KVS_header of Class Module cls_AVI_handler"));
    EXPECT_EQ(reports[0].errnum, 321);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith(QStringLiteral("File: ") + path + " Open error! "));
  }
}

TEST_F(Open_Test, HugeStreamCountDoesNotDecideTheAllocation) {
  const QByteArray xml =
      qmtest::Minimal_KV_XML(2, 1).replace("<num_streams>2", "<num_streams>32000");
  const QString path = Tmp("many.kv2");
  qmtest::Make_KV_Raw(path, xml, 100005, static_cast<int32_t>(xml.size()),
                      {qmtest::DV_Frame(false, 1)});
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Num_Video_streams(), 32000);
  EXPECT_EQ(h.Frame_buffer().size(), 5u * 144000);
  // The stream table's overflow is reported, the first entries are filled.
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Read_Stream_Info of Class Module cls_AVI_handler"));
  EXPECT_TRUE(h.Stream(1).active);
  h.Read_Frame(1, 1);
  EXPECT_EQ(h.Frame_in_store(), 1);
}

TEST_F(Open_Test, VDVReadsStreamOneWhateverStreamIsAsked) {
  const QString path = Tmp("old.vdv");
  const qmtest::VDV_Written v = qmtest::Make_VDV(path, 3, 2);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  EXPECT_EQ(h.Kind(), qm::Capture_Kind::VDV);
  EXPECT_EQ(h.num_frames(), 3);
  EXPECT_EQ(h.Num_fields(), 6);
  EXPECT_EQ(h.Num_Video_streams(), 2);
  EXPECT_EQ(h.video_codec(), QStringLiteral("CDVC"));
  EXPECT_FALSE(h.Has_XML_header());
  h.Read_Frame(2, 2);
  EXPECT_EQ(h.m_Frame_pos(), v.header_len + 2 * 144000);
  EXPECT_TRUE(Same(h.Frame_address(), v.frames[2]));  // frame 2 of stream 1
  EXPECT_EQ(h.m_Source_format().biSizeImage, 144000u);
  Expect_No_Reports();
}

TEST_F(Open_Test, RawDVTakesTheLineSystemOfTheFirstFrame) {
  for (const bool ntsc : {false, true}) {
    SCOPED_TRACE(ntsc ? "NTSC" : "PAL");
    const QString path = Tmp(ntsc ? "ntsc.dv" : "pal.dv");
    const std::vector<Bytes> frames = qmtest::Make_Raw_DV(path, 3, ntsc);
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    EXPECT_EQ(h.NTSC(), ntsc);
    EXPECT_EQ(h.m_Frame_size(), ntsc ? 120000 : 144000);
    EXPECT_EQ(h.Height(), ntsc ? 480 : 576);
    EXPECT_EQ(h.m_Frame_ms(), ntsc ? 33 : 40);
    EXPECT_EQ(h.m_Field_ms(), ntsc ? 16 : 20);
    EXPECT_EQ(h.mill_per_frame(), ntsc ? 33 : 40);
    EXPECT_EQ(h.Frame_Rate(), ntsc ? 30 : 25);
    EXPECT_EQ(h.num_frames(), 3);
    EXPECT_EQ(h.Decode_height(), ntsc ? 480 : 576);
    h.Read_Frame(3, 1);
    EXPECT_EQ(h.m_Frame_pos(), 2 * h.m_Frame_size());
    EXPECT_TRUE(Same(h.Frame_address(), frames[2]));
  }
  Expect_No_Reports();
}

TEST_F(Open_Test, EveryOpenStartsFromACleanHeaderAndClock) {
  qmtest::KV2_Options o;
  o.frames = 2;
  o.event_name = QStringLiteral("First Event");
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("first.kv2"), o);
  qmtest::KV2_Options bare;
  bare.frames = 2;
  bare.sscd_offset = -1;
  const qmtest::KV2_Written nostamp = qmtest::Make_KV2(Tmp("nostamp.kv2"), bare);
  const QString dv = Tmp("plain.dv");
  qmtest::Make_Raw_DV(dv, 2, false);

  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  h.Read_Frame(2, 1);
  ASSERT_NE(h.m_Frame_stamp(), 0);
  ASSERT_TRUE(h.is_Quaymark());

  ASSERT_TRUE(h.Open_File(dv));
  EXPECT_FALSE(h.is_Quaymark());
  EXPECT_FALSE(h.XML_header().Valid());
  EXPECT_THROW(h.Event_name(), qm::Failure);
  EXPECT_EQ(h.m_Frame_stamp(), 0);

  ASSERT_TRUE(h.Open_File(kv.path));
  h.Read_Frame(1, 1);
  ASSERT_NE(h.Capture_mill_time(), 0);
  ASSERT_TRUE(h.Open_File(nostamp.path));
  h.Read_Frame(1, 1);
  EXPECT_TRUE(h.m_SSCD_searched());
  EXPECT_EQ(h.Capture_mill_time(), 0);
  EXPECT_EQ(h.Old_HeatStart(), 0);
  EXPECT_EQ(h.m_Frame_stamp(), 0);
  EXPECT_EQ(h.Event_name(), QStringLiteral("Fixture Regatta"));
}

TEST_F(Open_Test, CloseResetsTheFileStateAndTwiceIsHarmless) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("c.kv2"), {});
  qm::cls_AVI_handler h;
  h.Close_File();
  ASSERT_TRUE(h.Open_File(kv.path));
  h.Read_Frame(2, 1);
  h.Close_File();
  h.Close_File();
  EXPECT_FALSE(h.File_open());
  EXPECT_EQ(h.num_frames(), 0);
  EXPECT_EQ(h.Num_fields(), 0);
  EXPECT_EQ(h.Frame_in_store(), 0);
  EXPECT_EQ(h.Width(), 0);
  EXPECT_EQ(h.video_codec(), QStringLiteral("0"));
  EXPECT_EQ(h.Current_File_Suffix(), QString());
  EXPECT_EQ(h.File_name(), kv.path);
  // The header document stays until the next open.
  EXPECT_EQ(h.XML_header().Event_name(), QStringLiteral("Fixture Regatta"));
  Expect_No_Reports();
}

TEST_F(Open_Test, ReadOnlyKVOpensForReadingAndRefusesTheHeaderWrite) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("ro.kv2"), {});
  const Bytes before = qmtest::Load_Bytes(kv.path);
  qm::Set_Read_Only(kv.path, true);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_TRUE(h.Read_only());
  h.Read_Frame(1, 1);
  EXPECT_EQ(h.Frame_in_store(), 1);
  EXPECT_FALSE(h.Write_XML_header());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Write_XML_header of Class Module cls_AVI_handler"));
  EXPECT_EQ(reports[0].errnum, 70);
  h.Close_File();
  qm::Set_Read_Only(kv.path, false);
  EXPECT_EQ(qmtest::Load_Bytes(kv.path), before);
}

}  // namespace
