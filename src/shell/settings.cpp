#include "shell/settings.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/ini_profile.h"
#include "shell/app_globals.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <cerrno>
#include <cstring>

namespace qm {

namespace {
const char* const Module = "Module_canoe";

// The settings path, initialising the globals first when that has not
// happened yet (the first INI read may come before start-up finished).
QString Settings_Path() {
  if (app().Ini_Path.isEmpty()) Quaymark_Initialization();
  return app().Ini_Path;
}

Screen_Size_Hook& Screen_Hook() {
  static Screen_Size_Hook hook;
  return hook;
}
}  // namespace

QString Read_Ini_String(const QString& section, const QString& key, const QString& default_value) {
  return Trapped(Where_Module("Read_Ini_String", Module), QString(), [&] {
    const QString path = Settings_Path();
    if (path.isEmpty()) {
      MsgBox(QStringLiteral("Ini_file_path is empty!"));
      return QString();
    }
    const std::optional<QString> v = Ini_Read(path, section, key);
    if (v && !v->isEmpty()) return *v;
    return default_value.isEmpty() ? QStringLiteral("N/A") : default_value;
  });
}

bool Write_Ini_String(const QString& section, const QString& key, const QString& value) {
  return Trapped(Where_Module("Write_Ini_String", Module), false, [&] {
    const QString path = Settings_Path();
    const Ini_Write_Result r =
        path.isEmpty()
            ? Ini_Write_Result{false, ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT))}
            : Ini_Write(path, section, key, value);
    if (r.ok) return true;
    MsgBox(QStringLiteral("Writing to INI file failed! Path = ") + path + QStringLiteral("\r\n") +
               QStringLiteral(" Error = ") + QString::number(r.error_number) + QStringLiteral(" ") +
               r.description,
           Buttons::OK, QStringLiteral(" KVS Error"), Icon::Critical);
    return false;
  });
}

void Store_Form_Pos(const QString& form_name, int32_t left, int32_t top, int32_t width,
                    int32_t height) {
  Trapped_Own(
      false,
      [&] {
        Line(10);
        if (left < -150 || top < -150) return false;
        Line(20);
        const QString v = QStringList{QString::number(left), QString::number(top),
                                      QString::number(width), QString::number(height)}
                              .join(QLatin1Char(','));
        Line(30);
        return Write_Ini_String(QStringLiteral("windowpos"), form_name, v);
      },
      [](const Failure_Report& r) {
        MsgBox(QStringLiteral("Store_Form_Pos error") + QString::number(r.errline));
      });
}

std::optional<Form_Pos> Get_Form_Pos(const QString& form_name) {
  return Trapped_Own(
      std::optional<Form_Pos>(),
      [&]() -> std::optional<Form_Pos> {
        Line(10);
        const QString v =
            Read_Ini_String(QStringLiteral("windowpos"), form_name, QStringLiteral("0,0"));
        Line(20);
        const QStringList parts = v.split(QLatin1Char(','));
        if (parts.size() < 2) Raise(Err_Subscript);
        Form_Pos p;
        Line(30);
        p.left = To_Int32(parts[0]);
        Line(40);
        p.top = To_Int32(parts[1]);
        Line(50);
        if (parts.size() > 2) p.width = To_Int32(parts[2]);
        Line(60);
        if (parts.size() > 3) p.height = To_Int32(parts[3]);
        Line(70);
        if (p.left < -150) p.left = 0;
        if (p.top < -150) p.top = 0;
        const QSize screen = Screen_Size_Twips();
        if (!screen.isEmpty()) {
          if (p.left > screen.width()) p.left = 0;
          if (p.top > screen.height()) p.top = 0;
        }
        return p;
      },
      [](const Failure_Report& r) {
        MsgBox(QStringLiteral("Get_Form_Pos error ") + QString::number(r.errline));
      });
}

Screen_Size_Hook Set_Screen_Size_Hook(Screen_Size_Hook hook) {
  Screen_Size_Hook old = std::move(Screen_Hook());
  Screen_Hook() = std::move(hook);
  return old;
}

QSize Screen_Size_Twips() {
  if (Screen_Hook()) return Screen_Hook()();
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  const QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return {};
  return s->size() * Twips_Per_Pixel;
}

}  // namespace qm
