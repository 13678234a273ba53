#pragma once
// Result files land whole or not at all: the bytes go to a hidden temporary
// file beside the target, which is then renamed into place. The results
// office watches for "QM_Result_*" names and never sees a half-written file;
// a failed write leaves the previous file as it was.

#include <QByteArray>
#include <QString>

namespace qm {

// Name of the temporary file for `target`: "." + file name + ".part" in the
// same folder.
QString Result_Temp_Path(const QString& target);

// Writes `bytes` to `target` through the temporary file (flushed to disk
// before the rename). Raises in the current trapped procedure: 76 when the
// folder is missing, 70 for a read-only target or folder, 75 otherwise; the
// temporary file is removed on failure.
void Write_Result_File(const QString& target, const QByteArray& bytes);

// A file name built from file content must stay inside its folder: raises 52
// for an empty name, an absolute one or one with a ".." component.
void Require_Name_Inside_Folder(const QString& name);

}  // namespace qm
