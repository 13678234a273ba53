#pragma once
// Marathon result entry behind Frm_Quaymark_Marathon_settime and the
// duplicate-entry window frm_dualentry: a competitor's race time is the
// time of day of the field on show minus the selected class's start, and
// every entry is saved at once into the marathon results file, a race
// document (racetype "marathon") under one fixed name until it is closed.

#include "results_output/result_xml.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

namespace qm {

class Marathon_Host;
class Marathon_Sheet;

// The results file while it is being filled: ~/QuaymarkMarathon_Temp.xml.
QString Marathon_Result_Path();
// Its closed name: "MarathonResults" + yyMMddhhmmss + " .xml" in the same
// folder as `result_file`.
QString Closed_Result_Path(const QString& result_file, const QDateTime& when);

// The text without its leading spaces (time labels carry one).
QString Without_Leading_Spaces(const QString& text);

// The duplicate-entry window as the program keeps it between uses.
struct Dual_Entry_State {
  bool loaded = false;   // unloaded by its frame's close: the next use starts afresh
  bool visible = false;  // shown (modal)
  bool previous_enabled = true;
  bool current_enabled = false;
};

class Marathon_Result_Entry {
 public:
  Marathon_Result_Entry(Marathon_Sheet& sheet, Marathon_Host& host);

  QString Result_File = Marathon_Result_Path();
  Class_Quaymark_result_XML obj_Marathon_Result;

  // The window's labels and the competitor box, with their first captions.
  QString Lbl_heatID = QStringLiteral("123");
  QString Lbl_heatname;
  QString Label_starttime = QStringLiteral("11:22:33");
  QString Label_heattime = QStringLiteral("11:22:33,44");
  QString Label_elapsed = QStringLiteral("00:00:00,00");
  QString Text_kanoe_num;
  QString Label_num_competitors = QStringLiteral("234 entries");

  // The earlier entry of a duplicate, and the position it was shown from.
  QString Earlier_File;
  int32_t Earlier_Field = 0;
  QString Kept_File;
  int32_t Kept_Field = 0;
  Dual_Entry_State dual;

  // Runs the duplicate-entry window modally until it is hidden or closed.
  std::function<void()> show_duplicate;
  // Labels, count or the duplicate window changed.
  std::function<void()> on_change;

  // --- The set-time window ----------------------------------------------------
  void Form_Load();
  void Check_For_Existing_Result_File();
  void Initialize_Result_File();
  void Update_Num_Entries();
  // The three time labels from the field on show and the selected class.
  void Update_Marathon_Time();
  // "Set time".
  void Command_XML_Click();
  void Add_Marathon_XML();
  // "Close result file".
  void Command_close_Click();

  // --- The duplicate-entry window ----------------------------------------------
  void Handle_Duplicate_Entry();
  void Override_Result();  // "Override old entry"
  void Do_Nothing();       // "Do nothing"
  void See_Previous();     // "Show earlier entry"
  void See_Current();      // "Show current position"
  // Closed by its frame: back to the current position, then unloaded.
  void Dual_Closed_By_Frame();

 private:
  QString Capture_Path();
  void Changed();
  Marathon_Sheet& sheet_;
  Marathon_Host& host_;
};

}  // namespace qm
