#include "marathon/marathon_sheet.h"

#include "marathon/marathon_host.h"
#include "platform/date_time.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/mounts.h"
#include "results_output/result_file.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace qm {

namespace {

constexpr const char* Frm = "Form_Quaymark_marathon";
const QString Crlf = QStringLiteral("\r\n");

QString Heat_Path(int k, const char* element) {
  return QStringLiteral("//heat[@id='") + QString::number(k) + QStringLiteral("']/") +
         QString::fromLatin1(element);
}

Xml_Node Append_Line(Xml_Node parent, const char* name, const QString& text) {
  Xml_Node e = parent.Append_Element(QString::fromLatin1(name));
  e.Set_Text(text);
  parent.Append_Text(Crlf);
  return e;
}

void Check_Row(int row) {
  if (row < 0 || row >= Marathon_Sheet::Classes) Raise(Err_Subscript);
}

QString Date_Time_Text(const QDateTime& when) {
  return QLocale::system().toString(when, QLocale::ShortFormat);
}

}  // namespace

std::optional<int32_t> Time_Of_Day_Seconds(const QString& text) {
  static const QRegularExpression re(
      QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:[,.]\\d*)?\\s*$"));
  const QRegularExpressionMatch m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  const int h = m.captured(1).toInt(), mi = m.captured(2).toInt(),
            s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
  if (h > 23 || mi > 59 || s > 59) return std::nullopt;
  return h * 3600 + mi * 60 + s;
}

Marathon_Sheet::Marathon_Sheet(Marathon_Host& host)
    : Data_Folder(app().Data_Folder), Sheet_Path(app().Marathon_Sheet_Path), host_(host) {}

void Marathon_Sheet::Changed() {
  if (on_change) on_change();
}

// ---- Loading -----------------------------------------------------------------------

void Marathon_Sheet::Form_Load() {
  Trace_Text(QStringLiteral("Form_Quaymark_marathon Load_Form"));
  Trapped(Where_Form("Form_Load", Frm), [&] {
    Check_Marathon_Folder();
    Check_Marathon();
    if (Marathon_File_Present) {
      Load_Marathon_file();
      Load_Form_Data();
    }
    Select_Heat(1, true);
    load_FO_data_folder();
    Text_heat_Click(0, false);
  });
  Trace_Text(QStringLiteral("Form_Quaymark_marathon Load_Form, end"));
  Changed();
}

void Marathon_Sheet::Check_Marathon_Folder() {
  Trapped(Where_Form("Check_Marathon_Folder", Frm), [&] {
    if (Folder_Exists(Data_Folder)) return;
    if (!QDir().mkpath(Data_Folder)) {
      Extra(Data_Folder);
      Raise(Err_Path_Access);
    }
    MsgBox(QStringLiteral("Folder ") + Data_Folder +
           QStringLiteral(" Not found, folder was created"));
  });
}

void Marathon_Sheet::Check_Marathon() {
  Trapped(Where_Form("Check_Marathon", Frm), [&] {
    Marathon_File_Present = File_Exists(Sheet_Path);
    if (!Marathon_File_Present) MsgBox(QStringLiteral("No Marathon XML file found!"));
  });
}

void Marathon_Sheet::Load_Marathon_file() {
  Trapped(Where_Form("Load_Marathon_file", Frm), [&] {
    if (!Marathon_Document.Load_File(Sheet_Path)) {
      Extra(Sheet_Path + QStringLiteral(": ") + Marathon_Document.Parse_Error().reason);
      Raise(File_Exists(Sheet_Path) ? Err_XML_Parse : Err_File_Not_Found);
    }
  });
}

QString Marathon_Sheet::Class_Value(int k, const char* element) const {
  const Xml_Node n = Marathon_Document.Select_Single_Node(Heat_Path(k, element));
  if (n.Is_None()) Raise(Err_Object_Missing);
  return n.Text();
}

void Marathon_Sheet::Set_Class_Value(int k, const char* element, const QString& text) {
  Xml_Node n = Marathon_Document.Select_Single_Node(Heat_Path(k, element));
  if (n.Is_None()) {
    Extra(Heat_Path(k, element));
    Raise(Err_Object_Missing);
  }
  n.Set_Text(text);
}

void Marathon_Sheet::Load_Form_Data() {
  if (!Marathon_File_Present) return;
  // The boxes take what the file holds: their change handling writes the
  // same values back, so nothing is saved meanwhile.
  filling_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{filling_};
  // An element that cannot be read leaves its box as it is, unreported.
  auto quietly = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  for (int r = 0; r < Classes; ++r) {
    const int k = r + 1;
    quietly([&] { Set_Text_heat_name(r, Class_Value(k, "heat_name")); });
    quietly([&] { Set_Text_heat(r, Class_Value(k, "heat_num")); });
    quietly([&] { Set_Text_start(r, Class_Value(k, "heat_start")); });
    quietly([&] { rows[r].italic = Class_Value(k, "heat_running") != QLatin1String("t"); });
  }
  quietly([&] {
    const Xml_Node n = Marathon_Document.Select_Single_Node(QStringLiteral("//event_name"));
    if (n.Is_None()) Raise(Err_Object_Missing);
    Set_Text_racename(n.Text());
  });
  Changed();
}

void Marathon_Sheet::Save_Marathon_File() {
  Trapped(Where_Form("Save_Marathon_File", Frm), [&] {
    if (!Marathon_File_Present) {
      MsgBox(QStringLiteral("No Marathon file! (smf)"));
      return;
    }
    // An empty or broken document never replaces the sheet.
    if (Marathon_Document.Xml().size() < 10) return;
    // Saving replaces the file whole; a read-only sheet stays as it is.
    if (File_Exists(Sheet_Path) && Is_Read_Only(Sheet_Path)) {
      Extra(Sheet_Path);
      Raise(Err_Permission_Denied);
    }
    Marathon_Document.Save_File(Sheet_Path);
  });
}

void Marathon_Sheet::Create_Quaymark_Marathon_File() {
  Trapped(Where_Form("Create_Quaymark_Marathon_File", Frm), [&] {
    Marathon_Document.Clear();
    Marathon_Document.Append_Declaration(Xml_Encoding::Latin1);
    Xml_Node root = Marathon_Document.Append_Element(QStringLiteral("Quaymark_marathon_file"));
    root.Append_Text(Crlf);
    root.Append_Comment(QStringLiteral("XML file containing Quaymark marathon file, created at: ") +
                        Date_Time_Text(Now()));
    root.Append_Text(Crlf);
    Append_Line(root, "event_name", QString());
    Append_Line(root, "event_date", QString());
    Append_Line(root, "event_day", QString());
    for (int k = 1; k <= Classes; ++k) {
      Xml_Node heat = root.Append_Element(QStringLiteral("heat"));
      heat.Set_Attribute(QStringLiteral("id"), QString::number(k));
      heat.Append_Text(Crlf);
      Append_Line(heat, "heat_num", QString());
      Append_Line(heat, "heat_name", QString());
      Append_Line(heat, "heat_time", QString());
      Append_Line(heat, "heat_running", QStringLiteral("t"));
      Append_Line(heat, "heat_start", QString());
      root.Append_Text(Crlf);
    }
  });
}

void Marathon_Sheet::Create_Marathon_file() {
  Trapped(Where_Form("Create_Marathon_file", Frm), [&] {
    Create_Quaymark_Marathon_File();
    Marathon_File_Present = true;
    const Xml_Node name = Marathon_Document.Select_Single_Node(QStringLiteral("//event_name"));
    if (name.Is_None()) Raise(Err_Object_Missing);
    Xml_Node(name).Set_Text(Text_racename);
    Save_Marathon_File();
    Load_Marathon_file();
    Load_Form_Data();
  });
  Changed();
}

// ---- Edits ---------------------------------------------------------------------------

void Marathon_Sheet::Set_Text_heat(int row, const QString& text) {
  Check_Row(row);
  if (rows[row].heat == text) return;
  rows[row].heat = text;
  Text_heat_Change(row);
}

void Marathon_Sheet::Set_Text_heat_name(int row, const QString& text) {
  Check_Row(row);
  if (rows[row].name == text) return;
  rows[row].name = text;
  Text_heat_name_Change(row);
}

void Marathon_Sheet::Set_Text_start(int row, const QString& text) {
  Check_Row(row);
  if (rows[row].start == text) return;
  rows[row].start = text;
  Text_start_Change(row);
}

void Marathon_Sheet::Set_Text_racename(const QString& text) {
  if (Text_racename == text) return;
  Text_racename = text;
  Text_racename_Change();
}

void Marathon_Sheet::Text_heat_Change(int row) {
  Trapped(Where_Form("Text_heat_Change", Frm), [&] {
    if (!Marathon_File_Present) {
      MsgBox(QStringLiteral("No Marathon file! (thc)"));
      return;
    }
    Set_Class_Value(row + 1, "heat_num", rows[row].heat);
  });
}

void Marathon_Sheet::Text_heat_LostFocus(int /*row*/) {
  Trapped(Where_Form("Text_heat_LostFocus", Frm), [&] { Save_Marathon_File(); });
}

void Marathon_Sheet::Text_heat_name_Change(int row) {
  Trapped(Where_Form("Text_heat_name_Change", Frm), [&] {
    if (!Marathon_File_Present) return;
    Set_Class_Value(row + 1, "heat_name", rows[row].name);
  });
}

void Marathon_Sheet::Text_heat_name_LostFocus(int /*row*/) {
  Trapped(Where_Form("Text_heat_name_LostFocus", Frm), [&] { Save_Marathon_File(); });
}

void Marathon_Sheet::Text_start_Change(int row) {
  Trapped(Where_Form("Text_start_Change", Frm), [&] {
    if (!Marathon_File_Present) return;
    Set_Class_Value(row + 1, "heat_start", rows[row].start);
    if (filling_) return;
    Save_Marathon_File();
    Load_Marathon_file();
  });
}

void Marathon_Sheet::Text_start_MouseDown(int row, bool ctrl) {
  Trapped(Where_Form("Text_start_MouseDown", Frm), [&] {
    Check_Row(row);
    if (!Marathon_File_Present || !ctrl) return;
    rows[row].italic = !rows[row].italic;
    Set_Class_Value(row + 1, "heat_running",
                    rows[row].italic ? QStringLiteral("f") : QStringLiteral("t"));
    Save_Marathon_File();
    Load_Marathon_file();
  });
  Changed();
}

void Marathon_Sheet::Text_racename_Change() {
  Trapped(Where_Form("Text_racename_Change", Frm), [&] {
    if (!Marathon_File_Present) return;
    const Xml_Node n = Marathon_Document.Select_Single_Node(QStringLiteral("//event_name"));
    if (n.Is_None()) Raise(Err_Object_Missing);
    Xml_Node(n).Set_Text(Text_racename);
    if (!filling_) Save_Marathon_File();
  });
}

// ---- Selection -------------------------------------------------------------------------

void Marathon_Sheet::Select_Heat(int k, bool selected) {
  Trapped(Where_Form("Select_Heat", Frm), [&] {
    Check_Row(k - 1);
    rows[k - 1].selected = selected;
    last_Selected_Heat = static_cast<int16_t>(k);
  });
  Changed();
}

void Marathon_Sheet::Deselect_all_Heats() {
  Trapped(Where_Form("Deselect_all_Heats", Frm), [&] {
    for (Sheet_Row& r : rows) r.selected = false;
    last_Selected_Heat = 0;
  });
  Changed();
}

void Marathon_Sheet::Text_heat_Click(int row, bool ctrl) {
  Trapped(Where_Form("Text_heat_Click", Frm), [&] {
    Check_Row(row);
    if (!Marathon_File_Present) return;
    if (!ctrl) Deselect_all_Heats();
    Select_Heat(row + 1, true);
    if (host_.Capture_File()) host_.Redisplay_Field();
    if (host_.Marathon_Mode() && class_selected) class_selected(rows[row].heat, rows[row].name);
  });
}

void Marathon_Sheet::Form_Click() {
  Trapped(Where_Form("Form_Click", Frm), [&] {
    if (Marathon_File_Present) Deselect_all_Heats();
  });
}

std::optional<QString> Marathon_Sheet::Selected_Start() const {
  if (last_Selected_Heat < 1 || last_Selected_Heat > Classes) return std::nullopt;
  return rows[last_Selected_Heat - 1].start;
}

// ---- Front office -------------------------------------------------------------------------

void Marathon_Sheet::load_FO_data_folder() {
  Trapped(Where_Form("load_FO_data_folder", Frm), [&] {
    FO_Data_Folder = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("fo_data_folder"),
                                     QDir::homePath() + QLatin1Char('/'));
    Trace_Text(QStringLiteral("*Temp_folder = ") + FO_Data_Folder);
    Label_fodf = FO_Data_Folder;
  });
  Changed();
}

void Marathon_Sheet::Label_fodf_Click() {
  Trapped(Where_Form("Label_fodf_Click", Frm), [&] {
    File_Request r;
    r.kind = File_Request::Kind::Folder;
    r.title = QStringLiteral("Front office data folder");
    r.folder = FO_Data_Folder;
    QString chosen = dialogs().File(r);
    if (!chosen.isEmpty()) {
      // The sheet's name is appended to the folder as it stands: a chosen
      // folder gets its separator so that the copy finds the file in it.
      if (!chosen.endsWith(QLatin1Char('/'))) chosen += QLatin1Char('/');
      Write_Ini_String(QStringLiteral("Canoe"), QStringLiteral("fo_data_folder"), chosen);
      load_FO_data_folder();
    }
    Update_FOD_folder_Remote();
  });
  Changed();
}

void Marathon_Sheet::Label_fodf_status_Click() {
  Trapped(Where_Form("Label_fodf_status_Click", Frm), [&] {
    Label_fodf_status = QStringLiteral("Looking for folder....");
    Changed();
    Update_FOD_folder_Remote();
  });
  Changed();
}

void Marathon_Sheet::Update_FOD_folder_Remote() {
  try {
    // The "drive" is the mount of the folder, or of its nearest existing
    // parent when the folder itself is not there (an unmounted share).
    QString probe = Label_fodf;
    while (!probe.isEmpty() && !QFileInfo::exists(probe)) {
      const QString up = QFileInfo(probe).path();
      if (up == probe) break;
      probe = up;
    }
    const Drive_Info d = Drive_Of_Path(probe, mount_info_for_test, removable_for_test);
    if (d.failure.isEmpty()) {
      switch (d.kind) {
        case Drive_Kind::Removable:
          Label_fodf_status = QStringLiteral("Removable");
          break;
        case Drive_Kind::Fixed:
          Label_fodf_status = QStringLiteral("Local");
          break;
        case Drive_Kind::Network:
          Label_fodf_status = d.share;
          break;
        default:
          break;
      }
    }
    FO_Folder_Ready = d.failure.isEmpty() && Folder_Exists(Label_fodf);
    if (!FO_Folder_Ready) Label_fodf_status = QStringLiteral("Not ready!");
  } catch (const Failure& f) {
    Label_fodf_status = f.description;
  } catch (...) {
    Label_fodf_status = Err_Description(Err_Internal);
  }
  Changed();
}

void Marathon_Sheet::Copy_XML_file() {
  Trapped_Own(
      false,
      [&] {
        if (Label_fodf_status.contains(QLatin1String("Not ready")) || Label_fodf_status.isEmpty()) {
          MsgBox(QStringLiteral("Folder not ready"));
          return false;
        }
        const QString source = FO_Data_Folder + QStringLiteral("marathon.xml");
        const QFileInfo info(source);
        if (!info.isFile()) Raise(Err_File_Not_Found);
        Label_lastmodified = Date_Time_Text(info.lastModified());
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) Raise(Err_Permission_Denied);
        const QByteArray bytes = in.readAll();
        Write_Result_File(Sheet_Path, bytes);
        // The sheet is on this PC now: the rows and edits work at once.
        Marathon_File_Present = true;
        Load_Marathon_file();
        Load_Form_Data();
        Changed();
        MsgBox(QStringLiteral("Marathon.xml copied into this PC!"));
        return true;
      },
      [&](const Failure_Report& r) {
        if (r.errnum == Err_File_Not_Found)
          MsgBox(QStringLiteral("Marathon.xml not found in folder: ") + Label_fodf_status);
        else
          MsgBox(QString::number(r.errnum) + QStringLiteral(" ") + r.errdesc);
      });
  Changed();
}

}  // namespace qm
