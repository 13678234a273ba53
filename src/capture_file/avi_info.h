#pragma once
// clsAVIInfo: walks the RIFF structure of an AVI file once and reports its
// picture size, frame rate, frame count, codec and where the movie list and
// the index lie. The walk visits the chunks of "hdrl" and the top level in
// file order (sizes rounded up to even, the movie list stepped over whole),
// so its cost does not grow with the length of the file.

#include "capture_file/avi_container.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

// A 32-bit code and its four characters, first character in the low byte.
QString LongToFourCC(uint32_t code);
// Texts shorter than four characters are padded with spaces.
uint32_t FourCCToLong(const QString& text);

class clsAVIInfo {
 public:
  // Parses the file; true when a movie list was found. Failures are handled
  // here (messages and error report); the values are then those of a file
  // that is not a usable AVI file.
  bool ReadFile(const QString& path);
  // The same on a source already open (the capture-file object's handle).
  bool ReadFile(Byte_Source& src);

  bool AVI_valid = false;
  uint32_t RIFFsize = 0;
  int64_t FileSize = 0;
  uint32_t MovieOffset = 0;  // offset of the four characters "movi"; 0 = none
  uint32_t IndexOffset = 0;  // offset of the "idx1" chunk header
  uint32_t PadBytes = 0;     // sizes of the "JUNK" and "JUNQ" chunks
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t FrameRate = 0;
  uint32_t PlayLength = 0;  // seconds
  uint32_t NumFrames = 0;
  uint32_t NumStreams = 0;
  bool HasVideo = false;
  bool HasAudio = false;
  QString VideoCodec;
  uint16_t BitDepth = 0;
  bool iavs = false;
  uint16_t AudioCodec = 0;  // format tag
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;
  uint32_t BytePerSec = 0;

  // The video stream's 40-byte bitmap information header as read; nullptr
  // when none was found.
  const uint8_t* bmi_address() const { return has_bmi_ ? bmi_.data() : nullptr; }
  // Its colour table (bit counts below 9), four bytes an entry as stored.
  const std::vector<uint32_t>& Colour_table() const { return colours_; }
  // Main header's suggested buffer size (decides an "iavs" stream's format).
  uint32_t SuggestedBufferSize() const { return suggested_buffer_; }

  // The object's signals ("File not found or contains no data!", "Incorrect
  // AVI header", "File too large to parse"); the capture-file object does not
  // listen, so they show nothing. Each is also kept in Raised.
  std::function<void(const QString&)> on_signal;
  QStringList Raised;

  // Walks end here: positions are signed 32-bit.
  static constexpr int64_t Walk_limit = int64_t(1) << 31;

 private:
  void Reset();
  void Signal(const QString& text);
  bool Parse(Byte_Source& src);
  void Read_Stream_Format(Byte_Source& src, int64_t data, uint32_t size);

  std::array<uint8_t, 40> bmi_{};
  bool has_bmi_ = false;
  std::vector<uint32_t> colours_;
  uint32_t suggested_buffer_ = 0;
  // Main header values held until the walk has ended.
  uint32_t us_per_frame_ = 0;
  uint32_t total_frames_ = 0;
  uint32_t streams_ = 0;
  uint32_t main_width_ = 0;
  uint32_t main_height_ = 0;
  // The stream header last read: its type and handler code.
  uint32_t strh_type_ = 0;
  uint32_t strh_handler_ = 0;
  bool iavs_format_set_ = false;
};

}  // namespace qm
