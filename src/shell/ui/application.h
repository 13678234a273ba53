#pragma once
// Start-up with windows: the Qt dialogs, the error window, the main window
// with the results window beside it, the command line's file, the event loop.

#include <memory>

class QApplication;

namespace qm::ui {

class Frm_kanot_2;
class Frm_results;
class Results_Output_Frames;

// The windows that live for the whole run, wired to each other.
struct Window_Set {
  Window_Set();
  ~Window_Set();
  Window_Set(const Window_Set&) = delete;
  Window_Set& operator=(const Window_Set&) = delete;
  std::unique_ptr<Frm_kanot_2> main;
  std::unique_ptr<Frm_results> results;
  std::unique_ptr<Results_Output_Frames> output;
};

int Run_Application(QApplication& app);

}  // namespace qm::ui
