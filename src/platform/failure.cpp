#include "platform/failure.h"

#include <QTextStream>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>

namespace qm {

QString Err_Description(int32_t number) {
  switch (number) {
    case Err_Invalid_Call:
      return QStringLiteral("Invalid procedure call or argument");
    case Err_Overflow:
      return QStringLiteral("Overflow");
    case Err_Out_Of_Memory:
      return QStringLiteral("Out of memory");
    case Err_Subscript:
      return QStringLiteral("Subscript out of range");
    case Err_Division_By_Zero:
      return QStringLiteral("Division by zero");
    case Err_Type_Mismatch:
      return QStringLiteral("Type mismatch");
    case Err_Internal:
      return QStringLiteral("Internal error");
    case Err_Bad_File:
      return QStringLiteral("Bad file name or number");
    case Err_File_Not_Found:
      return QStringLiteral("File not found");
    case Err_File_Exists:
      return QStringLiteral("File already exists");
    case Err_Disk_Full:
      return QStringLiteral("Disk full");
    case Err_Input_Past_End:
      return QStringLiteral("Input past end of file");
    case Err_Permission_Denied:
      return QStringLiteral("Permission denied");
    case Err_Path_Access:
      return QStringLiteral("Path/File access error");
    case Err_Path_Not_Found:
      return QStringLiteral("Path not found");
    case Err_Object_Missing:
      return QStringLiteral("Object variable not set");
    case Err_Bad_Format:
      return QStringLiteral("Invalid file format");
    case Err_Printer:
      return QStringLiteral("Printer error");
    case Err_XML_Parse:
      return QStringLiteral("XML parse error");
    default:
      return QStringLiteral("Application-defined or object-defined error");
  }
}

namespace detail {
Trap_Frame*& Current_Frame() {
  // All work runs on the user-interface thread; thread_local keeps helper
  // threads of tests or benchmarks apart.
  thread_local Trap_Frame* frame = nullptr;
  return frame;
}
}  // namespace detail

void Raise(int32_t number, const QString& description) {
  throw Failure(number, description.isEmpty() ? Err_Description(number) : description, 0);
}

void Line(int16_t statement) {
  if (auto* f = detail::Current_Frame()) f->line = statement;
}

void Extra(const QString& text) {
  if (auto* f = detail::Current_Frame()) f->extra = text;
}

namespace {
Failure_Sink& Sink() {
  static Failure_Sink sink;
  return sink;
}

int32_t Errno_To_Err(int e) {
  switch (e) {
    case ENOENT:
      return Err_File_Not_Found;
    case EACCES:
    case EPERM:
    case EROFS:
      return Err_Permission_Denied;
    case ENOMEM:
      return Err_Out_Of_Memory;
    case ENOSPC:
    case EDQUOT:
      return Err_Disk_Full;
    default:
      return Err_Path_Access;
  }
}
}  // namespace

Failure_Sink Set_Failure_Sink(Failure_Sink sink) {
  Failure_Sink old = std::move(Sink());
  Sink() = std::move(sink);
  return old;
}

void Report_Failure(const Failure_Report& report) {
  if (Sink()) {
    Sink()(report);
    return;
  }
  QTextStream err(stderr);
  err << "Location of error: " << report.errproc << " line: " << report.errline << "\n"
      << "error description: " << report.errnum << ", " << report.errdesc << "\n";
}

namespace detail {
Failure_Report Describe_Current_Exception(const QString& location, const Trap_Frame& frame) {
  Failure_Report r;
  r.errproc = location;
  r.errline = frame.line;
  r.err_extra = frame.extra;
  try {
    throw;
  } catch (const Failure& f) {
    r.errnum = f.number;
    r.errdesc = f.description;
    if (f.line != 0) r.errline = f.line;
  } catch (const std::bad_alloc&) {
    r.errnum = Err_Out_Of_Memory;
    r.errdesc = Err_Description(Err_Out_Of_Memory);
  } catch (const std::out_of_range&) {
    r.errnum = Err_Subscript;
    r.errdesc = Err_Description(Err_Subscript);
  } catch (const std::overflow_error&) {
    r.errnum = Err_Overflow;
    r.errdesc = Err_Description(Err_Overflow);
  } catch (const std::invalid_argument&) {
    r.errnum = Err_Type_Mismatch;
    r.errdesc = Err_Description(Err_Type_Mismatch);
  } catch (const std::filesystem::filesystem_error& e) {
    r.errnum = Errno_To_Err(e.code().value());
    r.errdesc = Err_Description(r.errnum);
  } catch (const std::system_error& e) {
    r.errnum = Errno_To_Err(e.code().value());
    r.errdesc = Err_Description(r.errnum);
  } catch (const std::exception& e) {
    r.errnum = Err_Internal;
    r.errdesc = QString::fromLocal8Bit(e.what());
  } catch (...) {
    r.errnum = Err_Internal;
    r.errdesc = Err_Description(Err_Internal);
  }
  return r;
}

void Report_Current_Exception(const QString& location, const Trap_Frame& frame) {
  const Failure_Report r = Describe_Current_Exception(location, frame);
  // A sink that fails must not take the program down with it.
  try {
    Report_Failure(r);
  } catch (...) {
  }
}
}  // namespace detail

int32_t Divide(int32_t a, int32_t b) {
  if (b == 0) Raise(Err_Division_By_Zero);
  if (a == std::numeric_limits<int32_t>::min() && b == -1) Raise(Err_Overflow);
  return a / b;
}

namespace {
int64_t Parse_Integer(const QString& text) {
  // Numbers as the stored files hold them: optional blanks and sign, digits.
  const QString t = text.trimmed();
  bool ok = false;
  const qlonglong v = t.toLongLong(&ok, 10);
  if (!ok) {
    // A decimal number rounds half to even, like the files' writers do.
    const double d = t.toDouble(&ok);
    if (!ok) Raise(Err_Type_Mismatch);
    if (!(d > -9.2e18 && d < 9.2e18)) Raise(Err_Overflow);
    return static_cast<int64_t>(std::nearbyint(d));
  }
  return v;
}
}  // namespace

int16_t Checked_Int16(int64_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    Raise(Err_Overflow);
  return static_cast<int16_t>(value);
}

int32_t Checked_Int32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    Raise(Err_Overflow);
  return static_cast<int32_t>(value);
}

int16_t To_Int16(const QString& text) {
  return Checked_Int16(Parse_Integer(text));
}
int32_t To_Int32(const QString& text) {
  return Checked_Int32(Parse_Integer(text));
}

}  // namespace qm
