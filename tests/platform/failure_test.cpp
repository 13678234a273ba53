#include "platform/failure.h"
#include "support/test_env.h"

#include <stdexcept>
#include <vector>

namespace {

using Failure_Test = qmtest::Test;

TEST_F(Failure_Test, TrappedReportsLocationNumberAndStatementAndReturnsNeutral) {
  const QString where = qm::Where_Form("item_misbehave_Click", "frm_kanot_2");
  int r = qm::Trapped(where, -7, [] {
    qm::Line(20);
    return qm::Divide(5, 20 - 20);
  });
  EXPECT_EQ(r, -7);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("item_misbehave_Click of Form frm_kanot_2"));
  EXPECT_EQ(reports[0].errnum, 11);
  EXPECT_EQ(reports[0].errdesc, QStringLiteral("Division by zero"));
  EXPECT_EQ(reports[0].errline, 20);
}

TEST_F(Failure_Test, NestedProcedureReportsOnceAndOuterCarriesOn) {
  const QString inner = qm::Where_Class("Inner", "cls_AVI_handler");
  const QString outer = qm::Where_Module("Outer", "Module_canoe");
  bool outer_finished = qm::Trapped(outer, [&] {
    qm::Line(10);
    qm::Trapped(inner, [] { qm::Raise(qm::Err_File_Not_Found); });
    // The inner frame's statement number must not leak into this one.
    qm::Raise(qm::Err_Permission_Denied, QStringLiteral("custom"));
  });
  EXPECT_FALSE(outer_finished);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].errproc, inner);
  EXPECT_EQ(reports[0].errline, 0);
  EXPECT_EQ(reports[0].errnum, 53);
  EXPECT_EQ(reports[1].errproc, outer);
  EXPECT_EQ(reports[1].errline, 10);
  EXPECT_EQ(reports[1].errdesc, QStringLiteral("custom"));
}

TEST_F(Failure_Test, LibraryExceptionsMapToTheTable) {
  struct Case {
    std::function<void()> thrower;
    int32_t number;
  };
  const std::vector<Case> cases = {
      {[] { std::vector<int> v; (void)v.at(3); }, qm::Err_Subscript},
      {[] { throw std::bad_alloc(); }, qm::Err_Out_Of_Memory},
      {[] { throw std::overflow_error("x"); }, qm::Err_Overflow},
      {[] { (void)qm::To_Int16(QStringLiteral("abc")); }, qm::Err_Type_Mismatch},
      {[] { (void)qm::To_Int16(QStringLiteral("32768")); }, qm::Err_Overflow},
      {[] { throw 42; }, qm::Err_Internal},
  };
  for (const Case& c : cases) qm::Trapped(QStringLiteral("p"), c.thrower);
  ASSERT_EQ(reports.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(reports[i].errnum, cases[i].number) << i;
}

TEST_F(Failure_Test, NumberConversions) {
  EXPECT_EQ(qm::To_Int16(QStringLiteral(" -32768 ")), -32768);
  EXPECT_EQ(qm::To_Int32(QStringLiteral("2147483647")), 2147483647);
  EXPECT_EQ(qm::To_Int32(QStringLiteral("2.5")), 2);  // half to even
  EXPECT_EQ(qm::To_Int32(QStringLiteral("3.5")), 4);
  Expect_No_Reports();
}

}  // namespace
