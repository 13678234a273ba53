#include "shell/app_globals.h"

#include "build_info.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/xml_document.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <unistd.h>

namespace qm {

namespace {
const char* const Module = "Module_canoe";

XML_Check& Xml_Check_Hook() {
  static XML_Check check;
  return check;
}

QString Host_Name() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return {};
  return QString::fromLocal8Bit(host).left(255);
}
}  // namespace

App_Globals& app() {
  static App_Globals g;
  return g;
}

void Test_Compiled() {
  Trapped(Where_Module("Test_Compiled", Module), [] {
    app().Trap_Errors = true;
    Trace_Text(QStringLiteral("Test_Compiled end"));
  });
}

QString Get_AppUserData_Folder() {
  return Trapped_Own(
      QString(),
      [] {
        // Built from the generic data folder, so that the name does not hang on
        // the application name a program happened to set.
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (base.isEmpty()) return QStringLiteral("An invalid folder ID was specified");
        const QString folder = base + QStringLiteral("/Quaymark");
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
          return QStringLiteral("The folder does not exist");
        return folder;
      },
      [](const Failure_Report&) { MsgBox(QStringLiteral("Error in AppuserData module")); });
}

bool XML_Component_Available() {
  if (Xml_Check_Hook()) return Xml_Check_Hook()();
  return Trapped_Own(
      false,
      [] {
        Xml_Document d;
        return d.Parse(QStringLiteral("<?xml version=\"1.0\"?><check a=\"1\">x</check>")).Ok() &&
               d.Select_Single_Node(QStringLiteral("/check[@a='1']")).Text() == QStringLiteral("x");
      },
      [](const Failure_Report&) {});
}

XML_Check Set_XML_Component_Check(XML_Check check) {
  XML_Check old = std::move(Xml_Check_Hook());
  Xml_Check_Hook() = std::move(check);
  return old;
}

void Quaymark_Initialization() {
  Trapped(Where_Module("Quaymark_Initialization", Module), [] {
    Trace_Text(QStringLiteral("Quaymark_Initialization, begin"));
    Test_Compiled();
    App_Globals& g = app();
    if (g.Initialised) return;

    Line(10);
    g.Start_Tick = Tick_Count();
    g.User_Folder = Get_AppUserData_Folder();
    g.Product_Name = QStringLiteral("Quaymark, Free version");
    g.Version_String = QStringLiteral("%1.%2.%3")
                           .arg(QM_VERSION_MAJOR)
                           .arg(QM_VERSION_MINOR)
                           .arg(QM_VERSION_PATCH);
    g.Build_Stamp = QStringLiteral(QM_BUILD_STAMP);

    Line(20);
    g.Computer_Name = Host_Name();
    Trace_Text(QStringLiteral("g_Computer_Name = ") + g.Computer_Name);
    g.System_Folder = QStringLiteral("/usr/lib");
    Trace_Text(QStringLiteral("g_System_Directory = ") + g.System_Folder);

    Line(30);
    g.Ini_Path = g.User_Folder + QStringLiteral("/Quaymark.ini");
    g.Data_Folder = QDir::homePath() + QStringLiteral("/Quaymark_Data");

    Line(40);
    if (!XML_Component_Available())
      MsgBox(QStringLiteral(
          "An important system file (pugixml) is missing in this Windows installation!"));

    Line(50);
    if (!QFileInfo(g.Ini_Path).isFile()) MsgBox(QStringLiteral("Quaymark.ini not found"));

    Line(60);
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    g.Application_Title =
        gui ? QGuiApplication::applicationDisplayName() : QCoreApplication::applicationName();
    g.Marathon_Sheet_Path = g.Data_Folder + QStringLiteral("/marathon.xml");
    g.Version_Text =
        g.Version_String + QStringLiteral(".EXE") + QStringLiteral(" cd: ") + g.Build_Stamp;

    Line(70);
    // No behaviour hangs on it; a value that is not a number counts as 0.
    bool ok = false;
    const int tc = Read_Ini_String(QStringLiteral("Settings"), QStringLiteral("timingcorrection"),
                                   QStringLiteral("0"))
                       .trimmed()
                       .toInt(&ok);
    g.Timing_Correction = ok ? tc : 0;

    g.Initialised = true;
    Trace_Text(QStringLiteral("Quaymark_Initialization, begin"));
  });
}

void Reset_Globals_For_Test() {
  app() = App_Globals{};
}

}  // namespace qm
