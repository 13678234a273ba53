#pragma once
// What Form_Marathon_flexgrid lists: every competitor entry of the marathon
// results file, read afresh from the file, in document order (results in
// file order, competitors in file order within each).

#include <QString>

#include <vector>

namespace qm {

class Marathon_Result_Entry;

struct Marathon_Grid_Row {
  QString heat_id;     // the result's first attribute, leading spaces removed
  QString competitor;  // nbr
  QString time;        // the first elapsed_time below the competitor
};

class Marathon_Grid {
 public:
  std::vector<Marathon_Grid_Row> rows;
  QString Label_file;

  // Reads `result_file` again; rows and label follow it.
  void Fill(const QString& result_file);
  // Right press on grid row `row` (0 = first entry, below the header): asks
  // "Do you want do delete this entry?" and on OK deletes the entry from
  // the set-time window's document (which saves it); then fills again.
  void Delete_Row(int row, Marathon_Result_Entry& entry);
};

}  // namespace qm
