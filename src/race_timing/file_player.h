#pragma once
// The field display without a picture: shows a field of the capture file the
// way the field display selects it (frame read, field chosen), so that
// Multi_TimeStamp and the goal field are those of that field. qmtool and the
// tests drive the race session through it.

#include "race_timing/race_session.h"

#include <cstdint>

namespace qm {

class cls_AVI_handler;

class File_Player : public Race_Player {
 public:
  explicit File_Player(cls_AVI_handler& file) : m_file(file) {}
  // Clamped into 1 .. Num_fields, as the play slider is.
  void Show_Field(int32_t field) override;
  int32_t Current_Field() const override { return m_field; }
  void Redraw_Graphics() override { ++graphics_redraws; }
  void Redraw_Field() override { ++field_redraws; }
  void Print_Place_string(const QString& text) override { last_place_string = text; }

  int graphics_redraws = 0;
  int field_redraws = 0;
  QString last_place_string;

 private:
  cls_AVI_handler& m_file;
  int32_t m_field = 1;
};

// Opens `path` into `file` and takes it over into `session` as the main
// window does (lanes, flags, results, start time, player at place 1). A file
// that is not one of ours is closed again with "Not a valid quaymark file!".
bool Open_For_Timing(const QString& path, cls_AVI_handler& file, Race_Session& session,
                     File_Player& player);

}  // namespace qm
