#include "capture_file/avi_handler.h"

#include "capture_file/avi_handler_detail.h"
#include "capture_file/avi_info.h"
#include "capture_file/dv_timecode.h"
#include "capture_file/xml_header.h"
#include "platform/codec_registry.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/trace.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <new>

namespace qm {

namespace {
const char* const Cls = "cls_AVI_handler";
}  // namespace

int32_t Round_Half_Even_Div(int64_t a, int64_t b) {
  if (b <= 0) Raise(Err_Division_By_Zero);
  int64_t q = a / b;
  int64_t r = a % b;
  if (r < 0) {
    r += b;
    --q;
  }
  if (2 * r > b || (2 * r == b && (q % 2 != 0))) ++q;
  return Checked_Int32(q);
}

Field_Selection Select_Field(int32_t field) {
  Field_Selection s;
  // (f + 0.5) / 2 rounded is the ceiling of f / 2 for every whole f.
  const int64_t frame =
      field >= 0 ? (static_cast<int64_t>(field) + 1) / 2 : -((-static_cast<int64_t>(field)) / 2);
  s.eff_frameno = Checked_Int16(frame);
  s.Field_To_Show = (field % 2 != 0) ? 1 : 2;
  return s;
}

uint32_t Fourcc_Of(const char* code) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24);
}

uint32_t Fourcc_Of(const QString& code) {
  const QByteArray b = code.toLatin1().leftJustified(4, ' ', true);
  return Fourcc_Of(b.constData());
}

QString Chosen_DV_codec() {
  return QStringLiteral("CDVC");
}

int16_t DV_Line_System_Of(const uint8_t* frame) {
  DV_Header_Parse(frame, DV_Pack_Area);
  return Line_system();
}

int32_t DV_Frame_Counter_Of(const uint8_t* frame) {
  DV_Header_Parse(frame, DV_Pack_Area);
  return Timecode_frame_number();
}

namespace {
// The open file as the AVI walk's byte source.
class Handle_Source : public Byte_Source {
 public:
  explicit Handle_Source(const File_Handle& f) : f_(f), length_(f.Size()) {}
  bool Read_At(int64_t off, void* dst, int32_t n) override {
    if (off < 0 || n < 0 || off > length_ || n > length_ - off) return false;
    try {
      return f_.Read_At(off, dst, static_cast<size_t>(n)) == static_cast<size_t>(n);
    } catch (const Failure&) {
      return false;
    }
  }
  int64_t Length() override { return length_; }

 private:
  const File_Handle& f_;
  int64_t length_;
};
}  // namespace

struct cls_AVI_handler::Avi_State {
  clsAVIInfo info;
  AVI_Chunks chunks;
  AVI_Index index;
};

int32_t Frame_Extra_Data::Capture_mill_time() const {
  return Get_LE32(bytes.data() + 24);
}
int32_t Frame_Extra_Data::Old_HeatStart() const {
  return Get_LE32(bytes.data() + 28);
}
int32_t Frame_Extra_Data::Frame_time() const {
  return Get_LE32(bytes.data() + 32);
}
int16_t Frame_Extra_Data::Lap_Count() const {
  return Get_LE16(bytes.data() + 166);
}
int16_t Frame_Extra_Data::m_Timing_bias() const {
  return Get_LE16(bytes.data() + 172);
}

cls_AVI_handler::cls_AVI_handler() : m_XML(std::make_unique<Cls_XML_header>()) {
  Fill_DV_Source_Format(Fourcc_Of(Chosen_DV_codec()), 720, 576, DV_PAL_frame);
}

cls_AVI_handler::~cls_AVI_handler() {
  Close_File();
}

Cls_XML_header& cls_AVI_handler::XML_header() {
  return *m_XML;
}
const Cls_XML_header& cls_AVI_handler::XML_header() const {
  return *m_XML;
}

void cls_AVI_handler::File_name(const QString& path) {
  m_File_name = path;
  m_Current_File_Suffix = File_Suffix(path);
}

bool cls_AVI_handler::is_DV() const {
  if (m_Kind == Capture_Kind::KV || m_Kind == Capture_Kind::VDV) return true;
  if (m_Kind == Capture_Kind::AVI) {
    const QString c = m_video_codec.toLower();
    return c == QLatin1String("msdv") || c == QLatin1String("dvsd") || c == QLatin1String("cdvc");
  }
  return false;
}

bool cls_AVI_handler::Has_XML_header() const {
  if (m_Kind == Capture_Kind::KV) return true;
  if (m_Kind == Capture_Kind::AVI) return m_XML_chunk_pos_ > 0;
  return false;
}

const uint8_t* cls_AVI_handler::Frame_address() const {
  if (m_Frame_buffer.empty()) return nullptr;
  return m_Frame_buffer.data() + m_Frame_offset_in_buffer;
}

const Stream_Info& cls_AVI_handler::Stream(int16_t s) const {
  if (s < 1 || s > Max_streams) Raise(Err_Subscript);
  return m_Stream_info[static_cast<size_t>(s - 1)];
}

int32_t cls_AVI_handler::Video_index_count() const {
  return m_Avi ? m_Avi->index.Count() : 0;
}

void cls_AVI_handler::Fill_DV_Source_Format(uint32_t compression, int32_t width, int32_t height,
                                            int32_t image_size) {
  const int16_t bits = m_Source_format_.biBitCount == 0 ? 24 : m_Source_format_.biBitCount;
  m_Source_format_ = Source_Format{};
  m_Source_format_.biWidth = width;
  m_Source_format_.biHeight = height;
  m_Source_format_.biBitCount = bits;
  m_Source_format_.biCompression = compression;
  m_Source_format_.biSizeImage = static_cast<uint32_t>(image_size);
}

void cls_AVI_handler::Clear_Held_Timing() {
  m_Extra = Frame_Extra_Data{};
  m_SSCD_offset_ = -1;
  m_SSCD_searched_ = false;
  m_Frame_stamp_ = 0;
}

void cls_AVI_handler::Clear_Draw_State() {
  m_eff_frameno = 0;
  m_Field_To_Show = 0;
}

void cls_AVI_handler::Set_Draw_State(const Field_Selection& s) {
  m_eff_frameno = s.eff_frameno;
  m_Field_To_Show = s.Field_To_Show;
}

void cls_AVI_handler::Reset_File_State() {
  m_File.Close();
  m_Kind = Capture_Kind::None;
  m_num_frames = 0;
  m_Num_fields = 0;
  m_num_Calculated_frames = 0;
  m_Frame_in_store = 0;
  m_Frame_Length = 0;
  m_Frame_pos_ = 0;
  m_Frame_offset_in_buffer = 0;
  m_Width = 0;
  m_Height = 0;
  m_Frame_ms_ = 0;
  m_Field_ms_ = 0;
  m_Frame_Rate = 0;
  m_Clip_length = 0;
  m_RIFF_size = 0;
  m_File_size = 0;
  m_NTSC = false;
  m_Raw_DV_ = false;
  m_DV_container_ = false;
  m_Is_Deinterlaced = false;
  m_Stream_count = 0;
  m_video_codec = QStringLiteral("0");
  m_Current_File_Suffix.clear();
  m_Frame_buffer.clear();
  m_Frame_buffer.shrink_to_fit();
  m_XML_chunk_pos_ = 0;
  m_XML_chunk_size = 0;
  m_Index_pos_ = 0;
  m_Index_placement_ = Index_Placement::None;
  m_Avi.reset();
  m_KVS_header = KVS_header_record{};
  m_DV_header = DV_header_record{};
  m_Stream_info = {};
  m_DV_frames_appended = 0;
  m_File_Initiated = false;
  m_Append_pos = 0;
  Clear_Draw_State();
  if (m_Display) m_Display->File_Closed();
}

void cls_AVI_handler::Clear_XML() {
  m_XML->Set_XML_string(QString());
}

void cls_AVI_handler::Load_XML_text(const QByteArray& bytes) {
  // One byte a character; the text ends at the first zero byte.
  const qsizetype zero = bytes.indexOf('\0');
  m_XML->Set_XML_string(QString::fromLatin1(zero < 0 ? bytes : bytes.left(zero)));
}

bool cls_AVI_handler::Open_File(const QString& path) {
  Trace_Text(QStringLiteral("*cls_AVI_handler Open_file, File_name = ") + path);
  Close_File();
  // A file never inherits the previous file's header or time stamps.
  Clear_XML();
  Clear_Held_Timing();
  File_name(path);

  try {
    if (!File_Exists(path)) {
      Trace_Text(QStringLiteral("*OF1, filename = ") + path);
      return false;
    }
    const int64_t length = File_Length(path);
    if (length < 100) {
      MsgBox(QStringLiteral("Corrupt file, (Invalid file length)"));
      return false;
    }
    const QString suffix = File_Suffix(path).toLower();
    Capture_Kind kind = Capture_Kind::None;
    if (suffix == QLatin1String("avi"))
      kind = Capture_Kind::AVI;
    else if (suffix == QLatin1String("kv1") || suffix == QLatin1String("kv2"))
      kind = Capture_Kind::KV;
    else if (suffix == QLatin1String("vdv"))
      kind = Capture_Kind::VDV;
    else if (suffix == QLatin1String("dv"))
      kind = Capture_Kind::Raw_DV;
    if (kind == Capture_Kind::None) {
      MsgBox(QStringLiteral("cls_AVI_handler can't open this file type! ") + path);
      return false;
    }
    // Offsets are 32-bit: a file of 2 GiB or more cannot be addressed.
    if (length > INT32_MAX) Raise(Err_Bad_Format, QStringLiteral("File too large"));
    m_File_size = static_cast<int32_t>(length);
    m_Read_only = Is_Read_Only(path);
    m_Kind = kind;

    bool ok = true;
    try {
      switch (kind) {
        case Capture_Kind::KV:
          Open_KV();
          break;
        case Capture_Kind::VDV:
          Open_VDV();
          break;
        case Capture_Kind::AVI:
          Open_AVI();
          break;
        case Capture_Kind::Raw_DV:
          Open_Raw_DV();
          break;
        case Capture_Kind::None:
          break;
      }
    } catch (const Branch_Failed&) {
      ok = false;
    }
    if (!ok) {
      Reset_File_State();
      return false;
    }
    m_Clip_length = Checked_Int32(static_cast<int64_t>(m_Frame_ms_) * m_num_frames);
    if (m_Display) m_Display->File_Opened(m_Decode_width, m_Decode_height);
    return true;
  } catch (...) {
    int32_t number = Err_Internal;
    QString description;
    int16_t line = 0;
    try {
      throw;
    } catch (const Failure& f) {
      number = f.number;
      description = f.description.isEmpty() ? Err_Description(f.number) : f.description;
      line = f.line;
    } catch (const std::bad_alloc&) {
      number = Err_Out_Of_Memory;
      description = Err_Description(number);
    } catch (const std::exception& e) {
      description = QString::fromLocal8Bit(e.what());
    }
    Trace_Text(QStringLiteral("*OF Open_File_Error"));
    if (number == Err_Permission_Denied) {
      MsgBox(QStringLiteral("Permission denied!"));
    } else {
      MsgBox(QStringLiteral("File: ") + path + QStringLiteral(" Open error! ") +
             QStringLiteral("\r\n") + QString::number(number) + QStringLiteral(" ") + description);
      Trace_Text(QString::number(line) + QStringLiteral("*File error ") + QString::number(number) +
                 QStringLiteral(" ") + description);
    }
    Reset_File_State();
    return false;
  }
}

void cls_AVI_handler::Open_KV() {
  Trace_Text(QStringLiteral("kv2"));
  Trace_Text(QStringLiteral("m_Read_only = ") +
             (m_Read_only ? QStringLiteral("True") : QStringLiteral("False")));
  m_File.Open(m_File_name, m_Read_only ? File_Handle::Mode::Read : File_Handle::Mode::Read_Write);
  m_Raw_DV_ = false;
  m_DV_container_ = true;
  m_Is_Deinterlaced = false;
  m_Frame_size_ = DV_PAL_frame;
  m_NTSC = false;
  m_Decode_width = 720;
  m_Decode_height = 576;

  Recover_Header();
  Get_KVS_header();
  if (m_Recovered) {
    m_KVS_header = m_Recovered->kvs;
    Load_XML_text(m_Recovered->text);
  }

  const int16_t streams = m_XML->Streams_no();
  if (streams <= 0) throw Branch_Failed{};
  m_Stream_count = streams;
  Read_Stream_Info();

  const int64_t frame_bytes = static_cast<int64_t>(m_File_size) - m_KVS_header.Header_len;
  m_num_Calculated_frames = Round_Half_Even_Div(frame_bytes, DV_PAL_frame);
  m_num_frames = std::max<int32_t>(0, m_XML->Frames_no());
  m_Num_fields = 2 * m_num_frames;

  // Only one frame is read at a time; a hostile stream count must not decide
  // the size of an allocation.
  const int32_t held = std::min<int32_t>(m_Stream_count, Max_streams);
  m_Frame_buffer.assign(static_cast<size_t>(held) * DV_PAL_frame, 0);
  m_Frame_ms_ = 40;
  m_Field_ms_ = 20;
  m_Frame_Rate = 25;
  m_Width = 720;
  m_Height = 576;
  Fill_DV_Source_Format(Fourcc_Of(Chosen_DV_codec()), 720, 576, DV_PAL_frame);
  m_video_codec = Chosen_DV_codec();
}

void cls_AVI_handler::Read_KVS_header_and_XML() {
  uint8_t raw[KVS_header_record::Size];
  m_File.Read_Exact(0, raw, sizeof raw);
  KVS_header_record rec = KVS_header_record::Unpack(raw);
  m_XML_start = KVS_header_record::Size;
  const int64_t size = m_File.Size();
  if (rec.Header_len < KVS_header_record::Size || rec.Header_len > size)
    Raise(Err_Bad_Format, QStringLiteral("Header length outside the file"));
  if (rec.XML_len < 0 || rec.XML_len > rec.Header_len - m_XML_start)
    Raise(Err_Bad_Format, QStringLiteral("XML length outside the header"));
  m_KVS_header = rec;
  QByteArray text(rec.XML_len, '\0');
  m_File.Read_Exact(m_XML_start, text.data(), static_cast<size_t>(text.size()));
  Load_XML_text(text);
}

void cls_AVI_handler::Get_KVS_header() {
  Trapped(Where_Class("Get_KVS_header", Cls), [&] { Read_KVS_header_and_XML(); });
}

void cls_AVI_handler::Write_KVS_header() {
  if (!m_File.Is_Open()) return;
  m_KVS_header.Set_ID();
  const auto bytes = m_KVS_header.Pack();
  m_File.Write_At(0, bytes.data(), bytes.size());
  m_XML_start = KVS_header_record::Size;
}

void cls_AVI_handler::Add_Header_padding() {
  m_File.Write_At(KV_hdrend_pos, KV_hdrend, 6);
  m_KVS_header.Header_len = KV_hdrend_pos + 6;
  Write_KVS_header();
}

void cls_AVI_handler::Open_VDV() {
  m_Raw_DV_ = false;
  m_DV_container_ = true;
  m_File.Open(m_File_name, m_Read_only ? File_Handle::Mode::Read : File_Handle::Mode::Read_Write);
  m_Is_Deinterlaced = false;
  std::vector<uint8_t> raw(DV_header_record::Size);
  m_File.Read_Exact(0, raw.data(), raw.size());
  m_DV_header = DV_header_record::Unpack(raw.data());
  if (m_DV_header.Header_len < 0 || m_DV_header.Header_len > m_File_size)
    Raise(Err_Bad_Format, QStringLiteral("Header length outside the file"));
  if (m_DV_header.Streams < 1 || m_DV_header.Streams > INT16_MAX)
    Raise(Err_Bad_Format, QStringLiteral("Invalid stream count"));
  if (m_DV_header.Frames < 0) Raise(Err_Bad_Format, QStringLiteral("Invalid frame count"));
  m_video_codec = QStringLiteral("CDVC");
  m_num_frames = m_DV_header.Frames;
  m_Num_fields = Checked_Int32(2 * static_cast<int64_t>(m_num_frames));
  m_Stream_count = static_cast<int16_t>(m_DV_header.Streams);
  // Only stream 1 is ever read from a VDV file.
  m_Frame_buffer.assign(DV_PAL_frame, 0);
  m_Frame_size_ = DV_PAL_frame;
  m_Frame_ms_ = 40;
  m_Field_ms_ = 20;
  m_Frame_Rate = 25;
  m_Width = 720;
  m_Height = 576;
  Fill_DV_Source_Format(Fourcc_Of("CDVC"), 720, 576, DV_PAL_frame);
  m_NTSC = false;
  m_Decode_width = 720;
  m_Decode_height = 576;
}

void cls_AVI_handler::Open_Raw_DV() {
  m_Raw_DV_ = true;
  m_File.Open(m_File_name, m_Read_only ? File_Handle::Mode::Read : File_Handle::Mode::Read_Write);
  std::vector<uint8_t> head(1001, 0);
  m_File.Read_At(0, head.data(), head.size());
  const bool sixty = DV_Line_System_Of(head.data()) == 60;
  if (sixty) {
    m_NTSC = true;
    m_Frame_size_ = DV_NTSC_frame;
    m_Width = 720;
    m_Height = 480;
    m_Frame_ms_ = 33;
    m_Field_ms_ = 16;
    m_Frame_Rate = 30;
  } else {
    m_NTSC = false;
    m_Frame_size_ = DV_PAL_frame;
    m_Width = 720;
    m_Height = 576;
    m_Frame_ms_ = 40;
    m_Field_ms_ = 20;
    m_Frame_Rate = 25;
  }
  m_Decode_width = 720;
  m_Decode_height = m_Height;
  m_Frame_buffer.assign(static_cast<size_t>(m_Frame_size_), 0);
  m_video_codec = Chosen_DV_codec();
  m_num_frames = Round_Half_Even_Div(m_File_size, m_Frame_size_);
  m_Num_fields = 2 * m_num_frames;
  m_Source_format_.biBitCount = 24;
  Fill_DV_Source_Format(Fourcc_Of(m_video_codec), m_Width, m_Height, m_Frame_size_);
}

void cls_AVI_handler::Open_AVI() {
  m_File.Open(m_File_name, m_Read_only ? File_Handle::Mode::Read : File_Handle::Mode::Read_Write);
  m_Avi = std::make_unique<Avi_State>();
  Handle_Source src(m_File);
  clsAVIInfo& info = m_Avi->info;
  info.ReadFile(src);
  m_Width = Checked_Int16(info.Width);
  m_Height = Checked_Int16(info.Height);
  m_num_frames = Checked_Int32(info.NumFrames);
  m_Frame_Rate = Checked_Int16(info.FrameRate);
  m_video_codec = info.VideoCodec;
  m_RIFF_size = static_cast<int32_t>(std::min<uint32_t>(info.RIFFsize, INT32_MAX));
  m_Frame_Length = 0;
  m_Stream_count = 0;
  if (m_Frame_Rate > 0) {
    m_Frame_ms_ = Round_Half_Even_Div(1000, m_Frame_Rate);
    m_Field_ms_ = Round_Half_Even_Div(m_Frame_ms_, 2);
  }
  const int16_t bits = info.BitDepth == 0 ? 24 : static_cast<int16_t>(info.BitDepth);
  const QString chosen = Chosen_DV_codec();
  if (const uint8_t* bmi = info.bmi_address()) {
    m_Source_format_.biSize = Get_LE32(bmi);
    m_Source_format_.biWidth = Get_LE32(bmi + 4);
    m_Source_format_.biHeight = Get_LE32(bmi + 8);
    m_Source_format_.biPlanes = Get_LE16(bmi + 12);
    m_Source_format_.biBitCount = Get_LE16(bmi + 14);
    m_Source_format_.biCompression = static_cast<uint32_t>(Get_LE32(bmi + 16));
    m_Source_format_.biSizeImage = static_cast<uint32_t>(Get_LE32(bmi + 20));
    m_Source_format_.biXPelsPerMeter = Get_LE32(bmi + 24);
    m_Source_format_.biYPelsPerMeter = Get_LE32(bmi + 28);
    m_Source_format_.biClrUsed = static_cast<uint32_t>(Get_LE32(bmi + 32));
    m_Source_format_.biClrImportant = static_cast<uint32_t>(Get_LE32(bmi + 36));
  } else {
    m_Source_format_ = Source_Format{};
    m_Source_format_.biWidth = m_Width;
    m_Source_format_.biHeight = m_Height;
    m_Source_format_.biBitCount = bits;
    m_Source_format_.biCompression = Fourcc_Of(chosen);
    m_Source_format_.biSizeImage = DV_PAL_frame;
  }
  // DV codes are compared without regard to case: other writers spell them
  // in capitals ("DVSD").
  const QString lower = m_video_codec.toLower();
  if (lower == QLatin1String("dv50") || lower == QLatin1String("dvsd") ||
      lower == QLatin1String("cdvc"))
    m_video_codec = QStringLiteral("CDVC");
  else if (lower == QLatin1String("vp61"))
    m_video_codec = QStringLiteral("VP61");
  else if (lower == QLatin1String("mp42"))
    m_video_codec = QStringLiteral("MP42");
  m_Is_Deinterlaced = !(Same_Fourcc(m_video_codec, chosen) || lower == QLatin1String("msdv") ||
                        m_video_codec == QLatin1String("CDVC"));
  m_NTSC = m_video_codec == QLatin1String("CDVC") && m_Width == 720 && m_Height == 480;
  m_Decode_width = 720;
  m_Decode_height = m_NTSC ? 480 : 576;
  m_Source_format_.biCompression =
      m_video_codec == QLatin1String("CRAM") ? Fourcc_Of("msvc") : Fourcc_Of(m_video_codec);

  Parse_Chunks();
  Recover_Header();
  if (m_Recovered) Load_XML_text(m_Recovered->text);
  if (!Get_AVI_indexes()) {
    Trace_Text(QStringLiteral("*OF5"));
    throw Branch_Failed{};
  }
  const uint32_t longest = m_Avi->index.max_chunk_length;
  m_Frame_buffer.assign(std::max<uint32_t>(longest, 1), 0);
  if (!m_Is_Deinterlaced) m_Num_fields = Checked_Int32(2 * static_cast<int64_t>(m_num_frames));
}

void cls_AVI_handler::Parse_Chunks() {
  if (!m_Avi) m_Avi = std::make_unique<Avi_State>();
  Handle_Source src(m_File);
  m_Avi->chunks = qm::Parse_Chunks(src);
  const AVI_Chunks& c = m_Avi->chunks;
  m_XML_chunk_pos_ = c.m_XML_chunk_pos;
  m_XML_chunk_size = static_cast<int32_t>(std::min<uint32_t>(c.m_XML_chunk_size, INT32_MAX));
  m_Index_pos_ = c.m_Index_pos;
  if (m_XML_chunk_pos_ > 0) Load_XML_text(c.xml_text);
}

bool cls_AVI_handler::Get_AVI_indexes() {
  if (!m_Avi) return false;
  Handle_Source src(m_File);
  Index_Request req;
  req.path = m_File_name;
  req.file_size = m_Avi->info.FileSize;
  req.index_pos = m_Index_pos_;
  req.parser_index_offset = m_Avi->info.IndexOffset;
  req.movie_offset = m_Avi->info.MovieOffset;
  req.iavs = m_Avi->info.iavs;
  const Index_Outcome outcome = qm::Get_AVI_indexes(src, req, m_Avi->index);
  m_Index_placement_ = m_Avi->index.placement;
  return outcome == Index_Outcome::Done;
}

void cls_AVI_handler::Read_Stream_Info() {
  Trapped(Where_Class("Read_Stream_Info", Cls), [&] {
    const int count = std::min<int>(m_Stream_count, Max_streams);
    for (int s = 1; s <= count; ++s) {
      Stream_Info& info = m_Stream_info[static_cast<size_t>(s - 1)];
      info.active = m_XML->Stream_Active(s);
      info.rotated = m_XML->Stream_rotated(s);
      info.camera_pos = m_XML->Stream_CameraPos(s);
      info.bottom = m_XML->Selection_Rectangle(s, QLatin1Char('b'));
      info.top = m_XML->Selection_Rectangle(s, QLatin1Char('t'));
      info.left = m_XML->Selection_Rectangle(s, QLatin1Char('l'));
      info.right = m_XML->Selection_Rectangle(s, QLatin1Char('r'));
      info.width = static_cast<int16_t>(info.right - info.left);
      info.height = static_cast<int16_t>(info.bottom - info.top);
    }
    if (m_Stream_count > Max_streams) Raise(Err_Subscript);
  });
}

void cls_AVI_handler::Read_Frame(int32_t frame, int16_t stream) {
  // Failures here are swallowed: the buffer keeps what it held.
  try {
    if (!m_File.Is_Open() || m_Frame_buffer.empty()) return;
    int32_t n = std::min(frame, m_num_frames);
    if (n < 1) return;
    int64_t offset = 0;
    int32_t length = 0;
    switch (m_Kind) {
      case Capture_Kind::Raw_DV:
        offset = static_cast<int64_t>(n - 1) * m_Frame_size_;
        length = m_Frame_size_;
        break;
      case Capture_Kind::KV:
        if (stream < 1 || stream > m_Stream_count) return;
        offset = m_KVS_header.Header_len +
                 static_cast<int64_t>(DV_PAL_frame) *
                     (static_cast<int64_t>(n - 1) * m_Stream_count + (stream - 1));
        length = DV_PAL_frame;
        break;
      case Capture_Kind::VDV:
        offset =
            m_DV_header.Header_len + static_cast<int64_t>(m_Stream_count) * DV_PAL_frame * (n - 1);
        length = DV_PAL_frame;
        m_Source_format_.biWidth = 720;
        m_Source_format_.biHeight = 576;
        m_Source_format_.biPlanes = 1;
        m_Source_format_.biSizeImage = DV_PAL_frame;
        if (m_Source_format_.biBitCount == 0) m_Source_format_.biBitCount = 24;
        break;
      case Capture_Kind::AVI: {
        if (!m_Avi || m_Index_placement_ == Index_Placement::None) return;
        n = std::min(n, m_Avi->index.Count());
        if (n < 1) return;
        const int32_t k = n - 1;
        const cls_IDX& e = m_Avi->index.m_Video_index[static_cast<size_t>(k)];
        if (e.dwChunkLength == 0) return;
        if (!m_Avi->index.Payload_Inside(k, m_File_size)) return;
        const int64_t p = m_Avi->index.Chunk_Pos(k);
        if (p < 0) return;
        offset = p + 8;
        length = Checked_Int32(e.dwChunkLength);
        break;
      }
      case Capture_Kind::None:
        return;
    }
    if (offset + length > m_File_size || static_cast<size_t>(length) > m_Frame_buffer.size())
      return;
    if (m_File.Read_At(offset, m_Frame_buffer.data(), static_cast<size_t>(length)) !=
        static_cast<size_t>(length))
      return;
    m_Frame_offset_in_buffer = 0;
    m_Frame_pos_ = static_cast<int32_t>(offset);
    m_Frame_in_store = n;
    if (m_Kind == Capture_Kind::AVI) {
      m_Frame_Length = length;
      m_Frame_size_ = length;
      m_Source_format_.biSizeImage = static_cast<uint32_t>(length);
    }
    if (m_Kind == Capture_Kind::KV) Take_Extra_Data();
  } catch (...) {
  }
}

bool cls_AVI_handler::Close_File() {
  if (!m_File.Is_Open()) return true;
  bool written = true;  // Write_XML_header reports its own failure
  const bool done = Trapped(Where_Class("Close_file", Cls), [&] {
    if (m_Kind == Capture_Kind::KV && m_DV_frames_appended > 0) {
      const int32_t total = static_cast<int32_t>(m_XML->Frames_no()) + m_DV_frames_appended;
      m_DV_frames_appended = 0;
      m_XML->Set_Frames_no(Checked_Int16(total));
      written = Write_XML_header();
    }
  });
  Reset_File_State();
  return done && written;
}

bool cls_AVI_handler::rotated() const {
  if (m_Kind == Capture_Kind::AVI) return false;
  return m_Stream_info[0].rotated;
}

void cls_AVI_handler::rotated(bool value) {
  m_XML->Set_Stream_rotated(1, value);
  m_Stream_info[0].rotated = value;
  Write_XML_header();
}

bool cls_AVI_handler::is_Quaymark() const {
  return m_XML->is_Quaymark();
}

}  // namespace qm
