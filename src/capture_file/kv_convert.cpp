#include "capture_file/kv_convert.h"

#include "capture_file/avi_handler.h"
#include "capture_file/kvs_header.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

namespace qm {

namespace {
const QString Where = Where_Form("item_convert_file_Click", "frm_kanot_2");
// The XML header's lane records run 0..15.
constexpr int16_t Max_lanes = 16;
}  // namespace

QString Converted_Path(const QString& vdv_path) {
  // Only the file name's own suffix is replaced: cutting at the first "." of
  // the whole path would put the file into another folder under a shortened
  // name, and delete whatever file already had that name.
  const qsizetype slash = vdv_path.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = vdv_path.lastIndexOf(QLatin1Char('.'));
  const QString base = dot > slash ? vdv_path.left(dot) : vdv_path;
  return base + QStringLiteral(".kv2");
}

Convert_Result Convert_VDV_File(const QString& vdv_path, const Busy_Pointer& busy) {
  Convert_Result out;
  bool pointer_busy = false;
  auto normal_pointer = [&] {
    if (pointer_busy && busy) busy(false);
    pointer_busy = false;
  };
  Trapped(Where, [&] {
    Extra(vdv_path);
    const QString target = Converted_Path(vdv_path);
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(vdv_path).absoluteFilePath())
      Raise(Err_Invalid_Call, QStringLiteral("The file is already a kv2 file"));
    File_Handle vdv;
    vdv.Open(vdv_path, File_Handle::Mode::Read);
    std::vector<uint8_t> raw(Old_DV_header_record::Size);
    vdv.Read_Exact(0, raw.data(), raw.size());
    const Old_DV_header_record rec = Old_DV_header_record::Unpack(raw.data());
    const int64_t size = vdv.Size();
    Line(10);
    if (rec.Header_len < 0 || rec.Header_len > size)
      Raise(Err_Bad_Format, QStringLiteral("Header length outside the file"));
    if (rec.Num_lanes < 0 || rec.Num_lanes > Max_lanes)
      Raise(Err_Bad_Format, QStringLiteral("Invalid number of lanes"));
    // A KV header counts frames in 16 bits: a longer file would end up with
    // a frame count that hides every frame.
    if ((size - rec.Header_len) / cls_AVI_handler::DV_PAL_frame > INT16_MAX)
      Raise(Err_Overflow, QStringLiteral("Too many frames for a KV file"));

    Line(20);
    Delete_File(target, true);
    cls_AVI_handler kv;
    kv.File_name(target);
    if (!kv.Create_File()) return;
    if (!kv.Initiate_file()) return;
    kv.Write_KVS_header();
    if (busy) busy(true);
    pointer_busy = true;

    Line(30);
    std::vector<uint8_t> frame(cls_AVI_handler::DV_PAL_frame);
    bool all_copied = true;
    for (int64_t pos = rec.Header_len;; pos += cls_AVI_handler::DV_PAL_frame) {
      // A partial frame at the end is left behind.
      if (vdv.Read_At(pos, frame.data(), frame.size()) != frame.size()) break;
      if (!kv.Append_DV_frame(frame.data())) {
        all_copied = false;
        break;
      }
      ++out.frames;
    }
    vdv.Close();

    Line(40);
    kv.Set_Goal_Line(rec.Goal_line[0], rec.Goal_line[1], rec.Goal_line[2], rec.Goal_line[3]);
    kv.rotated(true);
    kv.Show_goalline(true);
    kv.Lanes_flipped(rec.Lanes_flipped);
    kv.Lanes_locked(true);
    kv.Lane_count(rec.Num_lanes);
    kv.Start_local_mill(1, rec.Heat_start_local);
    kv.Heat_ID(1, QStringLiteral("h99"));
    kv.Event_name(rec.Event_name);
    kv.Creation_Date(rec.Creation_date);
    // The old record holds ten markers; a higher lane keeps the default.
    const int marked = std::min<int>(rec.Num_lanes, Old_DV_header_record::Lane_markers);
    for (int16_t k = 1; k <= marked; ++k) kv.File_Lane_Pos(k, rec.Lane_X(k), rec.Lane_Y(k));
    Line(50);
    const bool closed = kv.Close_File();
    normal_pointer();
    out.kv2_path = target;
    out.ok = closed && all_copied;
    if (closed) MsgBox(QString::number(out.frames) + QStringLiteral(" frames converted!"));
  });
  normal_pointer();
  return out;
}

Convert_Result Convert_file(const Busy_Pointer& busy) {
  File_Request r;
  r.kind = File_Request::Kind::Open;
  r.title = QStringLiteral("Open");
  r.filter = QStringLiteral("Quaymark Files (*.vdv)");
  const QString chosen = dialogs().File(r);
  if (chosen.isEmpty()) return {};
  return Convert_VDV_File(chosen, busy);
}

}  // namespace qm
