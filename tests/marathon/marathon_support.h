#pragma once
// A stand-in for the main window over a real capture file (KV2 written by
// our own writer from libavcodec DV frames), and a fixture that points the
// sheet and the results file into the test's temporary folder.

#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "marathon/marathon_entry.h"
#include "marathon/marathon_host.h"
#include "marathon/marathon_sheet.h"
#include "support/test_env.h"

#include <QStringList>

#include <memory>

namespace qmtest {

class Fake_Main : public qm::Marathon_Host {
 public:
  qm::cls_AVI_handler file;
  bool marathon = true;
  bool visible = true;
  int32_t field = 0;
  QString frame_label = QStringLiteral("0");
  // What the marathon objects asked of the main window, in order.
  QStringList calls;
  // The main window runs Update_Marathon_Time after every field it shows.
  qm::Marathon_Result_Entry* entry = nullptr;

  qm::cls_AVI_handler* Capture_File() override { return file.File_open() ? &file : nullptr; }
  bool Marathon_Mode() const override { return marathon; }
  QString Frame_Label() const override { return frame_label; }
  int32_t Current_Field() const override { return field; }
  bool Open_Video(const QString& path) override;
  void Show_Field(int32_t f) override;
  void Redisplay_Field() override;
  void Focus_Slider() override { calls << QStringLiteral("focus"); }
  bool Main_Visible() const override { return visible; }
};

// Frame n of a fixture heat is stamped 10:00:00 + 40 (n - 1) ms of day.
inline constexpr int32_t First_Frame_Time = 36000000;

class Marathon_Test : public Test {
 protected:
  void SetUp() override;

  // A capture file of `frames` frames in the temporary folder.
  QString Heat(const QString& name, int32_t frames = 4);
  // A created sheet: rows 0..2 numbered 101..103, named "Class 1".."Class 3",
  // row 0 started at `start`; class 1 clicked (selected, labels set).
  void Make_Sheet(const QString& start = QStringLiteral("09:30:00"));
  // The set-time window loaded (the results file created or loaded).
  void Load_Entry();

  Fake_Main main;
  std::unique_ptr<qm::Marathon_Sheet> sheet;
  std::unique_ptr<qm::Marathon_Result_Entry> entry;
  QString data_folder, sheet_path, result_path;
};

}  // namespace qmtest
