// The INI file: reading and writing with the profile semantics, and the
// program's Read_Ini_String / Write_Ini_String on top of it.
#include "platform/ini_profile.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Read_File(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll();
}

void Write_File(const QString& path, const QByteArray& content) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(content);
}

// Settings tests work on their own INI file in the temporary folder.
class Ini_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_ = qm::app().Ini_Path;
    ini = Tmp("Quaymark.ini");
    qm::app().Ini_Path = ini;
  }
  void TearDown() override {
    qm::app().Ini_Path = saved_;
    qmtest::Test::TearDown();
  }
  QString ini;

 private:
  QString saved_;
};

TEST_F(Ini_Test, ReadIniStringCases) {
  const QByteArray long_value(600, 'x');
  struct Case {
    const char* name;
    QByteArray content;  // "<none>": no file at all
    QString section, key, default_value, expected;
  };
  const Case cases[] = {
      {"no file, empty default", "<none>", "Canoe", "last_dir", "", "N/A"},
      {"no file, own default", "<none>", "Canoe", "Lanes", "None", "None"},
      {"missing key", "[Canoe]\nexpformat=2\n", "Canoe", "last_dir", "", "N/A"},
      {"missing section", "[Settings]\nlast_dir=/x\n", "Canoe", "last_dir", "", "N/A"},
      {"empty value is missing", "[Canoe]\nlast_dir=\n", "Canoe", "last_dir", "", "N/A"},
      {"empty value, own default", "[Canoe]\nexport_folder=\n", "Canoe", "export_folder", "C:\\",
       "C:\\"},
      {"present", "[Canoe]\nexpformat=2\n", "Canoe", "expformat", "1", "2"},
      {"names without case", "[CANOE]\nLAST_DIR=/data/heats\n", "canoe", "Last_Dir", "",
       "/data/heats"},
      {"commas and quotes kept", "[Canoe]\nLanes=020030,,\"040050\"\n", "Canoe", "Lanes", "None",
       "020030,,\"040050\""},
      {"blanks around = dropped", "[Canoe]\n  last_dir =  /a b  \n", "Canoe", "last_dir", "",
       "/a b"},
      {"= inside the value", "[Canoe]\nevent_name=a=b\n", "Canoe", "event_name", "", "a=b"},
      {"comment line", "[Canoe]\n;last_dir=/c\n", "Canoe", "last_dir", "", "N/A"},
      {"CR LF file", "[Canoe]\r\nlast_dir=/x\r\nexpformat=3\r\n", "Canoe", "last_dir", "", "/x"},
      {"first of two", "[Canoe]\nexpformat=4\nexpformat=5\n", "Canoe", "expformat", "1", "4"},
      {"same key in a later section", "[Canoe]\n[Settings]\nexpformat=5\n", "Canoe", "expformat",
       "1", "1"},
      {"key before any section", "expformat=5\n[Canoe]\n", "Canoe", "expformat", "1", "1"},
      {"Latin-1 line", "[Canoe]\nevent_name=V\xe4ster\xe5s\n", "Canoe", "event_name", "",
       QString::fromUtf8("V\u00e4ster\u00e5s")},
      {"UTF-8 line", "[Canoe]\nevent_name=Ra\xc4\x8d\n", "Canoe", "event_name", "",
       QString::fromUtf8("Ra\u010d")},
      {"511 characters", "[Canoe]\nevent_name=" + long_value + "\n", "Canoe", "event_name", "",
       QString(511, QLatin1Char('x'))},
      {"no line end at the end", "[Canoe]\nexpformat=7", "Canoe", "expformat", "1", "7"},
  };
  for (const Case& c : cases) {
    QFile::remove(ini);
    if (c.content != "<none>") Write_File(ini, c.content);
    EXPECT_EQ(qm::Read_Ini_String(c.section, c.key, c.default_value), c.expected) << c.name;
  }
  Expect_No_Reports();
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Ini_Test, WriteCreatesFileSectionAndKeyAndKeepsOtherLines) {
  struct Case {
    const char* name;
    QByteArray before;  // "<none>": no file
    QString section, key, value;
    QByteArray after;
  };
  const Case cases[] = {
      {"creates the file", "<none>", "Canoe", "last_dir", "/data", "[Canoe]\nlast_dir=/data\n"},
      {"creates the section", "; settings\n[Settings]\ntimingcorrection=0\n", "windowpos",
       "Frm_export", "1,2,0,0",
       "; settings\n[Settings]\ntimingcorrection=0\n[windowpos]\nFrm_export=1,2,0,0\n"},
      {"creates the key at the end of its section",
       "[Canoe]\nexpformat=1\n\n[Settings]\ntimingcorrection=0\n", "canoe", "last_dir", "/x",
       "[Canoe]\nexpformat=1\nlast_dir=/x\n\n[Settings]\ntimingcorrection=0\n"},
      {"replaces the key in place, CR LF kept",
       ";keep me\r\n[canoe]\r\nLast_Dir=/old\r\n  odd line without equals\r\nexpformat=2\r\n",
       "Canoe", "last_dir", "/new",
       ";keep me\r\n[canoe]\r\nlast_dir=/new\r\n  odd line without equals\r\nexpformat=2\r\n"},
      {"keeps a line that is not UTF-8", "[Canoe]\nevent_name=V\xe4ster\nexpformat=1\n", "Canoe",
       "expformat", "2", "[Canoe]\nevent_name=V\xe4ster\nexpformat=2\n"},
      {"writes UTF-8", "[Canoe]\n", "Canoe", "event_name", QString::fromUtf8("Ra\u010d"),
       "[Canoe]\nevent_name=Ra\xc4\x8d\n"},
      {"empty value", "[Canoe]\nevent_name=x\n", "Canoe", "event_name", "",
       "[Canoe]\nevent_name=\n"},
      {"last line without line end", "[Canoe]\nexpformat=1", "Canoe", "last_dir", "/d",
       "[Canoe]\nexpformat=1\nlast_dir=/d\n"},
  };
  for (const Case& c : cases) {
    QFile::remove(ini);
    if (c.before != "<none>") Write_File(ini, c.before);
    EXPECT_TRUE(qm::Write_Ini_String(c.section, c.key, c.value)) << c.name;
    EXPECT_EQ(Read_File(ini), c.after) << c.name;
    EXPECT_EQ(qm::Read_Ini_String(c.section, c.key, QStringLiteral("dflt")),
              c.value.isEmpty() ? QStringLiteral("dflt") : c.value)
        << c.name;
  }
  // The replacement leaves no temporary file behind.
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Quaymark.ini"});
  Expect_No_Reports();
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Ini_Test, EveryReadSeesTheFileAsItIsNow) {
  ASSERT_TRUE(qm::Write_Ini_String("Canoe", "expformat", "2"));
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "expformat", "1"), "2");
  Write_File(ini, "[Canoe]\nexpformat=3\n");  // changed behind the program's back
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "expformat", "1"), "3");
}

TEST_F(Ini_Test, WriteKeepsModeAndWritesThroughALink) {
  const QString real = Tmp("real.ini");
  Write_File(real, "[Canoe]\nexpformat=1\n");
  ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
  ASSERT_TRUE(QFile::link(real, ini));
  ASSERT_TRUE(qm::Write_Ini_String("Canoe", "expformat", "2"));
  EXPECT_TRUE(QFileInfo(ini).isSymLink());
  EXPECT_EQ(Read_File(real), "[Canoe]\nexpformat=2\n");
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Ini_Test, FailedWriteShowsKvsErrorAndLeavesFileAlone) {
  qm::app().Ini_Path = Tmp("no-such-folder/Quaymark.ini");
  EXPECT_FALSE(qm::Write_Ini_String("Canoe", "last_dir", "/x"));
  ASSERT_EQ(dialogs.records().size(), 1u);
  const auto& r = dialogs.records()[0];
  EXPECT_EQ(r.text, "Writing to INI file failed! Path = " + qm::app().Ini_Path +
                        "\r\n Error = 2 No such file or directory");
  EXPECT_EQ(r.title, " KVS Error");
  EXPECT_EQ(r.icon, qm::Icon::Critical);

  // A value with a line break would add lines of its own to the file.
  qm::app().Ini_Path = ini;
  Write_File(ini, "[Canoe]\nexpformat=1\n");
  dialogs.Clear();
  EXPECT_FALSE(qm::Write_Ini_String("Canoe", "last_dir", "/x\n[Settings]\ntimingcorrection=9"));
  EXPECT_EQ(Read_File(ini), "[Canoe]\nexpformat=1\n");
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_TRUE(dialogs.records()[0].text.endsWith(" Error = 22 Invalid argument"));
  Expect_No_Reports();
}

TEST_F(Ini_Test, UnreadableFileIsNotWipedByAWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  Write_File(ini, "[Canoe]\nlast_dir=/keep\n");
  ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0200), 0);
  EXPECT_FALSE(qm::Write_Ini_String("Canoe", "expformat", "2"));
  ::chmod(QFile::encodeName(ini).constData(), 0600);
  EXPECT_EQ(Read_File(ini), "[Canoe]\nlast_dir=/keep\n");
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_TRUE(dialogs.records()[0].text.endsWith(" Error = 13 Permission denied"));
}

TEST_F(Ini_Test, EmptySettingsPathIsReported) {
  qm::app().Ini_Path.clear();  // initialised already, so it stays empty
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "last_dir", ""), "");
  EXPECT_EQ(dialogs.Texts(), QStringList{"Ini_file_path is empty!"});
}

}  // namespace
