#include "shell/about_info.h"

#include "platform/clock.h"
#include "platform/codec_registry.h"
#include "platform/date_time.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/field_graphics.h"
#include "platform/files.h"
#include "shell/app_globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QLocale>
#include <QNetworkInterface>
#include <QStorageInfo>

#include <unistd.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace qm {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
}

// ---- About window texts ------------------------------------------------------------

About_Texts About_Info(const QString& ip_address) {
  const App_Globals& g = app();
  About_Texts t;
  t.caption = QStringLiteral("About ") + g.Product_Name;
  t.description = QStringLiteral("Quaymark, free version");
  t.version = QStringLiteral("Version ") + g.Version_String + QStringLiteral(", Compile date: ") +
              g.Build_Stamp;
  const QFileInfo program(QCoreApplication::applicationFilePath());
  t.filedate = QStringLiteral(".exe Filedate = ") +
               program.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  t.disclaimer = QStringLiteral(
      "Copyright \u00A9 Quaymark. All rights reserved. This program is protected by copyright "
      "law; it is provided as is, without any warranty. https://www.quaymark.example");
  t.fourcc = QStringLiteral("DV fourcc: ") + DV_Codec_Code();
  const char* version = BlendVersion();
  t.vexagraphics =
      QStringLiteral("VexaGraphics: ") +
      (version ? QString::fromLatin1(version, static_cast<qsizetype>(strnlen(version, 64)))
               : QString());
  t.ip = QStringLiteral("Local IP address = ") + ip_address;
  t.userapp = QStringLiteral("User appdata at: ") + QStringLiteral("\r\n") + g.User_Folder;
  return t;
}

QString Folder_Of_Userapp_Label(const QString& label) {
  const qsizetype at = label.indexOf(QStringLiteral("at:"));
  if (at < 0) return {};
  return label.mid(at + 3).trimmed();
}

// ---- Local IP address -----------------------------------------------------------------

Host_Lookup System_Host_Lookup() {
  Host_Lookup l;
  l.host_name = [](int& error) -> std::optional<QString> {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) {
      error = errno;
      return std::nullopt;
    }
    return QString::fromLocal8Bit(host);
  };
  l.resolve = [](const QString& host) {
    const QHostInfo info = QHostInfo::fromName(host);
    return info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>{};
  };
  l.interface_addresses = [] {
    QList<QHostAddress> all;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
      if (!i.flags().testFlag(QNetworkInterface::IsUp) ||
          !i.flags().testFlag(QNetworkInterface::IsRunning))
        continue;
      for (const QNetworkAddressEntry& e : i.addressEntries()) all.push_back(e.ip());
    }
    return all;
  };
  return l;
}

QString Local_IP_Address(const Host_Lookup& lookup) {
  int error = 0;
  const std::optional<QString> host = lookup.host_name(error);
  if (!host) {
    MsgBox(QStringLiteral("Windows Sockets error ") + QString::number(error) +
           QStringLiteral(" has occurred. Unable to successfully get Host Name."));
    return {};
  }
  QHostAddress first;
  for (const QHostAddress& a : lookup.resolve(*host))
    if (a.protocol() == QAbstractSocket::IPv4Protocol) {
      first = a;
      break;
    }
  if (first.isNull()) {
    MsgBox(QStringLiteral("Windows Sockets are not responding. ") +
           QStringLiteral("Unable to successfully get Host Name."));
    return {};
  }
  // Debian-like systems resolve their own name to 127.0.1.1 where other
  // systems give the machine's address: the first IPv4 address of an
  // interface that is up stands in for it then.
  if (first.isLoopback() && lookup.interface_addresses)
    for (const QHostAddress& a : lookup.interface_addresses())
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
        first = a;
        break;
      }
  return first.toString();
}

// ---- "Date formats" -----------------------------------------------------------------

QString Date_Formats_Text(const QDateTime& now) {
  const QLocale locale = QLocale::system();
  // The locale's long time form without its time zone.
  QString time_format = locale.timeFormat(QLocale::LongFormat);
  time_format.remove(QLatin1Char('t'));
  time_format = time_format.trimmed();
  const QString date = locale.toString(now.date(), QLocale::ShortFormat);
  const QString time = locale.toString(now.time(), time_format);
  const QStringList lines = {
      QStringLiteral("date = ") + date,
      QStringLiteral("time = ") + time,
      QStringLiteral("now = ") + date + QLatin1Char(' ') + time,
      QStringLiteral("ISODate = ") + now.toString(QStringLiteral("yyyy-MM-dd")),
      QStringLiteral("ISOnow = ") + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
  };
  return lines.join(QStringLiteral("\r\n"));
}

void Date_formats() {
  MsgBox(Date_Formats_Text(Now()));
}

// ---- Memory reading ----------------------------------------------------------------------

std::optional<int64_t> Available_Physical(const QString& meminfo) {
  std::optional<int64_t> free_kb;
  for (const QString& line : meminfo.split(QLatin1Char('\n'))) {
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    if (parts.size() < 2) continue;
    bool ok = false;
    const int64_t kb = parts[1].toLongLong(&ok);
    if (!ok) continue;
    if (parts[0] == QLatin1String("MemAvailable:")) return kb * 1024;
    if (parts[0] == QLatin1String("MemFree:")) free_kb = kb;
  }
  if (free_kb) return *free_kb * 1024;
  return std::nullopt;
}

bool Cls_memory_status::Take(const QString& meminfo) {
  const std::optional<int64_t> bytes = Available_Physical(meminfo);
  if (!bytes) return false;
  last_phys = *bytes;
  if (!read_once_) {
    initial_phys = last_phys;
    min_phys = last_phys;
    read_once_ = true;
  } else if (last_phys < min_phys) {
    min_phys = last_phys;
  }
  return true;
}

bool Cls_memory_status::Read() {
  QFile f(QStringLiteral("/proc/meminfo"));
  if (!f.open(QIODevice::ReadOnly)) return false;
  return Take(QString::fromLatin1(f.readAll()));
}

Cls_memory_status& memory_status() {
  static Cls_memory_status m;
  return m;
}

// ---- "Disk performance" ---------------------------------------------------------------

QString Disk_Rate_Text(int64_t bytes, int64_t elapsed_ms) {
  // A test faster than the tick would divide by zero.
  const double seconds = static_cast<double>(std::max<int64_t>(elapsed_ms, 1)) / 1000.0;
  const double rate = std::round(static_cast<double>(bytes) / seconds / 1048576.0 * 10.0) / 10.0;
  return QString::number(rate, 'f', std::floor(rate) == rate ? 0 : 1) +
         QStringLiteral(" MBytes/sec");
}

QString Disk_Performance(const Disk_Test& test) {
  const QString path =
      test.path.isEmpty() ? QDir::homePath() + QStringLiteral("/perftest") : test.path;
  const QString folder = QFileInfo(path).absolutePath();
  const int64_t total = static_cast<int64_t>(test.blocks) * test.block_size;
  QString message;
  Trapped(Where_Form("item_disk_performance_Click", frm_kanot_2), [&] {
    Delete_File(path, true);
    const int64_t free =
        test.free_bytes ? test.free_bytes(folder) : QStorageInfo(folder).bytesAvailable();
    // Filling the disk could stop a capture writing to the same drive.
    if (free >= 0 && free < total) {
      message = QStringLiteral("Disk performance not measured: ") + folder +
                QStringLiteral(" has ") + QString::number(free / 1048576) +
                QStringLiteral(" MBytes free, the test needs ") +
                QString::number((total + 1048575) / 1048576) + QStringLiteral(" MBytes.");
      return;
    }
    const std::vector<uint8_t> block(static_cast<size_t>(test.block_size), 0x5A);
    int written = 0;
    if (test.busy) test.busy(true);
    struct Normal_Pointer {
      const Disk_Test& t;
      ~Normal_Pointer() {
        if (t.busy) t.busy(false);
      }
    } normal{test};
    try {
      File_Handle f;
      f.Open(path, File_Handle::Mode::Create_Read_Write);
      const uint32_t start = Tick_Count();
      for (; written < test.blocks; ++written)
        f.Write_At(static_cast<int64_t>(written) * test.block_size, block.data(), block.size());
      // Synced, so the figure is the disk's and not the page cache's.
      f.Sync();
      const uint32_t elapsed = Tick_Count() - start;
      f.Close();
      Delete_File(path, true);
      message = Disk_Rate_Text(total, elapsed);
    } catch (const Failure& e) {
      Delete_File(path, true);
      message = QStringLiteral("Disk performance not measured: writing ") + path +
                QStringLiteral(" stopped after ") + QString::number(written) +
                QStringLiteral(" of ") + QString::number(test.blocks) +
                QStringLiteral(" blocks. Error ") + QString::number(e.number) +
                QStringLiteral(" ") + e.description;
    }
  });
  if (!message.isEmpty()) MsgBox(message);
  return message;
}

// ---- "printer test" --------------------------------------------------------------------

bool Printer_Test(const Printer_Test_Job& job) {
  bool printed = false;
  Trapped(Where_Form("item_printer_test_Click", frm_kanot_2), [&] {
    const QString title = QString::fromLatin1(Print_Test_Title);
    if (job.set_title) job.set_title(title);
    printed = job.print && job.print(QStringLiteral("Testing A,B,C\r\nTesting 1,2,3"), title);
    if (job.process_events) job.process_events();
  });
  if (job.set_title) job.set_title(QString());
  return printed;
}

}  // namespace qm
