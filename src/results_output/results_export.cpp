#include "results_output/results_export.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "race_timing/lane_result.h"
#include "race_timing/mill_time.h"
#include "race_timing/result_rows.h"
#include "results_output/csv_export.h"
#include "results_output/heat_facts.h"
#include "results_output/result_file.h"
#include "results_output/result_xml.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

namespace {

constexpr const char* Frm = "Frm_results";
const QString Canoe = QStringLiteral("Canoe");

bool Is_Folder(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

QString Without_Trailing_Separator(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path;
}

}  // namespace

QString Default_Export_Folder() {
  return QDir::homePath() + QStringLiteral("/");
}

QString Module_mapped_drive(const QString& mount_point,
                            const std::optional<QString>& mount_info_text) {
  return Trapped(Where_Module("Module_mapped_drive", "Module_mapped_drive"), QString(), [&] {
    if (mount_point.trimmed().isEmpty()) {
      MsgBox(QStringLiteral("Error: Bad Device"), Buttons::OK, {}, Icon::Information);
      return QString();
    }
    const auto source = Mapped_Source(mount_point, mount_info_text);
    if (!source) {
      MsgBox(QStringLiteral("Error: Not Connected"), Buttons::OK, {}, Icon::Information);
      return QString();
    }
    // The query's buffer held 255 characters and was cut at the first NUL.
    QString s = source->left(255);
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0) s.truncate(nul);
    return s;
  });
}

QString Xml_Export_Path(const QString& folder, const QString& capture_file_path) {
  const QString number = Heat_number_from_Filename(QFileInfo(capture_file_path).fileName());
  const QString name = QStringLiteral("QM_Result_Heat") + number;
  Require_Name_Inside_Folder(name);
  QString safe = name;
  for (QChar& c : safe)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QLatin1Char('/')) c = QLatin1Char('_');
  return folder + QStringLiteral("/") + safe + QStringLiteral(".xml");
}

void Results_Export::Load_Export_Folder() {
  Trapped(Where_Form("Load_Export_Folder", Frm), [&] {
    const QString folder =
        Read_Ini_String(Canoe, QStringLiteral("export_folder"), Default_Export_Folder());
    Trace_Text(QStringLiteral("*Temp_folder = ") + folder);
    Export_folder = folder;
    Lbl_export_folder = folder;
    Update_capture_folder_Remote();
    Changed();
  });
}

void Results_Export::Lbl_export_folder_Click() {
  Trapped(Where_Form("Lbl_export_folder_Click", Frm), [&] {
    File_Request r;
    r.kind = File_Request::Kind::Folder;
    r.title = QStringLiteral("Export folder");
    r.folder = Export_folder;
    const QString chosen = dialogs().File(r);
    if (!chosen.isEmpty()) {
      Export_folder = chosen;
      Write_Ini_String(Canoe, QStringLiteral("export_folder"), chosen);
      Load_Export_Folder();
    }
    Update_capture_folder_Remote();
    Changed();
  });
}

bool Results_Export::Check_Export_Folder() {
  return Trapped(Where_Form("Check_Export_Folder", Frm), false, [&] {
    if (Is_Folder(Export_folder)) return true;
    MsgBox(QStringLiteral("Result export folder not found!"));
    return false;
  });
}

void Results_Export::Update_capture_folder_Remote() {
  // Never reports: what goes wrong is shown in the box itself.
  try {
    const Drive_Info d = Drive_Of_Path(Export_folder, mount_info_for_test, removable_for_test);
    if (!d.failure.isEmpty()) {
      Text_remote = d.failure;
    } else {
      switch (d.kind) {
        case Drive_Kind::Removable:
          Text_remote = QStringLiteral("Removable");
          break;
        case Drive_Kind::Fixed:
          Text_remote = QStringLiteral("Local");
          break;
        case Drive_Kind::Network:
          Text_remote = d.share;
          break;
        default:
          break;  // not described: the text stays
      }
    }
  } catch (const Failure& f) {
    Text_remote = f.description;
  } catch (...) {
    Text_remote = Err_Description(Err_Internal);
  }
  Changed();
}

void Results_Export::Get_Mapped_Drive() {
  Trapped(Where_Form("Get_Mapped_Drive", Frm), [&] {
    const QString folder = Without_Trailing_Separator(Export_folder);
    MsgBox(Module_mapped_drive(folder, mount_info_for_test));
    MsgBox(Drive_Share_Name(folder, mount_info_for_test));
  });
}

void Results_Export::Load_Export_format() {
  Trapped(Where_Form("Load_Export_format", Frm), [&] {
    const QString v = Read_Ini_String(Canoe, QStringLiteral("expformat"), QStringLiteral("1"));
    const int16_t index = To_Int16(v);
    if (index != 1 && index != 2) Raise(Err_Subscript);
    Opt_exp_format = static_cast<Export_Format>(index);
    Changed();
  });
}

void Results_Export::Opt_exp_format_Click(int index) {
  Trapped(Where_Form("Opt_exp_format_Click", Frm), [&] {
    if (index != 1 && index != 2) Raise(Err_Subscript);
    Opt_exp_format = static_cast<Export_Format>(index);
    Write_Ini_String(Canoe, QStringLiteral("expformat"), QString::number(index));
    Changed();
    if (on_focus_main) on_focus_main();
  });
}

bool Results_Export::Cmd_export_Click(bool alt_held, const Heat_Facts& facts,
                                      const Result_Rows& rows) {
  return Trapped(Where_Form("Cmd_export_Click", Frm), false, [&] {
    if (alt_held)
      Alternative_export_name =
          InputBox(QStringLiteral("Give alternative export file name"),
                   QStringLiteral("Enter filename"), QStringLiteral("Heat") + rows.Lbl_heat)
              .value_or(QString());
    if (!Check_Export_Folder()) return false;
    if (Opt_exp_format == Export_Format::CSV) return Export_CSV_file(facts, rows);
    return Export_New_XML_File(facts, rows);
  });
}

bool Results_Export::Cmd_export_Click(bool alt_held, const cls_AVI_handler& file,
                                      const Result_Rows& rows) {
  return Trapped(Where_Form("Cmd_export_Click", Frm), false,
                 [&] { return Cmd_export_Click(alt_held, Heat_Facts_Of(file), rows); });
}

bool Results_Export::Export_CSV_file(const Heat_Facts& facts, const Result_Rows& rows) {
  return Trapped(Where_Form("Export_CSV_file", "frm_kanot_2"), false, [&] {
    if (!Is_Folder(Export_folder)) {
      MsgBox(QStringLiteral("Can't find export folder!"));
      return false;
    }
    if (!rows.rows[0].Filled()) {
      MsgBox(QStringLiteral("Nothing to export!"));
      return false;
    }
    Last_export_file = Csv_Export_Path(Export_folder, rows.Lbl_heat, Alternative_export_name);
    if (Is_Read_Only(Last_export_file)) {
      MsgBox(QStringLiteral("A write-protected file already exists!"));
      return false;
    }
    if (facts.file_open) app().Export_event_name = facts.event_name;
    Write_Result_File(Last_export_file,
                      Csv_Bytes(facts, rows, app().Export_event_name, app().Computer_Name));
    Show_Export_Mess();
    return true;
  });
}

bool Results_Export::Export_New_XML_File(const Heat_Facts& facts, const Result_Rows& rows) {
  const App_Globals& g = app();
  Class_Quaymark_result_XML x;
  x.Initialize_DOM();
  x.Set_Comment(
      QStringLiteral("XML file containing Quaymark result data for course race. Produced by : ") +
      g.Product_Name + QStringLiteral(" ") + g.Version_String + QStringLiteral(" Compiled at : ") +
      g.Build_Stamp);
  Last_export_file = Xml_Export_Path(Export_folder, facts.file_path);
  x.XML_Filename(Last_export_file);
  x.Backoffice_Host(g.Computer_Name);
  x.Capture_Host(facts.capture_host);
  x.EventName(facts.event_name);
  x.RaceType(QStringLiteral("course"));
  x.Video_Initiated(Export_Date_Text(facts.creation_date));
  x.Heat_Started(Export_Heat_Start_Text(facts.start_local_ms));
  x.Last_Capture(facts.last_capture);
  x.lastFile(QStringLiteral("True"));
  x.Create_Heat_node(facts.heat_id, facts.heat_comment,
                     Display_Mill_Time(facts.start_local_ms, false).trimmed());
  x.Create_Result_Node(facts.heat_id);
  for (const Result_Row& r : rows.rows) {
    if (!r.Filled()) continue;
    x.Create_Competitor_Node(facts.heat_id, r.lane, r.time.trimmed(), r.delta.trimmed(),
                             r.place.trimmed(), QString(), QString());
  }
  if (!x.Serialize()) return false;
  Show_Export_Mess();
  return true;
}

bool Results_Export::Export_XML_file(const Heat_Facts& facts, const Result_Rows& rows) {
  return Trapped(Where_Form("Export_XML_file", Frm), false, [&] {
    Xml_Document doc;
    doc.Append_Declaration(Xml_Encoding::Latin1);
    doc.Append_Comment(QStringLiteral("XML file containing Quaymark course race results - ") +
                       QString::fromLatin1(Quaymark_Web_Address));
    Xml_Node h = doc.Append_Element(QStringLiteral("heat_result"));
    h.Set_Attribute(QStringLiteral("Event"), facts.event_name);
    h.Set_Attribute(QStringLiteral("heatID"), rows.Lbl_heat);
    h.Set_Attribute(QStringLiteral("CaptureTime"), facts.last_capture);
    h.Set_Attribute(QStringLiteral("ComputerName"), app().Computer_Name);
    const QString nl_tab = QStringLiteral("\r\n\t");
    h.Append_Text(nl_tab);
    for (const Result_Row& r : rows.rows) {
      if (!r.Filled()) continue;
      h.Append_Text(nl_tab);
      Xml_Node e = h.Append_Element(QStringLiteral("result"));
      e.Set_Attribute(QStringLiteral("pos"), r.place);
      e.Set_Attribute(QStringLiteral("lane"), r.lane);
      e.Set_Attribute(QStringLiteral("elapsed_time"), r.time);
      if (!r.delta.isEmpty()) e.Set_Attribute(QStringLiteral("delta_time"), r.delta);
    }
    h.Append_Text(QStringLiteral("\r\n"));
    Last_export_file = Xml_Export_Path(Export_folder, facts.file_path);
    Write_Result_File(Last_export_file, doc.Bytes());
    Show_Export_Mess();
    return true;
  });
}

void Results_Export::Show_Export_Mess() {
  Text_export_mess = QStringLiteral("Exported results to file:\r\n") + Last_export_file;
  Frm_export_mess_visible = true;
  Changed();
}

void Results_Export::Cmd_result_export_OK_Click() {
  Frm_export_mess_visible = false;
  Changed();
}

}  // namespace qm
