#pragma once
// What the marathon windows need of the main window: the capture file on
// show, the slider and the frame-number read-out. The main window gives
// its own; tests give a small stand-in over a real capture file.

#include <QString>

#include <cstdint>

namespace qm {

class cls_AVI_handler;

class Marathon_Host {
 public:
  virtual ~Marathon_Host() = default;
  // The open capture file, or nullptr when none is open.
  virtual cls_AVI_handler* Capture_File() = 0;
  // The "Marathon" item carries its check mark.
  virtual bool Marathon_Mode() const = 0;
  // The main window's frame-number read-out ("0042"; "" when blank).
  virtual QString Frame_Label() const = 0;
  virtual int32_t Current_Field() const = 0;
  // Opens `path` in the capture-file object with the main window's file
  // set-up; false when it could not be opened.
  virtual bool Open_Video(const QString& path) = 0;
  // Moves the slider to `field` and shows it.
  virtual void Show_Field(int32_t field) = 0;
  // Shows the current field again and gives the slider the focus.
  virtual void Redisplay_Field() = 0;
  virtual void Focus_Slider() = 0;
  virtual bool Main_Visible() const = 0;
};

}  // namespace qm
