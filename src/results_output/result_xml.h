#pragma once
// The race XML document that the results office reads: one heat's ranking
// ("course") from the regatta export, or a marathon's results ("marathon").
//
//   <?xml version="1.0" encoding="utf-8"?>
//   <race><raceinfo>...</raceinfo><heats/><results/></race>
//   <!--comment-->
//
// Line breaks inside the document are CR LF text nodes put in by the
// building operations, so the saved text is always laid out the same way.

#include "platform/xml_document.h"

#include <QString>

#include <cstdint>

namespace qm {

class Class_Quaymark_result_XML {
 public:
  Class_Quaymark_result_XML();   // Class_Initialize
  ~Class_Quaymark_result_XML();  // Class_Terminate

  void Initialize_DOM();
  bool Load_Existing_XML(const QString& file_name);
  void XML_Filename(const QString& name) { m_File_name = name; }
  QString XML_Filename() const { return m_File_name; }
  // Saves to the file name through a temporary file; a read-only target is
  // refused. Reported under "Serialize of Class Module ..."; false then.
  bool Serialize();
  QString XML() const;

  void Capture_Host(const QString& text);
  void Video_Initiated(const QString& text);
  void Heat_Started(const QString& text);
  void Last_Capture(const QString& text);
  void Backoffice_Host(const QString& text);
  void RaceType(const QString& text);
  void lastFile(const QString& text);
  void EventName(const QString& text);

  void Create_Heat_node(const QString& id, const QString& name, const QString& start_time);
  int16_t Count_Competitor_Nodes();
  void Create_Result_Node(const QString& id);
  // Raises when the heat has no result element: the caller's trap reports.
  void Create_Competitor_Node(const QString& heat_id, const QString& competitor,
                              const QString& elapsed_time, const QString& delta_time,
                              const QString& place, const QString& video_file,
                              const QString& video_frame);
  // True when the competitor was found; video_file "" and video_frame 0 otherwise.
  bool Read_Competitor_node(const QString& heat_id, const QString& competitor, QString& video_file,
                            int16_t& video_frame);
  // Show "Override failed!" / "Delete failed!" on any failure; true when done.
  bool Override_Competitor_Node(const QString& heat_id, const QString& competitor,
                                const QString& elapsed_time, const QString& delta_time,
                                const QString& place, const QString& video_file,
                                const QString& video_frame);
  bool Delete_Competitor_Node(const QString& heat_id, const QString& competitor);

  // Kept from an earlier layout with "item" elements; nothing calls them.
  void xCreate_lane_Node(const QString& id, const QString& lane, const QString& place,
                         const QString& elapsed_time, const QString& delta_time);
  void xCreate_Participant_Node(const QString& id, const QString& participant,
                                const QString& elapsed_time, const QString& delta_time,
                                const QString& video_file, const QString& video_frame);

  void Set_Comment(const QString& text);

  Xml_Document& Document() { return m_Doc; }

 private:
  void Set_Path_Text(const char* proc, const QString& xpath, const QString& text);

  Xml_Document m_Doc;
  QString m_File_name;
};

// An attribute value as an XPath literal: '...' as the program writes it, or
// "..." / concat() for a value that holds apostrophes (heat IDs come from
// files and may hold anything).
QString XPath_Literal(const QString& value);

}  // namespace qm
