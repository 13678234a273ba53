// Field times from the per-frame stamp block.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/kv_fixtures.h"
#include "support/test_env.h"

namespace {

using qmtest::SSCD_Block;

class Timing_Test : public qmtest::Test {
 protected:
  // One KV2 file whose frames carry the given blocks; heat 1 starts at `start`.
  qmtest::KV2_Written Make(std::vector<SSCD_Block> blocks, int32_t start, int32_t offset = 12000) {
    qmtest::KV2_Options o;
    o.frames = static_cast<int32_t>(blocks.size());
    o.blocks = std::move(blocks);
    o.start_pc_mill = start;
    o.sscd_offset = offset;
    return qmtest::Make_KV2(Tmp(QStringLiteral("t%1.kv2").arg(++files_)), o);
  }
  // Shows field f (as the field display does) and gives its time.
  int32_t Time_Of(qm::cls_AVI_handler& h, int32_t field) {
    const qm::Field_Selection s = qm::Select_Field(field);
    h.Set_Draw_State(s);
    h.Read_Frame(s.eff_frameno, 1);
    return h.Multi_TimeStamp(1);
  }
  int files_ = 0;
};

TEST_F(Timing_Test, FieldSelectionFollowsTheFieldNumber) {
  struct Case {
    int32_t field, frame;
    int16_t which;
  } cases[] = {{1, 1, 1}, {2, 1, 2}, {3, 2, 1}, {4, 2, 2}, {65533, 32767, 1}, {65534, 32767, 2}};
  for (const Case& c : cases) {
    const qm::Field_Selection s = qm::Select_Field(c.field);
    EXPECT_EQ(s.eff_frameno, c.frame) << c.field;
    EXPECT_EQ(s.Field_To_Show, c.which) << c.field;
  }
  // The display path holds frame numbers in 16 bits.
  EXPECT_THROW(qm::Select_Field(65535), qm::Failure);
}

TEST_F(Timing_Test, WorkedExample) {
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(Make({{1234567, 0, 0, 0, 12}}, 1200000).path));
  EXPECT_EQ(Time_Of(h, 1), 34538);
  EXPECT_EQ(h.m_Frame_stamp(), 1234550);
  EXPECT_EQ(Time_Of(h, 2), 34558);
  EXPECT_EQ(h.m_SSCD_offset(), 12000);
  Expect_No_Reports();
}

TEST_F(Timing_Test, StampsRoundToTheGridHalvesToEven) {
  struct Case {
    int32_t stamp, grid;
  } cases[] = {{100, 70}, {140, 150}, {120, 110}, {60, 70}, {119, 110}, {101, 110}, {-100, -90}};
  for (const Case& c : cases) {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(Make({{c.stamp, 0, 0, 0, 0}}, 0).path));
    h.Read_Frame(1, 1);
    EXPECT_EQ(h.m_Frame_stamp(), c.grid) << c.stamp;
  }
}

TEST_F(Timing_Test, BiasBelow500IsSubtracted) {
  struct Case {
    int16_t bias;
    int32_t first_field;
  } cases[] = {{499, 1000 - 10 - 499}, {500, 990}, {900, 990}, {-30, 1020}, {0, 990}};
  for (const Case& c : cases) {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(Make({{101000, 0, 0, 0, c.bias}}, 100000).path));
    EXPECT_EQ(Time_Of(h, 1), c.first_field) << c.bias;
    EXPECT_EQ(Time_Of(h, 2), c.first_field + 20) << c.bias;
  }
}

TEST_F(Timing_Test, ZeroHeatStartFallsBackToTheBlocksOwnStart) {
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(Make({{50000, 20000, 0, 0, 0}}, 0).path));
  EXPECT_EQ(Time_Of(h, 1), 50000 - 10 - 20000);
  // Once a start is set it is the time base.
  h.Start_PC_mill(1, 40000);
  EXPECT_EQ(h.Multi_TimeStamp(1), 50000 - 10 - 40000);
  EXPECT_EQ(h.Start_PC_Mill_time(1), 40000);
}

TEST_F(Timing_Test, FieldsStep20msAcrossFrames) {
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(
      Make({{10000, 0, 0, 0, 0}, {10040, 0, 0, 0, 0}, {10080, 0, 0, 0, 0}}, 5000).path));
  std::vector<int32_t> times;
  for (int32_t f = 1; f <= 6; ++f) times.push_back(Time_Of(h, f));
  EXPECT_EQ(times, (std::vector<int32_t>{4990, 5010, 5030, 5050, 5070, 5090}));
}

TEST_F(Timing_Test, BlockValuesAndTimeOfDay) {
  qm::cls_AVI_handler h;
  ASSERT_TRUE(
      h.Open_File(Make({{7000, 6000, 36000000, 3, 17}, {7040, 6000, 36000040, 4, 17}}, 6000).path));
  Time_Of(h, 4);
  EXPECT_EQ(h.Capture_mill_time(), 7040);
  EXPECT_EQ(h.Old_HeatStart(), 6000);
  EXPECT_EQ(h.Frame_time(), 36000040);
  EXPECT_EQ(h.Field_time_of_day(), 36000060);
  EXPECT_EQ(h.Lap_Count(), 4);
  EXPECT_EQ(h.m_Timing_bias(), 17);
}

TEST_F(Timing_Test, BlockBeyond15000IsNotUsed) {
  for (const int32_t offset : {15000, 15001}) {
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(Make({{9000, 0, 0, 0, 0}}, 1000, offset).path));
    h.Read_Frame(1, 1);
    EXPECT_TRUE(h.m_SSCD_searched());
    EXPECT_EQ(h.m_SSCD_offset(), offset);
    EXPECT_EQ(h.Capture_mill_time(), offset == 15000 ? 9000 : 0) << offset;
  }
}

TEST_F(Timing_Test, BlockPlaceIsSearchedOncePerFile) {
  // The block's place is found on the first frame read; a later frame whose
  // bytes there are not a block keeps the block held before.
  const qmtest::KV2_Written kv = Make({{2000, 0, 0, 0, 0}, {2040, 0, 0, 0, 0}}, 0);
  qmtest::Bytes file = qmtest::Load_Bytes(kv.path);
  std::memset(file.data() + 100005 + 144000 + 12000, 0, 4);
  qmtest::Save_Bytes(kv.path, file);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(kv.path));
  h.Read_Frame(1, 1);
  h.Read_Frame(2, 1);
  EXPECT_EQ(h.Frame_in_store(), 2);
  EXPECT_EQ(h.Capture_mill_time(), 2040);  // bytes at the found offset are still copied
}

TEST_F(Timing_Test, MissingStartNodeFailsForTheCaller) {
  const QString path = Tmp("nostart.kv2");
  QByteArray xml = qmtest::Minimal_KV_XML(1, 1);
  xml.replace("<start_pc_mill>0</start_pc_mill>", "");
  qmtest::Make_KV_Raw(path, xml, 100005, static_cast<int32_t>(xml.size()),
                      {qmtest::DV_Frame(false, 1)});
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(path));
  h.Read_Frame(1, 1);
  EXPECT_THROW(h.Multi_TimeStamp(1), qm::Failure);
}

}  // namespace
