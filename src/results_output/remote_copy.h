#pragma once
// "Test Copy" (main window, menu "Debug"): copies the last captured heat file
// into the copy destination folder as a restartable copy with progress.

#include "platform/copy_progress.h"

#include <QString>

#include <cstdint>

namespace qm {

// The program-wide destination folder, kept beside the last folder. Nothing
// in the program sets it, so the command stops at its first check.
QString& Copy_Destination_Folder();

// The progress routine: the percentage transferred (Last_Copy_Percent),
// window events run, the copy goes on.
Copy_Progress_Reply UpdateFileCopyStatus(int64_t transferred, int64_t total);
int Last_Copy_Percent();

// Copies `last_captured_file` into the destination folder; "Copy Failed" when
// the copy fails. `pause_ms` is the pause that follows (2000 in the program).
// True when the file was copied.
bool File_Copy(const QString& last_captured_file, uint32_t pause_ms = 2000);

}  // namespace qm
