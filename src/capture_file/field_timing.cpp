// Field timing: the per-frame time stamp block and the time of each field.
#include "capture_file/avi_handler.h"
#include "capture_file/avi_handler_detail.h"
#include "capture_file/xml_header.h"
#include "platform/failure.h"

#include <cstring>

namespace qm {

void cls_AVI_handler::Take_Extra_Data() {
  const uint8_t* frame = m_Frame_buffer.data();
  if (!m_SSCD_searched_) {
    m_SSCD_offset_ = -1;
    for (int32_t i = 0; i <= SSCD_Search_End; ++i) {
      if (frame[i] == 'S' && std::memcmp(frame + i, "SSCD", 4) == 0) {
        m_SSCD_offset_ = i;
        break;
      }
    }
    m_SSCD_searched_ = true;
  }
  if (m_SSCD_offset_ < 0 || m_SSCD_offset_ > SSCD_Usable_End) return;
  std::memcpy(m_Extra.bytes.data(), frame + m_SSCD_offset_, Frame_Extra_Data::Stored_len);
  m_Frame_stamp_ = Checked_Int32(
      static_cast<int64_t>(Round_Half_Even_Div(m_Extra.Capture_mill_time(), 40)) * 40 - 10);
}

int32_t cls_AVI_handler::Current_Heat_Start(int16_t heat) const {
  const int32_t start = m_XML->Start_PC_mill(heat);
  return start != 0 ? start : m_Extra.Old_HeatStart();
}

int32_t cls_AVI_handler::Multi_TimeStamp(int16_t heat) const {
  int64_t t = static_cast<int64_t>(m_Frame_stamp_) - Current_Heat_Start(heat);
  if (m_Field_To_Show == 2) t += 20;
  const int16_t bias = m_Extra.m_Timing_bias();
  if (bias < 500) t -= bias;
  return Checked_Int32(t);
}

int32_t cls_AVI_handler::Frame_time() const {
  return m_Extra.Frame_time();
}

int32_t cls_AVI_handler::Field_time_of_day() const {
  return Checked_Int32(static_cast<int64_t>(m_Extra.Frame_time()) +
                       (m_Field_To_Show == 2 ? 20 : 0));
}

int32_t cls_AVI_handler::Old_HeatStart() const {
  return m_Extra.Old_HeatStart();
}
int32_t cls_AVI_handler::Capture_mill_time() const {
  return m_Extra.Capture_mill_time();
}
int16_t cls_AVI_handler::Lap_Count() const {
  return m_Extra.Lap_Count();
}
int16_t cls_AVI_handler::m_Timing_bias() const {
  return m_Extra.m_Timing_bias();
}

int32_t cls_AVI_handler::mill_per_frame() const {
  switch (m_Kind) {
    case Capture_Kind::KV:
    case Capture_Kind::VDV:
      return 20;
    case Capture_Kind::Raw_DV:
      return m_Frame_ms_;
    case Capture_Kind::AVI:
      return is_DV() ? Round_Half_Even_Div(m_Frame_ms_, 2) : m_Frame_ms_;
    case Capture_Kind::None:
      break;
  }
  return 0;
}

int32_t cls_AVI_handler::Start_PC_Mill_time(int16_t heat) const {
  if (m_File_name.isEmpty()) return 0;
  return m_XML->Start_PC_mill(heat);
}

void cls_AVI_handler::Start_PC_mill(int16_t heat, int32_t ms) {
  m_XML->Set_Start_PC_mill(heat, ms);
}

int32_t cls_AVI_handler::Start_local_Mill_Time(int16_t heat) const {
  if (m_File_name.isEmpty()) return 0;
  return m_XML->Start_local_mill(heat);
}

void cls_AVI_handler::Start_local_mill(int16_t heat, int32_t ms) {
  m_XML->Set_Start_local_mill(heat, ms);
}

int32_t cls_AVI_handler::Heat_Start_Correction(int16_t heat) const {
  return m_XML->Heat_Correction_mill(heat);
}

void cls_AVI_handler::Heat_Start_Correction(int16_t heat, int32_t ms) {
  m_XML->Set_Heat_Correction_mill(heat, ms);
  Write_XML_header();
}

}  // namespace qm
