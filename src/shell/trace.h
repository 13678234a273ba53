#pragma once
// Trace lines to an external viewer (qmtrace) over the local socket
// "quaymark-trace". The viewer is looked for once, at the first trace call;
// without one, tracing costs nothing for the rest of the run, and a viewer
// that goes away later is still addressed (the sends simply fail).
//
// On the socket each line is one message: its length as four bytes (big
// endian), then the line's bytes in the local 8-bit encoding, no terminator.

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

namespace qm {

void Trace_Line(const QVariantList& values);
void Trace_Text(const QString& text);

// The line as it is sent: "<program> C: <pid>: <tid>: yyyymmdd hhnnss: v1\tv2\t".
// A value that is a list gives each element followed by a TAB.
QString Format_Trace_Line(const QString& program, qint64 process_id, qint64 thread_id,
                          const QDateTime& when, const QVariantList& values);

// The debug command "Test tracing".
void Test_Tracing();

// For tests: each line's values (the text after the line's prefix) also go
// to `tap`, viewer or not. Returns the previous tap.
using Trace_Tap = std::function<void(const QString& values)>;
Trace_Tap Set_Trace_Tap(Trace_Tap tap);

// For tests: forget the outcome of the viewer search (next trace searches again).
void Reset_Trace_For_Test();

inline constexpr const char* Trace_Socket_Name = "quaymark-trace";

}  // namespace qm
