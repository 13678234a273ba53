// Ranking, the time text and the rows of the results window.
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/mill_time.h"
#include "race_timing/result_rows.h"
#include "support/test_env.h"

#include <vector>

namespace {

using qm::No_result;
using qm::Status_DNF;
using qm::Status_DNS;
using qm::Status_DSQ;

TEST(Display_Mill_Time, PlainAndStripForms) {
  struct Case {
    int64_t ms;
    bool strip;
    const char* text;
  };
  const std::vector<Case> cases = {
      {83456, false, " 01:23,45"},
      {3723450, false, " 1:02:03,45"},
      {0, true, "0,00"},
      {1230, true, "1,23"},
      {61230, true, "1:01,23"},
      {600000, true, "10:00,00"},
      {-500, false, "-00:00,50"},
      {-500, true, "-0,50"},
      {0, false, " 00:00,00"},
      {9, false, " 00:00,00"},  // hundredths truncated
      {19, true, "0,01"},
      {3600000, true, "1:00:00,00"},
      {86400000, false, " 00:00,00"},  // wraps at a day
      {86399999, false, " 23:59:59,99"},
      {10, true, "0,01"},
      {-2147483648LL, false, "-20:31:23,64"},  // |INT32_MIN| does not overflow
  };
  for (const Case& c : cases)
    EXPECT_EQ(qm::Display_Mill_Time(c.ms, c.strip), QString::fromLatin1(c.text))
        << c.ms << (c.strip ? " strip" : " plain");
}

TEST(Time_Component, PartsAndMidnightWrap) {
  const int32_t t = 23 * 3600000 + 59 * 60000 + 59 * 1000 + 500;  // 23:59:59,50
  EXPECT_EQ(qm::Time_Component("h", t), 23);
  EXPECT_EQ(qm::Time_Component("m", t), 59);
  EXPECT_EQ(qm::Time_Component("s", t), 59);
  EXPECT_EQ(qm::Time_Component("t", t), 50);
  EXPECT_EQ(qm::Time_Component("x", t), 0);
  // One second later is past midnight.
  EXPECT_EQ(qm::Time_Component("h", t + 1000), 0);
  EXPECT_EQ(qm::Time_Component("s", t + 1000), 0);
  EXPECT_EQ(qm::Time_Component("t", t + 1000), 50);
  // Before midnight counts back from the end of the day.
  EXPECT_EQ(qm::Time_Component("h", -500), 23);
  EXPECT_EQ(qm::Time_Component("t", -500), 50);
}

struct Timed {
  int lane;
  int32_t time;
  int32_t click;
};

qm::Result_Arrays Ranked(const std::vector<Timed>& timed) {
  qm::Result_Arrays a;
  for (int i = 0; i < qm::Result_Slots; ++i) a.all[i] = {static_cast<int16_t>(i), No_result, 0, 0};
  for (const Timed& t : timed)
    a.all[t.lane] = {static_cast<int16_t>(t.lane), t.time, t.click, static_cast<int16_t>(t.lane)};
  qm::Copy_Active_Heat(a);
  qm::Lane_Active_Heat_Array_Sort(a);
  return a;
}

std::vector<int> Lane_Order(const qm::Result_Arrays& a, int n) {
  std::vector<int> out;
  for (int i = 1; i <= n; ++i) out.push_back(a.lane_active_heat_array(i).lane);
  return out;
}

TEST(Lane_Active_Heat_Array_Sort, OrderTable) {
  struct Case {
    const char* name;
    std::vector<Timed> timed;
    std::vector<int> order;
  };
  const std::vector<Case> cases = {
      {"equal times by click tick", {{3, 61000, 100}, {5, 60990, 300}, {1, 61000, 200}}, {5, 3, 1}},
      {"statuses after times in code order",
       {{0, Status_DNF, 1}, {1, Status_DSQ, 2}, {2, 50000, 3}, {3, Status_DNS, 4}, {4, 40000, 5}},
       {4, 2, 1, 3, 0}},
      {"equal times and ticks keep lane order", {{7, 5000, 9}, {2, 5000, 9}}, {2, 7}},
      // Ticks are compared signed: a tick past 2^31 is "earlier" than a small one.
      {"signed click ticks", {{1, 5000, 10}, {2, 5000, -10}}, {2, 1}},
      {"negative time first", {{4, 100, 1}, {6, -300, 2}}, {6, 4}},
      {"no results keep lane order", {}, {0, 1, 2, 3}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Lane_Order(Ranked(c.timed), static_cast<int>(c.order.size())), c.order) << c.name;
}

TEST(Lane_To_Place, StatusesHaveNoPlaceAndGoalFieldFollowsPlace) {
  qm::Result_Arrays none;
  EXPECT_EQ(qm::Lane_To_Place(none, 0), 0);  // not set up
  const auto a = Ranked({{3, 61000, 1}, {5, 60990, 2}, {2, Status_DSQ, 3}});
  EXPECT_EQ(qm::Lane_To_Place(a, 5), 1);
  EXPECT_EQ(qm::Lane_To_Place(a, 3), 2);
  EXPECT_EQ(qm::Lane_To_Place(a, 2), 0);     // disqualified
  EXPECT_EQ(qm::Lane_To_Place(a, 9), 0);     // no result
  EXPECT_EQ(qm::Lane_To_Place(a, 16), 0);    // no such slot
  EXPECT_EQ(qm::Go_to_Goal_field(a, 1), 5);  // Ranked() uses the lane as goal field
  EXPECT_EQ(qm::Go_to_Goal_field(a, 0), 0);
  EXPECT_EQ(qm::Go_to_Goal_field(a, 17), 0);
  EXPECT_EQ(qm::Find_Place(a, 2, 16), 3);  // statuses count here
  EXPECT_EQ(qm::Find_Place(a, 2, 2), 0);   // only among the first `count`
}

class Fill_Test : public qmtest::Test {
 protected:
  qm::Lane_markers markers;
  qm::Result_Rows rows;
  void SetUp() override {
    qmtest::Test::SetUp();
    qm::Parse_Lanes(markers, QStringLiteral("None"));
  }
  void Fill(const qm::Result_Arrays& a, int32_t correction = 0) {
    qm::Fill_Results(a, correction, true, QStringLiteral("A1"), QStringLiteral("26-12-11"), markers,
                     rows);
  }
  QStringList Texts(int r) const {
    const auto& row = rows.rows[r];
    return {row.place, row.lane, row.time, row.delta};
  }
};

TEST_F(Fill_Test, EqualTimesRankByClickWithDeltas) {
  Fill(Ranked({{3, 61000, 100}, {5, 60990, 300}, {1, 61000, 200}}));
  ASSERT_EQ(rows.filled, 3);
  EXPECT_EQ(Texts(0), QStringList({"1", "5", " 01:00,99", "+0,00"}));
  EXPECT_EQ(Texts(1), QStringList({"2", "3", " 01:01,00", "+0,01"}));
  EXPECT_EQ(Texts(2), QStringList({"3", "1", " 01:01,00", "+0,01"}));
  EXPECT_EQ(rows.real_times, 3);
  EXPECT_FALSE(rows.rows[3].Filled());
  EXPECT_EQ(rows.Lbl_heat, "A1");
  EXPECT_EQ(markers.By_Lane_number(5)->time(), 60990);
  EXPECT_EQ(markers.By_Lane_number(0)->time(), 0);
}

TEST_F(Fill_Test, StatusRowsHaveNoDeltaAndFollowTimes) {
  Fill(Ranked(
      {{0, Status_DNF, 1}, {1, Status_DSQ, 2}, {2, 50000, 3}, {3, Status_DNS, 4}, {4, 40000, 5}}));
  ASSERT_EQ(rows.filled, 5);
  EXPECT_EQ(Texts(1), QStringList({"2", "2", " 00:50,00", "+10,00"}));
  EXPECT_EQ(Texts(2), QStringList({"3", "1", "DSQ", ""}));
  EXPECT_EQ(Texts(3), QStringList({"4", "3", "DNS", ""}));
  EXPECT_EQ(Texts(4), QStringList({"5", "0", "DNF", ""}));
  EXPECT_EQ(rows.real_times, 2);
  EXPECT_EQ(markers.By_Lane_number(1)->time(), Status_DSQ);
}

TEST_F(Fill_Test, CorrectionShiftsTimesNotDeltas) {
  const auto a = Ranked({{1, 61000, 1}, {2, 62500, 2}, {3, 300, 3}});
  Fill(a, 1000);
  EXPECT_EQ(Texts(0), QStringList({"1", "3", "-00:00,70", "+0,00"}));
  EXPECT_EQ(Texts(1), QStringList({"2", "1", " 01:00,00", "+1:00,70"}));
  EXPECT_EQ(Texts(2), QStringList({"3", "2", " 01:01,50", "+1:02,20"}));
  // The marker keeps the stored time.
  EXPECT_EQ(markers.By_Lane_number(1)->time(), 61000);
  Fill(a, -1500);
  EXPECT_EQ(Texts(1).at(2), " 01:02,50");
  EXPECT_EQ(Texts(1).at(3), "+1:00,70");
}

TEST_F(Fill_Test, NothingTimedGivesNoRowsAndClearsMarkers) {
  markers.Item(2).Set_time(1234);
  Fill(Ranked({}));
  EXPECT_EQ(rows.filled, 0);
  EXPECT_EQ(rows.real_times, 0);
  EXPECT_FALSE(rows.rows[0].Filled());
  EXPECT_EQ(markers.Item(2).time(), 0);
}

TEST_F(Fill_Test, ThirteenToSixteenRankedLanesAllHaveRows) {
  for (int n : {13, 16}) {
    std::vector<Timed> timed;
    for (int lane = 0; lane < n; ++lane)
      timed.push_back({lane, lane == n - 1 ? Status_DNS : 30000 + 100 * (n - lane), lane});
    Fill(Ranked(timed));
    ASSERT_EQ(rows.filled, n) << n;
    EXPECT_EQ(rows.real_times, n - 1);
    EXPECT_EQ(Texts(n - 1), QStringList({QString::number(n), QString::number(n - 1), "DNS", ""}));
    EXPECT_EQ(rows.rows[n - 2].place, QString::number(n - 1));
    EXPECT_EQ(rows.rows[0].lane, QString::number(n - 2));
    for (int lane = 0; lane < n; ++lane) EXPECT_NE(markers.By_Lane_number(lane)->time(), 0);
  }
  Expect_No_Reports();
}

TEST_F(Fill_Test, NoFileOpenLeavesRowsAlone) {
  Fill(Ranked({{1, 5000, 1}}));
  qm::Fill_Results(Ranked({}), 0, false, {}, {}, markers, rows);
  EXPECT_EQ(rows.filled, 1);
  rows.Clear();
  EXPECT_FALSE(rows.rows[0].Filled());
  EXPECT_TRUE(rows.Lbl_capture_time.isEmpty());
}

TEST(Heat_number_from_Filename, Table) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"Regatta_Heat12_0001.kv2", "12"},
      {"Final_heat3_B_0002.kv2", "3"},
      {"Heat7.kv2", ""},
      {"Regatta_0001.kv2", ""},
      {"heat1_Heat2_x.kv2", "2"},  // "Heat" wins over a later "heat"
      {"Heat4_heat5_x.kv2", "4"},
      {"Heat_x.kv2", ""},
      {"/data/Heat9_x/race_0001.kv2", "9"},
  };
  for (const auto& [name, heat] : cases)
    EXPECT_EQ(qm::Heat_number_from_Filename(QString::fromLatin1(name)), QString::fromLatin1(heat))
        << name;
}

}  // namespace
