#pragma once
// About and system information: the texts of the About window, the local
// IPv4 address, the "Date formats" lines, the physical-memory reading, and
// the two small probes of the Specials menu (disk write speed, printer test).

#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace qm {

// ---- About window texts ----------------------------------------------------
struct About_Texts {
  QString caption;       // "About " & Product_Name
  QString description;   // Lbldescription
  QString version;       // Lblversion
  QString filedate;      // Lbl_filedate
  QString disclaimer;    // Lbldisclaimer
  QString fourcc;        // Lbl_fourcc
  QString vexagraphics;  // Lbl_VexaGraphics
  QString ip;            // Lbl_IP
  QString userapp;       // Label_userapp
};
// Fills every label from the globals, the program file, the chosen DV codec,
// the graphics module and `ip_address` (empty when it could not be found).
About_Texts About_Info(const QString& ip_address);
// The folder named after "at:" in the per-user folder label.
QString Folder_Of_Userapp_Label(const QString& label);

// ---- Local IP address ----------------------------------------------------------
// The system calls behind the address; tests put their own in place.
struct Host_Lookup {
  // The host name, or the error number of a failure.
  std::function<std::optional<QString>(int& error)> host_name;
  // The host name's addresses; empty when it could not be resolved.
  std::function<QList<QHostAddress>(const QString& host)> resolve;
  // The addresses of the interfaces that are up (loopback included).
  std::function<QList<QHostAddress>()> interface_addresses;
};
Host_Lookup System_Host_Lookup();
// The host name's first IPv4 address, dotted decimal. Failures show their
// message and give "".
QString Local_IP_Address(const Host_Lookup& lookup = System_Host_Lookup());

// ---- "Date formats" --------------------------------------------------------------
// The five lines, joined by CR LF: date, time and now in the locale's own
// forms, then ISODate and ISOnow.
QString Date_Formats_Text(const QDateTime& now);
void Date_formats();  // the message, for qm::Now()

// ---- Memory reading ----------------------------------------------------------------
class Cls_memory_status {
 public:
  // Takes a reading: last_phys, and initial_phys and min_phys as they go.
  // False when the system gave no figure (the values stay as they were).
  bool Read();
  // One reading from a /proc/meminfo text (available bytes).
  bool Take(const QString& meminfo);
  int64_t last_phys = 0;
  int64_t initial_phys = 0;
  int64_t min_phys = 0;

 private:
  bool read_once_ = false;
};
Cls_memory_status& memory_status();
// "MemAvailable" of a /proc/meminfo text in bytes ("MemFree" on kernels
// without it); nullopt when neither is there.
std::optional<int64_t> Available_Physical(const QString& meminfo);

// ---- "Disk performance" ------------------------------------------------------------
struct Disk_Test {
  // "C:\perftest" of the system drive: the home folder stands for it, and it
  // is the one place every user may write to.
  QString path;  // empty: ~/perftest
  int blocks = 75;
  int32_t block_size = 5000000;
  // Free bytes where the file goes (tests put their own figure in place).
  std::function<int64_t(const QString& folder)> free_bytes;
  // Told true while the blocks are written (the hourglass pointer).
  std::function<void(bool busy)> busy;
};
// Writes the blocks, synced, timed with the tick counter; deletes the file
// and shows "<rate> MBytes/sec". A disk without room for the whole file is
// not filled: the test is not run and a message says why; a write that
// fails part-way stops the test, removes the file and shows its error.
// Returns the message shown.
QString Disk_Performance(const Disk_Test& test = {});
// (blocks × block size) ÷ seconds ÷ 1048576, one decimal, " MBytes/sec".
QString Disk_Rate_Text(int64_t bytes, int64_t elapsed_ms);

// ---- "printer test" ------------------------------------------------------------------
inline constexpr const char* Print_Test_Title =
    "Print_test a very long document name shall be tested here ";
struct Printer_Test_Job {
  // The program's title while the job is on; "" puts the normal title back.
  std::function<void(const QString& title)> set_title;
  // Prints the text as one page under the job title and ends the job.
  std::function<bool(const QString& text, const QString& title)> print;
  std::function<void()> process_events;
};
// Prints "Testing A,B,C" and "Testing 1,2,3" under the test title.
bool Printer_Test(const Printer_Test_Job& job);

}  // namespace qm
