#include "marathon/marathon_grid.h"

#include "marathon/marathon_entry.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/xml_document.h"

namespace qm {

namespace {
constexpr const char* Frm = "Form_Marathon_flexgrid";
}  // namespace

void Marathon_Grid::Fill(const QString& result_file) {
  rows.clear();
  Trapped(Where_Form("Fill_Grid", Frm), [&] {
    Xml_Document doc;
    if (!doc.Load_File(result_file)) {
      Extra(result_file + QStringLiteral(": ") + doc.Parse_Error().reason);
      Raise(File_Exists(result_file) ? Err_XML_Parse : Err_File_Not_Found);
    }
    for (const Xml_Node& result : doc.Select_Nodes(QStringLiteral("//result"))) {
      const QString id = result.Attribute_Count() > 0
                             ? Without_Leading_Spaces(result.Attribute_Value(0))
                             : QString();
      for (const Xml_Node& c : result.Select_Nodes(QStringLiteral("competitor"))) {
        const Xml_Node time = c.Select_Single_Node(QStringLiteral(".//elapsed_time"));
        rows.push_back(
            {id, c.Attribute(QStringLiteral("nbr")), time.Is_None() ? QString() : time.Text()});
      }
    }
  });
  Label_file = QStringLiteral("File: ") + result_file + QStringLiteral("\r\n") +
               QString::number(rows.size()) + QStringLiteral(" entries");
}

void Marathon_Grid::Delete_Row(int row, Marathon_Result_Entry& entry) {
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  if (MsgBox(QStringLiteral("Do you want do delete this entry?"), Buttons::OK_Cancel) != Answer::OK)
    return;
  const Marathon_Grid_Row r = rows[static_cast<size_t>(row)];
  if (entry.obj_Marathon_Result.Delete_Competitor_Node(r.heat_id, r.competitor))
    entry.Update_Num_Entries();
  Fill(entry.Result_File);
}

}  // namespace qm
