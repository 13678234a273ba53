#pragma once
// Start-up and exit of the program: single instance, the INI file check,
// opening the command line's file, the exit sequence over the loaded windows,
// and the Specials commands that belong to the shell.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QLockFile;

namespace qm {

// ---- Loaded windows -------------------------------------------------------
// Every window adds itself when it loads and leaves when it unloads (or is
// destroyed); the exit sequence unloads whatever is still there.
class Loaded_Window {
 public:
  Loaded_Window() = default;
  Loaded_Window(const Loaded_Window&) = delete;
  Loaded_Window& operator=(const Loaded_Window&) = delete;
  virtual ~Loaded_Window();  // leaves the list
  // The form name ("Frm_kanot_2", "KVS_error_form", ...).
  virtual QString Window_Name() const = 0;
  // The window's unload: stores its position, closes what it holds, goes.
  virtual void Unload() = 0;
};
void Window_Loaded(Loaded_Window* w);
void Window_Unloaded(Loaded_Window* w);
std::vector<Loaded_Window*> Loaded_Windows();

// ---- Single instance --------------------------------------------------------
// A lock file in the user's runtime folder, held for the whole run.
QString Instance_Lock_Path();
class Instance_Lock {
 public:
  explicit Instance_Lock(const QString& path = Instance_Lock_Path());
  ~Instance_Lock();
  // False when another running instance holds the lock.
  bool Claim();

 private:
  std::unique_ptr<QLockFile> lock_;
};
// Main window start-up step: shows "An instance of this program already
// running..." and returns false when another instance runs.
bool Check_Single_Instance(Instance_Lock& lock);

// ---- INI file ---------------------------------------------------------------
// Main window start-up step: with no INI file asks "INI file not found!
// Create? (No exits program)"; Yes creates an empty file, No returns false
// (the program ends before its main window shows).
bool Check_Ini_File();

// ---- Command line -----------------------------------------------------------
// The command line as one text (the program's arguments joined by blanks).
QString Command_Line(const QStringList& arguments_without_program);
// Opens the file named on the command line with `open` when it exists.
// Surrounding double quotes are dropped only when they are there.
using Open_File = std::function<void(const QString& path)>;
void Start_Association(const QString& command_line, const Open_File& open);

// ---- Exit -------------------------------------------------------------------
// Asks "Exiting Quaymark, are you sure?"; on OK sets Exit_Requested and
// unloads every loaded window. Returns whether the program is ending.
bool Quaymark_exit();

// Ends the process at once (error window "Exit program", an untrapped
// failure). Tests put a hook in its place.
using End_Program_Hook = std::function<void(int status)>;
End_Program_Hook Set_End_Program_Hook(End_Program_Hook hook);
void End_Program(int status);

// ---- Specials menu ----------------------------------------------------------
// "Rename ini file": Quaymark.ini becomes Quaymark.inx in the same folder.
void Rename_Ini_File();

// "Associate_kv2": a desktop entry and a shared-mime-info type for "*.kv2"
// under the user's data folder, made the default with xdg-mime when present.
// `program` is the program to open the files with (empty: this program).
void Associate_File_Extension(const QString& program = {});
// The desktop entry's Exec value for `program`, quoted as desktop entries
// require.
QString Desktop_Exec_Line(const QString& program);
// Runs a desktop tool (update-mime-database, xdg-mime, ...) when it is
// installed; tests record the calls instead.
using Command_Runner = std::function<int(const QString& program, const QStringList& args)>;
Command_Runner Set_Command_Runner(Command_Runner runner);

// "Misbehave (trapped)": division by zero inside a trapped procedure.
void Misbehave_Trapped();
// "Misbehave (untrapped)": the same division without a trap; the run-time's
// message is shown and the program ends.
void Misbehave_Untrapped();

}  // namespace qm
