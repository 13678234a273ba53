#include "shell/ui/frm_about.h"

#include "platform/failure.h"
#include "results_output/printing.h"
#include "results_output/ui/print_window.h"
#include "shell/settings.h"
#include "shell/ui/error_form.h"
#include "shell/ui/key_state.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace qm::ui {

namespace {
constexpr const char* frmAbout = "frmAbout";

QLabel* Text_Label(QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);
  l->setWordWrap(true);
  return l;
}
}  // namespace

Frm_about::Frm_about(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::fromLatin1(frmAbout));
  // A fixed dialog that stays out of the task bar.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(false);
  open_url = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  auto* layout = new QVBoxLayout(this);
  menu_bar = new QMenuBar(this);
  layout->setMenuBar(menu_bar);
  menu_form = menu_bar->addMenu(QStringLiteral("Form"));
  item_print = menu_form->addAction(QStringLiteral("Print"));
  connect(item_print, &QAction::triggered, this, [this] { item_print_Click(); });
  connect(menu_form, &QMenu::aboutToShow, this, [this] { Form_Menu_Opened(); });
  menu_debug = menu_bar->addMenu(QStringLiteral("Debug"));
  item_date_formats = menu_debug->addAction(QStringLiteral("Date formats"));
  connect(item_date_formats, &QAction::triggered, this, [] { Date_formats(); });
  menu_sources = menu_bar->addMenu(QStringLiteral("Sources"));
  menu_debug->menuAction()->setVisible(false);
  menu_sources->menuAction()->setVisible(false);

  auto* top = new QHBoxLayout;
  Picture_company = new QLabel(this);
  Picture_company->setFixedSize(48, 48);
  Picture_company->installEventFilter(this);
  top->addWidget(Picture_company, 0, Qt::AlignLeft | Qt::AlignTop);
  Picture_product = new QLabel(this);
  Picture_product->setFixedSize(200, 109);
  top->addStretch(1);
  top->addWidget(Picture_product);
  top->addStretch(1);
  // The company box's twin keeps the product picture in the middle.
  top->addSpacing(48);
  layout->addLayout(top);

  Lbldescription = Text_Label(this);
  Lbldescription->setAlignment(Qt::AlignHCenter);
  QFont big = Lbldescription->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  big.setBold(true);
  Lbldescription->setFont(big);
  layout->addWidget(Lbldescription);

  Frame_version = new QGroupBox(QStringLiteral("Version info"), this);
  auto* v = new QVBoxLayout(Frame_version);
  Lblversion = Text_Label(Frame_version);
  Lbl_filedate = Text_Label(Frame_version);
  Lbldisclaimer = Text_Label(Frame_version);
  for (QLabel* l : {Lblversion, Lbl_filedate, Lbldisclaimer}) v->addWidget(l);
  layout->addWidget(Frame_version);

  Frame_technical = new QGroupBox(QStringLiteral("Technical info"), this);
  auto* t = new QVBoxLayout(Frame_technical);
  Lbl_fourcc = Text_Label(Frame_technical);
  Lbl_VexaGraphics = Text_Label(Frame_technical);
  Lbl_vexacap = Text_Label(Frame_technical);
  Label_phidget_version = Text_Label(Frame_technical);
  Lbl_IP = Text_Label(Frame_technical);
  Label_userapp = Text_Label(Frame_technical);
  Label_userapp->setStyleSheet(QStringLiteral("color: blue"));
  Label_userapp->setToolTip(QStringLiteral("Click to open this folder!"));
  Label_userapp->setCursor(Qt::PointingHandCursor);
  Label_userapp->installEventFilter(this);
  for (QLabel* l :
       {Lbl_fourcc, Lbl_VexaGraphics, Lbl_vexacap, Label_phidget_version, Lbl_IP, Label_userapp})
    t->addWidget(l);
  // Empty labels take no room.
  Lbl_vexacap->hide();
  Label_phidget_version->hide();
  layout->addWidget(Frame_technical);

  Command_OK = new QPushButton(QStringLiteral("Ok"), this);
  Command_OK->setDefault(true);
  connect(Command_OK, &QPushButton::clicked, this, &QWidget::hide);
  layout->addWidget(Command_OK, 0, Qt::AlignRight);

  setFixedWidth(6300 / Twips_Per_Pixel);
}

void Frm_about::Fill(const About_Texts& texts) {
  setWindowTitle(texts.caption);
  Lbldescription->setText(texts.description);
  Lblversion->setText(texts.version);
  Lbl_filedate->setText(texts.filedate);
  Lbldisclaimer->setText(texts.disclaimer);
  Lbl_fourcc->setText(texts.fourcc);
  Lbl_VexaGraphics->setText(texts.vexagraphics);
  Lbl_vexacap->clear();
  Label_phidget_version->clear();
  Lbl_IP->setText(texts.ip);
  // The label shows its CR LF as one line break.
  Label_userapp->setText(
      QString(texts.userapp).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Frm_about::Open(const QString& ip) {
  Trapped(Where_Form("Form_Load", frmAbout), [&] {
    Fill(About_Info(ip));
    Picture_product->setPixmap(QPixmap::fromImage(Quaymark_Logo()));
    setFixedHeight(sizeHint().height());
    show();
    MakeTopMost(this);
    raise();
    activateWindow();
  });
}

void Frm_about::Form_Menu_Opened() {
  if (Key_State::Instance().Ctrl_Held()) menu_debug->menuAction()->setVisible(true);
}

void Frm_about::item_print_Click() {
  Trapped(Where_Form("item_print_Click", frmAbout),
          [&] { Print_Window(*this, windowTitle(), preview); });
}

void Frm_about::Label_userapp_Click() {
  Trapped(Where_Form("Label_userapp_Click", frmAbout), [&] {
    const QString folder = Folder_Of_Userapp_Label(Label_userapp->text());
    if (!folder.isEmpty() && open_url) open_url(QUrl::fromLocalFile(folder));
  });
}

void Frm_about::Picture_company_Click() {
  if (Key_State::Instance().Ctrl_Held() && show_specials) show_specials();
}

bool Frm_about::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Label_userapp) {
      Label_userapp_Click();
      return true;
    }
    if (watched == Picture_company) {
      Picture_company_Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qm::ui
