#pragma once
// Result sheets: the fixed page content (frame, program logo, event title,
// file box, footer), the result list, the picture series and the single
// picture, laid out in twips on a Page_Canvas. The geometry is computed by
// the Layout_* functions, which the drawing follows and tests check by
// figures. Where a page goes (printer, preview, PDF) is the window's
// business: Printer_End hands the finished page to a hook.

#include "results_output/heat_facts.h"
#include "results_output/print_page.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

struct Result_Rows;
struct Result_Arrays;

// What Check_Printer found: the default printer, or none.
struct Printer_Query {
  int printers = 0;
  QString device_name;
  int32_t page_width = 0;  // twips; 0 when the printer could not be asked
  int32_t page_height = 0;
};

inline constexpr int32_t No_Printer_Page_Width = 11904;
inline constexpr int32_t No_Printer_Page_Height = 16834;

struct Print_Setup {
  int16_t Printers_Num = 0;
  QString Printer_Device_Name;
  int32_t Page_Width = No_Printer_Page_Width;
  int32_t Page_Height = No_Printer_Page_Height;
  double Left = 0, Top = 0, Right = 0, Bottom = 0;  // the margins
  QString Print_footer;                             // empty without a printer
};

// The program's one set, filled at start-up.
Print_Setup& print_setup();

// Printer count and page size; the page of a missing or silent printer is
// 11904 x 16834 twips.
void Check_Printer(const Printer_Query& query);
// Left 0.05 W, top 0.02 H, right 0.95 W, bottom 0.95 H.
void Compute_Print_Margins();
// "Printed by Quaymark at: ... /Printer: <device>"; stays empty (and gives
// "") with no printer.
QString Make_Print_footer();

// The program logo "QUAYMARK_LOGGA", 200 x 109, drawn by us (its natural
// size is its pixels at 15 twips each).
QImage Quaymark_Logo();
inline constexpr double Twips_Per_Screen_Pixel = 15.0;

// "å", "ä" -> "a", "ö" -> "o", "Å", "Ä" -> "A", "Ö" -> "O".
QString Replace_National_Letters(const QString& text);

// ---------------------------------------------------------------- layout

// Largest size from 110 down to 8 in steps of 2 at which `name` + "xxx" in
// blue Arial bold is narrower than `width`; 8 when none fits.
double Title_Font_Size(const QString& name, double width);

struct Static_Layout {
  double W = 0, H = 0, L = 0, T = 0, R = 0, B = 0;
  QRectF logo;             // program logo at its natural size
  double title_width = 0;  // A: room for the title
  bool title_is_logo = false;
  double title_size = 0;  // font size of the event name (0 for a logo)
  QSizeF title_natural;   // the title picture's own size
  double title_scale = 1;
  QRectF title;            // where it is drawn
  QStringList file_lines;  // the file box's lines
  double file_line_height = 0;
  QRectF file_box;
  double Y1 = 0;   // title bottom
  double Y0 = 0;   // where the result list starts
  QPointF footer;  // top left of the footer text
};

struct Static_Inputs {
  QString event_name;
  const QImage* event_logo = nullptr;  // when the logo is in use
  QString file_path;
  QString last_capture;
  QString camera_time;
};

Static_Layout Layout_Static(const Print_Setup& setup, const Static_Inputs& in);

struct Series_Cell {
  int place = 0;
  QRectF box;
};

struct Series_Layout {
  int columns = 0;
  double w = 0, h = 0;  // picture size
  double step = 0;      // column step e
  int timed = 0;        // n
  std::vector<Series_Cell> cells;
};

// `times` are the ranked slots 1..16 (lane_active_heat_array). Five-column
// pictures are never wider than a fifth of the width, and the rows end
// above the footer (pictures shrink to fit before the page bottom `bottom`).
Series_Layout Layout_Series(double L, double R, double y_after_results, double bottom, bool rotated,
                            const std::array<int32_t, 16>& times);
std::array<int32_t, 16> Ranked_Times(const Result_Arrays& arrays);

// One line of the printed list for a filled row.
QString Result_Print_Line(const QString& place, const QString& lane, const QString& time,
                          const QString& delta);

// ---------------------------------------------------------------- printing

// The picture display, as the printing needs it.
class Print_Player {
 public:
  virtual ~Print_Player() = default;
  virtual bool Rotated() const = 0;
  // Shows the finishing field of place p with its overlays and the place
  // number written on it, and gives that picture.
  virtual QImage Finish_Picture(int place) = 0;
  // The shown field with its overlays, at its screen size in pixels.
  virtual QImage Shown_Picture() = 0;
  virtual int32_t Current_Field() const = 0;
  // Back to field 0, redrawn.
  virtual void Back_To_Start() {}
  // Lets window events run for `ms`.
  virtual void Pause(int /*ms*/) {}
};

class Results_Printer {
 public:
  Page_Canvas target;
  bool Preview_Mode = true;
  double Y_Pos_After_Results = 0;
  QString Print_job_title;
  QImage Event_logo;  // null when none is in use
  Static_Layout Last_Layout;
  Series_Layout Last_Series;

  // The finished page: to the preview window, or to the printer (false when
  // printing failed, raising 482 is fine too).
  std::function<void(const Page_Canvas&)> on_preview;
  std::function<bool(const Page_Canvas&, const QString& title)> on_print;
  // The program's title while a job is on (empty: the normal title back).
  std::function<void(const QString&)> on_title;

  bool Print_Static_Content(const Heat_Facts& facts, const QString& camera_time);
  void Print_Results(bool include_pictures, const Heat_Facts& facts, const QString& camera_time,
                     const Result_Rows& rows, const Result_Arrays& arrays, Print_Player* player);
  void Print_Series(const Heat_Facts& facts, const QString& camera_time,
                    const Result_Arrays& arrays, Print_Player& player);
  void PrintSingle(const Heat_Facts& facts, const QString& camera_time, Print_Player& player);
  void Printer_End();
  // "Printer test".
  void Printer_Test(const Heat_Facts& facts, const QString& camera_time);

  // Reads "event_logo"; a file that exists is the event logo from now on.
  // Returns whether a logo is in use.
  bool Load_logo();
  // "Select Logo file".
  void item_select_logo_file_Click();
};

}  // namespace qm
