// The start-correction panel's state: steps, hold-to-repeat, displays.
#include "race_timing/start_correction.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qm::Start_Correction;

TEST(Start_Correction, LabelSelectsStepAndDeselectClears) {
  Start_Correction c;
  const std::vector<int32_t> steps = {3600000, 60000, 1000, 10};
  for (int k = 0; k < 4; ++k) {
    c.Select_Component(k);
    EXPECT_EQ(c.Selected(), k);
    EXPECT_EQ(c.Correction_step, steps[k]);
  }
  c.Deselect_Correction_Items();
  EXPECT_EQ(c.Selected(), -1);
  EXPECT_EQ(c.Correction_step, 0);
  // Without a component the buttons change nothing.
  c.Begin_Hold(true);
  c.End_Hold();
  EXPECT_EQ(c.Correction_ms, 0);
}

TEST(Start_Correction, HoldStepsAtOnceThenAfterShrinkingDelays) {
  Start_Correction c;
  c.Select_Component(2);  // seconds
  std::vector<int32_t> waits{c.Begin_Hold(true)};
  EXPECT_EQ(c.Correction_ms, 1000);  // the first step comes with the press
  for (int i = 0; i < 5; ++i) waits.push_back(c.Repeat_Step());
  EXPECT_EQ(waits, (std::vector<int32_t>{200, 150, 100, 50, 50, 50}));
  EXPECT_EQ(c.Correction_ms, 6000);
  c.End_Hold();
  EXPECT_EQ(c.Repeat_Step(), 0);  // released: no more steps
  EXPECT_EQ(c.Correction_ms, 6000);
  // A new press starts again at 200, downwards.
  EXPECT_EQ(c.Begin_Hold(false), 200);
  EXPECT_EQ(c.Correction_ms, 5000);
}

TEST(Start_Correction, NegativeCorrectionDisplay) {
  Start_Correction c;
  c.orig_Start_Local_Time = 10 * 3600000 + 30 * 60000;  // 10:30:00,00
  c.Correction_ms = -1500;
  c.Update_Corrected();
  const auto d = c.Texts();
  EXPECT_TRUE(d.minus_visible);
  EXPECT_EQ(d.correction_colour, QColor(255, 0, 0));
  EXPECT_EQ(d.correction, (std::array<QString, 4>{"00", "00", "01", "50"}));
  EXPECT_EQ(d.original, (std::array<QString, 4>{"10", "30", "00", "00"}));
  EXPECT_EQ(d.corrected, (std::array<QString, 4>{"10", "29", "58", "50"}));
  c.Correction_ms = 250;
  c.Update_Corrected();
  EXPECT_FALSE(c.Texts().minus_visible);
  EXPECT_EQ(c.Texts().correction_colour, QColor(0, 0, 255));
}

TEST(Start_Correction, CorrectedStartWrapsAtMidnight) {
  Start_Correction c;
  c.orig_Start_Local_Time = 23 * 3600000 + 59 * 60000 + 59 * 1000 + 500;
  c.Select_Component(2);
  c.Begin_Hold(true);
  c.End_Hold();
  EXPECT_EQ(c.Texts().corrected, (std::array<QString, 4>{"00", "00", "00", "50"}));
  EXPECT_EQ(c.Texts().original, (std::array<QString, 4>{"23", "59", "59", "50"}));
}

TEST(Start_Correction, ResetAndClearHeatData) {
  Start_Correction c;
  c.orig_Start_Local_Time = 5000;
  c.Select_Component(0);
  c.Begin_Hold(true);
  c.End_Hold();
  c.Reset();
  EXPECT_EQ(c.Correction_ms, 0);
  EXPECT_EQ(c.Selected(), -1);
  EXPECT_EQ(c.Corrected_Start_Local_Time, 5000);
  c.Correction_ms = 70;
  c.Clear_Heat_Data();
  EXPECT_EQ(c.Correction_ms, 0);
  EXPECT_EQ(c.orig_Start_Local_Time, 0);
  EXPECT_EQ(c.Corrected_Start_Local_Time, 0);
}

}  // namespace
