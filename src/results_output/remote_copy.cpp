#include "results_output/remote_copy.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/trace.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qm {

namespace {
int g_percent = 0;
}

QString& Copy_Destination_Folder() {
  static QString folder;
  return folder;
}

int Last_Copy_Percent() {
  return g_percent;
}

Copy_Progress_Reply UpdateFileCopyStatus(int64_t transferred, int64_t total) {
  return Trapped(Where_Module("UpdateFileCopyStatus", "Module_canoe"),
                 Copy_Progress_Reply::Continue, [&] {
                   g_percent = total > 0 ? static_cast<int>(transferred * 100 / total) : 100;
                   QCoreApplication::processEvents();
                   return Copy_Progress_Reply::Continue;
                 });
}

bool File_Copy(const QString& last_captured_file, uint32_t pause_ms) {
  return Trapped(Where_Form("File_Copy", "frm_kanot_2"), false, [&] {
    const QString folder = Copy_Destination_Folder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
      MsgBox(QStringLiteral("Can't find destination folder for file copy!"));
      return false;
    }
    const QString dest = folder + QStringLiteral("/") + QFileInfo(last_captured_file).fileName();
    const Copy_Outcome r = Restartable_Copy(last_captured_file, dest, &UpdateFileCopyStatus);
    if (!r.ok) {
      Trace_Text(QStringLiteral("File_Copy: ") + r.error);
      MsgBox(QStringLiteral("Copy Failed"));
    }
    Sleep_ms(pause_ms);
    return r.ok;
  });
}

}  // namespace qm
