// Start-up and exit: initialisation, the INI check, single instance, the
// command line's file, the exit sequence and the Specials commands.
#include "shell/startup.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <optional>

namespace {

// A stand-in window that records its unload.
class Fake_Window : public qm::Loaded_Window {
 public:
  Fake_Window(QString name, QStringList& log) : name_(std::move(name)), log_(log) {
    qm::Window_Loaded(this);
  }
  QString Window_Name() const override { return name_; }
  void Unload() override {
    log_ << name_;
    if (on_unload) on_unload();
    if (leaves) qm::Window_Unloaded(this);
  }
  std::function<void()> on_unload;
  bool leaves = true;

 private:
  QString name_;
  QStringList& log_;
};

// Keeps the whole request, for what Scripted_Dialogs does not record.
class Capturing_Dialogs : public qm::Scripted_Dialogs {
 public:
  qm::Answer Message(const qm::Message_Request& r) override {
    requests.push_back(r);
    return Scripted_Dialogs::Message(r);
  }
  std::vector<qm::Message_Request> requests;
};

class Startup_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_ = qm::app();
    qm::app().Ini_Path = Tmp("Quaymark.ini");
  }
  void TearDown() override {
    qm::app() = saved_;
    qmtest::Test::TearDown();
  }
  void Touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }

 private:
  qm::App_Globals saved_;
};

TEST_F(Startup_Test, InitializationFillsGlobalsAndWarnsOnce) {
  qm::Reset_Globals_For_Test();
  const auto saved_check = qm::Set_XML_Component_Check([] { return false; });
  qm::Quaymark_Initialization();
  qm::Set_XML_Component_Check(saved_check);
  EXPECT_EQ(dialogs.Texts(),
            (QStringList{"An important system file (pugixml) is missing in this Windows "
                         "installation!",
                         "Quaymark.ini not found"}));
  const qm::App_Globals& g = qm::app();
  EXPECT_TRUE(g.Initialised);
  EXPECT_TRUE(g.Trap_Errors);
  EXPECT_EQ(g.Product_Name, "Quaymark, Free version");
  EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(g.Version_String).hasMatch());
  EXPECT_TRUE(QDateTime::fromString(g.Build_Stamp, "yyyy-MM-dd HH:mm").isValid())
      << g.Build_Stamp.toStdString();
  EXPECT_EQ(g.Version_Text, g.Version_String + ".EXE cd: " + g.Build_Stamp);
  const QString user = qEnvironmentVariable("XDG_DATA_HOME") + "/Quaymark";
  EXPECT_EQ(g.User_Folder, user);
  EXPECT_TRUE(QFileInfo(user).isDir());
  EXPECT_EQ(g.Ini_Path, user + "/Quaymark.ini");
  EXPECT_EQ(g.Data_Folder, QDir::homePath() + "/Quaymark_Data");
  EXPECT_EQ(g.Marathon_Sheet_Path, QDir::homePath() + "/Quaymark_Data/marathon.xml");
  EXPECT_FALSE(g.Computer_Name.isEmpty());

  // Idempotent: no second round of messages.
  dialogs.Clear();
  qm::Quaymark_Initialization();
  EXPECT_TRUE(dialogs.records().empty());

  // With the INI file there: no message, and the timing correction is read.
  qm::Reset_Globals_For_Test();
  QFile ini(user + "/Quaymark.ini");
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Settings]\ntimingcorrection=25\n");
  ini.close();
  qm::Quaymark_Initialization();
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_EQ(qm::app().Timing_Correction, 25);
  ini.remove();
  Expect_No_Reports();
}

TEST_F(Startup_Test, UserFolderThatCannotBeMadeGivesTheFailureText) {
  const QByteArray saved = qgetenv("XDG_DATA_HOME");
  const QString blocker = Tmp("a-file");
  Touch(blocker);
  qputenv("XDG_DATA_HOME", blocker.toLocal8Bit());
  EXPECT_EQ(qm::Get_AppUserData_Folder(), "The folder does not exist");
  qputenv("XDG_DATA_HOME", saved);
  EXPECT_EQ(qm::Get_AppUserData_Folder(), QString::fromLocal8Bit(saved) + "/Quaymark");
}

TEST_F(Startup_Test, IniCheckAsksAndCreatesOrEnds) {
  // No: the program ends, nothing created.
  dialogs.Answer_With(qm::Answer::No);
  EXPECT_FALSE(qm::Check_Ini_File());
  EXPECT_FALSE(QFileInfo::exists(qm::app().Ini_Path));
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text, "INI file not found! Create? (No exits program)");
  EXPECT_EQ(dialogs.records()[0].buttons, qm::Buttons::Yes_No);

  // Yes: an empty file.
  dialogs.Clear();
  dialogs.Answer_With(qm::Answer::Yes);
  EXPECT_TRUE(qm::Check_Ini_File());
  EXPECT_TRUE(QFileInfo(qm::app().Ini_Path).isFile());
  EXPECT_EQ(QFileInfo(qm::app().Ini_Path).size(), 0);

  // There: no question.
  dialogs.Clear();
  EXPECT_TRUE(qm::Check_Ini_File());
  EXPECT_TRUE(dialogs.records().empty());
  Expect_No_Reports();
}

TEST_F(Startup_Test, SecondInstanceIsRefused) {
  const QString path = Tmp("quaymark.lock");
  auto first = std::make_unique<qm::Instance_Lock>(path);
  ASSERT_TRUE(first->Claim());
  qm::Instance_Lock second(path);
  EXPECT_FALSE(qm::Check_Single_Instance(second));
  EXPECT_EQ(dialogs.Texts(), QStringList{"An instance of this program already running..."});

  // A long run does not make the lock stale.
  QFile lock_file(path);
  ASSERT_TRUE(lock_file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(lock_file.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime));
  lock_file.close();
  EXPECT_FALSE(second.Claim());

  // Once the first has gone, the next start goes ahead.
  first.reset();
  dialogs.Clear();
  EXPECT_TRUE(qm::Check_Single_Instance(second));
  EXPECT_TRUE(dialogs.records().empty());

  // A lock that cannot be made at all does not keep the program from running.
  qm::Instance_Lock nowhere(Tmp("no-such-folder/quaymark.lock"));
  EXPECT_TRUE(nowhere.Claim());
}

TEST_F(Startup_Test, StartAssociationStripsQuotesOnlyWhenPresent) {
  const QString plain = Tmp("heat 1.kv2");
  Touch(plain);
  struct Case {
    QString command_line;
    std::optional<QString> opened;
  };
  const Case cases[] = {
      {plain, plain},  // as the desktop passes it: one argument, no quotes
      {'"' + plain + '"', plain},
      {'"' + plain, std::nullopt},                     // one quote only: taken as it stands
      {plain.mid(1, plain.size() - 2), std::nullopt},  // not shortened to find a file
      {Tmp("missing.kv2"), std::nullopt},
      {tmp.path(), std::nullopt},  // a folder
      {"\"\"", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<QString> opened;
    qm::Start_Association(c.command_line, [&](const QString& p) { opened = p; });
    EXPECT_EQ(opened, c.opened) << c.command_line.toStdString();
  }
  EXPECT_TRUE(dialogs.records().empty());
  Expect_No_Reports();
  EXPECT_EQ(qm::Command_Line({plain}), plain);
  EXPECT_EQ(qm::Command_Line({"/a", "b.kv2"}), "/a b.kv2");
}

TEST_F(Startup_Test, ExitCancelledLeavesEverythingLoaded) {
  Capturing_Dialogs d;
  qm::Set_Dialogs(&d);
  QStringList unloaded;
  Fake_Window main("Frm_kanot_2", unloaded), results("Frm_results", unloaded);
  d.Answer_With(qm::Answer::Cancel);
  EXPECT_FALSE(qm::Quaymark_exit());
  qm::Set_Dialogs(&dialogs);
  ASSERT_EQ(d.requests.size(), 1u);
  EXPECT_EQ(d.requests[0].text, "Exiting Quaymark, are you sure?");
  EXPECT_EQ(d.requests[0].title, "Quaymark Exit");
  EXPECT_EQ(d.requests[0].buttons, qm::Buttons::OK_Cancel);
  EXPECT_EQ(d.requests[0].default_button, 2);  // Cancel
  EXPECT_FALSE(qm::app().Exit_Requested);
  EXPECT_TRUE(unloaded.isEmpty());
  EXPECT_EQ(qm::Loaded_Windows().size(), 2u);
}

TEST_F(Startup_Test, ExitConfirmedUnloadsEveryWindow) {
  QStringList unloaded;
  auto main = std::make_unique<Fake_Window>("Frm_kanot_2", unloaded);
  Fake_Window results("Frm_results", unloaded);
  Fake_Window stubborn("Form_Marathon_flexgrid", unloaded);
  stubborn.leaves = false;  // forgets to leave the list
  Fake_Window failing("Frm_export", unloaded);
  failing.on_unload = [] { qm::Raise(qm::Err_Internal); };
  failing.leaves = false;
  std::unique_ptr<Fake_Window> late;
  // The main window's unload loads one more window: it must go too.
  main->on_unload = [&] {
    late = std::make_unique<Fake_Window>("Frm_Quaymark_Marathon_settime", unloaded);
  };

  dialogs.Answer_With(qm::Answer::OK);
  EXPECT_TRUE(qm::Quaymark_exit());
  EXPECT_TRUE(qm::app().Exit_Requested);
  EXPECT_TRUE(qm::Loaded_Windows().empty());
  EXPECT_EQ(unloaded, (QStringList{"Frm_kanot_2", "Frm_results", "Form_Marathon_flexgrid",
                                   "Frm_export", "Frm_Quaymark_Marathon_settime"}));
  // The failing window is reported, and the exit still went through.
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "Quaymark_exit of Module Module_canoe");
}

TEST_F(Startup_Test, RenameIniFileTouchesOnlyTheFileName) {
  const QString folder = Tmp("dominic-ini");
  ASSERT_TRUE(QDir().mkpath(folder));
  qm::app().Ini_Path = folder + "/Quaymark.ini";
  Touch(qm::app().Ini_Path);
  qm::Rename_Ini_File();
  EXPECT_FALSE(QFileInfo::exists(folder + "/Quaymark.ini"));
  EXPECT_TRUE(QFileInfo(folder + "/Quaymark.inx").isFile());
  Expect_No_Reports();

  // The next start-up then misses it.
  dialogs.Answer_With(qm::Answer::No);
  EXPECT_FALSE(qm::Check_Ini_File());

  // Nothing to rename: a report, not a crash.
  qm::Rename_Ini_File();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errnum, qm::Err_File_Not_Found);
  EXPECT_EQ(reports[0].errproc, "Rename_Ini_File of Module Module_canoe");
}

TEST(Desktop_Exec, QuotesAsDesktopEntriesRequire) {
  struct Case {
    const char* program;
    const char* exec;
  };
  const Case cases[] = {
      {"/usr/bin/quaymark", R"("/usr/bin/quaymark" %f)"},
      {"/opt/my apps/quaymark", R"("/opt/my apps/quaymark" %f)"},
      {"/opt/$HOME/q", R"("/opt/\\$HOME/q" %f)"},
      {"/opt/a\"b/q", R"("/opt/a\\"b/q" %f)"},
      {"/opt/a\\b/q", R"("/opt/a\\\\b/q" %f)"},
      {"/opt/100%/q", R"("/opt/100%%/q" %f)"},
  };
  for (const Case& c : cases) EXPECT_EQ(qm::Desktop_Exec_Line(c.program), c.exec) << c.program;
}

class Associate_Test : public Startup_Test {
 protected:
  void SetUp() override {
    Startup_Test::SetUp();
    saved_data_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", Tmp("share").toLocal8Bit());
    saved_runner_ = qm::Set_Command_Runner([this](const QString& p, const QStringList& a) {
      calls << (QStringList{p} + a).join(' ');
      return 0;
    });
  }
  void TearDown() override {
    qm::Set_Command_Runner(std::move(saved_runner_));
    qputenv("XDG_DATA_HOME", saved_data_);
    Startup_Test::TearDown();
  }
  QStringList calls;

 private:
  QByteArray saved_data_;
  qm::Command_Runner saved_runner_;
};

TEST_F(Associate_Test, WritesDesktopEntryAndMimeTypeAndMakesItDefault) {
  qm::Associate_File_Extension("/opt/quaymark/bin/quaymark");
  EXPECT_EQ(dialogs.Texts(),
            QStringList{"Associated the file extension .kv2 with this application!"});
  QFile desktop(Tmp("share/applications/quaymark.desktop"));
  ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
  const QString entry = QString::fromUtf8(desktop.readAll());
  EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
  EXPECT_TRUE(entry.contains("\nExec=\"/opt/quaymark/bin/quaymark\" %f\n"));
  EXPECT_TRUE(entry.contains("\nMimeType=application/x-quaymark-kv2;\n"));
  EXPECT_TRUE(entry.contains("\nComment=Quaymark data file\n"));
  QFile mime(Tmp("share/mime/packages/quaymark-kv2.xml"));
  ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
  const QString xml = QString::fromUtf8(mime.readAll());
  EXPECT_TRUE(xml.contains("<mime-type type=\"application/x-quaymark-kv2\">"));
  EXPECT_TRUE(xml.contains("<glob pattern=\"*.kv2\"/>"));
  EXPECT_TRUE(xml.contains("<comment>Quaymark data file</comment>"));
  EXPECT_EQ(calls, (QStringList{"update-mime-database " + Tmp("share/mime"),
                                "update-desktop-database " + Tmp("share/applications"),
                                "xdg-mime default quaymark.desktop application/x-quaymark-kv2"}));
  Expect_No_Reports();
}

TEST_F(Associate_Test, FailureIsNotCalledSuccess) {
  Touch(Tmp("share"));  // a file where the data folder should be
  qm::Associate_File_Extension("/usr/bin/quaymark");
  EXPECT_EQ(dialogs.Texts(), (QStringList{"Error: Creating Key!", "Error: Creating Key!",
                                          "Error Setting String Value!"}));
  EXPECT_TRUE(calls.isEmpty());
}

TEST_F(Startup_Test, MisbehaveCommands) {
  qm::Misbehave_Trapped();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "item_misbehave_Click of Form frm_kanot_2");
  EXPECT_EQ(reports[0].errnum, 11);

  reports.clear();
  std::optional<int> ended;
  const auto saved = qm::Set_End_Program_Hook([&](int status) { ended = status; });
  qm::Misbehave_Untrapped();
  qm::Set_End_Program_Hook(saved);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(reports.empty()) << "no trap, so no report";
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text, "Run-time error '11':\r\n\r\nDivision by zero");
}

}  // namespace
