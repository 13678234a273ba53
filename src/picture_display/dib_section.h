#pragma once
// cDIBSection: the program's one kind of picture buffer. 24 bits a pixel,
// blue-green-red bytes, rows stored bottom-up and padded to 4 bytes, so the
// codec and the field graphics write it through its pixel pointer; its
// drawing context is a QPainter on a QImage over the same memory (mirrored
// upright by the painter's transform), so shapes land in the same pixels.

#include "platform/video_codec.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace qm {

class Picture_Surface;

// The 40-byte bitmap information header of a buffer.
struct Dib_Info_Header {
  int32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // positive: rows bottom-up
  int16_t biPlanes = 1;
  int16_t biBitCount = 24;
  uint32_t biCompression = 0;  // uncompressed
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
static_assert(sizeof(Dib_Info_Header) == 40);

// Raster operation of the unscaled copy.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;

// The drawing context of a buffer. Picture coordinates: origin top left.
class Dib_DC {
 public:
  // The painter, begun on first use with the upright transform.
  QPainter& Painter();
  // Ends the painter so that direct pixel writes and painter work do not
  // interleave inside one QPainter batch.
  void Flush();
  const Bgr24_View& View() const { return view_; }
  int32_t Width() const { return view_.width; }
  int32_t Height() const { return view_.height; }
  bool Contains(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < view_.width && y < view_.height;
  }
  uint8_t* Pixel(int32_t x, int32_t y) const { return view_.Row(y) + x * 3; }
  QColor Pixel_Colour(int32_t x, int32_t y) const;
  void Set_Pixel(int32_t x, int32_t y, const QColor& c);
  // Text drawn upright with the platform's text rendering, blended over what
  // is there (transparent background).
  void Draw_Text(const QRect& box, int flags, const QString& text, const QFont& font,
                 const QColor& colour);

 private:
  friend class cDIBSection;
  Bgr24_View view_;
  QImage mirror_;  // the same memory, rows top-down = picture upside down
  std::unique_ptr<QPainter> painter_;
};

class cDIBSection {
 public:
  cDIBSection() = default;
  ~cDIBSection() { ClearUp(); }
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;

  // Releases any previous bitmap and makes a new one; the draw handle stays
  // open when it was. False (buffer left empty) for an impossible size.
  bool Create(int32_t width, int32_t height);
  void ClearUp();

  int32_t Width() const { return info_.biWidth; }
  int32_t Height() const { return info_.biHeight; }
  int32_t BytesPerScanLine() const { return stride_; }
  int32_t SizeImage() const { return static_cast<int32_t>(info_.biSizeImage); }
  const Dib_Info_Header& Info() const { return info_; }
  // The drawing context (nullptr while empty).
  Dib_DC* hDC() { return bits_.empty() ? nullptr : &dc_; }
  // The bitmap's identity: a new number at every Create, 0 while empty.
  uint64_t hDib() const { return dib_; }
  uint8_t* DIBSectionBitsPtr() { return bits_.empty() ? nullptr : bits_.data(); }
  const uint8_t* DIBSectionBitsPtr() const { return bits_.empty() ? nullptr : bits_.data(); }
  Bgr24_View View() { return dc_.view_; }

  const QString& ID_string() const { return id_; }
  void ID_string(const QString& id) { id_ = id; }

  // The codec service's drawing handle of this buffer, opened on first paint.
  bool Draw_Handle_Open() const { return draw_open_; }

  // Paints (stretching) the source rectangle (src_left, src_top, picture
  // width, picture height) onto the destination rectangle of the target; a
  // negative destination width or height takes the buffer's. Shows
  // "DIB_paintpicture error" on failure.
  bool DIB_PaintPicture(Picture_Surface& target, int32_t dest_left, int32_t dest_top,
                        int32_t dest_width, int32_t dest_height, int32_t src_left = 0,
                        int32_t src_top = 0, uint32_t rop = SRCCOPY);
  bool DIB_PaintPicture(cDIBSection& target, int32_t dest_left, int32_t dest_top,
                        int32_t dest_width, int32_t dest_height, int32_t src_left = 0,
                        int32_t src_top = 0, uint32_t rop = SRCCOPY);
  // Stretches the given source rectangle over the whole picture box.
  bool DIB_DrawDib2(Picture_Surface& box, int32_t src_top, int32_t src_left, int32_t src_width,
                    int32_t src_height);

  // Paint calls that reached the target (tests count them).
  int64_t Paints() const { return paints_; }

 private:
  bool Paint_Onto(const Bgr24_View& target, int32_t dest_left, int32_t dest_top, int32_t dest_width,
                  int32_t dest_height, int32_t src_left, int32_t src_top, uint32_t rop);

  Dib_Info_Header info_;
  int32_t stride_ = 0;
  std::vector<uint8_t> bits_;
  Dib_DC dc_;
  uint64_t dib_ = 0;
  bool draw_open_ = false;
  int64_t paints_ = 0;
  QString id_;
};

// Pen and brush styles of the drawing routines.
enum Pen_Style : int16_t { PS_SOLID = 0, PS_DOT = 2, PS_NULL = 5 };
enum Brush_Style : int16_t { BS_SOLID = 0, BS_HOLLOW = 1 };

// A line from (x1, y1) towards (x2, y2), the end point itself not drawn.
// One-pixel pens are drawn pixel by pixel (dotted: 3 pixels on, 3 off, from
// the first point), wider ones with the painter. When drawing fails a message
// box shows the error number.
bool DIB_Line(Dib_DC* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int16_t pen_style,
              int16_t pen_width, const QColor& pen_colour);
// A filled ellipse in the box (left, top)-(right, bottom), right and bottom
// excluded; the outline lies inside the box.
bool DIB_Ellipse(Dib_DC* dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 const QColor& brush_colour, int16_t brush_hatch, int16_t brush_style,
                 int16_t pen_style, int16_t pen_width, const QColor& pen_colour);
// A filled rectangle with the same arguments; the outline lies inside.
bool DIB_Rectangle(Dib_DC* dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   const QColor& brush_colour, int16_t brush_hatch, int16_t brush_style,
                   int16_t pen_style, int16_t pen_width, const QColor& pen_colour);

// The anti-aliased thick line (the goal line): walked one pixel per step
// along the major axis, a run across the minor axis whose two end pixels are
// blended with what the buffer already holds. Pixels outside are skipped.
void Draw_AA_Line(Dib_DC* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const QColor& colour,
                  int32_t thickness, bool dashed);

// Round half to even, as the program rounds picture coordinates.
int32_t Round_Half_Even(double v);

}  // namespace qm
