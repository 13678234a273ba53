#include "race_timing/file_player.h"

#include "capture_file/avi_handler.h"
#include "platform/dialogs.h"
#include "platform/failure.h"

namespace qm {

void File_Player::Show_Field(int32_t field) {
  Trapped(Where_Form("Draw_field_3", "frm_kanot_2"), [&] {
    if (!m_file.File_open()) return;
    const int32_t last = m_file.Num_fields() > 0 ? m_file.Num_fields() : 1;
    m_field = field < 1 ? 1 : (field > last ? last : field);
    const Field_Selection s = Select_Field(m_field);
    m_file.Read_Frame(s.eff_frameno, 1);
    m_file.Set_Draw_State(s);
  });
}

bool Open_For_Timing(const QString& path, cls_AVI_handler& file, Race_Session& session,
                     File_Player& player) {
  if (!file.Open_File(path) || !file.File_open()) return false;
  if (!file.is_Quaymark()) {
    file.Close_File();
    MsgBox(QStringLiteral("Not a valid quaymark file!"));
    return false;
  }
  session.Set_File(&file);
  session.Set_Player(&player);
  session.File_Opened();
  return true;
}

}  // namespace qm
