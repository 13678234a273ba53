#pragma once
// "Convert file": an old VDV file, whose DV header record still has its
// earlier 13992-byte layout, becomes a KV2 file beside it: a fresh head, the
// VDV's frames copied behind it, the race values of the old record carried
// into the new XML header.

#include <QString>

#include <cstdint>
#include <functional>

namespace qm {

// The KV2 file a VDV file converts to: the same folder and name, the file
// name's suffix replaced by "kv2" ("kv2" added when the name has none).
QString Converted_Path(const QString& vdv_path);

struct Convert_Result {
  bool ok = false;     // the KV2 file was finished with its frame count
  int32_t frames = 0;  // complete frames copied
  QString kv2_path;
};

// Told true when the frame copy starts and false when it is over (the
// window's hourglass pointer).
using Busy_Pointer = std::function<void(bool busy)>;

// Converts the file and shows "N frames converted!". An existing KV2 file
// of the new name is deleted first (silently; a failure to delete is
// ignored). Failures are reported with "item_convert_file_Click of Form
// frm_kanot_2"; a file the new head cannot be created for shows the capture
// folder message of Create_File.
Convert_Result Convert_VDV_File(const QString& vdv_path, const Busy_Pointer& busy = {});

// The Specials command: the open dialog ("Quaymark Files (*.vdv)"), then the
// conversion. Nothing happens when no file is chosen.
Convert_Result Convert_file(const Busy_Pointer& busy = {});

}  // namespace qm
