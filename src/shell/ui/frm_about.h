#pragma once
// frmAbout: the program's identity and the machine facts that matter when
// the program is set up at a regatta (versions, DV codec, local address,
// settings folder). A fixed dialog above all other windows; "Ok" hides it.

#include "shell/about_info.h"

#include <QDialog>

#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QUrl;

namespace qm::ui {

class Form_LCS_preview;

class Frm_about : public QDialog {
  Q_OBJECT
 public:
  explicit Frm_about(QWidget* parent = nullptr);

  // The opening steps: fills every label (the address from `ip`) and the
  // picture, shows the window and puts it above all others.
  void Open(const QString& ip);
  void Fill(const About_Texts& texts);

  // Commands.
  void Form_Menu_Opened();  // Ctrl held: "Debug" appears
  void item_print_Click();
  void Label_userapp_Click();
  void Picture_company_Click();

  // What the window asks of the rest; tests put their own in place.
  std::function<bool(const QUrl&)> open_url;  // QDesktopServices
  std::function<void()> show_specials;        // the main window's "Specials" menu
  Form_LCS_preview* preview = nullptr;        // where a print goes without a printer

  QLabel* Picture_company = nullptr;
  QLabel* Picture_product = nullptr;
  QLabel* Lbldescription = nullptr;
  QGroupBox* Frame_version = nullptr;
  QLabel* Lblversion = nullptr;
  QLabel* Lbl_filedate = nullptr;
  QLabel* Lbldisclaimer = nullptr;
  QGroupBox* Frame_technical = nullptr;
  QLabel* Lbl_fourcc = nullptr;
  QLabel* Lbl_VexaGraphics = nullptr;
  QLabel* Lbl_vexacap = nullptr;
  QLabel* Label_phidget_version = nullptr;
  QLabel* Lbl_IP = nullptr;
  QLabel* Label_userapp = nullptr;
  QPushButton* Command_OK = nullptr;
  QMenuBar* menu_bar = nullptr;
  QMenu* menu_form = nullptr;
  QMenu* menu_debug = nullptr;
  QMenu* menu_sources = nullptr;
  QAction* item_print = nullptr;
  QAction* item_date_formats = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qm::ui
