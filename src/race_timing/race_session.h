#pragma once
// The race session: the timing state of the open heat without any window.
// It owns the lane markers, the two result arrays, the rows of the results
// window, the start correction and the delta reference, and refers to the
// capture file. The main window, qmtool and the tests drive the very same
// object; the field display is reached through the small Race_Player
// interface.
//
// Every change goes file first: the slot is changed in memory, the whole
// heat is written into the file's XML header, and the arrays are reloaded
// from the file, so screen, file, exports and paper agree.

#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "race_timing/start_correction.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

class cls_AVI_handler;

// What the timing needs of the field display.
class Race_Player {
 public:
  virtual ~Race_Player() = default;
  // Sets the play slider to `field` and shows it (the capture file's
  // Multi_TimeStamp then gives that field's time).
  virtual void Show_Field(int32_t field) = 0;
  // The number in the "Video field" box: the field on show.
  virtual int32_t Current_Field() const = 0;
  // The overlay graphics (lane markers, goal line) rebuilt.
  virtual void Redraw_Graphics() {}
  // The shown field drawn again (with its overlays).
  virtual void Redraw_Field() {}
  virtual void Focus_Slider() {}
  // The place number written large on the main picture.
  virtual void Print_Place_string(const QString& /*text*/) {}
  virtual void Beep() {}
};

class Race_Session {
 public:
  static constexpr int16_t Active_Heat = 1;
  // "Set Local heat start": 10:46:33.000.
  static constexpr int32_t Default_Local_Heat_Start = 38793000;

  Race_Session() = default;
  Race_Session(const Race_Session&) = delete;
  Race_Session& operator=(const Race_Session&) = delete;

  void Set_File(cls_AVI_handler* file) { m_file = file; }
  cls_AVI_handler* File() const { return m_file; }
  void Set_Player(Race_Player* player) { m_player = player; }
  bool File_open() const;

  // --- State the windows show ------------------------------------------------
  Lane_markers markers;
  Result_Arrays arrays;
  Result_Rows rows;
  Start_Correction correction;
  int16_t Picked_lane = -1;
  int Picked_position = 0;  // list position of the picked marker, 0: none
  int32_t Delta_Reference = 0;
  // Display flags of the main window.
  int Markers_Drawn = 16;
  bool Lanes_shown = true;
  bool Lanes_flipped_box = false;
  bool Goalline_shown = false;
  bool Goalline_inverted = false;
  bool Lanes_locked_checked = false;
  int Markers_To_Draw() const {
    return Markers_Drawn < markers.Count() ? Markers_Drawn : markers.Count();
  }
  std::array<int16_t, 4> Goal_line{0, 0, 0, 0};
  // The INI's second goal line (only an editing mode would draw it).
  std::array<int16_t, 4> Ini_Goal_line{0, 0, 0, 0};

  // Called after every change of rows, markers or correction (the results
  // window and the overlays follow). A listener that goes sets its entry to
  // null.
  std::vector<std::function<void()>> on_changed;

  // --- Lanes and goal line ---------------------------------------------------
  // Markers from the INI value "Lanes" of section Canoe.
  void Load_Lanes();
  void Load_Goalline();
  void Load_Lanes_from_File();
  // The lane settings of a freshly opened file, in their order.
  void Take_File_Lane_Settings();
  // The file's goal line when x1 > 0 and y1 > 0, else (0, 0, 0, 0).
  void Load_Goalline_from_File();
  void Save_lanes();
  // Header slot of marker k (1..16): k, and 0 for marker 16.
  static int16_t Lane_Slot(int position);

  // Press on the picture: sets Picked_lane.
  int16_t Check_within_lanes(float x, float y);
  // A plain left press on a marker (lanes locked): moves the player to the
  // lane's finishing field and prints its place, when it has one.
  void Marker_Pressed(int16_t lane);

  // Specials menu.
  void Toggle_Lanes_locked();
  void Toggle_Flip_Lanemarks();
  void Toggle_Showgoalline();
  void Set_lanenums();
  void Save_lanes_Command();

  // --- Results -----------------------------------------------------------
  void Attach_Time(int16_t lane, int32_t heat_result, bool plus_time);
  // Writes all 16 lanes into the header and the header into the file. When
  // the write fails the header in memory is put back as it was, so nothing
  // shows a result that the file does not hold. Returns whether it was written.
  bool Store_Lane_Results();
  void Load_All_Heats_Array_from_File(int16_t heat);
  void Complete_Result_Array();
  void Clear_All_Results();
  // Results window "Clear all results": asks first.
  void Clear_All_Results_Command();
  // Debug "Clear ranks": without asking.
  void Clear_ranks() { Clear_All_Results(); }
  void Clear_Marker_Times();
  // Count of real times of the last fill.
  int Real_Times() const { return rows.real_times; }

  // Heat commands.
  void Set_Heat_start();
  void Set_Local_heat_start();
  void Set_heat_ID();
  void Set_event();
  void Set_event_name();

  // --- Results window ------------------------------------------------------
  void Set_Captions();
  void Clear_Results();
  void Fill_Results();
  // Moves the player to the finishing field of place row + 1.
  void GoTo_Field(int row);
  // A press on the place label of row r (0-based).
  void Place_Row_Pressed(int row);
  // Whether row r's place label takes the "FRAME" pointer.
  bool Place_Row_Has_Time(int row) const;

  // --- Start correction ------------------------------------------------------
  void Correction_Label_Clicked(int k);
  void Correction_Panel_Clicked();  // frames and start-time labels: deselect
  // Button held: first step now; returns the wait before Correction_Repeat.
  int32_t Correction_Press(bool up);
  int32_t Correction_Repeat();
  // Release: the one write of the press, then the results refilled.
  void Correction_Release();
  void Correction_Reset();  // right press on a correction label
  // Sets the correction to `ms` and writes it, as a press would.
  void Set_Correction(int32_t ms);
  void Update_File_With_Time_Correction();
  void Clear_Heat_Data();

  // --- File opening and closing --------------------------------------------
  // After the capture file has opened a file: lanes, flags, goal line,
  // results, start time and the player at place 1.
  void File_Opened();
  // After the capture file has closed: results emptied (nothing written),
  // INI markers back, rows and heat data cleared.
  void File_Closed();

 private:
  void Changed();
  cls_AVI_handler* m_file = nullptr;
  Race_Player* m_player = nullptr;
};

// The rectangle of the picture in which the place number is written.
struct Place_String_Layout {
  int left, top, right, bottom;
};
Place_String_Layout Place_String_Rect(int width, int height);
// Writes `text` in white, Arial 120 pixels high, centred in that rectangle.
void Draw_Place_String(QImage& picture, const QString& text);

}  // namespace qm
