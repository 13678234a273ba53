#include "picture_display/field_render.h"

#include "picture_display/picture_surface.h"
#include "platform/failure.h"
#include "platform/field_graphics.h"
#include "shell/trace.h"

namespace qm {

namespace {
const char* const Cls = "cls_AVI_handler";
}

Field_Renderer::Field_Renderer(cls_AVI_handler& file, int slice_threads)
    : file_(file), decoder_(slice_threads) {
  for (int i = 0; i < Max_Display_Streams; ++i) {
    deint_source_[i].Create(720, 576);
    deint_source_[i].ID_string(QStringLiteral("obj_DIB_Deint_source ") + QString::number(i + 1));
    deint_target_[i].Create(720, 576);
    deint_target_[i].ID_string(QStringLiteral("obj_DIB_Deint_target ") + QString::number(i + 1));
  }
  rotate_source_.Create(720, 576);
  rotate_source_.ID_string(QStringLiteral("obj_DIB_Rotate_Source"));
  rotate_target_.Create(576, 720);
  rotate_target_.ID_string(QStringLiteral("obj_DIB_Rotate_Target"));
  file_.Set_Display_Hooks(this);
}

Field_Renderer::~Field_Renderer() {
  file_.Set_Display_Hooks(nullptr);
}

int Field_Renderer::Index(int16_t stream) const {
  if (stream < 1 || stream > Max_Display_Streams) Raise(Err_Subscript);
  return stream - 1;
}

int16_t Field_Renderer::m_Decoded_Frame(int16_t stream) const {
  return stream >= 1 && stream <= Max_Display_Streams ? decoded_frame_[stream - 1] : 0;
}

cDIBSection& Field_Renderer::Deint_source(int16_t stream) {
  return deint_source_[Index(stream)];
}
cDIBSection& Field_Renderer::Deint_target(int16_t stream) {
  return deint_target_[Index(stream)];
}

void Field_Renderer::File_Opened(int32_t, int32_t) {
  rotate_target_.Create(576, 720);
  rotate_target_.ID_string(QStringLiteral("obj_DIB_Rotate_Target"));
}

void Field_Renderer::File_Closed() {
  last_field_ = 0;
  last_rotated_ = false;
  stale_field_.fill(0);
  turned_pending_ = {};
  decoded_frame_.fill(0);
}

bool Field_Renderer::Decode_Into(const Bgr24_View& target, const Rect32& dest) {
  const uint8_t* bytes = file_.Frame_address();
  if (!bytes) return false;
  const Source_Format& fmt = file_.m_Source_format();
  const int32_t length =
      file_.Frame_Length() > 0 ? file_.Frame_Length() : static_cast<int32_t>(fmt.biSizeImage);
  if (length <= 0) return false;
  ++counters_.decodes;
  return decoder_.Decode(fmt.biCompression, fmt.biWidth, fmt.biHeight, bytes,
                         static_cast<size_t>(length), target, dest,
                         {0, 0, fmt.biWidth, fmt.biHeight});
}

void Field_Renderer::Paint_Field(Picture_Surface& box, int16_t stream, bool rotate) {
  cDIBSection& field = deint_target_[Index(stream)];
  if (!rotate) {
    field.DIB_PaintPicture(box, 0, 0, box.Width(), box.Height());
    ++counters_.paints;
    return;
  }
  // Two streams side by side, each in half the box, unless one stream is
  // shown alone.
  int32_t w = box.Width();
  int32_t x = 0;
  if (Show_Single_Stream == 0 && file_.Num_Video_streams() == 2) {
    w /= 2;
    if (stream == 2) x = w;
  }
  rotate_target_.DIB_PaintPicture(box, x, 0, w, box.Height());
  ++counters_.paints;
}

void Field_Renderer::Draw_field_3(int32_t field, Picture_Surface& box, int16_t reversed,
                                  int16_t stream, bool rotate) {
  (void)reversed;
  static const QString where = Where_Class("Draw_field_3", Cls);  // no allocation per field
  Trapped(where, [&] {
    if (!file_.File_open() || field == 0) return;
    current_field_ = field;
    const int s = Index(stream);
    if (field == last_field_ && stream == last_stream_ && !rotate && !last_rotated_) {
      Paint_Field(box, stream, false);
      return;
    }
    if (file_.File_name().isEmpty()) return;
    const Field_Selection sel = Select_Field(field);
    file_.Set_Draw_State(sel);

    file_.Read_Frame(sel.eff_frameno, stream);
    ++counters_.reads;

    // A landscape field replaces this stream's decoded frame: a field that
    // went only onto the box is turned into the turned buffer first, so a
    // later rotated refresh still shows it.
    if (!rotate && turned_pending_.field != 0 && turned_pending_.stream == s) Make_Turned_Buffer();

    // The file's decode size (NTSC 720 x 480, PAL 720 x 576) decides the
    // stream's buffers; a re-created buffer holds no decoded frame.
    const int32_t w = file_.Decode_width(), h = file_.Decode_height();
    cDIBSection& source = deint_source_[s];
    cDIBSection& target = deint_target_[s];
    if (target.Width() != w || target.Height() != h || source.Width() != w ||
        source.Height() != h) {
      target.Create(w, h);
      source.Create(w, h);
      decoded_frame_[s] = 0;
    }

    if (decoded_frame_[s] != sel.eff_frameno) {
      if (Decode_Into(source.View(), {0, 0, w, h}))
        decoded_frame_[s] = static_cast<int16_t>(sel.eff_frameno);
    }

    if (rotate) {
      // The turned picture is h x w; an NTSC field needs a narrower buffer
      // than the PAL one, or the rows would not line up.
      if (rotate_target_.Width() != h || rotate_target_.Height() != w) {
        rotate_target_.Create(h, w);
        rotate_target_.ID_string(QStringLiteral("obj_DIB_Rotate_Target"));
      }
      // Straight from the decoded frame into the turned buffer; the field
      // buffer is left as it was (Refresh_field fills it if it is wanted).
      // When the turned field fills the box as it is, it goes onto the box
      // itself, saving a copy of the whole picture per field; the turned
      // buffer is then made only if a refresh asks for it.
      ++counters_.extractions;
      ++counters_.rotations;
      if (Fills_Box(box, h, w)) {
        const Bgr24_View v = box.View();
        Deinterlace_Rotate(source.DIBSectionBitsPtr(), v.bits, v.stride, w, h, sel.Field_To_Show);
        box.Count_Paint();
        ++counters_.paints;
        turned_pending_ = {s, sel.Field_To_Show};
        Finish_Field(field, stream, rotate, s, sel.Field_To_Show);
        return;
      }
      Deinterlace_Rotate(source.DIBSectionBitsPtr(), rotate_target_.DIBSectionBitsPtr(), w, h,
                         sel.Field_To_Show);
      turned_pending_ = {};
    } else {
      deinterlaceFrame2(source.DIBSectionBitsPtr(), target.DIBSectionBitsPtr(), w, h,
                        sel.Field_To_Show);
      ++counters_.extractions;
    }
    Paint_Field(box, stream, rotate);
    Finish_Field(field, stream, rotate, s, sel.Field_To_Show);
  });
}

bool Field_Renderer::Fills_Box(const Picture_Surface& box, int32_t turned_w,
                               int32_t turned_h) const {
  const bool halves = Show_Single_Stream == 0 && file_.Num_Video_streams() == 2;
  return !halves && box.Width() == turned_w && box.Height() == turned_h;
}

void Field_Renderer::Finish_Field(int32_t field, int16_t stream, bool rotate, int s,
                                  int16_t field_to_show) {
  const int32_t start = Trimmed_Start_Field > 0 ? Trimmed_Start_Field : 1;
  m_Player_Time = static_cast<float>(field - start) * static_cast<float>(file_.m_Field_ms());
  last_field_ = field;
  last_stream_ = stream;
  last_rotated_ = rotate;
  stale_field_[s] = rotate ? field_to_show : int16_t{0};
}

void Field_Renderer::Make_Turned_Buffer() {
  if (turned_pending_.field == 0) return;
  const cDIBSection& source = deint_source_[turned_pending_.stream];
  Deinterlace_Rotate(source.DIBSectionBitsPtr(), rotate_target_.DIBSectionBitsPtr(), source.Width(),
                     source.Height(), turned_pending_.field);
  turned_pending_ = {};
}

void Field_Renderer::Draw_Frame(int32_t frame, Picture_Surface& box, int16_t mirror, int16_t stream,
                                cDIBSection* dc, bool rotate) {
  (void)mirror;
  static const QString where = Where_Class("Draw_frame", Cls);  // no allocation per field
  Trapped(where, [&] {
    Trace_Text(QStringLiteral("*Draw_frame1, Frameno = ") + QString::number(frame));
    if (!file_.File_open()) return;
    if (frame == 0) frame = 1;
    current_frame_ = frame;
    Index(stream);
    file_.Read_Frame(frame, stream);
    ++counters_.reads;
    if (rotate) {
      const Rect32 whole{0, 0, rotate_source_.Width(), rotate_source_.Height()};
      if (Decode_Into(rotate_source_.View(), whole)) {
        if (rotate_target_.Width() != whole.h || rotate_target_.Height() != whole.w) {
          rotate_target_.Create(whole.h, whole.w);
          rotate_target_.ID_string(QStringLiteral("obj_DIB_Rotate_Target"));
        }
        Rotate90(rotate_source_.DIBSectionBitsPtr(), rotate_target_.DIBSectionBitsPtr(), whole.w,
                 whole.h, 0);
        turned_pending_ = {};
        ++counters_.rotations;
      }
      rotate_target_.DIB_PaintPicture(box, 0, 0, box.Width(), box.Height());
      ++counters_.paints;
      return;
    }
    if (dc && dc->hDC()) {
      dc->hDC()->Flush();
      const int32_t w = std::min<int32_t>(file_.Width(), dc->Width());
      const int32_t h = std::min<int32_t>(file_.Height(), dc->Height());
      if (w > 0 && h > 0) Decode_Into(dc->View(), {0, 0, w, h});
    } else {
      if (Decode_Into(box.View(), {0, 0, box.Width(), box.Height()})) box.Count_Paint();
      ++counters_.paints;
    }
    m_Player_Time =
        static_cast<float>(file_.Frame_in_store() - 1) * static_cast<float>(file_.m_Frame_ms());
  });
}

void Field_Renderer::Refresh_field(Picture_Surface& box, bool rotate) {
  static const QString where = Where_Class("Refresh_field", Cls);  // no allocation per field
  Trapped(where, [&] {
    if (rotate) {
      Make_Turned_Buffer();
      rotate_target_.DIB_PaintPicture(box, 0, 0, box.Width(), box.Height());
    } else if (file_.is_DV()) {
      if (stale_field_[0] != 0) {
        // Stream 1's last field went only into the turned buffer.
        cDIBSection& field = deint_target_[0];
        deinterlaceFrame2(deint_source_[0].DIBSectionBitsPtr(), field.DIBSectionBitsPtr(),
                          field.Width(), field.Height(), stale_field_[0]);
        stale_field_[0] = 0;
      }
      deint_target_[0].DIB_PaintPicture(box, 0, 0, box.Width(), box.Height());
    } else {
      if (Decode_Into(box.View(), {0, 0, box.Width(), box.Height()})) box.Count_Paint();
    }
    ++counters_.paints;
  });
}

}  // namespace qm
