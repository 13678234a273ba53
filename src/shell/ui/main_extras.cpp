// Frm_kanot_2: its load steps, the intro, the magnifier pointer, keep-awake.
#include "platform/clock.h"
#include "platform/codec_registry.h"
#include "platform/failure.h"
#include "results_output/printing.h"
#include "results_output/ui/results_output_frames.h"
#include "shell/about_info.h"
#include "shell/app_globals.h"
#include "shell/error_report.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/trace.h"
#include "shell/ui/key_state.h"
#include "shell/ui/main_window.h"

#include <QBitmap>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFontMetrics>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPrinterInfo>
#include <QSlider>

namespace qm::ui {

namespace {
constexpr const char* Frm_kanot_2_name = "Frm_kanot_2";
constexpr const char* frm_kanot_2 = "frm_kanot_2";

Printer_Query Ask_Printer() {
  Printer_Query q;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  q.printers = static_cast<int>(QPrinterInfo::availablePrinterNames().size());
  if (info.isNull()) return q;
  q.device_name = info.printerName();
  const QSizeF mm = info.defaultPageSize().size(QPageSize::Millimeter);
  q.page_width = static_cast<int32_t>(mm.width() / 25.4 * 1440);
  q.page_height = static_cast<int32_t>(mm.height() / 25.4 * 1440);
  return q;
}
}  // namespace

QCursor Magnify_Cursor() {
  static const QCursor cursor = [] {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QRectF(3, 3, 17, 17));
    p.drawLine(QPointF(18, 18), QPointF(29, 29));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QRectF(3, 3, 17, 17));
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.end();
    return QCursor(pm, 11, 11);
  }();
  return cursor;
}

QPixmap Intro_Picture() {
  // Water, lane buoys and a finish line in perspective.
  QPixmap pm(700, 480);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 200);
  sky.setColorAt(0, QColor(120, 170, 230));
  sky.setColorAt(1, QColor(220, 235, 250));
  p.fillRect(0, 0, 700, 200, sky);
  QLinearGradient water(0, 200, 0, 480);
  water.setColorAt(0, QColor(40, 110, 160));
  water.setColorAt(1, QColor(10, 50, 90));
  p.fillRect(0, 200, 700, 280, water);
  for (int lane = 0; lane <= 8; ++lane) {
    const double far_x = 250 + lane * 25.0, near_x = -100 + lane * 112.5;
    for (int k = 0; k < 12; ++k) {
      const double t = k / 11.0;
      const double x = far_x + (near_x - far_x) * t, y = 205 + 275 * t;
      p.setBrush(k % 2 ? QColor(255, 200, 0) : QColor(230, 40, 30));
      p.setPen(Qt::NoPen);
      const double r = 1.5 + 5 * t;
      p.drawEllipse(QPointF(x, y), r, r * 0.7);
    }
  }
  p.setPen(QPen(Qt::white, 3));
  p.drawLine(QPointF(520, 205), QPointF(700, 330));
  p.end();
  return pm;
}

void Keep_Awake() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  const QDBusMessage m = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/ScreenSaver"),
      QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("SimulateUserActivity"));
  bus.call(m, QDBus::NoBlock);
}

void Frm_kanot_2::Run_Intro() {
  Trapped(Where_Form("Run_Intro", Frm_kanot_2_name), [&] {
    const QPoint centre(width() / 2, height() / 2);
    QPixmap intro = Intro_Picture();
    {
      QPainter p(&intro);
      QFont f(QStringLiteral("Arial"));
      f.setPixelSize(128);
      p.setFont(f);
      p.setPen(QColor(0, 0, 255));
      p.drawText(QPoint(intro.width() / 20, intro.height() / 20 + QFontMetrics(f).ascent()),
                 QStringLiteral("Quaymark"));
    }
    Picture_intro_2->setPixmap(intro);
    Picture_intro_2->resize(intro.size());
    Trapped(Where_Form("Run_Intro_Loop", Frm_kanot_2_name), [&] {
      for (int i = 1; i <= 30; ++i) {
        Picture_intro->hide();
        const QSize s(intro.width() * i / 35, intro.height() * i / 35);
        Picture_intro->setGeometry(
            QRect(QPoint(centre.x() - s.width() / 2, centre.y() - s.height() / 2), s));
        Picture_intro->setPixmap(intro.scaled(s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        Picture_intro->show();
        Picture_intro->raise();
        Picture_intro->repaint();
        intro_pause(60);
      }
    });
    QPixmap shown = Picture_intro->pixmap().copy();
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(36);
    const QFontMetrics fm(f);
    const QString text = QStringLiteral("Regatta Timing & Photofinish");
    const int y = intro.height() * 60 / 100;
    const int x0 = intro.width() * 5 / 100;
    for (int k = 1; k <= text.size(); ++k) {
      QPainter p(&shown);
      p.setFont(f);
      p.setPen(QColor(0, 0, 255));
      p.drawText(QPoint(x0 + fm.horizontalAdvance(text.left(k - 1)), y), text.mid(k - 1, 1));
      p.end();
      Picture_intro->setPixmap(shown);
      Picture_intro->repaint();
      intro_pause(60);
    }
    intro_pause(1000);
    Picture_intro->hide();
  });
}

void Frm_kanot_2::Show_Logo() {
  const QImage logo = output && !output->Printer().Event_logo.isNull()
                          ? output->Printer().Event_logo
                          : Quaymark_Logo();
  Picture_logo->setPixmap(QPixmap::fromImage(logo));
}

bool Frm_kanot_2::Form_Load(Instance_Lock* instance) {
  Trace_Text(QStringLiteral("Frm_kanot2 Form_Load start"));
  if (app().Product_Name.isEmpty()) Quaymark_Initialization();
  return Trapped(Where_Form("Form_Load", frm_kanot_2), false, [&] {
    Trace_Text(QStringLiteral("Program_version = ") + app().Version_String);
    Trace_Text(QStringLiteral("Compile_date  = ") + app().Build_Stamp);
    Test_Compiled();
    core.Set_Rotated_View(true);
    app().Start_Tick = Tick_Count();
    Trace_Text(QStringLiteral("*Frm_Kanot, Form_load_2 start ************"));
    Trace_Text(QStringLiteral("Quaymark ") + app().Version_String);
    if (app().Exit_Requested) {
      Trace_Text(QStringLiteral("*Frm_Kanot_2, Form_load start ending = true"));
      return true;
    }
    app().Last_Folder = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("last_dir"), {});
    Quaymark_Initialization();
    core.Update_Form_Caption();
    Chk_reverse_lanes->setEnabled(false);
    item_video_capture->setVisible(false);
    item_give_event_name->setVisible(false);
    item_open_last->setVisible(false);
    Trace_Text(QStringLiteral("*before Check_Printer"));
    Check_Printer(ask_printer ? ask_printer() : Ask_Printer());
    Trace_Text(QStringLiteral("*after Check_Printer"));
    Trace_Text(QStringLiteral("*after Printers_Num"));
    menu_result->menuAction()->setVisible(false);
    Compute_Print_Margins();
    // The print preview window comes with the results output's windows.
    Trace_Text(QStringLiteral("*before Load Form_LCS_preview"));
    Trace_Text(QStringLiteral("*after Load Form_LCS_preview"));
    app().Extra_Data_Offset = 12000;
    KVS_Error_Initialize();
    if (!Check_Ini_File()) return false;
    move(0, 0);
    Eval_Codecs();
    Trace_Text(QStringLiteral("*after Eval_Codecs"));
    memory_status().Read();
    if (instance && !Check_Single_Instance(*instance)) return false;
    {
      QFont f(QStringLiteral("Times New Roman"));
      f.setPointSize(48);
      const QFontMetrics fm(f);
      Pict_heat_time->resize(fm.horizontalAdvance(QStringLiteral("-11.22.33")),
                             static_cast<int>(0.85 * fm.height()));
    }
    core.session.Goal_line = {100, 100, 505, 100};
    core.Update_Form_Caption();
    menu_debug->menuAction()->setVisible(false);
    Trace_Text(QStringLiteral("*Calling Arrange_Frames"));
    Arrange_layout();
    menu_specials->menuAction()->setVisible(false);
    Slider_play->setToolTipDuration(0);
    print_setup().Print_footer = Make_Print_footer();
    if (output) output->Printer().Load_logo();
    Show_Logo();
    if (!Key_State::Instance().Ctrl_Held()) {
      menu_debug->menuAction()->setVisible(false);
      menu_specials->menuAction()->setVisible(false);
    }
    core.Refresh_picture();
    return true;
  });
}

}  // namespace qm::ui
