#include "capture_file/avi_info.h"

#include "platform/dialogs.h"
#include "platform/failure.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

uint32_t LE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t LE16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

int64_t Even(uint32_t size) {
  return int64_t(size) + (size & 1);
}

// A handler code of zeros or spaces names no codec.
bool Empty_Code(uint32_t code) {
  for (int i = 0; i < 4; ++i) {
    const uint8_t c = static_cast<uint8_t>(code >> (8 * i));
    if (c != 0 && c != ' ') return false;
  }
  return true;
}

constexpr int Main_header_bytes = 56;
constexpr int Stream_header_bytes = 56;
constexpr int Bitmap_header_bytes = 40;
constexpr int Wave_format_bytes = 16;
constexpr uint32_t Max_colours = 256;

}  // namespace

QString LongToFourCC(uint32_t code) {
  QString s;
  for (int i = 0; i < 4; ++i) s += QChar(static_cast<char16_t>((code >> (8 * i)) & 0xFF));
  return s;
}

uint32_t FourCCToLong(const QString& text) {
  uint32_t code = 0;
  for (int i = 0; i < 4; ++i) {
    const char16_t c = i < text.size() ? text.at(i).unicode() : u' ';
    code |= uint32_t(c > 0xFF ? u'?' : c) << (8 * i);
  }
  return code;
}

void clsAVIInfo::Signal(const QString& text) {
  Raised << text;
  if (on_signal) on_signal(text);
}

void clsAVIInfo::Reset() {
  AVI_valid = false;
  RIFFsize = 0;
  FileSize = 0;
  MovieOffset = 0;
  IndexOffset = 0;
  PadBytes = 0;
  Width = Height = FrameRate = PlayLength = NumFrames = NumStreams = 0;
  HasVideo = HasAudio = false;
  VideoCodec.clear();
  BitDepth = 0;
  iavs = false;
  AudioCodec = 0;
  Channels = 0;
  SamplesPerSec = BytePerSec = 0;
  bmi_.fill(0);
  has_bmi_ = false;
  colours_.clear();
  suggested_buffer_ = 0;
  us_per_frame_ = total_frames_ = streams_ = main_width_ = main_height_ = 0;
  strh_type_ = strh_handler_ = 0;
  iavs_format_set_ = false;
}

bool clsAVIInfo::ReadFile(const QString& path) {
  return Trapped(Where_Class("ReadFile", "clsAVIInfo"), false, [&] {
    Reset();
    Raised.clear();
    const QFileInfo fi(path);
    if (!fi.isFile() || fi.size() == 0) {
      Signal(QStringLiteral("File not found or contains no data!"));
      return false;
    }
    Read_Only_File_Source src;
    if (src.Open(path) != 0) {
      MsgBox(QStringLiteral("Access error!"));
      return false;
    }
    return Parse(src);
  });
}

bool clsAVIInfo::ReadFile(Byte_Source& src) {
  return Trapped(Where_Class("ReadFile", "clsAVIInfo"), false, [&] {
    Reset();
    Raised.clear();
    return Parse(src);
  });
}

bool clsAVIInfo::Parse(Byte_Source& src) {
  const int64_t length = src.Length();
  if (length <= 0) {
    Signal(QStringLiteral("File not found or contains no data!"));
    return false;
  }
  // RIFF header, first list header, first chunk header, main AVI header.
  uint8_t head[12 + 12 + 8 + Main_header_bytes] = {};
  const bool got = src.Read_At(0, head, sizeof head);
  if (!got || LE32(head) != FCC("RIFF") || LE32(head + 8) != FCC("AVI ") ||
      LE32(head + 12) != FCC("LIST") || LE32(head + 20) != FCC("hdrl") ||
      LE32(head + 24) != FCC("avih")) {
    Signal(QStringLiteral("Incorrect AVI header"));
    Reset();
    return false;
  }
  FileSize = length;
  AVI_valid = true;
  RIFFsize = LE32(head + 4);
  const uint8_t* avih = head + 32;
  us_per_frame_ = LE32(avih);
  total_frames_ = LE32(avih + 16);
  streams_ = LE32(avih + 24);
  suggested_buffer_ = LE32(avih + 28);
  main_width_ = LE32(avih + 32);
  main_height_ = LE32(avih + 36);

  int64_t o = 32 + Even(LE32(head + 28));
  while (o + 8 <= length) {
    uint8_t ch[12];
    if (!src.Read_At(o, ch, 8)) break;
    const uint32_t id = LE32(ch);
    const uint32_t size = LE32(ch + 4);
    if (!Is_Chunk_Id(id)) break;  // no chunk header: damaged or past the data
    const int64_t data = o + 8;
    int64_t next = data + Even(size);
    if (id == FCC("LIST")) {
      const uint32_t type = src.Read_At(data, ch + 8, 4) ? LE32(ch + 8) : 0;
      if (type == FCC("movi")) {
        MovieOffset = static_cast<uint32_t>(data);
      } else if (type != FCC("INFO")) {
        next = o + 12;  // enter the list
      }
    } else if (id == FCC("strh")) {
      uint8_t sh[Stream_header_bytes] = {};
      const int32_t n = static_cast<int32_t>(std::min<uint32_t>(size, Stream_header_bytes));
      if (src.Read_At(data, sh, n)) {
        strh_type_ = LE32(sh);
        strh_handler_ = LE32(sh + 4);
      }
    } else if (id == FCC("strf")) {
      Read_Stream_Format(src, data, size);
    } else if (id == FCC("idx1")) {
      IndexOffset = static_cast<uint32_t>(o);
    } else if (id == FCC("JUNK") || id == FCC("JUNQ")) {
      PadBytes += size;
    }
    if (next > Walk_limit) {
      Signal(QStringLiteral("File too large to parse"));
      break;
    }
    o = next;
  }

  if (MovieOffset == 0) {
    Reset();
    return false;
  }
  if (!iavs_format_set_) {
    Width = main_width_;
    Height = main_height_;
    FrameRate = us_per_frame_ ? 1000000u / us_per_frame_ : 0;
    NumFrames = total_frames_;
  }
  PlayLength = static_cast<uint32_t>(
      std::nearbyint(double(us_per_frame_) / 1000000.0 * double(total_frames_)));
  NumStreams = streams_;
  if (has_bmi_) BitDepth = LE16(bmi_.data() + 14);
  return true;
}

void clsAVIInfo::Read_Stream_Format(Byte_Source& src, int64_t data, uint32_t size) {
  if (strh_type_ == FCC("vids")) {
    HasVideo = true;
    VideoCodec = LongToFourCC(strh_handler_);
    bmi_.fill(0);
    const int32_t n = static_cast<int32_t>(std::min<uint32_t>(size, Bitmap_header_bytes));
    if (!src.Read_At(data, bmi_.data(), n)) return;
    has_bmi_ = true;
    const uint16_t bits = LE16(bmi_.data() + 14);
    colours_.clear();
    if (bits < 9) {
      uint32_t count = LE32(bmi_.data() + 32);
      if (count < 2) count = 1u << bits;
      // Only what the chunk holds, and never more than a palette can have.
      const uint32_t room = size > Bitmap_header_bytes ? (size - Bitmap_header_bytes) / 4 : 0;
      count = std::min({count, room, Max_colours});
      std::vector<uint8_t> table(count * 4);
      if (count && src.Read_At(data + Bitmap_header_bytes, table.data(), int32_t(count * 4))) {
        colours_.resize(count);
        for (uint32_t k = 0; k < count; ++k) colours_[k] = LE32(table.data() + 4 * k);
      }
    }
    if (Empty_Code(strh_handler_)) VideoCodec = LongToFourCC(LE32(bmi_.data() + 16));
  } else if (strh_type_ == FCC("auds")) {
    HasAudio = true;
    uint8_t wf[Wave_format_bytes] = {};
    const int32_t n = static_cast<int32_t>(std::min<uint32_t>(size, Wave_format_bytes));
    if (src.Read_At(data, wf, n)) {
      AudioCodec = LE16(wf);
      Channels = LE16(wf + 2);
      SamplesPerSec = LE32(wf + 4);
      BytePerSec = LE32(wf + 8);
    }
  } else if (strh_type_ == FCC("iavs")) {
    iavs = true;
    HasVideo = true;
    VideoCodec = QStringLiteral("dvsd");
    NumFrames = total_frames_;
    if (suggested_buffer_ == 120000 || suggested_buffer_ == 120008) {
      Width = 720;
      Height = 480;
      FrameRate = 29;
      iavs_format_set_ = true;
    } else if (suggested_buffer_ == 144000 || suggested_buffer_ == 144008) {
      Width = 720;
      Height = 576;
      FrameRate = 25;
      iavs_format_set_ = true;
    }
  }
}

}  // namespace qm
