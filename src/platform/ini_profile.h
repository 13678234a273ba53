#pragma once
// INI profile access with the semantics of the Windows profile routines:
// "[section]" and "key=value" lines, section and key names compared without
// regard to case, values taken as they stand (no quoting, no escapes, commas
// kept) up to 511 characters, lines starting with ";" are comments.
//
// A write keeps every other line of the file byte for byte and replaces the
// file atomically (temporary file in the same folder, fsync, rename), so a
// crash leaves either the old or the new file, never half of one.
//
// The file is read as UTF-8: on Linux the values are mostly paths, which are
// UTF-8. Nothing is cached: every call reads the file again.

#include <QString>

#include <optional>

namespace qm {

inline constexpr int Ini_Value_Max = 511;

// The value of `key` in `section`, or nullopt when the file, the section or
// the key is missing (or the file cannot be read). Surrounding blanks of the
// value are dropped; an existing key may give an empty value.
std::optional<QString> Ini_Read(const QString& path, const QString& section, const QString& key);

struct Ini_Write_Result {
  bool ok = false;
  int error_number = 0;  // errno of the failing step
  QString description;   // its text
};

// Sets `key` in `section` to `value`, creating the file, the section or the
// key as needed. Fails without touching the file when an existing file cannot
// be read (writing then would lose every other line).
Ini_Write_Result Ini_Write(const QString& path, const QString& section, const QString& key,
                           const QString& value);

}  // namespace qm
