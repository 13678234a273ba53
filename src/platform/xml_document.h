#pragma once
// The XML document service: a DOM tree with XPath selection, over pugixml.
//
// Text is QString in and out. A document that declares ISO-8859-1 is stored
// one byte a character: its text (Xml()) and its file hold every character
// beyond Latin-1 as a numeric character reference ("&#269;"), so the length of
// the text is the number of bytes stored. Other documents are UTF-8.
//
// pugixml has no nodes outside a tree, so creating a node and appending it to
// its parent is one step (Append_Element, Append_Text, ...).
//
// Selecting a path that matches nothing gives "none" (a null Xml_Node). Reading
// or writing the text of "none" raises Err_Object_Missing, so the calling
// procedure's trap reports it. Nothing here traps by itself.
//
// A node is a handle into its document: it stays valid until that document
// is parsed again, cleared or destroyed.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include <pugixml.hpp>

namespace qm {

enum class Xml_Encoding { Latin1, Utf8 };

class Xml_Node {
 public:
  enum class Kind {
    None,
    Document,
    Element,
    Text,
    Cdata,
    Comment,
    Processing_Instruction,
    Declaration,
    Doctype
  };

  Xml_Node() = default;  // "none"
  explicit Xml_Node(pugi::xml_node n) : n_(n) {}

  bool Is_None() const { return !n_; }
  explicit operator bool() const { return bool(n_); }
  bool operator==(const Xml_Node& o) const { return n_ == o.n_; }

  Kind Node_Type() const;
  // Element and instruction names as written; "#text", "#cdata-section",
  // "#comment", "#document" for the others.
  QString Node_Name() const;
  QString Base_Name() const;  // the name without its namespace prefix
  // Text of text, comment and instruction nodes; "" for elements.
  QString Node_Value() const;
  void Set_Node_Value(const QString& value);

  // All text below the node, in document order.
  QString Text() const;
  // Replaces the content by one text node (none at all for "").
  void Set_Text(const QString& text);

  Xml_Node Parent() const;
  std::vector<Xml_Node> Child_Nodes() const;
  std::vector<Xml_Node> Child_Elements() const;
  bool Has_Children() const;
  Xml_Node First_Child() const;
  Xml_Node Next_Sibling() const;

  Xml_Node Append_Element(const QString& name);
  Xml_Node Append_Text(const QString& text);
  Xml_Node Append_Comment(const QString& text);
  Xml_Node Append_Processing_Instruction(const QString& target, const QString& data);
  // Deep copy of `proto`, which may belong to another document.
  Xml_Node Append_Copy(const Xml_Node& proto);
  void Remove_Child(const Xml_Node& child);

  int Attribute_Count() const;
  QString Attribute_Name(int index) const;   // raises Err_Subscript beyond the map
  QString Attribute_Value(int index) const;  // the same
  bool Has_Attribute(const QString& name) const;
  QString Attribute(const QString& name) const;  // "" when missing
  void Set_Attribute(const QString& name, const QString& value);
  void Remove_Attribute(const QString& name);

  // Descendant elements of that name in document order ("*": all).
  std::vector<Xml_Node> Elements_By_Tag_Name(const QString& name) const;

  // First match or none. A path that is not XPath raises Err_Invalid_Call.
  Xml_Node Select_Single_Node(const QString& xpath) const;
  std::vector<Xml_Node> Select_Nodes(const QString& xpath) const;

  // Markup of this subtree, as Xml_Document::Xml() writes it.
  QString Xml() const;

  pugi::xml_node Raw() const { return n_; }

 private:
  pugi::xml_node Need() const;  // raises Err_Object_Missing on none
  pugi::xml_node n_;
};

// What parsing a text gave: code 0 when it parsed.
struct Xml_Parse_Error {
  int32_t code = 0;    // pugixml's status number
  QString reason;      // its description
  int32_t line = 0;    // 1-based, of the failing character
  int32_t column = 0;  // 1-based, in characters
  QString src_text;    // the failing source line, without its line break
  bool Ok() const { return code == 0; }
};

class Xml_Document {
 public:
  // Keep: every text node stays as it was, also line breaks between
  // elements and CR LF pairs, so a document read and written back is
  // unchanged. Drop: whitespace-only text nodes are left out and line ends
  // become LF, as a hand-written document is usually meant.
  enum class Whitespace { Keep, Drop };

  Xml_Document();
  ~Xml_Document();
  Xml_Document(const Xml_Document&) = delete;
  Xml_Document& operator=(const Xml_Document&) = delete;

  // Replaces the tree by the parsed text; on failure the tree is empty. An
  // empty text gives an empty document and the code "No document element".
  const Xml_Parse_Error& Parse(const QString& text, Whitespace ws = Whitespace::Keep);
  const Xml_Parse_Error& Parse_Error() const { return error_; }

  // Reads a file in the encoding its declaration names (UTF-8 without one).
  // False when it cannot be read or does not parse (Parse_Error() tells).
  bool Load_File(const QString& path, Whitespace ws = Whitespace::Keep);
  // Writes Bytes() to the path, replacing the file only once it is complete.
  // Raises the file failure (70 permission denied, 76 path not found, 75).
  void Save_File(const QString& path) const;

  // The whole document: its top-level nodes joined by CR LF, ending in CR LF.
  QString Xml() const;
  // Xml() as stored: Latin-1 bytes or UTF-8, by the declaration.
  QByteArray Bytes() const;
  // By the declaration's encoding ("iso-8859-1", "latin1": Latin1; else UTF-8).
  Xml_Encoding Encoding() const;

  void Clear();
  bool Is_Empty() const;

  Xml_Node Document_Node() const;     // the parent of the top-level nodes
  Xml_Node Document_Element() const;  // the root element or none

  // Top-level nodes, appended in document order.
  Xml_Node Append_Declaration(Xml_Encoding encoding);  // <?xml version="1.0" encoding="..."?>
  Xml_Node Append_Comment(const QString& text);
  Xml_Node Append_Element(const QString& name);

  Xml_Node Select_Single_Node(const QString& xpath) const;
  std::vector<Xml_Node> Select_Nodes(const QString& xpath) const;

  pugi::xml_document& Raw() { return *doc_; }

 private:
  std::unique_ptr<pugi::xml_document> doc_;
  Xml_Parse_Error error_;
};

// Text as stored one byte a character: Latin-1, characters beyond it as
// numeric character references. Only for markup: a reference in a comment
// stays a reference when read back.
QString With_Char_Refs(const QString& text);
QByteArray To_Latin1_Bytes(const QString& text);
// The stored bytes as text (references stay as they are: the parser resolves them).
QString From_Latin1_Bytes(const QByteArray& bytes);

}  // namespace qm
