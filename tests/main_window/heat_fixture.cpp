#include "heat_fixture.h"

#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/avi_fixtures.h"
#include "race_timing/lane_result.h"

#include <cstring>

namespace qmtest {

namespace {
// Inside the first DIF sequence's video blocks, well before the search end.
constexpr size_t Block_Offset = 2000;

void Put_LE32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}
}  // namespace

int32_t Marker_X(const Heat_Spec& recipe, int k) {
  return recipe.rotated ? 60 + 100 * (k - 1) : 100 + 120 * (k - 1);
}
int32_t Marker_Y(const Heat_Spec& recipe, int k) {
  return recipe.rotated ? 400 : 300 + 10 * k;
}

int32_t Field_Time(const Heat_Spec& recipe, int32_t field) {
  const int32_t frame = (field + 1) / 2;
  const int32_t stamp = recipe.first_capture_ms + 40 * (frame - 1) - 10;
  return stamp - recipe.heat_start_ms + (field % 2 == 0 ? 20 : 0);
}

bool Write_Heat(const QString& path, const Heat_Spec& recipe) {
  qm::cls_AVI_handler f;
  f.File_name(path);
  if (!f.Create_File() || !f.Initiate_file()) return false;
  qm::Cls_XML_header& x = f.XML_header();
  x.Set_Stream_rotated(1, recipe.rotated);
  x.Set_Num_Lanes(static_cast<int16_t>(recipe.lanes));
  x.Set_Start_lane(1);
  x.Set_Lanes_locked(recipe.lanes_locked);
  x.Set_Lanes_Visible(true);
  x.Set_Show_goalline(true);
  x.Set_Goalline(recipe.rotated ? 20 : 100, recipe.rotated ? 410 : 320, recipe.rotated ? 560 : 700,
                 recipe.rotated ? 410 : 330);
  for (int k = 1; k <= recipe.lanes; ++k) x.Lane_pos(k, Marker_X(recipe, k), Marker_Y(recipe, k));
  x.Set_Heat_ID(1, recipe.heat_id);
  x.Set_Start_PC_mill(1, recipe.heat_start_ms);
  x.Set_Start_local_mill(1, recipe.local_start_ms);
  for (int l = 0; l < 16; ++l) x.Set_Heat_result(1, l, qm::No_result);
  if (!f.Write_XML_header()) return false;
  const qmfix::Bytes a = qmfix::DV_Frame(false, 1), b = qmfix::DV_Frame(false, 2);
  for (int n = 1; n <= recipe.frames; ++n) {
    qmfix::Bytes frame = n % 2 ? a : b;
    uint8_t* blk = frame.data() + Block_Offset;
    std::memset(blk, 0, qm::Frame_Extra_Data::Stored_len);
    std::memcpy(blk, "SSCD", 4);
    Put_LE32(blk + 24, recipe.first_capture_ms + 40 * (n - 1));
    Put_LE32(blk + 32, recipe.local_start_ms + 2000 + 40 * (n - 1));
    if (!f.Append_DV_frame(frame.data())) return false;
  }
  f.Close_File();
  return true;
}

}  // namespace qmtest
