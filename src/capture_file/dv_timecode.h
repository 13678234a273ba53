#pragma once
// DV_Timecode_module: the camera's data packs at the start of a DV frame
// (IEC 61834): time code, recording date and time, shutter, line system.
// One program-wide record; every decode overwrites it, and callers decode the
// frame they are about to show or print right before reading the values.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace qm {

// The bytes decoded: header block, two subcode blocks, three VAUX blocks.
inline constexpr size_t DV_Pack_Area = 480;

struct DV_Pack_Record {
  int16_t tc_frames = 0, tc_seconds = 0, tc_minutes = 0, tc_hours = 0;
  bool timecode_found = false;
  int16_t line_system = 0;  // 50, 60, 0 = no source pack
  int16_t rec_day = 0, rec_month = 0, rec_year = 0;
  int16_t rec_hours = 0, rec_minutes = 0, rec_seconds = 0;
  int16_t shutter = 0;  // denominator; 0 = no shutter pack (or speed 0)
};

// Decodes the first 480 bytes at `address` (of `length` readable bytes) into
// the record. Does nothing after clearing when address is null. Fewer than
// 480 bytes is a failure, reported with "DV_Header_Parse of Module
// Timecode_module"; the record keeps what was decoded.
void DV_Header_Parse(const uint8_t* address, size_t length);

const DV_Pack_Record& DV_Packs();

// "2012-05-04 14:57:03": year plain, the rest two digits.
QString Camera_clock_text();
// "1/250".
QString Shutter_text();
int16_t Line_system();
// ((hours × 3600 + minutes × 60 + seconds) × 25) + frames; 0 when the time
// code is out of range (hours > 24, minutes or seconds ≥ 60).
int32_t Timecode_frame_number();

}  // namespace qm
