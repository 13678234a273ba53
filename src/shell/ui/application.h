#pragma once
class QApplication;
namespace qm::ui {
// Start-up with windows: installs the Qt dialogs and the error window, loads
// the main window, opens the command line's file, runs the event loop.
int Run_Application(QApplication& app);
}  // namespace qm::ui
