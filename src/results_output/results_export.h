#pragma once
// The results window's export: the export folder and the drive it lies on,
// the format choice, and the commands that write the CSV file or the race
// XML document of the open heat. Widget-free; the "Results export" frame
// shows this state and passes its clicks here.

#include "platform/mounts.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace qm {

struct Heat_Facts;
class cls_AVI_handler;
struct Result_Rows;

enum class Export_Format : int16_t { CSV = 1, XML = 2 };

class Results_Export {
 public:
  // Folder, its label caption and tooltip ("c-folder" until loaded).
  QString Export_folder;
  QString Lbl_export_folder = QStringLiteral("c-folder");
  QString Text_remote;
  QString Alternative_export_name;
  QString Last_export_file;
  Export_Format Opt_exp_format = Export_Format::CSV;
  // The message frame (hidden until an export succeeds).
  QString Text_export_mess;
  bool Frm_export_mess_visible = false;

  // Called after every change of the state above (the frame redraws).
  std::function<void()> on_change;
  // Where the focus goes after a format click (the main window).
  std::function<void()> on_focus_main;
  // Mount table text used instead of the system's (tests).
  std::optional<QString> mount_info_for_test;
  Removable_Lookup removable_for_test;

  void Load_Export_Folder();
  void Lbl_export_folder_Click();
  bool Check_Export_Folder();
  void Update_capture_folder_Remote();
  // "Get mapped drive": two messages, the mapped source and the share name.
  void Get_Mapped_Drive();

  void Load_Export_format();
  void Opt_exp_format_Click(int index);

  // The "Export" button; `alt_held` asks for the alternative name first.
  // True when a file was written.
  bool Cmd_export_Click(bool alt_held, const Heat_Facts& facts, const Result_Rows& rows);
  // The same for the file open in `file` (its facts are read inside).
  bool Cmd_export_Click(bool alt_held, const cls_AVI_handler& file, const Result_Rows& rows);
  bool Export_CSV_file(const Heat_Facts& facts, const Result_Rows& rows);
  // Runs inside the export command: its failures end the command and are
  // reported there (a Serialize failure is reported by Serialize).
  bool Export_New_XML_File(const Heat_Facts& facts, const Result_Rows& rows);
  // The heat result document (a debug command).
  bool Export_XML_file(const Heat_Facts& facts, const Result_Rows& rows);
  void Show_Export_Mess();
  void Cmd_result_export_OK_Click();

 private:
  void Changed() {
    if (on_change) on_change();
  }
};

// The INI default "C:\": the home folder.
QString Default_Export_Folder();

// Mapped-drive query: the mount source behind `mount_point`; a failure shows
// "Error: Not Connected" (information icon) and gives "".
QString Module_mapped_drive(const QString& mount_point,
                            const std::optional<QString>& mount_info_text = {});

// Full path of the race XML document: folder + "/QM_Result_Heat" + the heat
// number of the capture file's name + ".xml" ("/" and control characters of
// the number become "_"). Raises 52 for a name that leaves the folder.
QString Xml_Export_Path(const QString& folder, const QString& capture_file_path);

inline constexpr const char* Quaymark_Web_Address = "https://quaymark.example.org";

}  // namespace qm
