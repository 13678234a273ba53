// qmtool new-header, checked from outside: xmllint and Qt's own XML reader,
// not the service that wrote it.
#include "support/test_env.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace {

using New_Header_Tool_Test = qmtest::Test;

QByteArray Run_New_Header(int* exit_code) {
  QProcess p;
  p.start(QStringLiteral(QM_QMTOOL), {QStringLiteral("new-header")});
  EXPECT_TRUE(p.waitForFinished(60000));
  *exit_code = p.exitCode();
  EXPECT_FALSE(p.readAllStandardError().contains("Location of error")) << "no error report";
  return p.readAllStandardOutput();
}

TEST_F(New_Header_Tool_Test, PrintsTheStoredHeaderThatXmllintAccepts) {
  int code = -1;
  const QByteArray bytes = Run_New_Header(&code);
  ASSERT_EQ(code, 0);
  EXPECT_TRUE(
      bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                       "<!--XML file containing KVS DV header-->\r\n<KVS_header>"));
  EXPECT_TRUE(bytes.endsWith("</KVS_header>\r\n"));
  EXPECT_TRUE(bytes.contains("<start_lane>1</start_lane>\r\n<heat_record id=\"1\">"));
  EXPECT_FALSE(bytes.contains("\n\n")) << "no indentation, no empty lines";
  EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << "every line break is CR LF";
  EXPECT_LE(bytes.size(), 32767) << "a new header must fit the capture file's length field";

  QProcess lint;
  lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
  ASSERT_TRUE(lint.waitForStarted(10000)) << "xmllint (libxml2-utils) is needed";
  lint.write(bytes);
  lint.closeWriteChannel();
  ASSERT_TRUE(lint.waitForFinished(60000));
  EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();

  // The root's sections, in order, and the records they hold.
  QXmlStreamReader xml(bytes);
  QStringList sections;
  int depth = 0, heats = 0, lanes = 0, classes = 0, traces = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType t = xml.readNext();
    if (t == QXmlStreamReader::StartElement) {
      ++depth;
      if (depth == 2) sections << xml.name().toString();
      heats += xml.name() == QLatin1String("heat_record");
      lanes += xml.name() == QLatin1String("lane_record");
      classes += xml.name() == QLatin1String("marathonclass");
      traces += xml.name() == QLatin1String("trace");
    } else if (t == QXmlStreamReader::EndElement) {
      --depth;
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(sections, (QStringList{QStringLiteral("file_data"), QStringLiteral("quaymark"),
                                   QStringLiteral("traces")}));
  EXPECT_EQ(heats, 5);
  EXPECT_EQ(lanes, 80);
  EXPECT_EQ(classes, 30);
  EXPECT_EQ(traces, 10);
}

TEST_F(New_Header_Tool_Test, ArgumentsAreAUsageError) {
  QProcess p;
  p.start(QStringLiteral(QM_QMTOOL), {QStringLiteral("new-header"), QStringLiteral("extra")});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 2);
  EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

}  // namespace
