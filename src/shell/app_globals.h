#pragma once
// Application globals: one set per process, filled by Quaymark_Initialization.

#include <QString>

#include <cstdint>

namespace qm {

struct App_Globals {
  QString Product_Name;    // "Quaymark, Free version"
  QString Version_String;  // "1.0.0"
  QString Build_Stamp;     // "yyyy-mm-dd hh:nn", the build date
  QString Version_Text;    // Version_String & ".EXE" & " cd: " & Build_Stamp
  QString Computer_Name;
  QString System_Folder;
  QString User_Folder;          // per-user application data folder
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

// Fills the globals; a second call does nothing.
void Quaymark_Initialization();

// For tests: forget the globals so the next call fills them again.
void Reset_Globals_For_Test();

}  // namespace qm
