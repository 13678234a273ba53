#pragma once
// The field display of the capture-file object: reads a frame, decodes it
// into the stream's decode buffer (skipped when that frame is already
// there), keeps one field at full height, turns it for the rotated view and
// paints it onto the picture box. Also the whole-frame display and the
// repaint without decoding.
//
// The renderer owns the object's picture buffers and its one decoder, and
// follows the object's file opens and closes through its display hooks.

#include "capture_file/avi_handler.h"
#include "picture_display/dib_section.h"
#include "platform/video_codec.h"

#include <array>
#include <cstdint>

namespace qm {

class Picture_Surface;

class Field_Renderer : public Frame_Display_Hooks {
 public:
  static constexpr int16_t Max_Display_Streams = 3;

  // slice_threads: the decoder's slice threads (0: one per core, at most 4).
  explicit Field_Renderer(cls_AVI_handler& file, int slice_threads = 0);
  ~Field_Renderer() override;
  Field_Renderer(const Field_Renderer&) = delete;
  Field_Renderer& operator=(const Field_Renderer&) = delete;

  // One field (1-based over the whole file) of stream 1..3. `reversed` is
  // ignored, as by every caller.
  void Draw_field_3(int32_t field, Picture_Surface& box, int16_t reversed, int16_t stream,
                    bool rotate);
  // One whole frame, both fields interleaved; onto `dc` at the file's size
  // when given, else onto the box.
  void Draw_Frame(int32_t frame, Picture_Surface& box, int16_t mirror, int16_t stream,
                  cDIBSection* dc, bool rotate);
  // The last picture again, without touching the file.
  void Refresh_field(Picture_Surface& box, bool rotate);

  int16_t Field_To_Show() const { return file_.Field_To_Show(); }
  int32_t eff_frameno() const { return file_.eff_frameno(); }
  float Player_Time() const { return m_Player_Time; }
  int32_t m_Current_Field() const { return current_field_; }
  int32_t m_Current_Frame() const { return current_frame_; }
  int32_t m_Last_Field() const { return last_field_; }
  int16_t m_Last_Stream() const { return last_stream_; }
  int16_t m_Decoded_Frame(int16_t stream) const;

  // -1 shows every stream on the whole box; 0 (this program's value) puts a
  // rotated two-stream file side by side.
  int16_t Show_Single_Stream = 0;
  // The file's trimmed start field (0: none, the time counts from field 1).
  int32_t Trimmed_Start_Field = 0;

  cDIBSection& Deint_source(int16_t stream);
  cDIBSection& Deint_target(int16_t stream);
  cDIBSection& Rotate_Source() { return rotate_source_; }
  // The turned buffer holding the last rotated field.
  cDIBSection& Rotate_Target() {
    Make_Turned_Buffer();
    return rotate_target_;
  }
  Video_Decoder& Decoder() { return decoder_; }

  // What the display did, counted (tests tell a decode from a skip by these).
  struct Counters {
    int64_t reads = 0;
    int64_t decodes = 0;
    int64_t extractions = 0;
    int64_t rotations = 0;
    int64_t paints = 0;
  };
  const Counters& counters() const { return counters_; }

  // Frame_Display_Hooks
  void File_Opened(int32_t width, int32_t height) override;
  void File_Closed() override;

 private:
  int Index(int16_t stream) const;  // raises subscript out of range outside 1..3
  bool Decode_Into(const Bgr24_View& target, const Rect32& dest);
  void Paint_Field(Picture_Surface& box, int16_t stream, bool rotate);
  // The turned field (turned_w x turned_h) covers the whole box at its size.
  bool Fills_Box(const Picture_Surface& box, int32_t turned_w, int32_t turned_h) const;
  void Finish_Field(int32_t field, int16_t stream, bool rotate, int s, int16_t field_to_show);
  // Turns the field that went straight onto the box into the turned buffer.
  void Make_Turned_Buffer();

  cls_AVI_handler& file_;
  Video_Decoder decoder_;
  std::array<cDIBSection, Max_Display_Streams> deint_source_;
  std::array<cDIBSection, Max_Display_Streams> deint_target_;
  cDIBSection rotate_source_;
  cDIBSection rotate_target_;

  int32_t last_field_ = 0;
  int16_t last_stream_ = 0;
  bool last_rotated_ = false;
  // Per stream: the field (1 or 2) that went only into the turned buffer and
  // not into the field buffer; 0 when the field buffer holds the last field.
  std::array<int16_t, Max_Display_Streams> stale_field_{};
  // The last rotated field went onto the box only: its stream index and
  // field (0: the turned buffer is up to date).
  struct Pending_Turn {
    int stream = 0;
    int16_t field = 0;
  } turned_pending_;
  std::array<int16_t, Max_Display_Streams> decoded_frame_{};
  int32_t current_field_ = 0;
  int32_t current_frame_ = 0;
  float m_Player_Time = 0;
  Counters counters_;
};

}  // namespace qm
