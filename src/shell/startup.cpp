#include "shell/startup.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/app_globals.h"
#include "shell/trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qm {

namespace {
const char* const Module = "Module_canoe";

std::vector<Loaded_Window*>& Registry() {
  static std::vector<Loaded_Window*> r;
  return r;
}

End_Program_Hook& End_Hook() {
  static End_Program_Hook h;
  return h;
}

Command_Runner& Runner() {
  static Command_Runner r;
  return r;
}

int Run_Tool(const QString& program, const QStringList& args) {
  if (Runner()) return Runner()(program, args);
  const QString exe = QStandardPaths::findExecutable(program);
  if (exe.isEmpty()) return -1;
  return QProcess::execute(exe, args);
}

// The mime type the association gives "*.kv2".
const char* const Kv2_Mime_Type = "application/x-quaymark-kv2";
}  // namespace

// ---- Loaded windows -------------------------------------------------------

Loaded_Window::~Loaded_Window() {
  Window_Unloaded(this);
}

void Window_Loaded(Loaded_Window* w) {
  auto& r = Registry();
  if (w && std::find(r.begin(), r.end(), w) == r.end()) r.push_back(w);
}

void Window_Unloaded(Loaded_Window* w) {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), w), r.end());
}

std::vector<Loaded_Window*> Loaded_Windows() {
  return Registry();
}

// ---- Single instance --------------------------------------------------------

QString Instance_Lock_Path() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = app().User_Folder;
  return folder + QStringLiteral("/quaymark.lock");
}

Instance_Lock::Instance_Lock(const QString& path) : lock_(std::make_unique<QLockFile>(path)) {
  // The lock stands for as long as its owner runs: never judge it by age.
  lock_->setStaleLockTime(0);
}

Instance_Lock::~Instance_Lock() = default;

bool Instance_Lock::Claim() {
  if (lock_->isLocked()) return true;
  if (lock_->tryLock(0)) return true;
  // Only a lock held by a running instance refuses the start; a folder we
  // cannot write must not keep the program from running.
  return lock_->error() != QLockFile::LockFailedError;
}

bool Check_Single_Instance(Instance_Lock& lock) {
  if (lock.Claim()) return true;
  MsgBox(QStringLiteral("An instance of this program already running..."));
  return false;
}

// ---- INI file ---------------------------------------------------------------

bool Check_Ini_File() {
  return Trapped(Where_Module("Check_Ini_File", Module), true, [] {
    const QString path = app().Ini_Path;
    if (QFileInfo(path).isFile()) return true;
    if (MsgBox(QStringLiteral("INI file not found! Create? (No exits program)"), Buttons::Yes_No) !=
        Answer::Yes)
      return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
      Raise(f.error() == QFileDevice::PermissionsError ? Err_Permission_Denied : Err_Path_Access,
            f.errorString());
    return true;
  });
}

// ---- Command line -----------------------------------------------------------

QString Command_Line(const QStringList& arguments_without_program) {
  return arguments_without_program.join(QLatin1Char(' '));
}

void Start_Association(const QString& command_line, const Open_File& open) {
  Trapped(Where_Module("Start_Association", Module), [&] {
    QString path = command_line;
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
      path = path.mid(1, path.size() - 2);
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    if (open) open(path);
  });
}

// ---- Exit -------------------------------------------------------------------

bool Quaymark_exit() {
  return Trapped(Where_Module("Quaymark_exit", Module), false, [] {
    Trace_Text(QStringLiteral("********Canoe_exit start"));
    Line(10);
    if (MsgBox(QStringLiteral("Exiting Quaymark, are you sure?"), Buttons::OK_Cancel,
               QStringLiteral("Quaymark Exit"), Icon::None, 2) != Answer::OK)
      return false;
    Line(20);
    app().Exit_Requested = true;
    Trace_Text(QStringLiteral("********Canoe_exit captures stopped"));
    Trace_Text(QStringLiteral("********obj_Midi nothing"));
    Line(30);
    // A window's unload may load another; go round until none is left, but
    // never for ever.
    for (int round = 0; round < 100 && !Registry().empty(); ++round) {
      for (Loaded_Window* w : Loaded_Windows()) {
        auto& r = Registry();
        if (std::find(r.begin(), r.end(), w) == r.end()) continue;  // gone meanwhile
        const QString name = w->Window_Name();
        Trace_Text(QStringLiteral("About to unload ") + name);
        // One window failing to unload must not keep the others loaded.
        Trapped(Where_Module("Quaymark_exit", Module), [w] { w->Unload(); });
        Window_Unloaded(w);
        Trace_Text(QStringLiteral("Unloaded ") + name);
        Trace_Text(QStringLiteral("forms.count = ") + QString::number(Registry().size()));
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
      }
    }
    Line(40);
    // There is no taskbar to give back on this desktop; just forget the flag.
    app().Taskbar_Hidden = false;
    Trace_Text(QStringLiteral("******Canoe_exit end"));
    QCoreApplication::quit();
    return true;
  });
}

End_Program_Hook Set_End_Program_Hook(End_Program_Hook hook) {
  End_Program_Hook old = std::move(End_Hook());
  End_Hook() = std::move(hook);
  return old;
}

void End_Program(int status) {
  if (End_Hook()) {
    End_Hook()(status);
    return;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

// ---- Specials menu ----------------------------------------------------------

void Rename_Ini_File() {
  Trapped(Where_Module("Rename_Ini_File", Module), [] {
    const QFileInfo ini(app().Ini_Path);
    // Only the file's own name changes: a folder with "ini" in its name
    // ("/home/dominic") stays as it is.
    QString name = ini.fileName();
    name.replace(QStringLiteral("ini"), QStringLiteral("inx"));
    if (name == ini.fileName()) return;
    if (!ini.isFile()) Raise(Err_File_Not_Found);
    const QByteArray from = QFile::encodeName(ini.filePath());
    const QByteArray to = QFile::encodeName(ini.dir().filePath(name));
    if (std::rename(from.constData(), to.constData()) != 0)
      Raise(errno == EACCES || errno == EPERM || errno == EROFS ? Err_Permission_Denied
                                                                : Err_Path_Access,
            QString::fromLocal8Bit(std::strerror(errno)));
  });
}

QString Desktop_Exec_Line(const QString& program) {
  // Inside the quotes of an Exec argument, " ` $ and \ take a backslash; the
  // value as a whole then doubles every backslash, and "%" becomes "%%".
  QString quoted;
  for (const QChar c : program) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    if (c == QLatin1Char('%')) quoted += QLatin1Char('%');
    quoted += c;
  }
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  return QLatin1Char('"') + quoted + QStringLiteral("\" %f");
}

Command_Runner Set_Command_Runner(Command_Runner runner) {
  Command_Runner old = std::move(Runner());
  Runner() = std::move(runner);
  return old;
}

void Associate_File_Extension(const QString& program) {
  Trapped(Where_Module("Associate_File_Extension", Module), [&] {
    const QString exe = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString mime_dir = data + QStringLiteral("/mime");
    const QString packages = mime_dir + QStringLiteral("/packages");
    const QString apps = data + QStringLiteral("/applications");
    const QString type = QString::fromLatin1(Kv2_Mime_Type);

    // The folders stand for the keys, the files for the values written into them.
    for (const QString& folder : {packages, apps})
      if (data.isEmpty() || !QDir().mkpath(folder)) MsgBox(QStringLiteral("Error: Creating Key!"));

    const QByteArray mime_xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        type.toUtf8() +
        "\">\n"
        "    <comment>Quaymark data file</comment>\n"
        "    <icon name=\"quaymark\"/>\n"
        "    <glob pattern=\"*.kv2\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const QByteArray desktop =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Quaymark\n"
        "GenericName=Regatta photo-finish timing\n"
        "Comment=Quaymark data file\n"
        "Icon=quaymark\n"
        "Exec=" +
        Desktop_Exec_Line(exe).toUtf8() +
        "\n"
        "MimeType=" +
        type.toUtf8() +
        ";\n"
        "Terminal=false\n"
        "Categories=AudioVideo;Video;\n";
    const std::pair<QString, QByteArray> files[] = {
        {packages + QStringLiteral("/quaymark-kv2.xml"), mime_xml},
        {apps + QStringLiteral("/quaymark.desktop"), desktop},
    };
    for (const auto& [path, content] : files) {
      QSaveFile f(path);
      if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit()) {
        MsgBox(QStringLiteral("Error Setting String Value!"));
        // Nothing was associated: saying so would be a lie.
        return;
      }
    }
    Run_Tool(QStringLiteral("update-mime-database"), {mime_dir});
    Run_Tool(QStringLiteral("update-desktop-database"), {apps});
    Run_Tool(QStringLiteral("xdg-mime"),
             {QStringLiteral("default"), QStringLiteral("quaymark.desktop"), type});
    MsgBox(QStringLiteral("Associated the file extension .kv2 with this application!"));
  });
}

void Misbehave_Trapped() {
  Trapped(Where_Form("item_misbehave_Click", "frm_kanot_2"), [] {
    volatile int32_t twenty = 20;
    (void)Divide(5, twenty - 20);
  });
}

void Misbehave_Untrapped() {
  volatile int32_t twenty = 20;
  try {
    (void)Divide(5, twenty - 20);
  } catch (const Failure& f) {
    // What the run-time does with a failure nobody trapped: its own message,
    // then the end of the process.
    MsgBox(QStringLiteral("Run-time error '") + QString::number(f.number) +
               QStringLiteral("':\r\n\r\n") + f.description,
           Buttons::OK, {}, Icon::Critical);
    End_Program(1);
  }
}

}  // namespace qm
