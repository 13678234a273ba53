#pragma once
// Every message box, input box and file dialog of the program goes through
// this one interface. The windows install the Qt implementation, qmtool one
// that answers from its options, tests a script (Scripted_Dialogs).

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace qm {

enum class Buttons { OK, OK_Cancel, Yes_No, Yes_No_Cancel, Retry_Cancel, Abort_Retry_Ignore };
enum class Answer { OK, Cancel, Yes, No, Retry, Abort, Ignore };
enum class Icon { None, Critical, Question, Exclamation, Information };

struct Message_Request {
  QString text;
  QString title;  // empty: the product name
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  int default_button = 1;  // 1-based, as the buttons stand left to right
};

struct File_Request {
  enum class Kind { Open, Save, Folder } kind = Kind::Open;
  QString title;
  QString folder;  // initial folder
  QString filter;  // "Capture files (*.kv2 *.avi);;All files (*)"
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual Answer Message(const Message_Request& request) = 0;
  // nullopt when the operator cancels.
  virtual std::optional<QString> Input(const QString& prompt, const QString& title,
                                       const QString& default_text) = 0;
  // Empty when cancelled.
  virtual QString File(const File_Request& request) = 0;
};

// The installed implementation. Without one, a Scripted_Dialogs with an empty
// script answers (Cancel to every question).
Dialogs& dialogs();
// Installs `d` (not owned); returns the previous one. nullptr restores the default.
Dialogs* Set_Dialogs(Dialogs* d);

// Shorthands in the shape the program uses them.
Answer MsgBox(const QString& text, Buttons buttons = Buttons::OK, const QString& title = {},
              Icon icon = Icon::None, int default_button = 1);
std::optional<QString> InputBox(const QString& prompt, const QString& title = {},
                                const QString& default_text = {});

// Answers from a script, records every request. When the script runs dry a
// question is answered Cancel (or No where Cancel is not offered), an input
// box is cancelled and a file dialog returns nothing.
class Scripted_Dialogs : public Dialogs {
 public:
  struct Record {
    enum class Kind { Message, Input, File } kind;
    QString text;  // message text, input prompt or file-dialog title
    QString title;
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    QString detail;  // input box: the default text; file dialog: the filter
  };
  using Reply = std::variant<Answer, std::optional<QString>>;

  void Answer_With(Answer a) { script_.push_back(a); }
  void Input_With(std::optional<QString> text) { script_.push_back(std::move(text)); }
  void File_With(const QString& path) { script_.push_back(std::optional<QString>(path)); }

  Answer Message(const Message_Request& request) override;
  std::optional<QString> Input(const QString& prompt, const QString& title,
                               const QString& default_text) override;
  QString File(const File_Request& request) override;

  const std::vector<Record>& records() const { return records_; }
  QStringList Texts() const;  // every recorded text, in order
  bool Script_Empty() const { return script_.empty(); }
  void Clear() {
    records_.clear();
    script_.clear();
  }

  // Called with each message as it is recorded (qmtool prints them).
  std::function<void(const Record&)> on_record;

 private:
  std::deque<Reply> script_;
  std::vector<Record> records_;
};

// Answer when a script runs dry for a given button set.
Answer Refusal_For(Buttons buttons);

}  // namespace qm
