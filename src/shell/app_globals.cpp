#include "shell/app_globals.h"

#include "build_info.h"
#include "platform/clock.h"
#include "shell/trace.h"

#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

namespace qm {

App_Globals& app() {
  static App_Globals g;
  return g;
}

void Quaymark_Initialization() {
  Trace_Text(QStringLiteral("Quaymark_Initialization, begin"));
  App_Globals& g = app();
  g.Trap_Errors = true;
  Trace_Text(QStringLiteral("Test_Compiled end"));
  if (g.Initialised) return;
  g.Start_Tick = Tick_Count();
  {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    g.User_Folder = folder;
  }
  g.Product_Name = QStringLiteral("Quaymark, Free version");
  g.Version_String = QStringLiteral("%1.%2.%3")
                         .arg(QM_VERSION_MAJOR)
                         .arg(QM_VERSION_MINOR)
                         .arg(QM_VERSION_PATCH);
  g.Build_Stamp = QStringLiteral(QM_BUILD_STAMP);
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0) g.Computer_Name = QString::fromLocal8Bit(host);
  Trace_Text(QStringLiteral("g_Computer_Name = ") + g.Computer_Name);
  g.System_Folder = QStringLiteral("/usr/lib");
  Trace_Text(QStringLiteral("g_System_Directory = ") + g.System_Folder);
  g.Ini_Path = g.User_Folder + QStringLiteral("/Quaymark.ini");
  g.Data_Folder = QDir::homePath() + QStringLiteral("/Quaymark_Data");
  g.Marathon_Sheet_Path = g.Data_Folder + QStringLiteral("/marathon.xml");
  g.Version_Text = g.Version_String + QStringLiteral(".EXE") + QStringLiteral(" cd: ") + g.Build_Stamp;
  g.Initialised = true;
  Trace_Text(QStringLiteral("Quaymark_Initialization, begin"));
}

void Reset_Globals_For_Test() { app() = App_Globals{}; }

}  // namespace qm
