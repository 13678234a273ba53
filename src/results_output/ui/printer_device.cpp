#include "results_output/ui/printer_device.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace qm::ui {

Printer_Query Query_Default_Printer() {
  Printer_Query q;
  const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
  q.printers = static_cast<int>(all.size());
  if (all.isEmpty()) return q;
  QPrinterInfo def = QPrinterInfo::defaultPrinter();
  if (def.isNull()) def = all.first();
  q.device_name = def.printerName();
  const QPageSize size = def.defaultPageSize();
  if (size.isValid()) {
    const QSizeF pt = size.size(QPageSize::Point);
    q.page_width = static_cast<int32_t>(std::lround(pt.width() * 20));
    q.page_height = static_cast<int32_t>(std::lround(pt.height() * 20));
  }
  return q;
}

bool Print_Page_On_Printer(const Page_Canvas& page, const QString& title) {
  QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
  if (!printer.isValid()) return false;
  printer.setDocName(title);
  printer.setFullPage(true);
  printer.setPageSize(QPageSize(QSizeF(page.Width / 20.0, page.Height / 20.0), QPageSize::Point,
                                QString(), QPageSize::FuzzyMatch));
  QPainter p;
  if (!p.begin(&printer)) return false;
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  Render_Page(p, page, QRectF(0, 0, paper.width(), paper.height()));
  return p.end();
}

void Check_Printer_And_Footer() {
  Check_Printer(Query_Default_Printer());
  Compute_Print_Margins();
  Make_Print_footer();
}

}  // namespace qm::ui
