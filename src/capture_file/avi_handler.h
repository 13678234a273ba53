#pragma once
// cls_AVI_handler: the capture-file object. One file at a time is opened into
// it; it finds every stored frame, reads one frame on request into a buffer it
// reuses, holds the file's binary header records and its XML header, gives
// the time of every field, writes the XML header back and builds KV2 files.
//
// Kinds: KV ("kv2", "kv1"), VDV, AVI and raw DV. Frames and fields count
// from 1, streams from 1 (at most 5).

#include "capture_file/avi_container.h"
#include "capture_file/kvs_header.h"
#include "platform/files.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace qm {

class Cls_XML_header;
struct Journal_Record;

// The field display's choice of frame and field for field number f.
struct Field_Selection {
  int32_t eff_frameno = 0;    // the frame that holds field f
  int16_t Field_To_Show = 0;  // 1 for odd f (first field), 2 for even f
};
// Field f lies in frame (f + 0.5) / 2 rounded; frame numbers are 16-bit on
// the display path, so a frame above 32767 raises the overflow failure (6).
Field_Selection Select_Field(int32_t field);

// The 40-byte bitmap information header that describes the stored frames to
// the codec service.
struct Source_Format {
  int32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  int16_t biPlanes = 1;
  int16_t biBitCount = 24;
  uint32_t biCompression = 0;  // four-character code, first character lowest
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

// One entry of the stream table, read from the XML header.
struct Stream_Info {
  bool active = false;
  bool rotated = false;
  int16_t camera_pos = 0;
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  int16_t width = 0, height = 0;
};

// The 192-byte block each stored KV frame carries ("SSCD"), as held.
struct Frame_Extra_Data {
  static constexpr int32_t Stored_len = 192;
  static constexpr int32_t Declared_len = 190;
  std::array<uint8_t, Stored_len> bytes{};
  int32_t Capture_mill_time() const;  // offset 24
  int32_t Old_HeatStart() const;      // offset 28
  int32_t Frame_time() const;         // offset 32
  int16_t Lap_Count() const;          // offset 166
  int16_t m_Timing_bias() const;      // offset 172
};

// Frames past the search window are never taken as the block's place.
inline constexpr int32_t SSCD_Search_End = 30000;
inline constexpr int32_t SSCD_Usable_End = 15000;

enum class Capture_Kind { None, KV, VDV, AVI, Raw_DV };

// Hooks of the picture display: the drawing resources that follow a file.
class Frame_Display_Hooks {
 public:
  virtual ~Frame_Display_Hooks() = default;
  // After the file's frame geometry is known (decode target width x height).
  virtual void File_Opened(int32_t width, int32_t height) = 0;
  // Resources released, draw state cleared.
  virtual void File_Closed() = 0;
};

class cls_AVI_handler {
 public:
  static constexpr int32_t DV_PAL_frame = 144000;
  static constexpr int32_t DV_NTSC_frame = 120000;
  static constexpr int32_t Max_streams = 5;

  cls_AVI_handler();
  ~cls_AVI_handler();
  cls_AVI_handler(const cls_AVI_handler&) = delete;
  cls_AVI_handler& operator=(const cls_AVI_handler&) = delete;

  // --- Opening, reading, closing -------------------------------------------
  bool Open_File(const QString& path);
  // False when recording the appended frames in the header failed (reported).
  bool Close_File();
  // Frame n of stream s into the frame buffer; failures are swallowed and
  // leave the buffer as it was.
  void Read_Frame(int32_t frame, int16_t stream = 1);
  bool File_open() const { return m_File.Is_Open(); }

  void Parse_Chunks();
  bool Get_AVI_indexes();
  void Read_Stream_Info();

  // --- File state -----------------------------------------------------------
  QString File_name() const { return m_File_name; }
  void File_name(const QString& path);  // also sets Current_File_Suffix
  QString Current_File_Suffix() const { return m_Current_File_Suffix; }
  Capture_Kind Kind() const { return m_Kind; }
  int32_t File_size() const { return m_File_size; }
  bool Read_only() const { return m_Read_only; }
  bool NTSC() const { return m_NTSC; }
  int16_t Width() const { return m_Width; }
  int16_t Height() const { return m_Height; }
  int16_t Frame_Rate() const { return m_Frame_Rate; }
  int32_t m_Frame_ms() const { return m_Frame_ms_; }
  int32_t m_Field_ms() const { return m_Field_ms_; }
  int32_t num_frames() const { return m_num_frames; }
  int32_t Num_fields() const { return m_Num_fields; }
  int32_t num_Calculated_frames() const { return m_num_Calculated_frames; }
  int32_t Clip_length() const { return m_Clip_length; }
  int16_t Num_Video_streams() const { return m_Stream_count; }
  QString video_codec() const { return m_video_codec; }
  bool Is_Deinterlaced() const { return m_Is_Deinterlaced; }
  bool is_DV() const;
  bool Has_XML_header() const;
  bool rotated() const;
  void rotated(bool value);  // stream 1; writes the header back
  bool m_Raw_DV() const { return m_Raw_DV_; }
  bool m_DV_container() const { return m_DV_container_; }

  // Decode target of the picture display: 720 x 576, or 720 x 480 for NTSC.
  int32_t Decode_width() const { return m_Decode_width; }
  int32_t Decode_height() const { return m_Decode_height; }

  // --- Frame in store -------------------------------------------------------
  const uint8_t* Frame_address() const;  // nullptr when no frame is held
  int32_t Frame_in_store() const { return m_Frame_in_store; }
  int32_t Frame_Length() const { return m_Frame_Length; }
  int32_t m_Frame_size() const { return m_Frame_size_; }
  int32_t m_Frame_pos() const { return m_Frame_pos_; }
  const std::vector<uint8_t>& Frame_buffer() const { return m_Frame_buffer; }
  const Source_Format& m_Source_format() const { return m_Source_format_; }
  const Stream_Info& Stream(int16_t s) const;  // 1 .. 5

  // --- Binary records, AVI layout ------------------------------------------
  const KVS_header_record& KVS_header() const { return m_KVS_header; }
  int32_t Header_len() const { return m_KVS_header.Header_len; }
  int32_t XML_len() const { return m_KVS_header.XML_len; }
  int32_t m_XML_chunk_pos() const { return m_XML_chunk_pos_; }
  int32_t m_Index_pos() const { return m_Index_pos_; }
  Index_Placement m_Index_placement() const { return m_Index_placement_; }
  int32_t Video_index_count() const;
  int32_t RIFF_size() const { return m_RIFF_size; }

  void Get_KVS_header();
  void Write_KVS_header();
  void Add_Header_padding();

  // --- XML header -----------------------------------------------------------
  Cls_XML_header& XML_header();
  const Cls_XML_header& XML_header() const;
  bool is_Quaymark() const;
  // Writes the XML header document into the open file; reported, never thrown.
  bool Write_XML_header();

  // Pass-through properties of the XML header. Reads of a missing node or a
  // non-number raise, for the caller's handler to report.
  QString Creation_Date() const;
  void Creation_Date(const QString& text);
  QString Last_Capture_time() const;
  QString Computer_name() const;
  QString Program_ID() const;
  QString Program_Major() const;
  QString Program_Minor() const;
  QString Program_Revision() const;
  QString Event_name() const;
  void Event_name(const QString& text);  // writes the header back
  QString Heat_ID(int16_t heat) const;
  void Heat_ID(int16_t heat, const QString& text);
  QString Heat_comment(int16_t heat) const;
  int16_t Lane_count() const;
  void Lane_count(int16_t lanes);  // writes the header back
  int16_t Start_lane() const;
  void Start_lane(int16_t lane);
  bool Start_Lane_Zero() const;
  std::array<int16_t, 4> Get_Goalline() const;  // x1, y1, x2, y2
  void Set_Goal_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Fix_Goal_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // and writes back
  void File_Lane_Pos(int16_t lane, int32_t x, int32_t y);
  int16_t LaneX(int16_t lane) const;
  int16_t LaneY(int16_t lane) const;
  bool Lanes_Visible() const;
  void Lanes_Visible(bool value);
  bool Lanes_flipped() const;
  void Lanes_flipped(bool value);
  bool Lanes_locked() const;
  void Lanes_locked(bool value);  // writes the header back
  bool Show_goalline() const;
  void Show_goalline(bool value);
  int32_t Heat_time(int16_t heat, int16_t lane) const;  // 0 when File_name is ""
  void Heat_result(int16_t heat, int16_t lane, int32_t ms);
  int32_t Heat_Clicktime(int16_t heat, int16_t lane) const;
  void Heat_Clicktime(int16_t heat, int16_t lane, int32_t tick);
  int32_t Heat_Goalfield(int16_t heat, int16_t lane) const;
  void Heat_Goalfield(int16_t heat, int16_t lane, int32_t field);

  // --- Field timing ---------------------------------------------------------
  int32_t Start_PC_Mill_time(int16_t heat) const;  // 0 when File_name is ""
  void Start_PC_mill(int16_t heat, int32_t ms);
  int32_t Start_local_Mill_Time(int16_t heat) const;  // 0 when File_name is ""
  void Start_local_mill(int16_t heat, int32_t ms);
  int32_t Heat_Start_Correction(int16_t heat) const;
  void Heat_Start_Correction(int16_t heat, int32_t ms);  // writes the header back

  // Time of the field last shown, from the start of heat h.
  int32_t Multi_TimeStamp(int16_t heat) const;
  int32_t Frame_time() const;         // the block's time of day
  int32_t Field_time_of_day() const;  // Frame_time, + 20 for the second field
  int32_t Old_HeatStart() const;
  int32_t Capture_mill_time() const;
  int16_t Lap_Count() const;
  int16_t m_Timing_bias() const;
  int32_t mill_per_frame() const;
  int32_t m_Frame_stamp() const { return m_Frame_stamp_; }
  int32_t m_SSCD_offset() const { return m_SSCD_offset_; }
  bool m_SSCD_searched() const { return m_SSCD_searched_; }
  const Frame_Extra_Data& Extra_data() const { return m_Extra; }

  // Draw state, set by the field display.
  int32_t eff_frameno() const { return m_eff_frameno; }
  int16_t Field_To_Show() const { return m_Field_To_Show; }
  void Set_Draw_State(const Field_Selection& s);
  void Clear_Draw_State();
  void Set_Display_Hooks(Frame_Display_Hooks* hooks) { m_Display = hooks; }

  // --- KV2 writing ----------------------------------------------------------
  bool Create_File();
  bool Initiate_file();
  bool Append_DV_frame(const uint8_t* address);
  int32_t DV_frames_appended() const { return m_DV_frames_appended; }
  bool File_Initiated() const { return m_File_Initiated; }
  int32_t m_Last_DV_counter() const { return m_Last_DV_counter_; }

 private:
  struct Avi_State;

  void Reset_File_State();
  void Clear_Held_Timing();
  void Open_KV();
  void Open_VDV();
  void Open_AVI();
  void Open_Raw_DV();
  void Fill_DV_Source_Format(uint32_t compression, int32_t width, int32_t height,
                             int32_t image_size);
  void Take_Extra_Data();
  int32_t Current_Heat_Start(int16_t heat) const;
  Capture_Kind Writing_Kind() const;
  void Write_Header_KV(bool journal);
  void Write_Header_AVI();
  void Recover_Header();
  QByteArray Header_Text_For_File();
  void Load_XML_text(const QByteArray& bytes);
  void Clear_XML();
  void Read_KVS_header_and_XML();

  QString m_File_name;
  QString m_Current_File_Suffix;
  Capture_Kind m_Kind = Capture_Kind::None;
  File_Handle m_File;
  int32_t m_File_size = 0;
  bool m_Read_only = false;
  bool m_Raw_DV_ = false;
  bool m_DV_container_ = false;
  bool m_Is_Deinterlaced = false;
  bool m_NTSC = false;
  int16_t m_Width = 0;
  int16_t m_Height = 0;
  int16_t m_Frame_Rate = 0;
  int32_t m_Frame_ms_ = 0;
  int32_t m_Field_ms_ = 0;
  int32_t m_num_frames = 0;
  int32_t m_Num_fields = 0;
  int32_t m_num_Calculated_frames = 0;
  int32_t m_Clip_length = 0;
  int16_t m_Stream_count = 0;
  QString m_video_codec = QStringLiteral("0");
  int32_t m_Frame_size_ = 0;
  int32_t m_Frame_Length = 0;
  std::vector<uint8_t> m_Frame_buffer;
  int32_t m_Frame_offset_in_buffer = 0;
  int32_t m_Frame_pos_ = 0;
  int32_t m_Frame_in_store = 0;
  Source_Format m_Source_format_;
  int32_t m_Decode_width = 720;
  int32_t m_Decode_height = 576;
  std::array<Stream_Info, Max_streams> m_Stream_info{};

  KVS_header_record m_KVS_header;
  int32_t m_XML_start = KVS_header_record::Size;
  DV_header_record m_DV_header;

  int32_t m_XML_chunk_pos_ = 0;
  int32_t m_XML_chunk_size = 0;
  int32_t m_Index_pos_ = 0;
  int32_t m_RIFF_size = 0;
  Index_Placement m_Index_placement_ = Index_Placement::None;
  std::unique_ptr<Avi_State> m_Avi;

  std::unique_ptr<Cls_XML_header> m_XML;

  Frame_Extra_Data m_Extra;
  int32_t m_SSCD_offset_ = -1;
  bool m_SSCD_searched_ = false;
  int32_t m_Frame_stamp_ = 0;

  int32_t m_eff_frameno = 0;
  int16_t m_Field_To_Show = 0;
  Frame_Display_Hooks* m_Display = nullptr;

  int32_t m_DV_frames_appended = 0;
  int32_t m_Last_DV_counter_ = 0;
  bool m_File_Initiated = false;
  int64_t m_Append_pos = 0;
  // Header found in an unfinished write's journal of a file opened for
  // reading only: used in memory in place of the stored one.
  std::unique_ptr<Journal_Record> m_Recovered;
};

}  // namespace qm
