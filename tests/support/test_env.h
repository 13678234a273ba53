#pragma once
// Shared test set-up: every test starts with scripted dialogs and a recorder
// of error reports; gtest prints QStrings readably.

#include "platform/dialogs.h"
#include "platform/failure.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace qmtest {

class Environment : public ::testing::Environment {
public:
  void SetUp() override;
};

// Base fixture: scripted dialogs installed, failure reports collected, a
// fresh temporary folder. Tests that expect no report call Expect_No_Reports().
class Test : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  qm::Scripted_Dialogs dialogs;
  std::vector<qm::Failure_Report> reports;
  QTemporaryDir tmp;
  QString Tmp(const QString& name) const { return tmp.filePath(name); }
  void Expect_No_Reports() const;

private:
  qm::Dialogs* previous_dialogs_ = nullptr;
  qm::Failure_Sink previous_sink_;
};

}  // namespace qmtest
