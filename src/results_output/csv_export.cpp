#include "results_output/csv_export.h"

#include "platform/xml_document.h"
#include "race_timing/result_rows.h"
#include "results_output/heat_facts.h"
#include "results_output/result_file.h"

namespace qm {

QByteArray Csv_Bytes(const Heat_Facts& facts, const Result_Rows& rows, const QString& event_name,
                     const QString& computer) {
  const QString sep = QStringLiteral(";");
  const QString eol = QStringLiteral("\r\n");
  QString t = event_name + sep + rows.Lbl_heat + sep + Export_Date_Text(facts.creation_date) + sep +
              Export_Heat_Start_Text(facts.start_local_ms) + sep + facts.last_capture + sep +
              computer + eol;
  for (const Result_Row& r : rows.rows) {
    if (!r.Filled()) break;
    QString time = r.time;
    while (time.startsWith(QLatin1Char(' '))) time.remove(0, 1);
    t += r.place + sep + r.lane + sep + time;
    if (!r.delta.isEmpty()) t += sep + r.delta;
    t += eol;
  }
  t += QStringLiteral("end") + eol;
  return To_Latin1_Bytes(t);
}

QString Safe_Result_Name(const QString& name) {
  QString out = name;
  for (QChar& c : out) {
    const ushort u = c.unicode();
    if (u < 0x20 || u == 0x7f || c == QLatin1Char(':') || c == QLatin1Char('-') ||
        c == QLatin1Char(',') || c == QLatin1Char('/'))
      c = QLatin1Char('_');
  }
  return out;
}

QString Csv_Export_Path(const QString& folder, const QString& heat_label,
                        QString& alternative_name) {
  QString name = QStringLiteral("QM_Result_Heat") + heat_label;
  if (!alternative_name.isEmpty()) {
    name = alternative_name;
    alternative_name.clear();
  }
  Require_Name_Inside_Folder(name);
  return folder + QStringLiteral("/") + Safe_Result_Name(name) + QStringLiteral(".csv");
}

}  // namespace qm
