#pragma once
// The marathon race sheet behind Form_Quaymark_marathon: up to 30 classes
// with their number, name, start time of day and running flag, kept in the
// sheet file (Data_Folder + "/marathon.xml", ISO-8859-1) and fetched from
// the front office's folder. The window mirrors `rows` and the labels and
// passes every edit, click and menu command in here.
//
//   <Quaymark_marathon_file>
//     <!--XML file containing Quaymark marathon file, created at: ...-->
//     <event_name/><event_date/><event_day/>
//     <heat id="1"><heat_num/><heat_name/><heat_time/>
//                  <heat_running>t</heat_running><heat_start/></heat>
//     ... 30 heats
//   </Quaymark_marathon_file>

#include "platform/xml_document.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace qm {

class Marathon_Host;

// One class row of the window: the number, name and start boxes.
struct Sheet_Row {
  QString heat;
  QString name;
  QString start = QStringLiteral("00:00:00");
  bool italic = false;    // the class is stopped
  bool selected = false;  // number and name boxes light green
};

class Marathon_Sheet {
 public:
  static constexpr int Classes = 30;

  explicit Marathon_Sheet(Marathon_Host& host);

  // Where the sheet lives; tests point both elsewhere.
  QString Data_Folder;
  QString Sheet_Path;

  Xml_Document Marathon_Document;
  bool Marathon_File_Present = false;
  int16_t last_Selected_Heat = 0;
  std::array<Sheet_Row, Classes> rows{};
  QString Text_racename = QStringLiteral("Name of race");

  // Front office.
  QString FO_Data_Folder;
  bool FO_Folder_Ready = false;
  QString Label_fodf;
  QString Label_fodf_status;
  QString Label_lastmodified;
  // The mount table and removable lookup of the status update (tests).
  std::optional<QString> mount_info_for_test;
  std::function<bool(int, int)> removable_for_test;

  // A class row was clicked while marathon mode is on: its number and name
  // go to the set-time window.
  std::function<void(const QString& id, const QString& name)> class_selected;
  // Rows, labels or selection changed.
  std::function<void()> on_change;

  // --- Loading ------------------------------------------------------------
  // The window's load without its widgets: folder and file checks, the
  // rows, class 1 selected, the front-office folder, row 0 clicked.
  void Form_Load();
  void Check_Marathon_Folder();
  void Check_Marathon();
  void Load_Marathon_file();
  void Load_Form_Data();
  void Save_Marathon_File();
  // "Create marathon file": replaces any sheet file without asking.
  void Create_Marathon_file();

  // --- Edits (the boxes' change, leave and press handling) ------------------
  // The box now holds `text`; a different text runs the change handling.
  void Set_Text_heat(int row, const QString& text);
  void Set_Text_heat_name(int row, const QString& text);
  void Set_Text_start(int row, const QString& text);
  void Set_Text_racename(const QString& text);
  void Text_heat_LostFocus(int row);
  void Text_heat_name_LostFocus(int row);
  // A press on a start box; with Ctrl the class is stopped or restarted.
  void Text_start_MouseDown(int row, bool ctrl);

  // --- Selection ------------------------------------------------------------
  void Select_Heat(int k, bool selected);
  void Deselect_all_Heats();
  void Text_heat_Click(int row, bool ctrl);
  // A click on the window, the "Classes" frame or its heading.
  void Form_Click();

  // The class that the set-time window times: the start text of row
  // last_Selected_Heat - 1; nullopt when no class is selected.
  std::optional<QString> Selected_Start() const;

  // --- Front office ---------------------------------------------------------
  void load_FO_data_folder();
  void Label_fodf_Click();
  void Label_fodf_status_Click();
  void Update_FOD_folder_Remote();
  // "Copy recent xml file from front office".
  void Copy_XML_file();

 private:
  void Create_Quaymark_Marathon_File();
  void Set_Class_Value(int k, const char* element, const QString& text);
  QString Class_Value(int k, const char* element) const;
  void Text_heat_Change(int row);
  void Text_heat_name_Change(int row);
  void Text_start_Change(int row);
  void Text_racename_Change();
  void Changed();

  Marathon_Host& host_;
  bool filling_ = false;
};

// "hh:mm:ss" (fractions after "," or "." ignored) as seconds since
// midnight; nullopt when the text does not read as a time of day.
std::optional<int32_t> Time_Of_Day_Seconds(const QString& text);

}  // namespace qm
