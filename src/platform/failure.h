#pragma once
// The failure convention of the whole program.
//
// A procedure wraps its body in Trapped(): a failure inside it (a qm::Failure
// raised with Raise(), or a C++ exception of the library) abandons the body,
// is reported once through the installed failure sink (the error report of
// the shell), and the procedure returns its neutral result. Failures never
// travel further up than the procedure that trapped them.
//
// Location texts follow the form "Attach_Time of Form frm_kanot_2":
// use Where_Form / Where_Module / Where_Class to build them.

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace qm {

// Error numbers. The ones the program's messages name are fixed; the rest are
// this program's own table, documented here and in ARCHITECTURE.md.
enum Err : int32_t {
  Err_None = 0,
  Err_Invalid_Call = 5,        // invalid procedure call or argument
  Err_Overflow = 6,            // number out of range of its type
  Err_Out_Of_Memory = 7,       // allocation failed
  Err_Subscript = 9,           // subscript out of range
  Err_Division_By_Zero = 11,   // division by zero
  Err_Type_Mismatch = 13,      // text is not a number / wrong kind of value
  Err_Internal = 51,           // unexpected library exception
  Err_Bad_File = 52,           // bad file name or number / file not open
  Err_File_Not_Found = 53,     // file not found
  Err_File_Exists = 58,        // file already exists
  Err_Disk_Full = 61,          // no room left on the device
  Err_Input_Past_End = 62,     // read past the end of a file
  Err_Permission_Denied = 70,  // permission denied / read-only
  Err_Path_Access = 75,        // path/file access error
  Err_Path_Not_Found = 76,     // path not found
  Err_Object_Missing = 91,     // missing XML node or object not set
  Err_Bad_Format = 321,        // invalid file format / size field outside the file
  Err_Printer = 482,           // printer error
  Err_XML_Parse = 1001,        // XML text could not be parsed
};

// Standard description of a number in the table above.
QString Err_Description(int32_t number);

struct Failure : std::exception {
  Failure(int32_t n, QString d, int16_t l) : number(n), description(std::move(d)), line(l) {}
  int32_t number;
  QString description;
  int16_t line;
  const char* what() const noexcept override { return "qm::Failure"; }
};

// Raise a failure in the current trapped procedure. An empty description takes
// the table's text.
[[noreturn]] void Raise(int32_t number, const QString& description = {});

// Statement number of the current trapped procedure (0 when it does not
// number its statements). Set with Line(20) before the statement.
void Line(int16_t statement);

// Extra information for the report of the current trapped procedure.
void Extra(const QString& text);

// One report, as handed to the sink.
struct Failure_Report {
  QString errdesc;
  int32_t errnum = 0;
  int16_t errline = 0;
  QString errproc;
  QString err_extra;
};

using Failure_Sink = std::function<void(const Failure_Report&)>;

// Installs the sink that receives every trapped failure; returns the previous
// one. Without a sink the report goes to standard error.
Failure_Sink Set_Failure_Sink(Failure_Sink sink);

// Hands one report to the sink (also for procedures that detect a failure
// themselves without raising).
void Report_Failure(const Failure_Report& report);

inline QString Where_Form(const char* proc, const char* form) {
  return QString::fromLatin1(proc) + QLatin1String(" of Form ") + QString::fromLatin1(form);
}
inline QString Where_Module(const char* proc, const char* module) {
  return QString::fromLatin1(proc) + QLatin1String(" of Module ") + QString::fromLatin1(module);
}
inline QString Where_Class(const char* proc, const char* cls) {
  return QString::fromLatin1(proc) + QLatin1String(" of Class Module ") + QString::fromLatin1(cls);
}

namespace detail {
struct Trap_Frame {
  int16_t line = 0;
  QString extra;
  Trap_Frame* outer = nullptr;
};
Trap_Frame*& Current_Frame();
// Turns the exception in flight into a report for `location`.
void Report_Current_Exception(const QString& location, const Trap_Frame& frame);
// The same report, without handing it to the sink.
Failure_Report Describe_Current_Exception(const QString& location, const Trap_Frame& frame);
}  // namespace detail

namespace detail {
// The trapped procedure's frame, current while it runs.
struct Frame_Scope {
  Trap_Frame frame;
  Frame_Scope() {
    frame.outer = Current_Frame();
    Current_Frame() = &frame;
  }
  ~Frame_Scope() { Current_Frame() = frame.outer; }
  Frame_Scope(const Frame_Scope&) = delete;
  Frame_Scope& operator=(const Frame_Scope&) = delete;
};
}  // namespace detail

// Runs body(); on failure reports it under `location` and returns `neutral`.
template <class R, class F>
R Trapped(const QString& location, R neutral, F&& body) {
  detail::Frame_Scope scope;
  try {
    return std::invoke(std::forward<F>(body));
  } catch (...) {
    detail::Report_Current_Exception(location, scope.frame);
    return neutral;
  }
}

// The same for procedures without a result; returns whether the body ran
// through without failure.
template <class F>
bool Trapped(const QString& location, F&& body) {
  return Trapped(location, false, [&] {
    std::invoke(std::forward<F>(body));
    return true;
  });
}

// For the few routines that show their own message box instead of the error
// report ("Get_Form_Pos error ", ...): runs body(); on failure hands the
// failure to `own` (not to the sink) and returns `neutral`.
template <class R, class F, class H>
R Trapped_Own(R neutral, F&& body, H&& own) {
  detail::Frame_Scope scope;
  try {
    return std::invoke(std::forward<F>(body));
  } catch (...) {
    const Failure_Report r = detail::Describe_Current_Exception({}, scope.frame);
    try {
      own(r);
    } catch (...) {
    }
    return neutral;
  }
}

// Checked arithmetic and conversions that raise the program's failures.
int32_t Divide(int32_t a, int32_t b);
int16_t To_Int16(const QString& text);  // 13 when not a number, 6 when out of range
int32_t To_Int32(const QString& text);
int16_t Checked_Int16(int64_t value);  // 6 when out of range
int32_t Checked_Int32(int64_t value);

}  // namespace qm
