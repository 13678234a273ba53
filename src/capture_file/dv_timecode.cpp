#include "capture_file/dv_timecode.h"

#include "platform/failure.h"

#include <cmath>

namespace qm {

namespace {

DV_Pack_Record g_packs;

int16_t Bcd(uint8_t byte, uint8_t tens_mask) {
  return static_cast<int16_t>(((byte & tens_mask) >> 4) * 10 + (byte & 0x0F));
}

void Vaux_Pack(const uint8_t* p) {
  const uint8_t pc2 = p[2], pc3 = p[3], pc4 = p[4];
  switch (p[0]) {
    case 0x60:
      g_packs.line_system = (pc3 & 0x20) ? 50 : 60;
      break;
    case 0x62: {
      g_packs.rec_day = Bcd(pc2, 0x30);
      g_packs.rec_month = Bcd(pc3, 0x10);
      const int16_t yy = Bcd(pc4, 0xF0);
      g_packs.rec_year = static_cast<int16_t>(yy > 39 ? 1900 + yy : 2000 + yy);
      break;
    }
    case 0x63:
      g_packs.rec_seconds = Bcd(pc2, 0x70);
      g_packs.rec_minutes = Bcd(pc3, 0x70);
      g_packs.rec_hours = Bcd(pc4, 0x30);
      break;
    case 0x7F: {
      const int s = pc3 + 256 * (pc4 & 0x7F);
      // A speed of 0 carries no shutter information.
      g_packs.shutter =
          s ? static_cast<int16_t>(std::nearbyint(15000.0f / static_cast<float>(s))) : 0;
      break;
    }
    default:
      break;
  }
}

QString Two(int v) {
  return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

}  // namespace

void DV_Header_Parse(const uint8_t* address, size_t length) {
  g_packs = DV_Pack_Record{};
  if (!address) return;
  Trapped(Where_Module("DV_Header_Parse", "Timecode_module"), [&] {
    if (length < DV_Pack_Area) Raise(Err_Input_Past_End);
    for (int v = 0; v < 3; ++v)
      for (int p = 0; p < 15; ++p) Vaux_Pack(address + 240 + 80 * v + 3 + 5 * p);
    for (int b = 1; b <= 2 && !g_packs.timecode_found; ++b)
      for (int j = 1; j <= 6; ++j) {
        const uint8_t* p = address + 80 * b + 8 * j - 2;
        if (p[0] != 0x13) continue;
        g_packs.tc_frames = Bcd(p[1], 0x30);
        g_packs.tc_seconds = Bcd(p[2], 0x70);
        g_packs.tc_minutes = Bcd(p[3], 0x70);
        g_packs.tc_hours = Bcd(p[4], 0x30);
        g_packs.timecode_found = true;
        break;
      }
  });
}

const DV_Pack_Record& DV_Packs() {
  return g_packs;
}

QString Camera_clock_text() {
  const DV_Pack_Record& r = g_packs;
  return QString::number(r.rec_year) + u'-' + Two(r.rec_month) + u'-' + Two(r.rec_day) + u' ' +
         Two(r.rec_hours) + u':' + Two(r.rec_minutes) + u':' + Two(r.rec_seconds);
}

QString Shutter_text() {
  return QStringLiteral("1/") + QString::number(g_packs.shutter);
}

int16_t Line_system() {
  return g_packs.line_system;
}

int32_t Timecode_frame_number() {
  const DV_Pack_Record& r = g_packs;
  if (r.tc_hours > 24 || r.tc_minutes >= 60 || r.tc_seconds >= 60) return 0;
  return (int32_t(r.tc_hours) * 3600 + int32_t(r.tc_minutes) * 60 + r.tc_seconds) * 25 +
         r.tc_frames;
}

}  // namespace qm
