#include "platform/xml_document.h"
#include "support/test_env.h"

#include <QFile>

#include <functional>
#include <vector>

namespace {

using Xml_Document_Test = qmtest::Test;
using qm::Xml_Document;
using qm::Xml_Node;

// Failure number raised by f, 0 when it ran through.
int32_t Raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const qm::Failure& e) {
    return e.number;
  }
  return 0;
}

QByteArray Read_All(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return f.readAll();
}

const char* const kSample =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
    "<root>\r\n"
    "<num_streams>2</num_streams>\r\n"
    "<heat_record id=\"1\"><heat_ID>h1</heat_ID>"
    "<lane_record id=\"0\"><heat_time_mill>100</heat_time_mill></lane_record>"
    "<lane_record id=\"10\"><heat_time_mill>110</heat_time_mill></lane_record></heat_record>\r\n"
    "<heat_record id=\"2\"><heat_ID>h2</heat_ID>"
    "<group><lane_record id=\"0\"><heat_time_mill>200</heat_time_mill></lane_record></group>"
    "</heat_record>\r\n"
    "<class nbr=\"7\"><name>K1 men</name></class>\r\n"
    "<golf><impact_field>33</impact_field></golf>\r\n"
    "<impact_field>outside</impact_field>\r\n"
    "<race><competitor>a</competitor><competitor>b</competitor><x><competitor>c</competitor></x>"
    "</race>\r\n"
    "</root>\r\n";

TEST_F(Xml_Document_Test, XPathFormsOfTheProgramSelectTheFirstMatchOrNone) {
  Xml_Document doc;
  ASSERT_TRUE(doc.Parse(QString::fromLatin1(kSample)).Ok());
  struct Case {
    const char* xpath;
    const char* text;  // nullptr: none
  };
  const std::vector<Case> cases = {
      {"//num_streams", "2"},
      {"//heat_record[@id='1']/heat_ID", "h1"},
      {"//heat_record[@id='2']/heat_ID", "h2"},
      // A descendant step after the predicate reaches below intermediate elements.
      {"//heat_record[@id='2']//lane_record[@id='0']/heat_time_mill", "200"},
      {"//heat_record[@id='1']//lane_record[@id='10']/heat_time_mill", "110"},
      {"//class[@nbr='7']/name", "K1 men"},
      {"//golf/impact_field", "33"},
      // Predicate values compare as text: "01" is not "1".
      {"//heat_record[@id='01']/heat_ID", nullptr},
      {"//heat_record[@id='3']/heat_ID", nullptr},
      {"//no_such_element", nullptr},
      {"//heat_record[@id='2']/heat_time_mill", nullptr},  // not a child
  };
  for (const Case& c : cases) {
    const Xml_Node n = doc.Select_Single_Node(QString::fromLatin1(c.xpath));
    if (!c.text) {
      EXPECT_TRUE(n.Is_None()) << c.xpath;
      continue;
    }
    ASSERT_FALSE(n.Is_None()) << c.xpath;
    EXPECT_EQ(n.Text(), QString::fromLatin1(c.text)) << c.xpath;
  }

  // A bare child name from a node: its children only, counted and indexed.
  const Xml_Node race = doc.Select_Single_Node(QStringLiteral("//race"));
  const std::vector<Xml_Node> competitors = race.Select_Nodes(QStringLiteral("competitor"));
  ASSERT_EQ(competitors.size(), 2u);
  EXPECT_EQ(competitors[1].Text(), QStringLiteral("b"));
  EXPECT_EQ(race.Select_Single_Node(QStringLiteral("competitor")).Text(), QStringLiteral("a"));
  EXPECT_EQ(doc.Select_Nodes(QStringLiteral("//competitor")).size(), 3u);
  EXPECT_TRUE(doc.Select_Nodes(QStringLiteral("//nothing")).empty());
}

TEST_F(Xml_Document_Test, TextOfNoneAndBadPathsRaiseForTheCallersTrap) {
  Xml_Document doc;
  ASSERT_TRUE(doc.Parse(QString::fromLatin1(kSample)).Ok());
  const Xml_Node none = doc.Select_Single_Node(QStringLiteral("//missing"));
  EXPECT_EQ(Raised([&] { (void)none.Text(); }), qm::Err_Object_Missing);
  EXPECT_EQ(Raised([&] { Xml_Node(none).Set_Text(QStringLiteral("x")); }), qm::Err_Object_Missing);
  EXPECT_EQ(Raised([&] { (void)doc.Select_Single_Node(QStringLiteral("//a[@id=")); }),
            qm::Err_Invalid_Call);

  // Reported once, by the procedure that trapped it.
  const QString where = qm::Where_Class("Load_Stuff", "cls_AVI_handler");
  EXPECT_FALSE(qm::Trapped(where, [&] { (void)none.Text(); }));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, where);
  EXPECT_EQ(reports[0].errnum, 91);
}

TEST_F(Xml_Document_Test, ParseErrorGivesCodeReasonLineColumnAndSourceLine) {
  struct Case {
    QString text;
    int32_t line, column;
    QString src_text;
  };
  const std::vector<Case> cases = {
      {QStringLiteral("<a><b></a>"), 1, 9, QStringLiteral("<a><b></a>")},
      {QStringLiteral("<a>\r\n  <b></a>\r\n<c/>"), 2, 8, QStringLiteral("  <b></a>")},
      // Columns count characters, not the bytes of their UTF-8 form.
      {QStringLiteral("<a>\u00e5\u010d<b></a>"), 1, 11, QStringLiteral("<a>\u00e5\u010d<b></a>")},
      {QStringLiteral("<a x=\"1></a>"), 1, 7, QStringLiteral("<a x=\"1></a>")},
  };
  for (const Case& c : cases) {
    Xml_Document doc;
    const qm::Xml_Parse_Error& e = doc.Parse(c.text);
    EXPECT_NE(e.code, 0) << c.text.toStdString();
    EXPECT_FALSE(e.reason.isEmpty());
    EXPECT_EQ(e.line, c.line) << c.text.toStdString();
    EXPECT_EQ(e.column, c.column) << c.text.toStdString();
    EXPECT_EQ(e.src_text, c.src_text) << c.text.toStdString();
    EXPECT_TRUE(doc.Is_Empty()) << "a failed parse leaves the tree empty";
  }

  // An empty text: an empty document, and a code that says so.
  Xml_Document doc;
  EXPECT_NE(doc.Parse(QString()).code, 0);
  EXPECT_TRUE(doc.Is_Empty());
  EXPECT_TRUE(doc.Document_Element().Is_None());
  // A good text afterwards clears the error.
  EXPECT_TRUE(doc.Parse(QStringLiteral("<a/>")).Ok());
  EXPECT_EQ(doc.Parse_Error().code, 0);
  EXPECT_EQ(doc.Document_Element().Node_Name(), QStringLiteral("a"));
}

TEST_F(Xml_Document_Test, Latin1DocumentStoresOneByteACharacterWithReferencesBeyondIt) {
  const QString name = QStringLiteral("\u00c5sa \u00e5 Dra\u010dek \U0001F600");
  Xml_Document doc;
  doc.Append_Declaration(qm::Xml_Encoding::Latin1);
  Xml_Node root = doc.Append_Element(QStringLiteral("r"));
  root.Append_Element(QStringLiteral("name")).Set_Text(name);
  root.Set_Attribute(QStringLiteral("who"), QStringLiteral("\u010d"));

  const QString text = doc.Xml();
  EXPECT_TRUE(text.contains(QStringLiteral("\u00c5sa \u00e5 Dra&#269;ek &#128512;")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("who=\"&#269;\"")));
  for (QChar c : text) ASSERT_LE(c.unicode(), 0xFF) << "the text holds what one byte can";

  const QString path = Tmp("latin1.xml");
  doc.Save_File(path);
  const QByteArray bytes = Read_All(path);
  EXPECT_EQ(bytes, text.toLatin1());
  EXPECT_TRUE(bytes.contains("\xc5sa \xe5 Dra&#269;ek"));
  EXPECT_FALSE(bytes.contains("\xc3\xa5")) << "no UTF-8 in a Latin-1 file";

  Xml_Document back;
  ASSERT_TRUE(back.Load_File(path));
  EXPECT_EQ(back.Select_Single_Node(QStringLiteral("//name")).Text(), name);
  EXPECT_EQ(back.Document_Element().Attribute(QStringLiteral("who")), QStringLiteral("\u010d"));
  EXPECT_EQ(back.Xml(), text) << "read and written back unchanged";

  // The conversion used for the capture file's stored bytes, and back.
  EXPECT_EQ(qm::To_Latin1_Bytes(QStringLiteral("\u00e5\u010d")), QByteArray("\xe5&#269;"));
  EXPECT_EQ(qm::From_Latin1_Bytes(QByteArray("\xe5&#269;")), QStringLiteral("\u00e5&#269;"));
}

TEST_F(Xml_Document_Test, FileEncodingFollowsTheDeclaration) {
  // A file as another program wrote it: Latin-1 bytes, declaration in capitals.
  const QString latin1_path = Tmp("in.xml");
  {
    QFile f(latin1_path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>V\xe4ster\xe5s</r>\r\n");
  }
  Xml_Document in;
  ASSERT_TRUE(in.Load_File(latin1_path));
  EXPECT_EQ(in.Document_Element().Text(), QStringLiteral("V\u00e4ster\u00e5s"));
  EXPECT_EQ(in.Encoding(), qm::Xml_Encoding::Latin1);

  Xml_Document doc;
  doc.Append_Declaration(qm::Xml_Encoding::Utf8);
  doc.Append_Element(QStringLiteral("r")).Set_Text(QStringLiteral("\u00e5 \u010d"));
  const QString path = Tmp("utf8.xml");
  doc.Save_File(path);
  const QByteArray bytes = Read_All(path);
  EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
  EXPECT_TRUE(bytes.contains("<r>\xc3\xa5 \xc4\x8d</r>")) << bytes.toStdString();
  Xml_Document back;
  ASSERT_TRUE(back.Load_File(path));
  EXPECT_EQ(back.Document_Element().Text(), QStringLiteral("\u00e5 \u010d"));

  EXPECT_FALSE(back.Load_File(Tmp("absent.xml")));
  EXPECT_NE(back.Parse_Error().code, 0);
  EXPECT_EQ(Raised([&] { doc.Save_File(Tmp("no/such/folder/x.xml")); }), qm::Err_Path_Not_Found);
}

TEST_F(Xml_Document_Test, NodeOperations) {
  Xml_Document doc;
  ASSERT_TRUE(doc.Parse(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                       "<!--c--><r a=\"1\" b=\"2\"><x>one<y>two</y></x><y/></r>"))
                  .Ok());
  Xml_Node r = doc.Document_Element();
  EXPECT_EQ(r.Parent().Node_Type(), Xml_Node::Kind::Document);
  std::vector<Xml_Node> top = doc.Document_Node().Child_Nodes();
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[0].Node_Type(), Xml_Node::Kind::Declaration);
  EXPECT_EQ(top[0].Node_Value(), QStringLiteral("version=\"1.0\" encoding=\"utf-8\""));
  EXPECT_EQ(top[1].Node_Name(), QStringLiteral("#comment"));
  EXPECT_EQ(top[1].Node_Value(), QStringLiteral("c"));

  // Attribute map.
  ASSERT_EQ(r.Attribute_Count(), 2);
  EXPECT_EQ(r.Attribute_Name(1), QStringLiteral("b"));
  EXPECT_EQ(r.Attribute_Value(1), QStringLiteral("2"));
  EXPECT_EQ(Raised([&] { (void)r.Attribute_Name(2); }), qm::Err_Subscript);
  r.Set_Attribute(QStringLiteral("a"), QStringLiteral("9"));
  EXPECT_EQ(r.Attribute(QStringLiteral("a")), QStringLiteral("9"));
  EXPECT_EQ(r.Attribute_Count(), 2);

  // Text reads all text below; writing replaces the content by one text node.
  Xml_Node x = r.Select_Single_Node(QStringLiteral("x"));
  EXPECT_EQ(x.Text(), QStringLiteral("onetwo"));
  EXPECT_EQ(r.Elements_By_Tag_Name(QStringLiteral("y")).size(), 2u);
  x.Set_Text(QStringLiteral("a < b & c"));
  ASSERT_EQ(x.Child_Nodes().size(), 1u);
  EXPECT_EQ(x.First_Child().Node_Type(), Xml_Node::Kind::Text);
  EXPECT_EQ(x.Xml(), QStringLiteral("<x>a &lt; b &amp; c</x>"));
  EXPECT_EQ(r.Elements_By_Tag_Name(QStringLiteral("y")).size(), 1u);

  // Build, copy across documents, remove.
  Xml_Node z = r.Append_Element(QStringLiteral("z"));
  z.Append_Text(QStringLiteral("t"));
  Xml_Document other;
  Xml_Node copy = other.Document_Node().Append_Copy(r);
  EXPECT_EQ(copy.Xml(), r.Xml());
  r.Remove_Child(z);
  EXPECT_TRUE(r.Select_Single_Node(QStringLiteral("z")).Is_None());
  EXPECT_FALSE(other.Select_Single_Node(QStringLiteral("//z")).Is_None());
  EXPECT_EQ(Raised([&] { r.Remove_Child(copy); }), qm::Err_Invalid_Call);
  EXPECT_EQ(doc.Xml(), QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!--c-->\r\n"
                                      "<r a=\"9\" b=\"2\"><x>a &lt; b &amp; c</x><y/></r>\r\n"));
}

TEST_F(Xml_Document_Test, WhitespaceKeptOrDropped) {
  const QString text = QStringLiteral("<r>\r\n<a>1</a>\r\n  <b> x\r\ny </b>\r\n</r>");
  Xml_Document keep;
  ASSERT_TRUE(keep.Parse(text).Ok());
  EXPECT_EQ(keep.Document_Element().Child_Nodes().size(), 5u);
  EXPECT_EQ(keep.Xml(), text + QStringLiteral("\r\n"));

  Xml_Document drop;
  ASSERT_TRUE(drop.Parse(text, Xml_Document::Whitespace::Drop).Ok());
  EXPECT_EQ(drop.Document_Element().Child_Nodes().size(), 2u);
  EXPECT_EQ(drop.Select_Single_Node(QStringLiteral("//b")).Text(), QStringLiteral(" x\ny "));
}

}  // namespace
