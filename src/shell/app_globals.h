#pragma once
// Application globals: one set per process, filled by Quaymark_Initialization.

#include <QString>

#include <cstdint>
#include <functional>

namespace qm {

struct App_Globals {
  QString Product_Name;    // "Quaymark, Free version"
  QString Version_String;  // major.minor.patch of this build
  QString Build_Stamp;     // "yyyy-mm-dd hh:nn", the build date
  QString Version_Text;    // Version_String & ".EXE" & " cd: " & Build_Stamp
  QString Computer_Name;
  QString System_Folder;
  QString User_Folder;          // per-user application data folder (also the program folder)
  QString Ini_Path;             // User_Folder + "/Quaymark.ini"
  QString Data_Folder;          // ~/Quaymark_Data
  QString Marathon_Sheet_Path;  // Data_Folder + "/marathon.xml"
  QString Application_Title;
  QString Last_Folder;
  QString Export_event_name;
  uint32_t Start_Tick = 0;
  int16_t Run_Mode = 0;  // 10 once a capture file has been opened
  bool Trap_Errors = true;
  bool Exit_Requested = false;
  bool Initialised = false;
  bool Taskbar_Hidden = false;
  int32_t Extra_Data_Offset = 12000;
  int32_t Timing_Correction = 0;
};

App_Globals& app();

// Fills the globals; a second call does nothing (but trace).
void Quaymark_Initialization();

// Arms the failure trap (always on).
void Test_Compiled();

// The per-user application data folder ($XDG_DATA_HOME/Quaymark), created
// when missing. In its place, "An invalid folder ID was specified" when the
// system gives no data folder, "The folder does not exist" when it cannot be
// made.
QString Get_AppUserData_Folder();

// Whether the XML parser component works (parses a small document). Tests
// may put their own check in place.
bool XML_Component_Available();
using XML_Check = std::function<bool()>;
XML_Check Set_XML_Component_Check(XML_Check check);

// For tests: forget the globals so the next call fills them again.
void Reset_Globals_For_Test();

}  // namespace qm
