// qmtool print: the page that "Print results", "Print picture series" or
// "Print single picture" would print, written as a PDF file (the PDF writer
// stands for the printer), and optionally its geometry as JSON.
#include "capture_file/avi_handler.h"
#include "capture_file/dv_timecode.h"
#include "cli.h"
#include "picture_display/field_render.h"
#include "picture_display/overlays.h"
#include "picture_display/picture_surface.h"
#include "platform/failure.h"
#include "race_timing/file_player.h"
#include "race_timing/lane_result.h"
#include "race_timing/race_session.h"
#include "results_output/heat_facts.h"
#include "results_output/printing.h"
#include "shell/app_globals.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinterInfo>
#include <QTextStream>

#include <cmath>

namespace {

const QString Cmd = QStringLiteral("print");

// The field display of the main window, without a window: the field with its
// overlays in a picture box.
class Tool_Player : public qm::Print_Player {
 public:
  Tool_Player(qm::cls_AVI_handler& file, qm::Field_Renderer& render, qm::Race_Session& race)
      : file_(file),
        render_(render),
        race_(race),
        box_(file.rotated() ? 576 : 720, file.rotated() ? 720 : 576) {}

  bool Rotated() const override { return file_.rotated(); }
  void Show(int32_t field) {
    field_ = field;
    render_.Draw_field_3(field, box_, 0, 1, file_.rotated());
    qm::Picture_Overlay overlay;
    overlay.Arrange(box_.Width(), box_.Height());
    overlay.show_lane_markers = race_.Lanes_shown;
    overlay.flip_lane_markers = race_.Lanes_flipped_box;
    overlay.show_goal_line = race_.Goalline_shown;
    overlay.Goal_line = race_.Goal_line;
    overlay.lanes = &race_.markers;
    overlay.markers_drawn = race_.Markers_To_Draw();
    overlay.Draw_Graphics(box_, true, false, file_.File_open(), file_.Lap_Count());
  }
  QImage Finish_Picture(int place) override {
    box_.Image().fill(Qt::black);
    Show(qm::Go_to_Goal_field(race_.arrays, place));
    QImage pic = box_.Image().convertToFormat(QImage::Format_RGB32);
    qm::Draw_Place_String(pic, QString::number(place));
    return pic;
  }
  QImage Shown_Picture() override { return box_.Image().convertToFormat(QImage::Format_RGB32); }
  int32_t Current_Field() const override { return field_; }
  void Back_To_Start() override { Show(0); }

 private:
  qm::cls_AVI_handler& file_;
  qm::Field_Renderer& render_;
  qm::Race_Session& race_;
  qm::Picture_Surface box_;
  int32_t field_ = 0;
};

QJsonObject Rect_Json(const QRectF& r) {
  return QJsonObject{{"x", r.x()}, {"y", r.y()}, {"w", r.width()}, {"h", r.height()}};
}

QJsonObject Layout_Json(const qm::Results_Printer& p, bool series) {
  const qm::Static_Layout& y = p.Last_Layout;
  QJsonObject o;
  o.insert("page", QJsonObject{{"w", y.W}, {"h", y.H}});
  o.insert("margins", QJsonObject{{"left", y.L}, {"top", y.T}, {"right", y.R}, {"bottom", y.B}});
  o.insert("logo", Rect_Json(y.logo));
  o.insert("title_width", y.title_width);
  o.insert("title_is_logo", y.title_is_logo);
  o.insert("title_size", y.title_size);
  o.insert("title_scale", y.title_scale);
  o.insert("title", Rect_Json(y.title));
  o.insert("file_box", Rect_Json(y.file_box));
  o.insert("file_lines", QJsonArray::fromStringList(y.file_lines));
  o.insert("Y1", y.Y1);
  o.insert("Y0", y.Y0);
  o.insert("Y_Pos_After_Results", p.Y_Pos_After_Results);
  o.insert("footer", QJsonObject{{"x", y.footer.x()}, {"y", y.footer.y()}});
  if (series) {
    const qm::Series_Layout& s = p.Last_Series;
    QJsonArray cells;
    for (const qm::Series_Cell& c : s.cells) {
      QJsonObject cell = Rect_Json(c.box);
      cell.insert("place", c.place);
      cells.append(cell);
    }
    o.insert("series", QJsonObject{{"columns", s.columns},
                                   {"w", s.w},
                                   {"h", s.h},
                                   {"step", s.step},
                                   {"timed", s.timed},
                                   {"cells", cells}});
  }
  return o;
}

int Run_Print(qmtool::Session& session, qmtool::Args& args) {
  const bool results = args.Flag(QStringLiteral("--results"));
  const bool series = args.Flag(QStringLiteral("--series"));
  const bool single = args.Flag(QStringLiteral("--single"));
  const bool layout_json = args.Flag(QStringLiteral("--layout-json"));
  const std::optional<QString> field_text = args.Value(QStringLiteral("--field"));
  const std::optional<QString> pdf = args.Value(QStringLiteral("--pdf"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(Cmd, QStringLiteral("one FILE expected"));
  if (int(results) + int(series) + int(single) != 1)
    return qmtool::Usage_Error(Cmd, QStringLiteral("give one of --results, --series, --single"));
  if (!pdf) return qmtool::Usage_Error(Cmd, QStringLiteral("--pdf OUT.pdf needed"));
  int32_t field = 1;
  if (field_text) {
    bool ok = false;
    field = field_text->toInt(&ok);
    if (!ok || field < 0 || !single)
      return qmtool::Usage_Error(Cmd, QStringLiteral("--field N goes with --single"));
  }

  // The default printer's page; the PDF writer is the printer of the footer.
  qm::Printer_Query q;
  q.printers = 1;
  q.device_name = QStringLiteral("PDF");
  const QPrinterInfo def = QPrinterInfo::defaultPrinter();
  if (!def.isNull() && def.defaultPageSize().isValid()) {
    const QSizeF pt = def.defaultPageSize().size(QPageSize::Point);
    q.page_width = static_cast<int32_t>(std::lround(pt.width() * 20));
    q.page_height = static_cast<int32_t>(std::lround(pt.height() * 20));
  }
  qm::Check_Printer(q);
  qm::Compute_Print_Margins();
  qm::Make_Print_footer();

  qm::cls_AVI_handler file;
  qm::Field_Renderer render(file);
  qm::Race_Session race;
  qm::File_Player timing_player(file);
  if (!qm::Open_For_Timing(QFileInfo(files.at(0)).absoluteFilePath(), file, race, timing_player))
    return session.Finish(false);
  Tool_Player player(file, render, race);
  if (qm::app().Export_event_name.isEmpty()) qm::app().Export_event_name = file.Event_name();

  // The camera time is that of the field on show.
  player.Show(field);
  QString camera_time;
  if (file.Frame_address() && file.Frame_in_store() > 0) {
    // KV frames carry no length of their own: the file's frame size.
    const int32_t length = file.Frame_Length() > 0 ? file.Frame_Length() : file.m_Frame_size();
    qm::DV_Header_Parse(file.Frame_address(), static_cast<size_t>(length));
    camera_time = qm::Camera_clock_text();
  }

  qm::Results_Printer printer;
  printer.Preview_Mode = false;
  printer.Load_logo();
  bool written = false;
  printer.on_print = [&](const qm::Page_Canvas& page, const QString& title) {
    qm::Save_Page_Pdf(page, *pdf, title);
    written = true;
    return true;
  };
  const qm::Heat_Facts facts =
      qm::Trapped(Cmd, qm::Heat_Facts{}, [&] { return qm::Heat_Facts_Of(file); });
  if (single)
    printer.PrintSingle(facts, camera_time, player);
  else
    printer.Print_Results(series, facts, camera_time, race.rows, race.arrays, &player);
  if (written && layout_json)
    QTextStream(stdout)
        << QJsonDocument(Layout_Json(printer, series)).toJson(QJsonDocument::Indented);
  return session.Finish(written);
}

const qmtool::Registrar reg{
    {Cmd,
     QStringLiteral("print FILE (--results|--series|--single [--field N]) --pdf OUT.pdf "
                    "[--layout-json]"),
     &Run_Print}};

}  // namespace
