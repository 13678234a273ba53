#pragma once
// The two fixed binary records that open the program's own capture files:
// the 20-byte KVS header of a KV file and the DV header record of a VDV file.
// All integers little-endian.

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

int32_t Get_LE32(const uint8_t* p);
int16_t Get_LE16(const uint8_t* p);
void Put_LE32(uint8_t* p, int32_t v);
void Put_LE16(uint8_t* p, int16_t v);

}  // namespace qm
