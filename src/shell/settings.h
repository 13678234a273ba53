#pragma once
// The settings of the program: the INI file at Ini_Path ("Quaymark.ini" in
// the per-user folder) with the sections Canoe, Settings and windowpos. No
// value is cached: every use reads the file again.

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace qm {

// The value of `key` in `section`. A missing key and a key with an empty value
// give `default_value`, or "N/A" when that is empty. At most 511 characters.
// With no settings path even after initialisation: shows
// "Ini_file_path is empty!" and gives "".
QString Read_Ini_String(const QString& section, const QString& key, const QString& default_value);

// Writes the value, creating the file, the section or the key as needed. On
// failure shows the " KVS Error" message and returns false; the caller goes
// on with its value in memory.
bool Write_Ini_String(const QString& section, const QString& key, const QString& value);

// Window positions in twips, section windowpos, key = the form's name.
struct Form_Pos {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Form_Pos&) const = default;
};

// Stores "left,top,width,height"; nothing when left or top is below -150 (a
// minimised window).
void Store_Form_Pos(const QString& form_name, int32_t left, int32_t top, int32_t width,
                    int32_t height);

// The stored position; left/top below -150 or beyond the screen read as 0.
// A malformed value shows "Get_Form_Pos error " and the statement number and
// gives nullopt: the window keeps its designed position.
std::optional<Form_Pos> Get_Form_Pos(const QString& form_name);

inline constexpr int Twips_Per_Pixel = 15;

// Size of the screen in twips; an empty size when there is no screen (no
// limit applies then). Tests set their own.
using Screen_Size_Hook = std::function<QSize()>;
Screen_Size_Hook Set_Screen_Size_Hook(Screen_Size_Hook hook);
QSize Screen_Size_Twips();

}  // namespace qm
