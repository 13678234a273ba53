#pragma once
// The CSV result file: one header line of six fields, one line per filled
// row of the results window, "end"; ";" between fields, CR LF after every
// line, one byte a character (Latin-1, numeric character references beyond).

#include <QByteArray>
#include <QString>

namespace qm {

struct Heat_Facts;
struct Result_Rows;

// The file's bytes. `event_name` is the export event name, `computer` the
// name of this computer.
QByteArray Csv_Bytes(const Heat_Facts& facts, const Result_Rows& rows, const QString& event_name,
                     const QString& computer);

// A file name taken from file content made safe: ":", "-", ",", "/" and
// control characters become "_".
QString Safe_Result_Name(const QString& name);

// Full path of the CSV file: folder + "/" + name + ".csv", the name being
// "QM_Result_Heat" + heat label or, once, the alternative name (which is
// emptied). Only the name is made safe; the folder is joined as it stands.
// Raises 52 for a name that would leave the folder.
QString Csv_Export_Path(const QString& folder, const QString& heat_label,
                        QString& alternative_name);

}  // namespace qm
