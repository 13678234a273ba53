#pragma once
// Form_LCS_preview: the printer preview. Shows the last finished page scaled
// to the window and can save it as a PDF file (there may be no printer).

#include "results_output/print_page.h"

#include <QDialog>

class QPushButton;

namespace qm::ui {

class Page_View;

class Form_LCS_preview : public QDialog {
  Q_OBJECT
 public:
  explicit Form_LCS_preview(QWidget* parent = nullptr);
  // Cleared and shown with `page`; sized as the page, scaled to the screen's
  // work area when the page is taller.
  void Show_Page(const Page_Canvas& page, const QString& title);
  void Clear_Page();
  const Page_Canvas& Page() const { return page_; }
  // "Save as PDF": asks for the file name.
  void Cmd_save_pdf_Click();

  QPushButton* Cmd_save_pdf = nullptr;

 private:
  Page_Canvas page_;
  QString title_;
  Page_View* view_ = nullptr;
};

// Size of the preview for a page of W x H twips: W x H in pixels (15 twips
// each), both scaled by work-area height / H when the page is taller.
QSize Preview_Size(double page_w, double page_h, int work_area_height);

}  // namespace qm::ui
