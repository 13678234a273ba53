#include "results_output/print_page.h"

#include "platform/failure.h"
#include "platform/fonts.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace qm {

namespace {

constexpr double Twips_Per_Point = 20.0;

// Fonts are sized in twips, so the page's text has the same measures on the
// screen, the printer and in a PDF.
QFont Qt_Font(const Page_Font& f) {
  QFont q = Program_Font(f.name, std::max(1, int(std::lround(f.size * Twips_Per_Point))),
                         f.bold ? QFont::Bold : QFont::Normal);
  q.setUnderline(f.underline);
  return q;
}

}  // namespace

double Page_Text_Width(const Page_Font& font, const QString& text) {
  return QFontMetricsF(Qt_Font(font)).horizontalAdvance(text);
}

double Page_Text_Height(const Page_Font& font) {
  return QFontMetricsF(Qt_Font(font)).height();
}

void Page_Canvas::Print(const QString& text) {
  Page_Item it;
  it.kind = Page_Item::Kind::Text;
  it.font = Font;
  it.text = text;
  const double h = TextHeight();
  it.box = QRectF(CurrentX, CurrentY, TextWidth(text), h);
  if (!text.isEmpty()) m_items.push_back(std::move(it));
  CurrentX = 0;
  CurrentY += h;
}

void Page_Canvas::Text_At(double x, double y, const QString& text, double scale) {
  Page_Item it;
  it.kind = Page_Item::Kind::Text;
  it.font = Font;
  it.text = text;
  it.text_scale = scale;
  it.box = QRectF(x, y, TextWidth(text) * scale, TextHeight() * scale);
  m_items.push_back(std::move(it));
}

void Page_Canvas::Rect(double x1, double y1, double x2, double y2) {
  Page_Item it;
  it.kind = Page_Item::Kind::Rect;
  it.box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
  it.line_width = DrawWidth;
  it.font = Font;
  m_items.push_back(std::move(it));
}

void Page_Canvas::PaintPicture(const QImage& picture, double x, double y, double w, double h) {
  Page_Item it;
  it.kind = Page_Item::Kind::Picture;
  it.box = QRectF(x, y, w, h);
  it.picture = picture;
  m_items.push_back(std::move(it));
}

void Page_Canvas::Cls() {
  m_items.clear();
  CurrentX = 0;
  CurrentY = 0;
}

void Render_Page(QPainter& painter, const Page_Canvas& page, const QRectF& target) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(target.topLeft());
  painter.scale(target.width() / page.Width, target.height() / page.Height);
  painter.fillRect(QRectF(0, 0, page.Width, page.Height), Qt::white);
  for (const Page_Item& it : page.Items()) {
    switch (it.kind) {
      case Page_Item::Kind::Rect: {
        QPen pen(it.font.color);
        pen.setWidthF(it.line_width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(it.box);
        break;
      }
      case Page_Item::Kind::Text: {
        const QFont f = Qt_Font(it.font);
        painter.setFont(f);
        painter.setPen(it.font.color);
        painter.save();
        painter.translate(it.box.topLeft());
        painter.scale(it.text_scale, it.text_scale);
        painter.drawText(QPointF(0, QFontMetricsF(f).ascent()), it.text);
        painter.restore();
        break;
      }
      case Page_Item::Kind::Picture:
        painter.drawImage(it.box, it.picture);
        break;
    }
  }
  painter.restore();
}

void Render_Page_On(QPaintDevice& device, const Page_Canvas& page) {
  QPainter p(&device);
  if (!p.isActive()) Raise(Err_Printer);
  Render_Page(p, page, QRectF(0, 0, device.width(), device.height()));
}

void Save_Page_Pdf(const Page_Canvas& page, const QString& path, const QString& title) {
  QPdfWriter w(path);
  w.setResolution(1440);
  w.setTitle(title);
  w.setCreator(QStringLiteral("Quaymark"));
  w.setPageSize(QPageSize(QSizeF(page.Width / 20.0, page.Height / 20.0), QPageSize::Point,
                          QString(), QPageSize::ExactMatch));
  w.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter p;
  if (!p.begin(&w)) {
    Extra(path);
    Raise(Err_Path_Access);
  }
  Render_Page(p, page, QRectF(0, 0, w.width(), w.height()));
  p.end();
}

}  // namespace qm
