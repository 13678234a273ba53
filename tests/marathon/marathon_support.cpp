#include "marathon_support.h"

#include "picture_display/playback.h"

#include <QDir>

namespace qmtest {

bool Fake_Main::Open_Video(const QString& path) {
  calls << QStringLiteral("open ") + QFileInfo(path).fileName();
  file.Close_File();
  return file.Open_File(path);
}

void Fake_Main::Show_Field(int32_t f) {
  calls << QStringLiteral("show %1").arg(f);
  field = f;
  const qm::Field_Selection s = qm::Select_Field(f);
  file.Read_Frame(s.eff_frameno);
  file.Set_Draw_State(s);
  frame_label = qm::Field_Number_Text(f);
  if (marathon && entry) entry->Update_Marathon_Time();
}

void Fake_Main::Redisplay_Field() {
  calls << QStringLiteral("redisplay");
  if (file.File_open()) Show_Field(field);
}

void Marathon_Test::SetUp() {
  Test::SetUp();
  data_folder = Tmp("Quaymark_Data");
  sheet_path = data_folder + "/marathon.xml";
  result_path = Tmp("QuaymarkMarathon_Temp.xml");
  sheet = std::make_unique<qm::Marathon_Sheet>(main);
  sheet->Data_Folder = data_folder;
  sheet->Sheet_Path = sheet_path;
  entry = std::make_unique<qm::Marathon_Result_Entry>(*sheet, main);
  entry->Result_File = result_path;
  main.entry = entry.get();
  sheet->class_selected = [this](const QString& id, const QString& name) {
    entry->Lbl_heatID = id;
    entry->Lbl_heatname = name;
  };
}

QString Marathon_Test::Heat(const QString& name, int32_t frames) {
  KV2_Options o;
  o.frames = frames;
  o.first_frame_time = First_Frame_Time;
  o.event_name = QStringLiteral("Lake Marathon");
  const KV2_Written w = Make_KV2(Tmp(name), o);
  EXPECT_TRUE(w.ok) << name.toStdString();
  return w.path;
}

void Marathon_Test::Make_Sheet(const QString& start) {
  QDir().mkpath(data_folder);
  sheet->Create_Marathon_file();
  for (int r = 0; r < 3; ++r) {
    sheet->Set_Text_heat(r, QString::number(101 + r));
    sheet->Set_Text_heat_name(r, QStringLiteral("Class %1").arg(r + 1));
    sheet->Text_heat_name_LostFocus(r);
  }
  sheet->Set_Text_start(0, start);
  sheet->Text_heat_Click(0, false);
  dialogs.Clear();
}

void Marathon_Test::Load_Entry() {
  entry->Form_Load();
}

}  // namespace qmtest
