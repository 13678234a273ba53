#include "marathon/ui/form_quaymark_marathon.h"

#include "marathon/marathon_sheet.h"
#include "marathon/ui/marathon_window_pos.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace qm::ui {

namespace {

constexpr int Px(int twips) {
  return twips / Twips_Per_Pixel;
}

QLabel* Bordered(QWidget* parent, const QString& tip) {
  auto* l = new QLabel(parent);
  l->setFrameStyle(QFrame::Box | QFrame::Plain);
  l->setToolTip(tip);
  l->setCursor(Qt::PointingHandCursor);
  return l;
}

void Set_Box_Colour(QLineEdit* box, bool selected) {
  QPalette p = box->palette();
  p.setColor(QPalette::Base, selected ? QColor(128, 255, 128) : QColor(Qt::white));
  box->setPalette(p);
}

void Set_If_Different(QLineEdit* box, const QString& text) {
  if (box->text() != text) box->setText(text);
}

}  // namespace

Form_Quaymark_marathon::Form_Quaymark_marathon(Marathon_Sheet& sheet, QWidget* main_window)
    : QMainWindow(main_window), sheet_(sheet) {
  setObjectName(Window_Name());
  setWindowTitle(QStringLiteral("Quaymark marathon"));
  // Floats beside the main window; no Close of its own.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  Build_Controls();
  Build_Menus();
  Restore_Form_Pos(*this, Window_Name());
  sheet_.on_change = [this] { Refresh(); };
  sheet_.Form_Load();
  // The start signal and the running clock are not offered.
  Cmd_start->setEnabled(false);
  Cmd_stop->setEnabled(false);
  Label_PC_time->setEnabled(false);
  Timer1->stop();
  for (QLabel* l : Label_heat_elapsed) l->setEnabled(false);
  menu_debug->menuAction()->setVisible(false);
  Refresh();
  Window_Loaded(this);
}

Form_Quaymark_marathon::~Form_Quaymark_marathon() {
  closing_ = true;
  sheet_.on_change = nullptr;
  Window_Unloaded(this);
}

void Form_Quaymark_marathon::Build_Controls() {
  // The designed layout is taller than many screens: it scrolls when the
  // window is smaller.
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setCentralWidget(scroll);
  auto* central = new QWidget;
  central_ = central;
  central->installEventFilter(this);

  Text_racename = new QLineEdit(QStringLiteral("Name of race"), central);
  Text_racename->setGeometry(Px(120), Px(120), Px(3600), Px(315));
  connect(Text_racename, &QLineEdit::textEdited, this,
          [this](const QString& t) { sheet_.Set_Text_racename(t); });
  Label_PC_time = new QLabel(QStringLiteral("00:00:00"), central);
  Label_PC_time->setGeometry(Px(3840), Px(120), Px(1200), Px(315));
  QPalette blue = Label_PC_time->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  Label_PC_time->setPalette(blue);
  Cmd_start = new QPushButton(QStringLiteral("Start"), central);
  Cmd_start->setGeometry(Px(120), Px(540), Px(1100), Px(375));
  Cmd_stop = new QPushButton(QStringLiteral("Stop"), central);
  Cmd_stop->setGeometry(Px(1320), Px(540), Px(1100), Px(375));
  Cmd_stop->hide();

  Frame_fodf = new QGroupBox(QStringLiteral("Front office data folder"), central);
  Frame_fodf->setGeometry(Px(120), Px(1020), Px(5880), Px(1500));
  Label_fodf = Bordered(Frame_fodf, QStringLiteral("Name of folder"));
  Label_fodf->setGeometry(Px(120), Px(300), Px(5640), Px(315));
  Label_fodf_status = Bordered(Frame_fodf, QStringLiteral("Location of folder"));
  Label_fodf_status->setGeometry(Px(120), Px(690), Px(5640), Px(315));
  Label_lastmodified = Bordered(Frame_fodf, QStringLiteral("File last modified"));
  Label_lastmodified->setGeometry(Px(120), Px(1080), Px(5640), Px(315));
  Label_fodf->installEventFilter(this);
  Label_fodf_status->installEventFilter(this);

  Frame_heats = new QGroupBox(QStringLiteral("Classes"), central);
  Frame_heats->setGeometry(Px(120), Px(2640), Px(5880), Px(720 + 360 * Rows + 120));
  Frame_heats->installEventFilter(this);
  Label_heats = new QLabel(
      QStringLiteral("Heat          name                     started    elapsed"), Frame_heats);
  Label_heats->setGeometry(Px(120), Px(360), Px(5640), Px(300));
  Label_heats->installEventFilter(this);
  for (int r = 0; r < Rows; ++r) {
    const int y = Px(720 + 360 * r);
    Text_heat[r] = new QLineEdit(Frame_heats);
    Text_heat[r]->setGeometry(Px(120), y, Px(615), Px(330));
    Text_heat_name[r] = new QLineEdit(Frame_heats);
    Text_heat_name[r]->setGeometry(Px(780), y, Px(2800), Px(330));
    Text_start[r] = new QLineEdit(QStringLiteral("00:00:00"), Frame_heats);
    Text_start[r]->setGeometry(Px(3630), y, Px(900), Px(330));
    Label_heat_elapsed[r] = new QLabel(QStringLiteral("00:00:00"), Frame_heats);
    Label_heat_elapsed[r]->setGeometry(Px(4620), y, Px(1140), Px(330));
    Label_heat_elapsed[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_heat_elapsed[r]->setPalette(blue);
    for (QLineEdit* box : {Text_heat[r], Text_heat_name[r], Text_start[r]})
      box->installEventFilter(this);
    connect(Text_heat[r], &QLineEdit::textEdited, this,
            [this, r](const QString& t) { sheet_.Set_Text_heat(r, t); });
    connect(Text_heat_name[r], &QLineEdit::textEdited, this,
            [this, r](const QString& t) { sheet_.Set_Text_heat_name(r, t); });
    connect(Text_start[r], &QLineEdit::textEdited, this,
            [this, r](const QString& t) { sheet_.Set_Text_start(r, t); });
  }
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  central->setFixedSize(Px(6120), Px(2640 + 720 + 360 * Rows + 480));
  scroll->setWidget(central);
  QSize size = central->size() + QSize(0, menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - QSize(0, 40);
    if (size.height() > room.height())
      size = QSize(size.width() + scroll->verticalScrollBar()->sizeHint().width(), room.height());
  }
  resize(size);
}

void Form_Quaymark_marathon::Build_Menus() {
  menu_form = menuBar()->addMenu(QStringLiteral("Form"));
  item_create = menu_form->addAction(QStringLiteral("Create marathon file"));
  connect(item_create, &QAction::triggered, this, [this] { sheet_.Create_Marathon_file(); });
  item_rename = menu_form->addAction(QStringLiteral("Rename marathon result file"));
  item_rename->setVisible(false);
  item_copy_xml = menu_form->addAction(QStringLiteral("Copy recent xml file from front office"));
  connect(item_copy_xml, &QAction::triggered, this, [this] { sheet_.Copy_XML_file(); });
  // Hidden, and nothing shows it.
  menu_debug = menuBar()->addMenu(QStringLiteral("Debug"));
}

void Form_Quaymark_marathon::Refresh() {
  if (closing_ || refreshing_) return;
  refreshing_ = true;
  const bool present = sheet_.Marathon_File_Present;
  Set_If_Different(Text_racename, sheet_.Text_racename);
  for (int r = 0; r < Rows; ++r) {
    const Sheet_Row& row = sheet_.rows[static_cast<size_t>(r)];
    Set_If_Different(Text_heat[r], row.heat);
    Set_If_Different(Text_heat_name[r], row.name);
    Set_If_Different(Text_start[r], row.start);
    Text_heat[r]->setReadOnly(!present);
    Text_heat_name[r]->setReadOnly(!present);
    Set_Box_Colour(Text_heat[r], row.selected);
    Set_Box_Colour(Text_heat_name[r], row.selected);
    QFont f = Text_start[r]->font();
    f.setItalic(row.italic);
    Text_start[r]->setFont(f);
  }
  Label_fodf->setText(sheet_.Label_fodf);
  Label_fodf->setToolTip(sheet_.Label_fodf.isEmpty() ? QStringLiteral("Name of folder")
                                                     : sheet_.Label_fodf);
  Label_fodf_status->setText(sheet_.Label_fodf_status);
  Label_lastmodified->setText(sheet_.Label_lastmodified);
  refreshing_ = false;
  repaint();
}

bool Form_Quaymark_marathon::eventFilter(QObject* watched, QEvent* event) {
  if (closing_) return false;
  const QEvent::Type type = event->type();
  for (int r = 0; r < Rows; ++r) {
    const bool number = watched == Text_heat[r], name = watched == Text_heat_name[r];
    if (number || name) {
      if (type == QEvent::KeyPress && !sheet_.Marathon_File_Present) {
        QApplication::beep();
        return true;
      }
      if (type == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only the operator leaves a box: another window taking the keys, a
        // pop-up or the window going away is not leaving it.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
          if (number) sheet_.Text_heat_LostFocus(r);
          if (name) sheet_.Text_heat_name_LostFocus(r);
        }
      }
      if (type == QEvent::MouseButtonPress && number) {
        const auto* m = static_cast<QMouseEvent*>(event);
        sheet_.Text_heat_Click(r, m->modifiers() & Qt::ControlModifier);
      }
      return false;
    }
    if (watched == Text_start[r] && type == QEvent::MouseButtonPress) {
      const auto* m = static_cast<QMouseEvent*>(event);
      sheet_.Text_start_MouseDown(r, m->modifiers() & Qt::ControlModifier);
      return false;
    }
  }
  if (type == QEvent::MouseButtonPress) {
    if (watched == Label_fodf) {
      sheet_.Label_fodf_Click();
      return true;
    }
    if (watched == Label_fodf_status) {
      sheet_.Label_fodf_status_Click();
      return true;
    }
    if (watched == central_ || watched == Frame_heats || watched == Label_heats)
      sheet_.Form_Click();
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form_Quaymark_marathon::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !closing_) {
    Trace_Text(QStringLiteral("Form_Quaymark_marathon Form_Activate"));
    repaint();
  }
}

void Form_Quaymark_marathon::closeEvent(QCloseEvent* event) {
  // Left only with the program (or hidden with marathon mode).
  if (!closing_) {
    event->ignore();
    return;
  }
  event->accept();
}

void Form_Quaymark_marathon::Unload() {
  Unload_Form(*this, *this);
}

}  // namespace qm::ui
