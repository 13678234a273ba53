#include "results_output/ui/form_lcs_preview.h"

#include "platform/dialogs.h"
#include "platform/failure.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace qm::ui {

class Page_View : public QWidget {
 public:
  explicit Page_View(const Page_Canvas& page, QWidget* parent) : QWidget(parent), page_(page) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!page_.Empty()) Render_Page(p, page_, QRectF(rect()));
  }

 private:
  const Page_Canvas& page_;
};

QSize Preview_Size(double page_w, double page_h, int work_area_height) {
  double w = page_w / 15.0, h = page_h / 15.0;
  if (work_area_height > 0 && h > work_area_height) {
    const double s = work_area_height / h;
    w *= s;
    h *= s;
  }
  return QSize(int(std::lround(w)), int(std::lround(h)));
}

Form_LCS_preview::Form_LCS_preview(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Printer preview"));
  setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  view_ = new Page_View(page_, this);
  col->addWidget(view_, 1);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(4, 4, 4, 4);
  Cmd_save_pdf = new QPushButton(QStringLiteral("Save as PDF"), this);
  row->addStretch();
  row->addWidget(Cmd_save_pdf);
  col->addLayout(row);
  connect(Cmd_save_pdf, &QPushButton::clicked, this, [this] { Cmd_save_pdf_Click(); });
}

void Form_LCS_preview::Show_Page(const Page_Canvas& page, const QString& title) {
  page_ = page;
  title_ = title;
  int work = 0;
  if (QScreen* s = QGuiApplication::primaryScreen()) work = s->availableGeometry().height();
  const QSize size = Preview_Size(page.Width, page.Height, work > 60 ? work - 60 : work);
  view_->setFixedSize(size);
  move(0, 0);
  adjustSize();
  view_->update();
  show();
  raise();
  activateWindow();
}

void Form_LCS_preview::Clear_Page() {
  page_.Cls();
  view_->update();
}

void Form_LCS_preview::Cmd_save_pdf_Click() {
  Trapped(Where_Form("Cmd_save_pdf_Click", "Form_LCS_preview"), [&] {
    if (page_.Empty()) return;
    File_Request r;
    r.kind = File_Request::Kind::Save;
    r.title = QStringLiteral("Save as PDF");
    r.filter = QStringLiteral("PDF file (*.pdf)");
    QString path = dialogs().File(r);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    Save_Page_Pdf(page_, path, title_);
  });
}

}  // namespace qm::ui
