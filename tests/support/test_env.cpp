#include "support/test_env.h"

#include "shell/app_globals.h"

namespace qmtest {

void Environment::SetUp() { qm::Quaymark_Initialization(); }

void Test::SetUp() {
  previous_dialogs_ = qm::Set_Dialogs(&dialogs);
  previous_sink_ =
      qm::Set_Failure_Sink([this](const qm::Failure_Report& r) { reports.push_back(r); });
  ASSERT_TRUE(tmp.isValid());
}

void Test::TearDown() {
  qm::Set_Failure_Sink(std::move(previous_sink_));
  qm::Set_Dialogs(previous_dialogs_);
}

void Test::Expect_No_Reports() const {
  for (const auto& r : reports)
    ADD_FAILURE() << "unexpected error report: " << r.errproc.toStdString() << ": " << r.errnum
                  << " " << r.errdesc.toStdString();
}

}  // namespace qmtest
