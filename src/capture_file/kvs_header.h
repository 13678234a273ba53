#pragma once
// The two fixed binary records that open the program's own capture files:
// the 20-byte KVS header of a KV file and the DV header record of a VDV file.
// All integers little-endian.

#include <QString>

#include <array>
#include <cstdint>

namespace qm {

struct KVS_header_record {
  static constexpr int32_t Size = 20;
  std::array<uint8_t, 4> ID{};
  int32_t Header_len = 0;  // offset of the first frame
  std::array<uint8_t, 4> Spare1{};
  int32_t XML_len = 0;  // bytes of XML text from offset 20
  std::array<uint8_t, 4> Spare2{};

  std::array<uint8_t, Size> Pack() const;
  static KVS_header_record Unpack(const uint8_t* bytes);
  bool Has_ID() const;  // "KVS1"
  void Set_ID();
};

// The head of a KV file as this program writes it.
inline constexpr int32_t KV_XML_start = 20;
inline constexpr int32_t KV_XML_max = 32767;
inline constexpr int32_t KV_XML_zero_tail = 100;
inline constexpr int32_t KV_hdrend_pos = 99999;
inline constexpr int32_t KV_Header_len = 100005;
inline constexpr char KV_hdrend[] = "hdrend";

struct DV_header_record {
  static constexpr int32_t Size = 23356;
  std::array<uint8_t, 4> ID{};
  int32_t Header_len = 0;
  int32_t Streams = 0;
  int32_t Frames = 0;

  // Reads the fields from the first 36 bytes of the record.
  static DV_header_record Unpack(const uint8_t* bytes);
  // A whole record (Size bytes) with these fields and zeros elsewhere.
  std::array<uint8_t, Size> Pack() const;
};

// The DV header record in its earlier layout, 13992 bytes at offset 0 of an
// old VDV file: the race values that converting such a file keeps. Texts are
// one byte a character, cut at the first zero byte.
struct Old_DV_header_record {
  static constexpr int32_t Size = 13992;
  static constexpr int Lane_markers = 10;
  int32_t Header_len = 0;                           // offset 4
  QString Creation_date;                            // offset 8, 20 bytes
  std::array<int32_t, 4> Goal_line{};               // offset 40: x1, y1, x2, y2
  QString Event_name;                               // offset 56, 100 bytes
  bool Lanes_flipped = false;                       // offset 166, 16-bit flag
  std::array<int32_t, 2 * Lane_markers> Lane_xy{};  // offset 168 + 24 (k - 1): x, y of marker k
  int16_t Num_lanes = 0;                            // offset 4008
  int32_t Heat_start_local = 0;                     // offset 4380, ms since local midnight

  int32_t Lane_X(int k) const { return Lane_xy[static_cast<size_t>(2 * (k - 1))]; }
  int32_t Lane_Y(int k) const { return Lane_xy[static_cast<size_t>(2 * (k - 1) + 1)]; }
  static Old_DV_header_record Unpack(const uint8_t* bytes);  // Size bytes
};

int32_t Get_LE32(const uint8_t* p);
int16_t Get_LE16(const uint8_t* p);
void Put_LE32(uint8_t* p, int32_t v);
void Put_LE16(uint8_t* p, int16_t v);

}  // namespace qm
