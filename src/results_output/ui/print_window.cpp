#include "results_output/ui/print_window.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "results_output/printing.h"
#include "results_output/ui/form_lcs_preview.h"
#include "results_output/ui/printer_device.h"

#include <QWidget>

#include <algorithm>

namespace qm::ui {

namespace {

Page_Canvas Empty_Page() {
  Page_Canvas c;
  const Print_Setup& s = print_setup();
  c.Width = s.Page_Width;
  c.Height = s.Page_Height;
  return c;
}

bool Out(const Page_Canvas& page, const QString& title, Form_LCS_preview* preview) {
  if (print_setup().Printers_Num > 0) {
    if (Print_Page_On_Printer(page, title)) return true;
    MsgBox(QStringLiteral("Printer error"));
    return false;
  }
  static Form_LCS_preview* own = nullptr;
  if (!preview) {
    if (!own) own = new Form_LCS_preview;
    preview = own;
  }
  preview->Show_Page(page, title);
  return true;
}

}  // namespace

bool Print_Window_Picture(const QImage& picture, const QString& title, Form_LCS_preview* preview) {
  return Trapped(Where_Module("Print_Window_Picture", "Module_canoe"), false, [&] {
    Page_Canvas c = Empty_Page();
    const Print_Setup& s = print_setup();
    const double room_w = s.Right - s.Left, room_h = s.Bottom - s.Top;
    double w = picture.width() * Twips_Per_Screen_Pixel,
           h = picture.height() * Twips_Per_Screen_Pixel;
    const double k = std::min({1.0, room_w / std::max(1.0, w), room_h / std::max(1.0, h)});
    c.PaintPicture(picture, s.Left, s.Top, w * k, h * k);
    return Out(c, title, preview);
  });
}

bool Print_Window(QWidget& window, const QString& title, Form_LCS_preview* preview) {
  return Print_Window_Picture(window.grab().toImage(), title, preview);
}

bool Print_Text(const QString& text, const QString& title, Form_LCS_preview* preview) {
  return Trapped(Where_Module("Print_Text", "Module_canoe"), false, [&] {
    Page_Canvas c = Empty_Page();
    const Print_Setup& s = print_setup();
    c.Font.name = QStringLiteral("Courier New");
    c.Font.size = 10;
    c.CurrentY = s.Top;
    for (const QString& line : QString(text).replace("\r\n", "\n").split(QLatin1Char('\n'))) {
      if (c.CurrentY + c.TextHeight() > s.Bottom) break;  // one page
      c.CurrentX = s.Left;
      c.Print(line);
    }
    return Out(c, title, preview);
  });
}

}  // namespace qm::ui
