#pragma once
// A printed page as a list of drawing items in twips (1440 an inch), written
// with the printer's habits (a current position that moves down as lines are
// printed, a current font) and drawn later onto any paint device: the
// printer, the preview window, a PDF file or a picture for a test. Because
// the page is kept, the preview can be drawn again at any size and saved as
// PDF without printing it twice.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;
class QPaintDevice;

namespace qm {

struct Page_Font {
  QString name = QStringLiteral("Arial");
  double size = 8;  // points
  bool bold = false;
  bool underline = false;
  QColor color = Qt::black;
};

struct Page_Item {
  enum class Kind { Rect, Text, Picture } kind = Kind::Text;
  QRectF box;  // Rect: the outline; Text: top left + measured size; Picture: target
  double line_width = 0;
  double text_scale = 1;  // Text drawn smaller than its font (a title that does not fit)
  Page_Font font;
  QString text;
  QImage picture;
};

// Text measures in twips for a font (the same on every device).
double Page_Text_Width(const Page_Font& font, const QString& text);
double Page_Text_Height(const Page_Font& font);

class Page_Canvas {
 public:
  double CurrentX = 0;
  double CurrentY = 0;
  Page_Font Font;
  double DrawWidth = 1;  // twips of an outline

  double Width = 11904;  // the page, twips
  double Height = 16834;

  double TextWidth(const QString& text) const { return Page_Text_Width(Font, text); }
  double TextHeight() const { return Page_Text_Height(Font); }
  // Text at the current position; the position moves to the next line (x
  // back to 0, as the printer does).
  void Print(const QString& text);
  // Text at (x, y) shrunk by `scale`; the position does not move.
  void Text_At(double x, double y, const QString& text, double scale);
  void Rect(double x1, double y1, double x2, double y2);
  void PaintPicture(const QImage& picture, double x, double y, double w, double h);
  void Cls();  // the page emptied, position at 0, 0

  const std::vector<Page_Item>& Items() const { return m_items; }
  bool Empty() const { return m_items.empty(); }

 private:
  std::vector<Page_Item> m_items;
};

// Draws the page into `target` (device units), scaled evenly.
void Render_Page(QPainter& painter, const Page_Canvas& page, const QRectF& target);
// The page on its own device page (a printer or a PDF writer whose page is
// the page's size); the whole device page is used.
void Render_Page_On(QPaintDevice& device, const Page_Canvas& page);
// Writes the page as a one-page PDF of the page's size; raises 75 when the
// file cannot be written.
void Save_Page_Pdf(const Page_Canvas& page, const QString& path, const QString& title);

}  // namespace qm
