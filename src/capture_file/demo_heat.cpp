#include "capture_file/demo_heat.h"

#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "platform/date_time.h"
#include "platform/failure.h"
#include "platform/video_codec.h"

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>

namespace qm {

namespace {

// Our own generator: the film must be byte-identical for a seed on every
// machine, which the standard distributions do not promise.
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint32_t Next() {
    s ^= s >> 12;
    s ^= s << 25;
    s ^= s >> 27;
    return static_cast<uint32_t>((s * 0x2545F4914F6CDD1Dull) >> 32);
  }
  int32_t Between(int32_t lo, int32_t hi) {  // inclusive
    return lo + static_cast<int32_t>(Next() % static_cast<uint32_t>(hi - lo + 1));
  }
};

uint32_t Hash(uint32_t a, uint32_t b) {
  uint64_t x = (static_cast<uint64_t>(a) << 32) ^ b ^ 0xD6E8FEB86659FD93ull;
  x ^= x >> 32;
  x *= 0xD6E8FEB86659FD93ull;
  x ^= x >> 32;
  return static_cast<uint32_t>(x);
}

constexpr int32_t Heat_Offset_Min = 98000;  // the film starts about 1:40 into the race

// Bright hulls: DV keeps the two fields apart in luma but blends them in
// chroma, so a boat must stand out from the water by its brightness.
const std::array<QColor, 9> Hull_Colours = {
    QColor(244, 244, 244), QColor(240, 222, 40),  QColor(246, 168, 48),
    QColor(250, 180, 200), QColor(205, 250, 60),  QColor(120, 240, 240),
    QColor(250, 200, 120), QColor(232, 200, 60),  QColor(250, 190, 160)};

struct Boat {
  int lane = 0;
  double speed = 0;  // shown-picture pixels per ms
  int32_t crossing = 0;
};

struct Geometry {
  int32_t w = 720, h = 576;
  int32_t goal_x = 430;
  double top = 50, lane_h = 80;
  double boat_len = 200, hull_w = 18;
  double Lane_Center(int lane) const { return std::floor(top + lane_h * (lane - 0.5)) + 0.5; }
};

Geometry Make_Geometry(const Demo_Options& o) {
  Geometry g;
  if (o.rotated) {
    g.w = 576;
    g.h = 720;
    g.goal_x = 344;
    g.boat_len = 170;
  }
  g.top = 50;
  g.lane_h = (g.h - 30 - g.top) / static_cast<double>(o.lanes);
  g.hull_w = std::min(22.0, g.lane_h * 0.34);
  return g;
}

std::vector<Boat> Make_Boats(const Demo_Options& o, const Demo_Clock& clock) {
  Rng rng(o.seed * 7919u + 17u);
  const int32_t film_start = clock.Field_Instant(1);
  const int32_t film_ms = o.seconds * 1000;
  // The leader is already in the picture at the first field and crosses
  // early; the rest follow within under half the film, never two boats
  // within 60 ms of each other.
  std::vector<Boat> boats;
  std::vector<int32_t> used;
  const int32_t first = film_start + film_ms * 12 / 100;
  const int32_t spread = std::max(600, film_ms * 45 / 100);
  const int leader = 1 + static_cast<int>(rng.Next() % static_cast<uint32_t>(o.lanes));
  for (int lane = 1; lane <= o.lanes; ++lane) {
    Boat b;
    b.lane = lane;
    b.speed = 0.26 + 0.0001 * rng.Between(0, 500);
    int32_t t = 0;
    for (;;) {
      t = first + (lane == leader ? rng.Between(0, 200) : rng.Between(0, spread));
      bool clash = false;
      for (int32_t u : used) clash |= std::abs(u - t) < 60;
      if (!clash) break;
    }
    used.push_back(t);
    b.crossing = t;
    boats.push_back(b);
  }
  return boats;
}

// One camera's view; the background is drawn once.
class Scene {
public:
  Scene(const Demo_Options& o, int stream) : o_(o), stream_(stream), g_(Make_Geometry(o)) {
    clock_ = Make_Demo_Clock(o);
    boats_ = Make_Boats(o, clock_);
    Build_Background();
  }
  const Geometry& geometry() const { return g_; }
  const std::vector<Boat>& boats() const { return boats_; }

  QImage Render(int32_t t) const {
    QImage img = background_.copy();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Boat& b : boats_) Draw_Boat(p, b, t);
    p.end();
    // The second camera films from the other bank.
    if (stream_ == 2) img = img.mirrored(true, false);
    return img;
  }

private:
  void Build_Background() {
    background_ = QImage(g_.w, g_.h, QImage::Format_RGB888);
    for (int y = 0; y < g_.h; ++y) {
      uchar* row = background_.scanLine(y);
      for (int x = 0; x < g_.w; ++x) {
        const double ripple = std::sin(x * 0.045 + y * 0.31) * 7 + std::sin(x * 0.013 - y * 0.07) * 5;
        const int shade = static_cast<int>(ripple) + (y * 20) / g_.h;
        row[3 * x + 0] = static_cast<uchar>(std::clamp(28 + shade, 0, 255));
        row[3 * x + 1] = static_cast<uchar>(std::clamp(92 + shade, 0, 255));
        row[3 * x + 2] = static_cast<uchar>(std::clamp(138 + shade, 0, 255));
      }
    }
    QPainter p(&background_);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Bank and finish tower strip at the top.
    p.fillRect(QRectF(0, 0, g_.w, 28), QColor(70, 110, 60));
    p.fillRect(QRectF(g_.goal_x - 14, 0, 28, 34), QColor(235, 235, 235));
    // Lane ropes: a row of buoys between lanes, red ones at the goal line.
    for (int i = 0; i <= o_.lanes; ++i) {
      const double y = g_.top + g_.lane_h * i;
      p.setPen(QPen(QColor(200, 200, 170), 1));
      p.drawLine(QPointF(0, y), QPointF(g_.w, y));
      p.setPen(Qt::NoPen);
      for (int x = 6; x < g_.w; x += 22) {
        p.setBrush((x / 22) % 2 ? QColor(250, 220, 40) : QColor(245, 245, 245));
        p.drawEllipse(QPointF(x, y), 3.0, 3.0);
      }
      p.setBrush(QColor(230, 30, 30));
      p.drawEllipse(QPointF(g_.goal_x, y), 5.0, 5.0);
    }
    p.end();
  }

  void Draw_Boat(QPainter& p, const Boat& b, int32_t t) const {
    const double bow = g_.goal_x + b.speed * (t - b.crossing);
    const double L = g_.boat_len;
    if (bow < -10 || bow - L > g_.w + 10) return;
    const double yc = g_.Lane_Center(b.lane);
    const double hw = g_.hull_w / 2;
    QPainterPath hull;
    hull.moveTo(bow - L, yc);
    hull.lineTo(bow - L + 0.15 * L, yc - hw);
    hull.lineTo(bow - 0.25 * L, yc - hw);
    // A blunt bow, so the bow's pixel on the lane's centre row is as sharp
    // as the picture allows.
    hull.lineTo(bow, yc - 1.25);
    hull.lineTo(bow, yc + 1.25);
    hull.lineTo(bow - 0.25 * L, yc + hw);
    hull.lineTo(bow - L + 0.15 * L, yc + hw);
    hull.closeSubpath();
    const QColor hull_colour = Hull_Colours[static_cast<size_t>(b.lane - 1) % Hull_Colours.size()];
    p.setPen(Qt::NoPen);
    p.setBrush(hull_colour);
    p.drawPath(hull);
    // Paddler and paddle, the stroke swinging with time.
    const double cx = bow - 0.55 * L;
    const double swing = std::sin((t + b.lane * 137) * 2 * M_PI / 820.0);
    p.setBrush(QColor(30, 30, 40));
    p.drawEllipse(QPointF(cx, yc), hw * 0.9, hw * 0.7);
    p.setPen(QPen(QColor(20, 20, 20), 2.5));
    const double reach = g_.lane_h * 0.42;
    p.drawLine(QPointF(cx - swing * 24, yc - reach), QPointF(cx + swing * 24, yc + reach));
    // Lane number on the bow.
    const double r = std::max(6.0, hw + 1);
    const QPointF c(bow - 0.2 * L, yc);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(c, r, r);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(static_cast<int>(r * 1.5));
    p.setFont(f);
    p.drawText(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), Qt::AlignCenter, QString::number(b.lane));
  }

  Demo_Options o_;
  int stream_;
  Geometry g_;
  Demo_Clock clock_;
  std::vector<Boat> boats_;
  QImage background_;
};

}  // namespace

int32_t Demo_Clock::Capture_Stamp(int32_t frame_index) const {
  // A few milliseconds of jitter around the 40 ms grid, as a PC clock gives.
  const int32_t jitter = static_cast<int32_t>(Hash(seed, static_cast<uint32_t>(frame_index)) % 13u) - 6;
  return first_capture + 40 * frame_index + jitter;
}

int32_t Demo_Clock::Field_Instant(int32_t field) const {
  const int32_t frame_index = (field - 1) / 2;
  const int32_t c = Capture_Stamp(frame_index);
  // Stamp onto the 40 ms grid, halves to even, minus 10.
  int32_t q = c / 40;
  const int32_t r = c % 40;
  if (r > 20 || (r == 20 && (q % 2) != 0)) ++q;
  int32_t t = q * 40 - 10 - start_pc_mill;
  if (field % 2 == 0) t += 20;
  if (timing_bias < 500) t -= timing_bias;
  return t;
}

Demo_Clock Make_Demo_Clock(const Demo_Options& o) {
  Rng rng(o.seed);
  Demo_Clock c;
  c.seed = o.seed;
  c.start_pc_mill = 7200000 + rng.Between(0, 3600) * 1000;
  c.start_local_mill = (10 * 3600 + rng.Between(0, 7 * 3600)) * 1000;
  const int32_t offset = Heat_Offset_Min + rng.Between(0, 300) * 40;
  // The first frame sits on the grid so the jitter never moves a stamp off it.
  c.first_capture = (c.start_pc_mill + offset) / 40 * 40;
  c.timing_bias = 12;
  return c;
}

QImage Render_Demo_Scene(const Demo_Options& options, int stream, int32_t t_ms) {
  return Scene(options, stream).Render(t_ms);
}

QByteArray Demo_Truth_Json(const Demo_Truth& truth) {
  QJsonArray lanes;
  for (const Demo_Lane_Truth& l : truth.lanes)
    lanes.append(QJsonObject{{QStringLiteral("lane"), l.lane},
                             {QStringLiteral("crossing_ms"), l.crossing_ms},
                             {QStringLiteral("field"), l.field}});
  return QJsonDocument(QJsonObject{{QStringLiteral("lanes"), lanes}}).toJson();
}

namespace {

void Put32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}
void Put16(uint8_t* p, int16_t v) {
  const uint16_t u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
}

// The capture program's block inside every frame. At 12000 it covers the
// header and subcode blocks of the second DIF sequence, which the picture
// decoder does not read.
constexpr size_t SSCD_Offset = 12000;

void Put_SSCD(std::vector<uint8_t>& frame, int32_t capture, int32_t heat_start, int32_t time_of_day,
              int16_t bias) {
  uint8_t* b = frame.data() + SSCD_Offset;
  std::fill(b, b + 192, uint8_t{0});
  b[0] = 'S';
  b[1] = 'S';
  b[2] = 'C';
  b[3] = 'D';
  Put32(b + 24, capture);
  Put32(b + 28, heat_start);
  Put32(b + 32, time_of_day);
  Put16(b + 166, 0);  // lap count
  Put16(b + 172, bias);
}

// Interleaves two pictures of the stored orientation: field 1 (the earlier
// instant) gives the odd lines, field 2 the even lines.
QImage Interlace(const QImage& first, const QImage& second) {
  QImage out(first.size(), QImage::Format_RGB888);
  for (int y = 0; y < out.height(); ++y) {
    const QImage& src = (y % 2) ? first : second;
    std::copy_n(src.constScanLine(y), static_cast<size_t>(out.width()) * 3, out.scanLine(y));
  }
  return out;
}

QImage To_Stored(const QImage& shown, bool rotated) {
  QImage img = shown.convertToFormat(QImage::Format_RGB888);
  // The display turns a rotated stream a quarter turn clockwise; the camera
  // therefore stores the scene a quarter turn the other way.
  if (rotated) img = img.transformed(QTransform().rotate(-90));
  return img;
}

}  // namespace

Demo_Truth Make_Demo_Heat(const QString& path, const Demo_Options& o) {
  if (o.lanes < 1 || o.lanes > 9 || o.seconds < 1 || o.seconds > 600 || o.streams < 1 ||
      o.streams > 2)
    Raise(Err_Invalid_Call);
  const Demo_Clock clock = Make_Demo_Clock(o);
  Scene cam1(o, 1);
  std::unique_ptr<Scene> cam2;
  if (o.streams == 2) cam2 = std::make_unique<Scene>(o, 2);
  const Geometry& g = cam1.geometry();
  const int32_t frames = o.seconds * 25;

  Demo_Truth truth;
  truth.goal_x = g.goal_x;
  truth.picture_width = g.w;
  truth.picture_height = g.h;
  for (int lane = 1; lane <= o.lanes; ++lane)
    truth.lane_center_y.push_back(static_cast<int32_t>(std::floor(g.Lane_Center(lane))));
  for (const Boat& b : cam1.boats()) {
    Demo_Lane_Truth t;
    t.lane = b.lane;
    t.crossing_ms = b.crossing;
    for (int32_t f = 1; f <= 2 * frames; ++f) {
      if (clock.Field_Instant(f) >= b.crossing) {
        t.field = f;
        break;
      }
    }
    truth.lanes.push_back(t);
  }

  // Dates come from the seed, so a seed gives the same bytes every time.
  const QDateTime made(QDate(2026, 6, 1 + static_cast<int>(o.seed % 28)),
                       QTime(0, 0).addMSecs(clock.start_local_mill + 100000));
  const Fixed_Now fixed_now(made);

  QFile::remove(path);
  cls_AVI_handler h;
  h.File_name(path);
  if (!h.Create_File() || !h.Initiate_file()) Raise(Err_Path_Access, QStringLiteral("Cannot create ") + path);

  Cls_XML_header& x = h.XML_header();
  x.Set_Creation_Date(made.toString(QStringLiteral("yy-MM-dd HH:mm:ss")));
  x.Set_Last_Capture_time(made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  x.Set_Streams_no(static_cast<int16_t>(o.streams));
  x.Set_Frames_no(0);
  for (int s = 1; s <= o.streams; ++s) {
    x.Set_Stream_Active(s, true);
    x.Set_Stream_rotated(s, o.rotated);
  }
  x.Set_Event_name(QStringLiteral("Quaymark Demo Regatta"));
  x.Set_Heat_ID(1, QStringLiteral("12"));
  x.Set_Heat_comment(1, QStringLiteral("K1 1000 m Final A"));
  x.Set_Start_PC_mill(1, clock.start_pc_mill);
  x.Set_Start_local_mill(1, clock.start_local_mill);
  x.Set_Start_lane(1);
  x.Set_Num_Lanes(static_cast<int16_t>(o.lanes));
  // A rotated two-camera heat shows each camera in half the picture's
  // width, so the markers sit where stream 1 shows the line.
  const int32_t marker_x = (o.rotated && o.streams == 2) ? g.goal_x / 2 : g.goal_x;
  for (int lane = 1; lane <= o.lanes; ++lane)
    x.Lane_pos(lane, marker_x, static_cast<int32_t>(std::floor(g.Lane_Center(lane))));
  x.Set_Goalline(marker_x, static_cast<int32_t>(g.top) - 8, marker_x, g.h - 20);
  x.Set_Lanes_Visible(true);
  x.Set_Lanes_locked(true);
  x.Set_Lanes_flipped(false);
  x.Set_Show_goalline(true);
  if (!h.Write_XML_header()) Raise(Err_Path_Access, QStringLiteral("Cannot write ") + path);

  for (int32_t k = 0; k < frames; ++k) {
    const int32_t t1 = clock.Field_Instant(2 * k + 1);
    const int32_t t2 = clock.Field_Instant(2 * k + 2);
    const int32_t capture = clock.Capture_Stamp(k);
    const int32_t time_of_day = clock.start_local_mill + (capture - clock.start_pc_mill);
    for (int s = 1; s <= o.streams; ++s) {
      const Scene& cam = (s == 1) ? cam1 : *cam2;
      const QImage frame =
          Interlace(To_Stored(cam.Render(t1), o.rotated), To_Stored(cam.Render(t2), o.rotated));
      std::vector<uint8_t> dv = Encode_DV_Frame(frame, false);
      Put_SSCD(dv, capture, clock.start_pc_mill, time_of_day, static_cast<int16_t>(clock.timing_bias));
      if (!h.Append_DV_frame(dv.data())) Raise(Err_Path_Access, QStringLiteral("Cannot write ") + path);
    }
  }
  h.Close_File();
  if (o.streams > 1) {
    // The writer counts appended frames of every stream; the header holds
    // the frames of one stream.
    cls_AVI_handler fix;
    if (!fix.Open_File(path)) Raise(Err_Path_Access, QStringLiteral("Cannot reopen ") + path);
    fix.XML_header().Set_Frames_no(static_cast<int16_t>(frames));
    if (!fix.Write_XML_header()) Raise(Err_Path_Access, QStringLiteral("Cannot write ") + path);
    fix.Close_File();
  }
  return truth;
}

}  // namespace qm
