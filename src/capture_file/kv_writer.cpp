// Building KV2 files: a new head (KVS header, XML text, "hdrend"), then DV
// frames appended one after the other; Close_File records the frame count.
#include "capture_file/avi_handler.h"
#include "capture_file/avi_handler_detail.h"
#include "capture_file/xml_header.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/trace.h"

namespace qm {

bool cls_AVI_handler::Create_File() {
  try {
    Close_File();
    m_File.Open(m_File_name, File_Handle::Mode::Create_Read_Write);
    const QString suffix = File_Suffix(m_File_name);
    m_Current_File_Suffix = suffix;
    m_Kind = Capture_Kind::KV;
    m_Read_only = false;
    m_DV_container_ = true;
    m_Frame_size_ = DV_PAL_frame;
    m_File_size = static_cast<int32_t>(std::min<int64_t>(m_File.Size(), INT32_MAX));
    m_Append_pos = m_File_size;
    m_DV_frames_appended = 0;
    m_File_Initiated = false;
    return true;
  } catch (const Failure& f) {
    MsgBox(QStringLiteral("File error! Check capture folder! ") + QStringLiteral("\r\n") +
           QString::number(f.number) + QStringLiteral(" ") +
           (f.description.isEmpty() ? Err_Description(f.number) : f.description));
    Reset_File_State();
    return false;
  }
}

bool cls_AVI_handler::Initiate_file() {
  return Trapped(Where_Class("Initiate_file", "cls_AVI_handler"), [&] {
    if (!m_File.Is_Open()) Raise(Err_Bad_File);
    m_XML->Create_Header();
    m_KVS_header = KVS_header_record{};
    Write_KVS_header();
    // A new file has nothing to lose: no journal for its first header.
    Write_Header_KV(false);
    Add_Header_padding();
    m_File.Sync();
    m_File_Initiated = true;
    m_Append_pos = m_KVS_header.Header_len;
    m_File_size = static_cast<int32_t>(m_File.Size());
  });
}

bool cls_AVI_handler::Append_DV_frame(const uint8_t* address) {
  return Trapped(QStringLiteral("append_dv_frame of cls_avi_handler"), [&] {
    if (!address) Raise(Err_Invalid_Call);
    if (!m_File.Is_Open()) {
      m_File.Open(m_File_name, File_Handle::Mode::Read_Write);
      m_Kind = Capture_Kind::KV;
      m_Current_File_Suffix = File_Suffix(m_File_name);
      m_DV_container_ = true;
      Read_KVS_header_and_XML();
      m_Append_pos = m_File.Size();
    }
    m_File.Write_At(m_Append_pos, address, DV_PAL_frame);
    m_Append_pos += DV_PAL_frame;
    m_File_size = Checked_Int32(std::max<int64_t>(m_File_size, m_Append_pos));
    ++m_DV_frames_appended;
    const int32_t counter = DV_Frame_Counter_Of(address);
    if (counter > 10 && counter != m_Last_DV_counter_ + 1)
      Trace_Text(QStringLiteral("Expected DV frame ") + QString::number(m_Last_DV_counter_ + 1) +
                 QStringLiteral("Received frame ") + QString::number(counter));
    m_Last_DV_counter_ = counter;
  });
}

}  // namespace qm
