#pragma once
// Helpers shared by the files of cls_AVI_handler; not part of its interface.

#include <QString>

#include <cstdint>

namespace qm {

// An open branch that fails without a message (a KV file with 0 streams).
struct Branch_Failed {};

// a / b rounded to the nearest integer, halves to even (b > 0).
int32_t Round_Half_Even_Div(int64_t a, int64_t b);

uint32_t Fourcc_Of(const char* code);
uint32_t Fourcc_Of(const QString& code);

// The DV codec code chosen at start-up.
QString Chosen_DV_codec();

// Line system (50, 60 or 0) and time-code frame number of a DV frame's
// first 480 bytes.
int16_t DV_Line_System_Of(const uint8_t* frame);
int32_t DV_Frame_Counter_Of(const uint8_t* frame);

}  // namespace qm

#include "capture_file/kvs_header.h"
#include "platform/files.h"

#include <QByteArray>

#include <optional>

namespace qm {

// The second copy of a header write ("QMJ1" journal record): written and
// synced before the header itself, cleared after it. Layout, little-endian:
//   0 "QMJ1"  4 target offset of the text  8 text length  12 CRC-32 of bytes
//   4..11 and 16..end  16 the KVS header record to write (zeros for AVI)
//   36 the text.
struct Journal_Record {
  int32_t target = 0;
  KVS_header_record kvs;
  QByteArray text;
};

inline constexpr int32_t Journal_head = 36;
// In a KV file the record lies in the filler behind the largest header text.
inline constexpr int32_t KV_Journal_pos = 32896;

QByteArray Pack_Journal(const Journal_Record& r);
// The record at `offset` when it is whole and its checksum holds.
std::optional<Journal_Record> Read_Journal(const File_Handle& f, int64_t offset);
// Beside files whose head has no room for the record (AVI files).
QString Sidecar_Journal_Path(const QString& capture_path);
uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0);

}  // namespace qm
