#include "capture_file/kvs_header.h"

#include <cstddef>
#include <cstring>

namespace qm {

int32_t Get_LE32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

int16_t Get_LE16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void Put_LE32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

void Put_LE16(uint8_t* p, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
}

std::array<uint8_t, KVS_header_record::Size> KVS_header_record::Pack() const {
  std::array<uint8_t, Size> out{};
  std::memcpy(out.data(), ID.data(), 4);
  Put_LE32(out.data() + 4, Header_len);
  std::memcpy(out.data() + 8, Spare1.data(), 4);
  Put_LE32(out.data() + 12, XML_len);
  std::memcpy(out.data() + 16, Spare2.data(), 4);
  return out;
}

KVS_header_record KVS_header_record::Unpack(const uint8_t* bytes) {
  KVS_header_record r;
  std::memcpy(r.ID.data(), bytes, 4);
  r.Header_len = Get_LE32(bytes + 4);
  std::memcpy(r.Spare1.data(), bytes + 8, 4);
  r.XML_len = Get_LE32(bytes + 12);
  std::memcpy(r.Spare2.data(), bytes + 16, 4);
  return r;
}

bool KVS_header_record::Has_ID() const {
  return std::memcmp(ID.data(), "KVS1", 4) == 0;
}

void KVS_header_record::Set_ID() {
  ID.fill(0);
  std::memcpy(ID.data(), "KVS1", 4);
}

namespace {
QString Latin1_Text(const uint8_t* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len] != 0) ++len;
  return QString::fromLatin1(reinterpret_cast<const char*>(p), static_cast<qsizetype>(len));
}
}  // namespace

Old_DV_header_record Old_DV_header_record::Unpack(const uint8_t* bytes) {
  Old_DV_header_record r;
  r.Header_len = Get_LE32(bytes + 4);
  r.Creation_date = Latin1_Text(bytes + 8, 20);
  for (size_t i = 0; i < r.Goal_line.size(); ++i)
    r.Goal_line[i] = Get_LE32(bytes + 40 + 4 * static_cast<ptrdiff_t>(i));
  r.Event_name = Latin1_Text(bytes + 56, 100);
  r.Lanes_flipped = Get_LE16(bytes + 166) != 0;
  for (int k = 1; k <= Lane_markers; ++k) {
    const uint8_t* m = bytes + 168 + 24 * (k - 1);
    r.Lane_xy[static_cast<size_t>(2 * (k - 1))] = Get_LE32(m);
    r.Lane_xy[static_cast<size_t>(2 * (k - 1) + 1)] = Get_LE32(m + 4);
  }
  r.Num_lanes = Get_LE16(bytes + 4008);
  r.Heat_start_local = Get_LE32(bytes + 4380);
  return r;
}

DV_header_record DV_header_record::Unpack(const uint8_t* bytes) {
  DV_header_record r;
  std::memcpy(r.ID.data(), bytes, 4);
  r.Header_len = Get_LE32(bytes + 4);
  r.Streams = Get_LE32(bytes + 28);
  r.Frames = Get_LE32(bytes + 32);
  return r;
}

std::array<uint8_t, DV_header_record::Size> DV_header_record::Pack() const {
  std::array<uint8_t, Size> out{};
  std::memcpy(out.data(), ID.data(), 4);
  Put_LE32(out.data() + 4, Header_len);
  Put_LE32(out.data() + 28, Streams);
  Put_LE32(out.data() + 32, Frames);
  return out;
}

}  // namespace qm
