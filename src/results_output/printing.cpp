#include "results_output/printing.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "shell/app_globals.h"
#include "shell/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace qm {

namespace {

constexpr const char* Frm_Results = "Frm_results";
constexpr const char* Frm_Main = "frm_kanot_2";

Page_Font Arial(double size, bool bold = false) {
  Page_Font f;
  f.name = QStringLiteral("Arial");
  f.size = size;
  f.bold = bold;
  return f;
}

Page_Font Title_Font(double size) {
  Page_Font f = Arial(size, true);
  f.color = Qt::blue;
  return f;
}

// A printer failure has its own message; everything else is reported.
template <class F>
bool Printing(const QString& where, F&& body) {
  return Trapped(where, false, [&] {
    try {
      return body();
    } catch (const Failure& f) {
      if (f.number != Err_Printer) throw;
      MsgBox(QStringLiteral("Printer error"));
      return false;
    }
  });
}

}  // namespace

Print_Setup& print_setup() {
  static Print_Setup s;
  return s;
}

void Check_Printer(const Printer_Query& q) {
  Print_Setup& s = print_setup();
  s.Printers_Num = Checked_Int16(std::max(0, q.printers));
  s.Printer_Device_Name = q.printers > 0 ? q.device_name : QString();
  const bool asked = q.printers > 0 && q.page_width > 0 && q.page_height > 0;
  s.Page_Width = asked ? q.page_width : No_Printer_Page_Width;
  s.Page_Height = asked ? q.page_height : No_Printer_Page_Height;
}

void Compute_Print_Margins() {
  Print_Setup& s = print_setup();
  s.Left = 0.05 * s.Page_Width;
  s.Top = 0.02 * s.Page_Height;
  s.Right = 0.95 * s.Page_Width;
  s.Bottom = 0.95 * s.Page_Height;
}

QString Make_Print_footer() {
  return Trapped(Where_Form("Make_Print_footer", Frm_Main), QString(), [&] {
    Print_Setup& s = print_setup();
    if (s.Printers_Num <= 0) return QString();
    const App_Globals& g = app();
    s.Print_footer =
        QStringLiteral("Printed by Quaymark at: ") +
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat) +
        QStringLiteral(" /") + g.Version_Text + QStringLiteral(" /Computer: ") + g.Computer_Name +
        QStringLiteral(" /Printer: ") + s.Printer_Device_Name;
    return s.Print_footer;
  });
}

QImage Quaymark_Logo() {
  // 200 x 109: a blue panel with the name over water, a chequered finish
  // strip at its right and a bow crossing the line.
  QImage img(200, 109, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 109);
  g.setColorAt(0, QColor(20, 70, 160));
  g.setColorAt(1, QColor(10, 40, 110));
  QPainterPath panel;
  panel.addRoundedRect(QRectF(2, 2, 176, 105), 10, 10);
  p.fillPath(panel, g);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 2; ++c)
      p.fillRect(QRectF(182 + c * 8, 2 + r * 13.125, 8, 13.125),
                 (r + c) % 2 ? Qt::white : Qt::black);
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(QRectF(182, 2, 16, 105));
  // Water and a bow reaching the line.
  p.setPen(QPen(QColor(120, 180, 235), 2));
  for (int k = 0; k < 3; ++k) {
    QPainterPath wave;
    const double y = 80 + 8 * k;
    wave.moveTo(12, y);
    for (int x = 12; x < 168; x += 24) {
      wave.quadTo(x + 6, y - 4, x + 12, y);
      wave.quadTo(x + 18, y + 4, x + 24, y);
    }
    p.drawPath(wave);
  }
  QPainterPath bow;
  bow.moveTo(96, 70);
  bow.lineTo(176, 70);
  bow.lineTo(176, 78);
  bow.quadTo(130, 82, 96, 70);
  p.fillPath(bow, QColor(240, 200, 40));
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(26);
  f.setBold(true);
  f.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(2, 10, 176, 40), Qt::AlignCenter, QStringLiteral("QUAYMARK"));
  f.setPixelSize(12);
  f.setBold(false);
  f.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  p.setFont(f);
  p.drawText(QRectF(2, 46, 176, 16), Qt::AlignCenter, QStringLiteral("Regatta timing"));
  p.end();
  return img;
}

QString Replace_National_Letters(const QString& text) {
  QString t = text;
  t.replace(QChar(0xE5), QLatin1Char('a'));
  t.replace(QChar(0xE4), QLatin1Char('a'));
  t.replace(QChar(0xF6), QLatin1Char('o'));
  t.replace(QChar(0xC5), QLatin1Char('A'));
  t.replace(QChar(0xC4), QLatin1Char('A'));
  t.replace(QChar(0xD6), QLatin1Char('O'));
  return t;
}

double Title_Font_Size(const QString& name, double width) {
  for (int size = 110; size >= 8; size -= 2)
    if (Page_Text_Width(Title_Font(size), name + QStringLiteral("xxx")) < width) return size;
  return 8;
}

Static_Layout Layout_Static(const Print_Setup& s, const Static_Inputs& in) {
  Static_Layout y;
  y.W = s.Page_Width;
  y.H = s.Page_Height;
  y.L = s.Left;
  y.T = s.Top;
  y.R = s.Right;
  y.B = s.Bottom;
  const QImage logo = Quaymark_Logo();
  const QSizeF logo_size(logo.width() * Twips_Per_Screen_Pixel,
                         logo.height() * Twips_Per_Screen_Pixel);
  const double logo_x = y.R - logo_size.width() - 100;
  y.logo = QRectF(QPointF(logo_x, 0.03 * y.H), logo_size);
  y.title_width = logo_x - (y.L + 300);
  if (in.event_logo && !in.event_logo->isNull()) {
    y.title_is_logo = true;
    y.title_natural = QSizeF(in.event_logo->width() * Twips_Per_Screen_Pixel,
                             in.event_logo->height() * Twips_Per_Screen_Pixel);
  } else {
    y.title_size = Title_Font_Size(in.event_name, y.title_width);
    const Page_Font f = Title_Font(y.title_size);
    y.title_natural = QSizeF(Page_Text_Width(f, in.event_name), Page_Text_Height(f));
  }
  y.title_scale = y.title_natural.width() <= y.title_width || y.title_natural.width() <= 0
                      ? 1.0
                      : y.title_width / y.title_natural.width();
  y.title = QRectF(QPointF(y.L + 100, 0.03 * y.H), y.title_natural * y.title_scale);
  y.Y1 = y.title_natural.height() + y.T + 100;

  const QString first = QStringLiteral("Filename = ") + in.file_path;
  if (first.size() > 60)
    y.file_lines << first.left(60) << first.mid(60);
  else
    y.file_lines << first;
  y.file_lines << QStringLiteral("File_written at: ") + in.last_capture
               << QStringLiteral("Camera time: ") + in.camera_time;
  const Page_Font box_font = Arial(8);
  y.file_line_height = Page_Text_Height(box_font);
  const double box_w = Page_Text_Width(box_font, y.file_lines.first() + QStringLiteral("xx")) + 50;
  const double box_h = 5 * y.file_line_height;
  y.file_box = QRectF(y.R - 100 - box_w, 0.14 * y.H, box_w, box_h);
  y.Y0 = std::max(y.Y1, 0.12 * y.H + box_h);
  y.footer = QPointF(y.L + 100, y.B - 200);
  return y;
}

std::array<int32_t, 16> Ranked_Times(const Result_Arrays& arrays) {
  std::array<int32_t, 16> t{};
  for (int i = 0; i < 16; ++i)
    t[static_cast<size_t>(i)] = arrays.active[static_cast<size_t>(i)].time;
  return t;
}

Series_Layout Layout_Series(double L, double R, double y_after, double bottom, bool rotated,
                            const std::array<int32_t, 16>& times) {
  Series_Layout s;
  const double U = R - L;
  s.columns = rotated ? 4 : 3;
  s.w = std::round(U / (s.columns * 1.05));
  s.h = std::round(rotated ? 4.0 / 3.0 * s.w : 0.75 * s.w);
  for (int32_t t : times)
    if (t < Status_DSQ) ++s.timed;
  if (s.timed == 0) return s;
  if (s.timed > 8) {
    s.w = std::round(s.w * 0.8);
    s.h = std::round(s.h * 0.8);
    s.columns = 5;
    // 80 % of a three-column picture is wider than a fifth of the page:
    // such pictures would cover each other and run past the frame.
    const double fit = std::round(U / (s.columns * 1.05));
    if (s.w > fit) {
      s.w = fit;
      s.h = std::round(rotated ? 4.0 / 3.0 * s.w : 0.75 * s.w);
    }
  }
  s.step = U / s.columns;
  int count = 0;
  while (count < 3 * s.columns && count < 16 && times[static_cast<size_t>(count)] < Status_DSQ)
    ++count;
  // The rows must end above the footer; smaller pictures rather than lost ones.
  const int rows = (count + s.columns - 1) / s.columns;
  const double room = bottom - 250 - y_after;
  if (rows > 0 && rows * s.h * 1.05 > room && room > 0) {
    const double k = room / (rows * s.h * 1.05);
    s.w = std::floor(s.w * k);
    s.h = std::floor(s.h * k);
  }
  for (int p = 1; p <= count; ++p) {
    const int k = (p - 1) / s.columns, j = (p - 1) % s.columns;
    s.cells.push_back({p, QRectF(L + s.step * j, y_after + k * s.h * 1.05, s.w, s.h)});
  }
  return s;
}

QString Result_Print_Line(const QString& place, const QString& lane, const QString& time,
                          const QString& delta) {
  QString line = QStringLiteral("%1 %2  ").arg(place, 3).arg(lane, 6);
  if (time == QLatin1String("DSQ")) return line + QStringLiteral(" Disqualified");
  if (time == QLatin1String("DNF")) return line + QStringLiteral(" Did not finish");
  if (time == QLatin1String("DNS")) return line + QStringLiteral(" Did not start");
  return line + time + QStringLiteral("  ") + delta;
}

bool Results_Printer::Print_Static_Content(const Heat_Facts& facts, const QString& camera_time) {
  return Printing(Where_Form("Print_Static_Content", Frm_Results), [&] {
    const Print_Setup& s = print_setup();
    Static_Inputs in;
    in.event_name = facts.event_name;
    in.event_logo = Event_logo.isNull() ? nullptr : &Event_logo;
    in.file_path = facts.file_path;
    in.last_capture = facts.last_capture;
    in.camera_time = camera_time;
    const Static_Layout y = Layout_Static(s, in);
    Last_Layout = y;
    Page_Canvas& c = target;
    c.Width = y.W;
    c.Height = y.H;
    c.DrawWidth = 10;
    c.Font = Arial(8);
    c.Rect(y.L, y.T, y.R, y.B);
    c.PaintPicture(Quaymark_Logo(), y.logo.x(), y.logo.y(), y.logo.width(), y.logo.height());
    if (y.title_is_logo) {
      c.PaintPicture(Event_logo, y.title.x(), y.title.y(), y.title.width(), y.title.height());
    } else {
      c.Font = Title_Font(y.title_size);
      c.Text_At(y.title.x(), y.title.y(), facts.event_name, y.title_scale);
    }
    c.Font = Arial(8);
    c.DrawWidth = 5;
    c.Rect(y.file_box.left(), y.file_box.top(), y.file_box.right(), y.file_box.bottom());
    c.CurrentY = y.file_box.top() + y.file_line_height / 2;
    for (const QString& line : y.file_lines) {
      c.CurrentX = y.file_box.left() + 50;
      c.Print(line);
    }
    c.CurrentX = y.footer.x();
    c.CurrentY = y.footer.y();
    c.Print(s.Print_footer);
    c.CurrentY = y.Y0;
    c.CurrentX = y.L;
    return true;
  });
}

void Results_Printer::Print_Results(bool include_pictures, const Heat_Facts& facts,
                                    const QString& camera_time, const Result_Rows& rows,
                                    const Result_Arrays& arrays, Print_Player* player) {
  Trapped(Where_Form("Print_Results", Frm_Results), [&] {
    Print_job_title = Replace_National_Letters(
        app().Export_event_name + QStringLiteral(" Heat: ") + facts.heat_id + QStringLiteral(" ") +
        (include_pictures ? QStringLiteral("Series") : QStringLiteral("Results")));
    if (on_title) on_title(Print_job_title);
    if (!Print_Static_Content(facts, camera_time)) return;
    Page_Canvas& c = target;
    const double L = print_setup().Left;
    c.CurrentX = L;
    c.CurrentY = Last_Layout.Y0;
    c.Font = Arial(16);
    c.Print(QStringLiteral("Results for Heat: ") + facts.heat_id);
    c.Font = Arial(12);
    c.Print(QString());
    c.Print(QString());
    Page_Font courier;
    courier.name = QStringLiteral("Courier New");
    courier.size = 15;
    courier.bold = true;
    courier.underline = true;
    c.Font = courier;
    c.CurrentX = L;
    c.Print(QStringLiteral("Place Lane       Time   Diff."));
    c.Font.underline = false;
    for (const Result_Row& r : rows.rows) {
      if (!r.Filled()) break;
      c.CurrentX = L;
      c.Print(Result_Print_Line(r.place, r.lane, r.time, r.delta));
    }
    c.CurrentY += 300;
    Y_Pos_After_Results = c.CurrentY;
    if (include_pictures && player) Print_Series(facts, camera_time, arrays, *player);
    Printer_End();
  });
}

void Results_Printer::Print_Series(const Heat_Facts& facts, const QString& camera_time,
                                   const Result_Arrays& arrays, Print_Player& player) {
  Trapped(Where_Form("Print_Series", Frm_Main), [&] {
    if (!Print_Static_Content(facts, camera_time)) return;
    const Print_Setup& s = print_setup();
    Last_Series = Layout_Series(s.Left, s.Right, Y_Pos_After_Results, s.Bottom, player.Rotated(),
                                Ranked_Times(arrays));
    for (const Series_Cell& cell : Last_Series.cells) {
      const QImage pic = player.Finish_Picture(cell.place);
      target.PaintPicture(pic, cell.box.x(), cell.box.y(), cell.box.width(), cell.box.height());
      player.Pause(100);
    }
    player.Back_To_Start();
  });
}

void Results_Printer::PrintSingle(const Heat_Facts& facts, const QString& camera_time,
                                  Print_Player& player) {
  Trapped(Where_Form("PrintSingle", Frm_Main), [&] {
    Print_job_title = Replace_National_Letters(app().Export_event_name + QStringLiteral(" Heat ") +
                                               facts.heat_id + QStringLiteral(" Single"));
    if (on_title) on_title(Print_job_title);
    if (Preview_Mode) target.Cls();
    if (!Print_Static_Content(facts, camera_time)) return;
    Page_Canvas& c = target;
    const double x = print_setup().Left + 100;
    c.CurrentY = Last_Layout.Y0;
    c.Font = Arial(16);
    c.CurrentX = x;
    c.Print(QStringLiteral("Heat = ") + facts.heat_id);
    c.CurrentX = x;
    c.Print(QStringLiteral("Video field no: ") + QString::number(player.Current_Field()));
    c.Print(QString());
    const QImage pic = player.Shown_Picture();
    c.PaintPicture(pic, x, c.CurrentY, pic.width() * Twips_Per_Screen_Pixel,
                   pic.height() * Twips_Per_Screen_Pixel);
    Printer_End();
  });
}

void Results_Printer::Printer_End() {
  Printing(Where_Module("Printer_End", "Module_canoe"), [&] {
    if (Preview_Mode) {
      if (on_preview) on_preview(target);
      target.Cls();
      return true;
    }
    const bool ok = on_print ? on_print(target, Print_job_title) : false;
    target.Cls();
    if (on_title) on_title(QString());
    if (!ok) Raise(Err_Printer);
    return true;
  });
}

void Results_Printer::Printer_Test(const Heat_Facts& facts, const QString& camera_time) {
  if (Print_Static_Content(facts, camera_time)) Printer_End();
}

bool Results_Printer::Load_logo() {
  return Trapped(Where_Form("Load_logo", Frm_Main), false, [&] {
    Event_logo = QImage();
    const QString path = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("event_logo"),
                                         QStringLiteral("N/A"));
    if (path.isEmpty() || path == QLatin1String("N/A") || !QFileInfo(path).isFile()) return false;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage img = reader.read();
    if (img.isNull()) {
      Extra(path + QStringLiteral(": ") + reader.errorString());
      Raise(Err_Bad_Format);
    }
    Event_logo = img;
    return true;
  });
}

void Results_Printer::item_select_logo_file_Click() {
  Trapped(Where_Form("item_select_logo_file_Click", Frm_Main), [&] {
    const QString current = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("event_logo"),
                                            QDir::homePath() + QStringLiteral("/"));
    File_Request r;
    r.kind = File_Request::Kind::Open;
    r.title = QStringLiteral("Select Logo File");
    r.filter = QStringLiteral("Picture file (*.jpg *.gif *.bmp)");
    const QFileInfo fi(current);
    r.folder = fi.isDir() ? current : fi.path();
    const QString chosen = dialogs().File(r);
    Write_Ini_String(QStringLiteral("Canoe"), QStringLiteral("event_logo"), chosen);
    Load_logo();
  });
}

}  // namespace qm
