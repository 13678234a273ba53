#pragma once
// The capture file's XML header: race metadata as a DOM tree, one property per
// value, each found by an XPath ("//heat_record[@id='1']/start_pc_mill").
//
// Failures: property reads and writes do not trap. A missing node raises
// Err_Object_Missing (91), a text that is not a number Err_Type_Mismatch (13),
// a number beyond the property's 16 or 32 bits Err_Overflow (6); the calling
// procedure (cls_AVI_handler, the windows) traps and reports it under its own
// name. The few exceptions are named at the property. Set_XML_string,
// Create_Header and its builders trap and report themselves
// ("Create_Header of Class Module Cls_XML_header").
//
// Indexes: heat h 1..5, lane l 0..15, stream s 1..5, marathon class c 1..30,
// written into the path as decimal text; an index without a record is a
// missing node like any other.
//
// Setting a value changes the tree only; writing it into the file is the
// capture file's Write_XML_header.

#include "platform/xml_document.h"

#include <QChar>
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace qm {

class Cls_XML_header {
 public:
  // Who and when, for the file_data section of a new header.
  struct Header_Origin {
    QDateTime created;  // creation_date, written "yy-mm-dd hh:mm:ss"
    QString computer;   // comp_name
    QString program;    // prog_id
    QString major, minor, revision;
    QString os_version;
    // Now, this computer, this program.
    static Header_Origin Current();
  };

  struct Goal_Line {
    int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  };

  Cls_XML_header();

  // Which optional sections Create_Header adds.
  bool Golfing = false;
  bool Quaymark = true;
  bool Houndlog = false;

  // --- Document ---
  // The serialised tree, one character a stored byte (characters beyond
  // Latin-1 as references): exactly what the file holds.
  QString XML_string() const;
  // Keeps the text as m_Loaded_text and loads it; m_Valid tells whether it
  // parsed. A text that does not parse leaves the tree empty, unreported.
  void Set_XML_string(const QString& text);
  // Characters of XML_string(); raises Err_Overflow beyond 32767, so a text
  // that long can never be written with a wrong length.
  int16_t XML_len() const;
  // Replaces the tree by a new header and serialises it.
  void Create_Header();
  void Create_Header(const Header_Origin& origin);
  // The text as loaded names "Quaymark" or "quaymark" (exact case).
  bool is_Quaymark() const;
  const QString& Loaded_text() const { return m_Loaded_text; }
  bool Valid() const { return m_Valid; }
  Xml_Document& DOM() { return dom_; }
  const Xml_Document& DOM() const { return dom_; }

  // Boolean notation of the stream switches: "t" / "f".
  static QString Bool_to_XML_string(bool value);
  static bool XML_string_to_Bool(const QString& text);

  // --- file_data ---
  QString Update_Time() const;
  void Set_Update_Time(const QString& text);
  void Set_Update_Program(const QString& text);  // write only
  QString Creation_Date() const;
  void Set_Creation_Date(const QString& text);
  // Falls back to creation_date when last_capture_time is missing.
  QString Last_Capture_time() const;
  void Set_Last_Capture_time(const QString& text);
  QString Comp_name() const;
  QString prog_id() const;
  QString Prog_Major() const;
  QString Prog_Minor() const;
  QString Prog_Revision() const;
  QString Prog_Version() const;
  QString OS_Version() const;
  int16_t Streams_no() const;
  void Set_Streams_no(int16_t value);
  int16_t Frames_no() const;
  void Set_Frames_no(int16_t value);
  int32_t Timing_Bias() const;
  void Set_Timing_Bias(int32_t value);
  // specapp1; "None" when empty or missing.
  QString SpecApp() const;
  void Set_SpecApp(const QString& text);

  // --- stream_header[@id=s] ---
  bool Stream_Active(int s) const;
  void Set_Stream_Active(int s, bool value);
  bool Stream_rotated(int s) const;
  void Set_Stream_rotated(int s, bool value);
  // The leading number of the text (0 when none), rounded to 16 bits.
  int16_t Stream_CameraPos(int s) const;
  // side 't', 'b', 'l' or 'r' (else Err_Invalid_Call).
  int16_t Selection_Rectangle(int s, QChar side) const;
  void Set_Selection_Rectangle(int s, QChar side, int16_t value);

  // --- quaymark ---
  Goal_Line Get_Goalline() const;
  void Set_Goalline(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Lane_pos(int l, int32_t x, int32_t y);  // write
  int32_t Lane_pos_X(int l) const;
  int32_t Lane_pos_Y(int l) const;
  int16_t Num_Lanes() const;
  void Set_Num_Lanes(int16_t value);
  int16_t Start_lane() const;
  void Set_Start_lane(int16_t value);
  int16_t heats_num() const;
  void Set_heats_num(int16_t value);
  // Read from quaymark's own event_name, written to the first in the document.
  QString Event_name() const;
  void Set_Event_name(const QString& text);
  // Lane and goal-line switches: written "True"/"False", true only for
  // exactly "True". Lanes_Visible is true when its node is missing.
  bool Lanes_Visible() const;
  void Set_Lanes_Visible(bool value);
  bool Lanes_flipped() const;
  void Set_Lanes_flipped(bool value);
  bool Lanes_locked() const;
  void Set_Lanes_locked(bool value);
  bool Lanes_reversed() const;
  void Set_Lanes_reversed(bool value);
  bool Show_goalline() const;
  void Set_Show_goalline(bool value);
  QString Quaymark_Marathon_Class_Name(int c) const;
  void Set_Quaymark_Marathon_Class_Name(int c, const QString& text);
  QString Quaymark_Marathon_Class_Start(int c) const;
  void Set_Quaymark_Marathon_Class_Start(int c, const QString& text);

  // --- heat_record[@id=h] ---
  // "" when the text is a single space.
  QString Heat_ID(int h) const;
  void Set_Heat_ID(int h, const QString& text);
  // The first heat_comment of the record (a second one closes it).
  QString Heat_comment(int h) const;
  void Set_Heat_comment(int h, const QString& text);
  int32_t Start_local_mill(int h) const;
  void Set_Start_local_mill(int h, int32_t value);
  int32_t Start_PC_mill(int h) const;
  void Set_Start_PC_mill(int h, int32_t value);
  int32_t Heat_Correction_mill(int h) const;
  void Set_Heat_Correction_mill(int h, int32_t value);
  // lane_record[@id=l] of heat h.
  int32_t Heat_result(int h, int l) const;
  void Set_Heat_result(int h, int l, int32_t value);
  int32_t Heat_Click_time(int h, int l) const;
  void Set_Heat_Click_time(int h, int l, int32_t value);
  int32_t Heat_Goal_Field(int h, int l) const;
  void Set_Heat_Goal_Field(int h, int l, int32_t value);

 private:
  Xml_Node Node(const QString& xpath) const;  // raises Err_Object_Missing
  QString Text_Of(const QString& xpath) const;
  void Set_Text_Of(const QString& xpath, const QString& text);
  int16_t Int16_Of(const QString& xpath) const;
  int32_t Int32_Of(const QString& xpath) const;
  bool True_False_Of(const QString& xpath) const;
  void Set_True_False_Of(const QString& xpath, bool value);

  void Build_File_Data(Xml_Node root, const Header_Origin& origin);
  void Build_Stream_Header(Xml_Node parent, int id);
  void Build_Quaymark(Xml_Node root);
  void Create_Marathon_Class_Record(Xml_Node parent, int id);
  void Create_Heat_Record(Xml_Node parent, int id);
  void Create_Lane_Record(Xml_Node parent, int id);
  void Build_Golf(Xml_Node root);
  void Build_Houndlog(Xml_Node root);
  void Build_Traces(Xml_Node root);
  void Create_Traces_Record(Xml_Node parent, int id);

  Xml_Document dom_;
  QString m_Loaded_text;
  bool m_Valid = false;
};

}  // namespace qm
