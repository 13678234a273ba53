#include "platform/xml_document.h"

#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <string>

namespace qm {

namespace {

std::string U8(const QString& s) {
  return s.toStdString();
}
QString Q(const char* s) {
  return QString::fromUtf8(s);
}

// Collects what pugixml prints into one UTF-8 string.
struct String_Writer : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

unsigned Parse_Options(Xml_Document::Whitespace ws) {
  // Declarations, comments and instructions are kept so that a document read
  // and written back loses nothing.
  unsigned o = pugi::parse_full;
  if (ws == Xml_Document::Whitespace::Keep) {
    o |= pugi::parse_ws_pcdata;
    o &= ~pugi::parse_eol;
  }
  return o;
}

const unsigned kPrint = pugi::format_raw | pugi::format_no_declaration;

QString Print(pugi::xml_node n) {
  String_Writer w;
  n.print(w, "", kPrint, pugi::encoding_utf8);
  return QString::fromStdString(w.out);
}

bool Is_Latin1_Name(const QString& encoding) {
  const QString e = encoding.trimmed().toLower();
  return e == QLatin1String("iso-8859-1") || e == QLatin1String("latin1") ||
         e == QLatin1String("latin-1") || e == QLatin1String("iso_8859-1") ||
         e == QLatin1String("iso8859-1");
}

void Collect_Text(pugi::xml_node n, QString& out) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
      out += Q(c.value());
    else if (c.type() == pugi::node_element)
      Collect_Text(c, out);
  }
}

pugi::xpath_node_set Evaluate(pugi::xml_node n, const QString& xpath) {
  try {
    return n.select_nodes(U8(xpath).c_str());
  } catch (const pugi::xpath_exception& e) {
    Raise(Err_Invalid_Call, QStringLiteral("Invalid XPath \"%1\": %2").arg(xpath, Q(e.what())));
  }
}

}  // namespace

// ---------------------------------------------------------------- Xml_Node

pugi::xml_node Xml_Node::Need() const {
  if (!n_) Raise(Err_Object_Missing);
  return n_;
}

Xml_Node::Kind Xml_Node::Node_Type() const {
  switch (n_.type()) {
    case pugi::node_null:
      return Kind::None;
    case pugi::node_document:
      return Kind::Document;
    case pugi::node_element:
      return Kind::Element;
    case pugi::node_pcdata:
      return Kind::Text;
    case pugi::node_cdata:
      return Kind::Cdata;
    case pugi::node_comment:
      return Kind::Comment;
    case pugi::node_pi:
      return Kind::Processing_Instruction;
    case pugi::node_declaration:
      return Kind::Declaration;
    case pugi::node_doctype:
      return Kind::Doctype;
  }
  return Kind::None;
}

QString Xml_Node::Node_Name() const {
  switch (Need().type()) {
    case pugi::node_document:
      return QStringLiteral("#document");
    case pugi::node_pcdata:
      return QStringLiteral("#text");
    case pugi::node_cdata:
      return QStringLiteral("#cdata-section");
    case pugi::node_comment:
      return QStringLiteral("#comment");
    default:
      return Q(n_.name());
  }
}

QString Xml_Node::Base_Name() const {
  const QString name = Node_Name();
  const qsizetype colon = name.indexOf(QLatin1Char(':'));
  return colon < 0 ? name : name.mid(colon + 1);
}

QString Xml_Node::Node_Value() const {
  if (Need().type() == pugi::node_declaration) {
    // A declaration's data, as an instruction would hold it.
    QString data;
    for (pugi::xml_attribute a = n_.first_attribute(); a; a = a.next_attribute()) {
      if (!data.isEmpty()) data += QLatin1Char(' ');
      data += Q(a.name()) + QStringLiteral("=\"") + Q(a.value()) + QLatin1Char('"');
    }
    return data;
  }
  return Q(n_.value());
}

void Xml_Node::Set_Node_Value(const QString& value) {
  if (!Need().set_value(U8(value).c_str())) Raise(Err_Invalid_Call);
}

QString Xml_Node::Text() const {
  const pugi::xml_node n = Need();
  if (n.type() != pugi::node_element && n.type() != pugi::node_document) return Q(n.value());
  QString out;
  Collect_Text(n, out);
  return out;
}

void Xml_Node::Set_Text(const QString& text) {
  pugi::xml_node n = Need();
  if (n.type() != pugi::node_element) {
    if (!n.set_value(U8(text).c_str())) Raise(Err_Invalid_Call);
    return;
  }
  while (pugi::xml_node c = n.first_child()) n.remove_child(c);
  if (!text.isEmpty()) n.append_child(pugi::node_pcdata).set_value(U8(text).c_str());
}

Xml_Node Xml_Node::Parent() const {
  return Xml_Node(Need().parent());
}

std::vector<Xml_Node> Xml_Node::Child_Nodes() const {
  std::vector<Xml_Node> out;
  for (pugi::xml_node c = Need().first_child(); c; c = c.next_sibling()) out.emplace_back(c);
  return out;
}

std::vector<Xml_Node> Xml_Node::Child_Elements() const {
  std::vector<Xml_Node> out;
  for (pugi::xml_node c = Need().first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element) out.emplace_back(c);
  return out;
}

bool Xml_Node::Has_Children() const {
  return bool(Need().first_child());
}
Xml_Node Xml_Node::First_Child() const {
  return Xml_Node(Need().first_child());
}
Xml_Node Xml_Node::Next_Sibling() const {
  return Xml_Node(Need().next_sibling());
}

Xml_Node Xml_Node::Append_Element(const QString& name) {
  pugi::xml_node c = Need().append_child(U8(name).c_str());
  if (!c) Raise(Err_Invalid_Call);
  return Xml_Node(c);
}

Xml_Node Xml_Node::Append_Text(const QString& text) {
  pugi::xml_node c = Need().append_child(pugi::node_pcdata);
  if (!c) Raise(Err_Invalid_Call);
  c.set_value(U8(text).c_str());
  return Xml_Node(c);
}

Xml_Node Xml_Node::Append_Comment(const QString& text) {
  pugi::xml_node c = Need().append_child(pugi::node_comment);
  if (!c) Raise(Err_Invalid_Call);
  c.set_value(U8(text).c_str());
  return Xml_Node(c);
}

Xml_Node Xml_Node::Append_Processing_Instruction(const QString& target, const QString& data) {
  pugi::xml_node c = Need().append_child(pugi::node_pi);
  if (!c) Raise(Err_Invalid_Call);
  c.set_name(U8(target).c_str());
  c.set_value(U8(data).c_str());
  return Xml_Node(c);
}

Xml_Node Xml_Node::Append_Copy(const Xml_Node& proto) {
  if (!proto) Raise(Err_Object_Missing);
  pugi::xml_node c = Need().append_copy(proto.n_);
  if (!c) Raise(Err_Invalid_Call);
  return Xml_Node(c);
}

void Xml_Node::Remove_Child(const Xml_Node& child) {
  if (!child || child.n_.parent() != Need()) Raise(Err_Invalid_Call);
  n_.remove_child(child.n_);
}

int Xml_Node::Attribute_Count() const {
  int count = 0;
  for (pugi::xml_attribute a = Need().first_attribute(); a; a = a.next_attribute()) ++count;
  return count;
}

namespace {
pugi::xml_attribute Attribute_At(pugi::xml_node n, int index) {
  int i = 0;
  for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute(), ++i)
    if (i == index) return a;
  Raise(Err_Subscript);
}
}  // namespace

QString Xml_Node::Attribute_Name(int index) const {
  return Q(Attribute_At(Need(), index).name());
}
QString Xml_Node::Attribute_Value(int index) const {
  return Q(Attribute_At(Need(), index).value());
}

bool Xml_Node::Has_Attribute(const QString& name) const {
  return bool(Need().attribute(U8(name).c_str()));
}

QString Xml_Node::Attribute(const QString& name) const {
  return Q(Need().attribute(U8(name).c_str()).value());
}

void Xml_Node::Set_Attribute(const QString& name, const QString& value) {
  const std::string n = U8(name);
  pugi::xml_attribute a = Need().attribute(n.c_str());
  if (!a) a = n_.append_attribute(n.c_str());
  if (!a) Raise(Err_Invalid_Call);
  a.set_value(U8(value).c_str());
}

void Xml_Node::Remove_Attribute(const QString& name) {
  Need().remove_attribute(U8(name).c_str());
}

std::vector<Xml_Node> Xml_Node::Elements_By_Tag_Name(const QString& name) const {
  struct Walker : pugi::xml_tree_walker {
    std::string name;
    bool all = false;
    std::vector<Xml_Node> out;
    bool for_each(pugi::xml_node& n) override {
      if (n.type() == pugi::node_element && (all || name == n.name())) out.emplace_back(n);
      return true;
    }
  } w;
  w.name = U8(name);
  w.all = name == QLatin1String("*");
  Need().traverse(w);
  return std::move(w.out);
}

Xml_Node Xml_Node::Select_Single_Node(const QString& xpath) const {
  const pugi::xpath_node_set set = Evaluate(Need(), xpath);
  for (const pugi::xpath_node& x : set)
    if (x.node()) return Xml_Node(x.node());
  return {};
}

std::vector<Xml_Node> Xml_Node::Select_Nodes(const QString& xpath) const {
  const pugi::xpath_node_set set = Evaluate(Need(), xpath);
  std::vector<Xml_Node> out;
  out.reserve(set.size());
  for (const pugi::xpath_node& x : set)
    if (x.node()) out.emplace_back(x.node());
  return out;
}

QString Xml_Node::Xml() const {
  const pugi::xml_node n = Need();
  QString text;
  if (n.type() == pugi::node_document) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
      text += Print(c) + QStringLiteral("\r\n");
  } else {
    text = Print(n);
  }
  // A Latin-1 document's text is what its file holds.
  Xml_Encoding enc = Xml_Encoding::Utf8;
  for (pugi::xml_node c = n.root().first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_declaration) {
      if (Is_Latin1_Name(Q(c.attribute("encoding").value()))) enc = Xml_Encoding::Latin1;
      break;
    }
  return enc == Xml_Encoding::Latin1 ? With_Char_Refs(text) : text;
}

// ------------------------------------------------------------ Xml_Document

Xml_Document::Xml_Document() : doc_(std::make_unique<pugi::xml_document>()) {}
Xml_Document::~Xml_Document() = default;

const Xml_Parse_Error& Xml_Document::Parse(const QString& text, Whitespace ws) {
  const QByteArray utf8 = text.toUtf8();
  const pugi::xml_parse_result r = doc_->load_buffer(utf8.constData(), size_t(utf8.size()),
                                                     Parse_Options(ws), pugi::encoding_utf8);
  error_ = Xml_Parse_Error{};
  if (r) return error_;
  doc_->reset();
  error_.code = int32_t(r.status);
  error_.reason = Q(r.description());
  // pugixml counts bytes of UTF-8; the report counts characters.
  const qsizetype offset = qBound<qsizetype>(0, qsizetype(r.offset), utf8.size());
  const QString before = QString::fromUtf8(utf8.constData(), offset);
  const qsizetype line_start = before.lastIndexOf(QLatin1Char('\n')) + 1;
  error_.line = int32_t(before.count(QLatin1Char('\n')) + 1);
  error_.column = int32_t(before.size() - line_start + 1);
  qsizetype line_end = text.indexOf(QLatin1Char('\n'), line_start);
  if (line_end < 0) line_end = text.size();
  error_.src_text = text.mid(line_start, line_end - line_start);
  if (error_.src_text.endsWith(QLatin1Char('\r'))) error_.src_text.chop(1);
  return error_;
}

bool Xml_Document::Load_File(const QString& path, Whitespace ws) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    doc_->reset();
    error_ = Xml_Parse_Error{};
    error_.code = int32_t(pugi::status_file_not_found);
    error_.reason = f.errorString();
    return false;
  }
  QByteArray bytes = f.readAll();
  // The declaration names the encoding; it is plain ASCII in both.
  static const QRegularExpression decl(
      QStringLiteral(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])"));
  const QRegularExpressionMatch m = decl.match(QString::fromLatin1(bytes.left(200)));
  QString text;
  if (m.hasMatch() && Is_Latin1_Name(m.captured(1))) {
    text = From_Latin1_Bytes(bytes);
  } else {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    text = QString::fromUtf8(bytes);
  }
  return Parse(text, ws).Ok();
}

void Xml_Document::Save_File(const QString& path) const {
  const QByteArray bytes = Bytes();
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    const QFileInfo dir(QFileInfo(path).absolutePath());
    if (!dir.exists()) Raise(Err_Path_Not_Found);
    if (f.error() == QFileDevice::PermissionsError || !dir.isWritable())
      Raise(Err_Permission_Denied);
    Raise(Err_Path_Access);
  }
  if (f.write(bytes) != bytes.size() || !f.commit()) Raise(Err_Path_Access);
}

QString Xml_Document::Xml() const {
  return Document_Node().Xml();
}

QByteArray Xml_Document::Bytes() const {
  const QString text = Xml();
  // Xml() of a Latin-1 document holds nothing beyond Latin-1 any more.
  return Encoding() == Xml_Encoding::Latin1 ? text.toLatin1() : text.toUtf8();
}

Xml_Encoding Xml_Document::Encoding() const {
  for (pugi::xml_node c = doc_->first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_declaration)
      return Is_Latin1_Name(Q(c.attribute("encoding").value())) ? Xml_Encoding::Latin1
                                                                : Xml_Encoding::Utf8;
  return Xml_Encoding::Utf8;
}

void Xml_Document::Clear() {
  doc_->reset();
  error_ = Xml_Parse_Error{};
}

bool Xml_Document::Is_Empty() const {
  return !doc_->first_child();
}

Xml_Node Xml_Document::Document_Node() const {
  return Xml_Node(*doc_);
}
Xml_Node Xml_Document::Document_Element() const {
  return Xml_Node(doc_->document_element());
}

Xml_Node Xml_Document::Append_Declaration(Xml_Encoding encoding) {
  pugi::xml_node d = doc_->append_child(pugi::node_declaration);
  d.append_attribute("version") = "1.0";
  d.append_attribute("encoding") = encoding == Xml_Encoding::Latin1 ? "iso-8859-1" : "utf-8";
  return Xml_Node(d);
}

Xml_Node Xml_Document::Append_Comment(const QString& text) {
  return Document_Node().Append_Comment(text);
}

Xml_Node Xml_Document::Append_Element(const QString& name) {
  return Document_Node().Append_Element(name);
}

Xml_Node Xml_Document::Select_Single_Node(const QString& xpath) const {
  return Document_Node().Select_Single_Node(xpath);
}

std::vector<Xml_Node> Xml_Document::Select_Nodes(const QString& xpath) const {
  return Document_Node().Select_Nodes(xpath);
}

// --------------------------------------------------------------- Latin-1

QString With_Char_Refs(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text.at(i).unicode() <= 0xFF) ++i;
  if (i == text.size()) return text;
  QString out = text.left(i);
  out.reserve(text.size() + 16);
  for (; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.unicode() <= 0xFF) {
      out += c;
      continue;
    }
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      code = QChar::surrogateToUcs4(c, text.at(i + 1));
      ++i;
    }
    out += QStringLiteral("&#%1;").arg(uint(code));
  }
  return out;
}

QByteArray To_Latin1_Bytes(const QString& text) {
  return With_Char_Refs(text).toLatin1();
}

QString From_Latin1_Bytes(const QByteArray& bytes) {
  return QString::fromLatin1(bytes);
}

}  // namespace qm
