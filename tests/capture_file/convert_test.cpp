// "Convert file": old VDV files (earlier DV header layout) made by the
// fixture become KV2 files; the right answers come from what the fixture wrote.
#include "capture_file/avi_handler.h"
#include "capture_file/kv_convert.h"
#include "capture_file/kvs_header.h"
#include "capture_file/xml_header.h"
#include "fixtures/kv_fixtures.h"
#include "platform/files.h"
#include "shell/trace.h"
#include "support/run_program.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace {

using qmtest::Bytes;
using qmtest::Old_VDV_Options;

Old_VDV_Options Frames(int32_t frames, int32_t partial_bytes = 0) {
  Old_VDV_Options o;
  o.frames = frames;
  o.partial_bytes = partial_bytes;
  return o;
}

class Convert_Test : public qmtest::Test {
 protected:
  QString Folder(const QString& name) {
    QDir(tmp.path()).mkpath(name);
    return Tmp(name);
  }
};

TEST_F(Convert_Test, CopiesCompleteFramesAndCarriesTheRaceValues) {
  // The folder name has a "." of its own: the file stays in it.
  const QString vdv = Folder(QStringLiteral("heats.2012")) + QStringLiteral("/heat12.vdv");
  Old_VDV_Options o;
  o.frames = 6;
  o.partial_bytes = 50000;
  const qmtest::Old_VDV_Written w = qmtest::Make_Old_VDV(vdv, o);
  const QString kv2 = Tmp(QStringLiteral("heats.2012/heat12.kv2"));
  qmtest::Save_Bytes(kv2, Bytes(500, 7));  // an earlier conversion: replaced
  std::vector<bool> pointer;

  const qm::Convert_Result r =
      qm::Convert_VDV_File(vdv, [&](bool busy) { pointer.push_back(busy); });

  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.frames, 6);
  EXPECT_EQ(r.kv2_path, kv2);
  EXPECT_EQ(dialogs.Texts(), QStringList{QStringLiteral("6 frames converted!")});
  EXPECT_EQ(pointer, (std::vector<bool>{true, false}));
  EXPECT_FALSE(QFile::exists(Tmp(QStringLiteral("heats.kv2"))));
  Expect_No_Reports();

  const Bytes file = qmtest::Load_Bytes(kv2);
  ASSERT_EQ(file.size(), size_t(100005 + 6 * 144000));
  EXPECT_EQ(std::memcmp(file.data(), "KVS1", 4), 0);
  EXPECT_EQ(std::memcmp(file.data() + 99999, "hdrend", 6), 0);
  for (size_t i = 0; i < w.frames.size(); ++i)
    EXPECT_EQ(std::memcmp(file.data() + 100005 + 144000 * i, w.frames[i].data(), 144000), 0) << i;

  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv2));
  EXPECT_EQ(h.num_frames(), 6);
  EXPECT_EQ(h.XML_header().Streams_no(), 1);
  EXPECT_EQ(h.Get_Goalline(), (std::array<int16_t, 4>{101, 102, 503, 104}));
  EXPECT_TRUE(h.rotated());
  EXPECT_TRUE(h.Show_goalline());
  EXPECT_TRUE(h.Lanes_flipped());
  EXPECT_TRUE(h.Lanes_locked());
  EXPECT_EQ(h.Lane_count(), 6);
  EXPECT_EQ(h.Start_local_Mill_Time(1), 36000000);
  EXPECT_EQ(h.Heat_ID(1), QStringLiteral("h99"));
  EXPECT_EQ(h.Event_name(), QStringLiteral("Old Regatta \u00E5"));
  EXPECT_EQ(h.Creation_Date(), QStringLiteral("12-05-04 14:57:03"));
  for (int16_t k = 1; k <= 6; ++k) {
    EXPECT_EQ(h.LaneX(k), Old_VDV_Options::Lane_X(k)) << k;
    EXPECT_EQ(h.LaneY(k), Old_VDV_Options::Lane_Y(k)) << k;
  }
  // The source is only read.
  EXPECT_EQ(qm::File_Length(vdv), w.file_length);
}

TEST_F(Convert_Test, NewPathReplacesOnlyTheFileNamesSuffix) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"/data/heat12.vdv", "/data/heat12.kv2"},
      {"/data/v1.2/heat12.vdv", "/data/v1.2/heat12.kv2"},
      {"/data/heat.12.vdv", "/data/heat.12.kv2"},
      {"/data.old/heat12", "/data.old/heat12.kv2"},
  };
  for (const auto& [from, to] : cases)
    EXPECT_EQ(qm::Converted_Path(from), to) << from.toStdString();
}

TEST_F(Convert_Test, FrameCounterJumpsLeaveTraceLines) {
  QStringList lines;
  qm::Set_Trace_Tap([&](const QString& v) {
    if (v.startsWith(QStringLiteral("Expected DV frame"))) lines << v;
  });
  Old_VDV_Options o;
  o.frames = 5;
  o.timecodes = {40, 41, 43, 44, 44};
  qmtest::Make_Old_VDV(Tmp("jump.vdv"), o);
  const qm::Convert_Result r = qm::Convert_VDV_File(Tmp("jump.vdv"));
  qm::Set_Trace_Tap({});
  EXPECT_EQ(r.frames, 5);
  // The first frame is compared with counter 0 too.
  EXPECT_EQ(lines, (QStringList{"Expected DV frame 1Received frame 40\t",
                                "Expected DV frame 42Received frame 43\t",
                                "Expected DV frame 45Received frame 44\t"}));
}

TEST_F(Convert_Test, FilesThatCannotBeConvertedAreReportedAndLeaveNoKV2) {
  struct Case {
    const char* name;
    std::function<void(const QString& path)> make;
    int32_t number;
  };
  const std::vector<Case> cases = {
      {"short.vdv", [](const QString& p) { qmtest::Save_Bytes(p, Bytes(13991, 0)); }, 62},
      {"lanes.vdv",
       [](const QString& p) {
         Old_VDV_Options o;
         o.lanes = 40;
         qmtest::Make_Old_VDV(p, o);
       },
       321},
      {"headlen.vdv",
       [](const QString& p) {
         qmtest::Make_Old_VDV(p);
         Bytes b = qmtest::Load_Bytes(p);
         qm::Put_LE32(b.data() + 4, int32_t(b.size()) + 1);  // beyond the end
         qmtest::Save_Bytes(p, b);
       },
       321},
      // More frames than a KV header can count: a sparse file, nothing copied.
      {"long.vdv",
       [](const QString& p) {
         qmtest::Make_Old_VDV(p, Frames(0));
         QFile f(p);
         ASSERT_TRUE(f.resize(14000 + int64_t(32768) * 144000));
       },
       6},
      {"missing.vdv", [](const QString&) {}, 53},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reports.clear();
    dialogs.Clear();
    const QString path = Tmp(c.name);
    c.make(path);
    const qm::Convert_Result r = qm::Convert_VDV_File(path);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].errproc, QStringLiteral("item_convert_file_Click of Form frm_kanot_2"));
    EXPECT_EQ(reports[0].errnum, c.number);
    EXPECT_TRUE(dialogs.Texts().isEmpty());
    EXPECT_FALSE(QFile::exists(qm::Converted_Path(path)));
  }
}

TEST_F(Convert_Test, AKV2ChosenIsNeverItsOwnTarget) {
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("heat.kv2"));
  const int64_t before = qm::File_Length(kv.path);
  EXPECT_FALSE(qm::Convert_VDV_File(kv.path).ok);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errnum, 5);
  EXPECT_EQ(qm::File_Length(kv.path), before);
}

TEST_F(Convert_Test, TargetThatCannotBeCreatedShowsTheCaptureFolderMessage) {
  qmtest::Make_Old_VDV(Tmp("blocked.vdv"));
  QDir(tmp.path()).mkdir(QStringLiteral("blocked.kv2"));  // a folder in the way
  const qm::Convert_Result r = qm::Convert_VDV_File(Tmp("blocked.vdv"));
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(dialogs.Texts().size(), 1);
  EXPECT_TRUE(
      dialogs.Texts()[0].startsWith(QStringLiteral("File error! Check capture folder! \r\n75 ")));
  Expect_No_Reports();
}

TEST_F(Convert_Test, WritingFailuresAreReportedUnderTheirOwnNames) {
  const Bytes frame = qmtest::DV_Frame(false, 41);
  qm::cls_AVI_handler h;
  h.File_name(Tmp("gone.kv2"));
  EXPECT_FALSE(h.Append_DV_frame(frame.data()));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("append_dv_frame of cls_avi_handler"));
  EXPECT_EQ(reports[0].errnum, 53);
  EXPECT_EQ(h.DV_frames_appended(), 0);

  // A frame count that cannot be written makes Close_File say so; the file
  // keeps its old header.
  reports.clear();
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("full.kv2"));
  h.File_name(kv.path);
  ASSERT_TRUE(h.Append_DV_frame(frame.data()));
  qm::Set_Write_Limit(0);
  EXPECT_FALSE(h.Close_File());
  qm::Set_Write_Limit(-1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Write_XML_header of Class Module cls_AVI_handler"));
  EXPECT_EQ(h.DV_frames_appended(), 0);
  ASSERT_TRUE(h.Open_File(kv.path));
  EXPECT_EQ(h.num_frames(), kv.frames);
}

TEST_F(Convert_Test, CommandAsksForTheFileFirst) {
  EXPECT_FALSE(qm::Convert_file().ok);  // cancelled: nothing else
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].kind, qm::Scripted_Dialogs::Record::Kind::File);
  EXPECT_EQ(dialogs.records()[0].detail, QStringLiteral("Quaymark Files (*.vdv)"));

  dialogs.Clear();
  qmtest::Make_Old_VDV(Tmp("chosen.vdv"), Frames(2));
  dialogs.File_With(Tmp("chosen.vdv"));
  EXPECT_TRUE(qm::Convert_file().ok);
  EXPECT_EQ(dialogs.Texts().last(), QStringLiteral("2 frames converted!"));
  EXPECT_TRUE(QFile::exists(Tmp("chosen.kv2")));
}

TEST_F(Convert_Test, QmtoolConvert) {
  qmtest::Make_Old_VDV(Tmp("tool.vdv"), Frames(3, 10));
  const qmtest::Run_Result ok = qmtest::Qmtool({QStringLiteral("convert"), Tmp("tool.vdv")});
  EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
  EXPECT_EQ(ok.out.trimmed(), Tmp("tool.kv2").toUtf8());
  EXPECT_TRUE(ok.err.contains("3 frames converted!"));
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(Tmp("tool.kv2")));
  EXPECT_EQ(h.num_frames(), 3);

  const qmtest::Run_Result bad = qmtest::Qmtool({QStringLiteral("convert"), Tmp("none.vdv")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.contains("item_convert_file_Click of Form frm_kanot_2"));
  EXPECT_EQ(qmtest::Qmtool({QStringLiteral("convert")}).status, 2);
}

}  // namespace
