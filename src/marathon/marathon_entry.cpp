#include "marathon/marathon_entry.h"

#include "capture_file/avi_handler.h"
#include "marathon/marathon_host.h"
#include "marathon/marathon_sheet.h"
#include "platform/date_time.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "race_timing/mill_time.h"
#include "shell/app_globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qm {

namespace {

constexpr const char* Frm = "Frm_Quaymark_Marathon_settime";
constexpr const char* Dual = "frm_dualentry";

QString Stamp(const QDateTime& when) {
  return when.toString(QStringLiteral("yyMMddHHmmss"));
}

}  // namespace

QString Without_Leading_Spaces(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
  return text.mid(i);
}

QString Marathon_Result_Path() {
  return QDir::homePath() + QStringLiteral("/QuaymarkMarathon_Temp.xml");
}

QString Closed_Result_Path(const QString& result_file, const QDateTime& when) {
  return QFileInfo(result_file).absolutePath() + QStringLiteral("/MarathonResults") + Stamp(when) +
         QStringLiteral(" .xml");
}

Marathon_Result_Entry::Marathon_Result_Entry(Marathon_Sheet& sheet, Marathon_Host& host)
    : sheet_(sheet), host_(host) {}

void Marathon_Result_Entry::Changed() {
  if (on_change) on_change();
}

QString Marathon_Result_Entry::Capture_Path() {
  cls_AVI_handler* f = host_.Capture_File();
  return f ? f->File_name() : QString();
}

// ---- The results file ---------------------------------------------------------------

void Marathon_Result_Entry::Form_Load() {
  if (app().Exit_Requested) return;
  Trapped(Where_Form("Form_Load", Frm), [&] {
    Check_For_Existing_Result_File();
    Update_Num_Entries();
  });
}

void Marathon_Result_Entry::Check_For_Existing_Result_File() {
  Trapped(Where_Form("Check_For_Existing_Result_File", Frm), [&] {
    if (File_Exists(Result_File)) {
      if (obj_Marathon_Result.Load_Existing_XML(Result_File)) {
        obj_Marathon_Result.XML_Filename(Result_File);
        const int16_t count = obj_Marathon_Result.Count_Competitor_Nodes();
        MsgBox(QStringLiteral("Loaded existing Marathon results file") + QStringLiteral("\r\n") +
               QString::number(count) + QStringLiteral(" Competitor entries"));
        return;
      }
      // Unreadable (reported by the load): kept aside, never overwritten.
      const QString aside =
          Result_File + QStringLiteral(".unreadable-") + Stamp(Now()) + QStringLiteral(".xml");
      if (!QFile::rename(Result_File, aside)) {
        Extra(Result_File);
        Raise(Err_Path_Access);
      }
    }
    Initialize_Result_File();
    MsgBox(QStringLiteral("Created a new Marathon result file"));
  });
  Changed();
}

void Marathon_Result_Entry::Initialize_Result_File() {
  Trapped(Where_Form("Initialize_Result_File", Frm), [&] {
    Class_Quaymark_result_XML& x = obj_Marathon_Result;
    x.Initialize_DOM();
    x.XML_Filename(Result_File);
    if (cls_AVI_handler* f = host_.Capture_File()) {
      // A header without these values leaves the defaults.
      try {
        x.Capture_Host(f->Computer_name());
      } catch (...) {
      }
      try {
        x.EventName(f->Event_name());
      } catch (...) {
      }
    }
    x.Backoffice_Host(app().Computer_Name);
    x.RaceType(QStringLiteral("marathon"));
    x.Set_Comment(
        QStringLiteral("XML file containg Quaymark result data for marathon race. Produced by : ") +
        app().Product_Name + QStringLiteral(" ") + app().Version_String +
        QStringLiteral(" Compiled at : ") + app().Build_Stamp);
    x.Serialize();
  });
}

void Marathon_Result_Entry::Update_Num_Entries() {
  Trapped(Where_Form("Update_Num_Entries", Frm), [&] {
    Label_num_competitors =
        QString::number(obj_Marathon_Result.Count_Competitor_Nodes()) + QStringLiteral(" entries");
  });
  Changed();
}

void Marathon_Result_Entry::Update_Marathon_Time() {
  Trapped(Where_Form("Update_Marathon_Time", "frm_kanot_2"), [&] {
    const std::optional<QString> start = sheet_.Selected_Start();
    if (!start || start->isEmpty()) return;
    cls_AVI_handler* f = host_.Capture_File();
    if (!f) return;
    const int64_t start_seconds = Time_Of_Day_Seconds(*start).value_or(0);
    const int32_t t = f->Field_time_of_day();
    Label_heattime = Display_Mill_Time(t, false);
    Label_starttime = *start;
    Label_elapsed = Display_Mill_Time(t - start_seconds * 1000, false);
  });
  Changed();
}

// ---- Entries ---------------------------------------------------------------------------

void Marathon_Result_Entry::Command_XML_Click() {
  Trapped(Where_Form("Command_XML_Click", Frm), [&] {
    if (Text_kanoe_num.isEmpty()) {
      MsgBox(QStringLiteral("No competitor entered!"));
      return;
    }
    if (host_.Main_Visible()) host_.Focus_Slider();
    const Xml_Node earlier = obj_Marathon_Result.Document().Select_Single_Node(
        QStringLiteral("//result[@id=") + XPath_Literal(Lbl_heatID) +
        QStringLiteral("]/competitor[@nbr=") + XPath_Literal(Text_kanoe_num) + QStringLiteral("]"));
    if (!earlier.Is_None()) {
      // Also an entry made without a capture file is a duplicate; its field
      // number is read whole (a long marathon film passes 32767 fields).
      const Xml_Node file = earlier.Select_Single_Node(QStringLiteral("video_file"));
      const Xml_Node frame = earlier.Select_Single_Node(QStringLiteral("video_frame"));
      Earlier_File = file.Is_None() ? QString() : file.Text();
      Earlier_Field = frame.Is_None() ? 0 : frame.Text().trimmed().toInt();
      Handle_Duplicate_Entry();
      return;
    }
    Add_Marathon_XML();
    obj_Marathon_Result.Serialize();
    Update_Num_Entries();
  });
  Changed();
}

void Marathon_Result_Entry::Add_Marathon_XML() {
  Trapped(Where_Form("Add_Marathon_XML", Frm), [&] {
    Class_Quaymark_result_XML& x = obj_Marathon_Result;
    x.Create_Heat_node(Lbl_heatID, Lbl_heatname, Without_Leading_Spaces(Label_starttime));
    x.Create_Result_Node(Lbl_heatID);
    const QString file = Capture_Path();
    x.Create_Competitor_Node(Lbl_heatID, Text_kanoe_num, Without_Leading_Spaces(Label_elapsed),
                             QString(), QString(), file,
                             file.isEmpty() ? QString() : host_.Frame_Label());
  });
}

void Marathon_Result_Entry::Command_close_Click() {
  Trapped(Where_Form("Command_close_Click", Frm), [&] {
    Class_Quaymark_result_XML& x = obj_Marathon_Result;
    x.lastFile(QStringLiteral("true"));
    if (!x.Serialize()) {
      x.lastFile(QStringLiteral("false"));
      return;
    }
    // Two closings within one second: the later one takes the next free second.
    QDateTime when = Now();
    QString target = Closed_Result_Path(Result_File, when);
    while (File_Exists(target)) {
      when = when.addSecs(1);
      target = Closed_Result_Path(Result_File, when);
    }
    if (!QFile::rename(Result_File, target)) {
      // The entries stay in the open file: nothing starts afresh over them.
      x.lastFile(QStringLiteral("false"));
      x.Serialize();
      Extra(Result_File + QStringLiteral(" -> ") + target);
      Raise(Err_Path_Access);
    }
    Initialize_Result_File();
    Update_Num_Entries();
    MsgBox(QStringLiteral("The result file is now closed"));
  });
  Changed();
}

// ---- The duplicate-entry window ------------------------------------------------------------

void Marathon_Result_Entry::Handle_Duplicate_Entry() {
  Trapped(Where_Form("Handle_Duplicate_Entry", Frm), [&] {
    if (!dual.loaded) dual = Dual_Entry_State{true, false, true, false};
    dual.visible = true;
    Changed();
    if (show_duplicate) show_duplicate();
  });
}

void Marathon_Result_Entry::Override_Result() {
  Trapped(Where_Form("Override_Result", Dual), [&] {
    Class_Quaymark_result_XML& x = obj_Marathon_Result;
    Xml_Node c = x.Document().Select_Single_Node(
        QStringLiteral("//result[@id=") + XPath_Literal(Lbl_heatID) +
        QStringLiteral("]/competitor[@nbr=") + XPath_Literal(Text_kanoe_num) + QStringLiteral("]"));
    // An entry made without a capture file has no video elements yet.
    if (!c.Is_None()) {
      for (const char* name : {"elapsed_time", "video_file", "video_frame"})
        if (c.Select_Single_Node(QString::fromLatin1(name)).Is_None())
          c.Append_Element(QString::fromLatin1(name));
    }
    const QString file = Capture_Path();
    const bool saved =
        x.Override_Competitor_Node(Lbl_heatID, Text_kanoe_num, Label_elapsed, QString(), QString(),
                                   file, file.isEmpty() ? QString() : host_.Frame_Label());
    if (!saved) return;  // "Override failed!" has been shown; the window stays
    MsgBox(QStringLiteral("New result saved"));
    dual.visible = false;
  });
  Changed();
}

void Marathon_Result_Entry::Do_Nothing() {
  dual.visible = false;
  Changed();
}

void Marathon_Result_Entry::See_Previous() {
  Trapped(Where_Form("See_Previous", Dual), [&] {
    if (!dual.previous_enabled || Earlier_File.isEmpty()) return;
    dual.current_enabled = true;
    dual.previous_enabled = false;
    Kept_File = Capture_Path();
    Kept_Field = host_.Current_Field();
    if (Capture_Path() != Earlier_File && !host_.Open_Video(Earlier_File)) return;
    host_.Show_Field(Earlier_Field);
  });
  Changed();
}

void Marathon_Result_Entry::See_Current() {
  Trapped(Where_Form("See_Current", Dual), [&] {
    // Only the earlier entry on show has a position to go back to.
    const bool earlier_on_show = dual.current_enabled;
    dual.previous_enabled = true;
    dual.current_enabled = false;
    if (!earlier_on_show || Kept_File.isEmpty()) return;
    if (Capture_Path() != Kept_File && !host_.Open_Video(Kept_File)) return;
    host_.Show_Field(Kept_Field);
  });
  Changed();
}

void Marathon_Result_Entry::Dual_Closed_By_Frame() {
  if (!app().Exit_Requested) See_Current();
  dual = Dual_Entry_State{};
  Changed();
}

}  // namespace qm
