#pragma once
// The marathon windows of the main window, made on first use and kept: the
// race sheet, the set-time window and the results grid, over their core
// objects, with the main window as their host. Carries out the main
// window's "Marathon" and "Show flexgrid" items and follows its minimise.

#include "marathon/marathon_entry.h"
#include "marathon/marathon_host.h"
#include "marathon/marathon_sheet.h"

#include <QObject>

#include <memory>

namespace qm::ui {

class Frm_kanot_2;
class Form_Quaymark_marathon;
class Frm_Quaymark_Marathon_settime;
class Form_Marathon_flexgrid;

class Marathon_Windows : public QObject, public Marathon_Host {
  Q_OBJECT
 public:
  explicit Marathon_Windows(Frm_kanot_2& main);
  ~Marathon_Windows() override;

  // "Marathon" (File menu): marathon mode on or off.
  void item_Marathon_Click();
  // "Show flexgrid" (Debug menu): the grid shown or hidden.
  void item_show_flexgrid_Click();
  // The main window was minimised or restored.
  void Main_Window_State(bool minimised);

  // Loaded on demand.
  Form_Quaymark_marathon& Sheet_Window();
  Frm_Quaymark_Marathon_settime& Settime_Window();
  Form_Marathon_flexgrid& Grid_Window();
  bool Settime_Loaded() const { return settime_ != nullptr; }

  Marathon_Sheet sheet{*this};
  Marathon_Result_Entry entry{sheet, *this};

  // --- Marathon_Host over the main window ------------------------------------------
  cls_AVI_handler* Capture_File() override;
  bool Marathon_Mode() const override;
  QString Frame_Label() const override;
  int32_t Current_Field() const override;
  bool Open_Video(const QString& path) override;
  void Show_Field(int32_t field) override;
  void Redisplay_Field() override;
  void Focus_Slider() override;
  bool Main_Visible() const override;

 private:
  void Grey_Main_Labels(bool marathon);
  Frm_kanot_2& main_;
  Form_Quaymark_marathon* sheet_window_ = nullptr;
  Frm_Quaymark_Marathon_settime* settime_ = nullptr;
  Form_Marathon_flexgrid* grid_ = nullptr;
};

}  // namespace qm::ui
