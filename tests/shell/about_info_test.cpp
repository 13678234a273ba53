// The system facts behind the About window and the Specials probes, with the
// system calls scripted.
#include "shell/about_info.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "shell/app_globals.h"
#include "support/test_env.h"

#include <QFile>
#include <QLocale>

namespace {

using About_Info_Test = qmtest::Test;

qm::Host_Lookup Lookup(std::optional<QString> host, QList<QHostAddress> resolved,
                       QList<QHostAddress> interfaces = {}) {
  qm::Host_Lookup l;
  l.host_name = [host](int& error) {
    if (!host) error = 11001;
    return host;
  };
  l.resolve = [resolved](const QString&) { return resolved; };
  l.interface_addresses = [interfaces] { return interfaces; };
  return l;
}

TEST_F(About_Info_Test, LocalAddressIsTheFirstIPv4) {
  const QHostAddress v6("2001:db8::5"), a("192.168.5.20"), b("10.0.0.9"), loop("127.0.1.1");
  struct Case {
    const char* name;
    qm::Host_Lookup lookup;
    QString address;
    QString message;
  };
  const QString no_resolution =
      "Windows Sockets are not responding. Unable to successfully get Host Name.";
  const std::vector<Case> cases = {
      {"first IPv4", Lookup("pc", {v6, a, b}), "192.168.5.20", {}},
      {"loopback: an interface's address",
       Lookup("pc", {loop}, {QHostAddress("127.0.0.1"), v6, b}),
       "10.0.0.9",
       {}},
      {"loopback only", Lookup("pc", {loop}, {QHostAddress("127.0.0.1")}), "127.0.1.1", {}},
      {"no resolution", Lookup("pc", {}), {}, no_resolution},
      {"IPv6 only", Lookup("pc", {v6}), {}, no_resolution},
      {"no host name",
       Lookup(std::nullopt, {a}),
       {},
       "Windows Sockets error 11001 has occurred. Unable to successfully get Host Name."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.Clear();
    EXPECT_EQ(qm::Local_IP_Address(c.lookup), c.address);
    EXPECT_EQ(dialogs.Texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
  }
}

TEST_F(About_Info_Test, LabelTexts) {
  const qm::App_Globals saved = qm::app();
  qm::app().Product_Name = QStringLiteral("Quaymark, Free version");
  qm::app().Version_String = QStringLiteral("3.0.17");
  qm::app().Build_Stamp = QStringLiteral("2012-05-04 14:57");
  qm::app().User_Folder = QStringLiteral("/home/op/.local/share/Quaymark");
  const qm::About_Texts t = qm::About_Info(QString());
  qm::app() = saved;
  EXPECT_EQ(t.caption, QStringLiteral("About Quaymark, Free version"));
  EXPECT_EQ(t.version, QStringLiteral("Version 3.0.17, Compile date: 2012-05-04 14:57"));
  EXPECT_EQ(t.ip, QStringLiteral("Local IP address = "));
  EXPECT_EQ(t.userapp, QStringLiteral("User appdata at: \r\n/home/op/.local/share/Quaymark"));
  EXPECT_EQ(qm::Folder_Of_Userapp_Label(t.userapp),
            QStringLiteral("/home/op/.local/share/Quaymark"));
  EXPECT_TRUE(t.vexagraphics.startsWith(QStringLiteral("VexaGraphics: ")));
  EXPECT_GT(t.vexagraphics.size(), 14);
}

TEST_F(About_Info_Test, DateFormatLines) {
  const QDateTime at(QDate(2026, 3, 4), QTime(7, 8, 9));
  const QStringList lines = qm::Date_Formats_Text(at).split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 5);
  const QString date = QLocale::system().toString(at.date(), QLocale::ShortFormat);
  EXPECT_EQ(lines[0], QStringLiteral("date = ") + date);
  ASSERT_TRUE(lines[1].startsWith(QStringLiteral("time = ")));
  const QString time = lines[1].mid(7);
  EXPECT_TRUE(time.contains(QStringLiteral("08")) && time.contains(QStringLiteral("09")))
      << time.toStdString();
  EXPECT_FALSE(time.contains(QStringLiteral("UTC")));
  EXPECT_EQ(lines[2], QStringLiteral("now = ") + date + QLatin1Char(' ') + time);
  EXPECT_EQ(lines[3], QStringLiteral("ISODate = 2026-03-04"));
  EXPECT_EQ(lines[4], QStringLiteral("ISOnow = 2026-03-04 07:08:09"));
}

TEST_F(About_Info_Test, MemoryReadingsKeepFirstAndSmallest) {
  qm::Cls_memory_status m;
  EXPECT_FALSE(m.Take(QStringLiteral("garbage\n")));
  EXPECT_EQ(m.last_phys, 0);
  ASSERT_TRUE(
      m.Take(QStringLiteral("MemTotal: 8000 kB\nMemFree: 1000 kB\nMemAvailable: 3000 kB\n")));
  EXPECT_EQ(m.last_phys, 3000 * 1024);
  EXPECT_EQ(m.initial_phys, 3000 * 1024);
  EXPECT_EQ(m.min_phys, 3000 * 1024);
  ASSERT_TRUE(m.Take(QStringLiteral("MemAvailable:     2000 kB\n")));
  ASSERT_TRUE(m.Take(QStringLiteral("MemFree: 2500 kB\n")));  // older kernels
  EXPECT_EQ(m.last_phys, 2500 * 1024);
  EXPECT_EQ(m.initial_phys, 3000 * 1024);
  EXPECT_EQ(m.min_phys, 2000 * 1024);
  // This machine's own figure.
  qm::Cls_memory_status real;
  ASSERT_TRUE(real.Read());
  EXPECT_GT(real.last_phys, 0);
  EXPECT_EQ(real.initial_phys, real.last_phys);
}

TEST_F(About_Info_Test, DiskRateText) {
  EXPECT_EQ(qm::Disk_Rate_Text(375000000, 10000), QStringLiteral("35.8 MBytes/sec"));
  EXPECT_EQ(qm::Disk_Rate_Text(10 * 1048576, 1000), QStringLiteral("10 MBytes/sec"));
  EXPECT_EQ(qm::Disk_Rate_Text(1048576, 0), QStringLiteral("1000 MBytes/sec"));  // no division by 0
}

TEST_F(About_Info_Test, DiskTestThatCannotRunSaysWhyAndLeavesNoFile) {
  qm::Disk_Test t;
  t.path = Tmp("perftest");
  t.blocks = 4;
  t.block_size = 100000;
  std::vector<bool> busy;
  t.busy = [&](bool b) { busy.push_back(b); };

  // Not enough room: nothing is written at all.
  t.free_bytes = [](const QString&) { return int64_t(300000); };
  EXPECT_EQ(qm::Disk_Performance(t),
            QStringLiteral("Disk performance not measured: ") + tmp.path() +
                QStringLiteral(" has 0 MBytes free, the test needs 1 MBytes."));
  EXPECT_FALSE(QFile::exists(t.path));
  EXPECT_TRUE(busy.empty());

  // The disk gives out part-way: the test stops, the file goes.
  t.free_bytes = {};
  qm::Set_Write_Limit(250000);
  const QString m = qm::Disk_Performance(t);
  qm::Set_Write_Limit(-1);
  EXPECT_TRUE(m.startsWith(QStringLiteral("Disk performance not measured: writing ") + t.path +
                           QStringLiteral(" stopped after 2 of 4 blocks. Error 75 ")))
      << m.toStdString();
  EXPECT_EQ(dialogs.Texts().size(), 2);
  EXPECT_FALSE(QFile::exists(t.path));
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  Expect_No_Reports();
}

TEST_F(About_Info_Test, PrinterTestJob) {
  QStringList steps;
  qm::Printer_Test_Job job;
  job.set_title = [&](const QString& t) { steps << "title:" + t; };
  job.print = [&](const QString& text, const QString& title) {
    steps << "print:" + text + "|" + title;
    return true;
  };
  job.process_events = [&] { steps << "events"; };
  EXPECT_TRUE(qm::Printer_Test(job));
  const QString title = "Print_test a very long document name shall be tested here ";
  EXPECT_EQ(steps, (QStringList{"title:" + title, "print:Testing A,B,C\r\nTesting 1,2,3|" + title,
                                "events", "title:"}));
}

}  // namespace
