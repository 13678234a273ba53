// The XML header's values as properties of the capture-file object.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "platform/failure.h"

namespace qm {

QString cls_AVI_handler::Creation_Date() const {
  return m_XML->Creation_Date();
}
void cls_AVI_handler::Creation_Date(const QString& text) {
  m_XML->Set_Creation_Date(text);
}
QString cls_AVI_handler::Last_Capture_time() const {
  return m_XML->Last_Capture_time();
}
QString cls_AVI_handler::Computer_name() const {
  return m_XML->Comp_name();
}
QString cls_AVI_handler::Program_ID() const {
  return m_XML->prog_id();
}
QString cls_AVI_handler::Program_Major() const {
  return m_XML->Prog_Major();
}
QString cls_AVI_handler::Program_Minor() const {
  return m_XML->Prog_Minor();
}
QString cls_AVI_handler::Program_Revision() const {
  return m_XML->Prog_Revision();
}

QString cls_AVI_handler::Event_name() const {
  return m_XML->Event_name();
}
void cls_AVI_handler::Event_name(const QString& text) {
  m_XML->Set_Event_name(text);
  Write_XML_header();
}

QString cls_AVI_handler::Heat_ID(int16_t heat) const {
  return m_XML->Heat_ID(heat);
}
void cls_AVI_handler::Heat_ID(int16_t heat, const QString& text) {
  m_XML->Set_Heat_ID(heat, text);
}
QString cls_AVI_handler::Heat_comment(int16_t heat) const {
  return m_XML->Heat_comment(heat);
}

int16_t cls_AVI_handler::Lane_count() const {
  return m_XML->Num_Lanes();
}
void cls_AVI_handler::Lane_count(int16_t lanes) {
  m_XML->Set_Num_Lanes(lanes);
  Write_XML_header();
}

int16_t cls_AVI_handler::Start_lane() const {
  return m_XML->Start_lane();
}
void cls_AVI_handler::Start_lane(int16_t lane) {
  m_XML->Set_Start_lane(lane);
}
bool cls_AVI_handler::Start_Lane_Zero() const {
  return m_XML->Start_lane() == 0;
}

std::array<int16_t, 4> cls_AVI_handler::Get_Goalline() const {
  const Cls_XML_header::Goal_Line g = m_XML->Get_Goalline();
  return {g.x1, g.y1, g.x2, g.y2};
}

void cls_AVI_handler::Set_Goal_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  m_XML->Set_Goalline(x1, y1, x2, y2);
}

void cls_AVI_handler::Fix_Goal_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  m_XML->Set_Goalline(x1, y1, x2, y2);
  Write_XML_header();
}

void cls_AVI_handler::File_Lane_Pos(int16_t lane, int32_t x, int32_t y) {
  m_XML->Lane_pos(lane, x, y);
}
int16_t cls_AVI_handler::LaneX(int16_t lane) const {
  return Checked_Int16(m_XML->Lane_pos_X(lane));
}
int16_t cls_AVI_handler::LaneY(int16_t lane) const {
  return Checked_Int16(m_XML->Lane_pos_Y(lane));
}

bool cls_AVI_handler::Lanes_Visible() const {
  return m_XML->Lanes_Visible();
}
void cls_AVI_handler::Lanes_Visible(bool value) {
  m_XML->Set_Lanes_Visible(value);
}
bool cls_AVI_handler::Lanes_flipped() const {
  return m_XML->Lanes_flipped();
}
void cls_AVI_handler::Lanes_flipped(bool value) {
  m_XML->Set_Lanes_flipped(value);
}
bool cls_AVI_handler::Lanes_locked() const {
  return m_XML->Lanes_locked();
}
void cls_AVI_handler::Lanes_locked(bool value) {
  m_XML->Set_Lanes_locked(value);
  Write_XML_header();
}
bool cls_AVI_handler::Show_goalline() const {
  return m_XML->Show_goalline();
}
void cls_AVI_handler::Show_goalline(bool value) {
  m_XML->Set_Show_goalline(value);
}

int32_t cls_AVI_handler::Heat_time(int16_t heat, int16_t lane) const {
  if (m_File_name.isEmpty()) return 0;
  return m_XML->Heat_result(heat, lane);
}
void cls_AVI_handler::Heat_result(int16_t heat, int16_t lane, int32_t ms) {
  m_XML->Set_Heat_result(heat, lane, ms);
}
int32_t cls_AVI_handler::Heat_Clicktime(int16_t heat, int16_t lane) const {
  return m_XML->Heat_Click_time(heat, lane);
}
void cls_AVI_handler::Heat_Clicktime(int16_t heat, int16_t lane, int32_t tick) {
  m_XML->Set_Heat_Click_time(heat, lane, tick);
}
int32_t cls_AVI_handler::Heat_Goalfield(int16_t heat, int16_t lane) const {
  return m_XML->Heat_Goal_Field(heat, lane);
}
void cls_AVI_handler::Heat_Goalfield(int16_t heat, int16_t lane, int32_t field) {
  m_XML->Set_Heat_Goal_Field(heat, lane, field);
}

}  // namespace qm
