// qmtool render: the picture box as the main window shows it after one field
// display (or, with --frame, one whole-frame display), written as a PNG.
#include "capture_file/avi_handler.h"
#include "cli.h"
#include "picture_display/field_render.h"
#include "picture_display/overlays.h"
#include "picture_display/picture_surface.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"

#include <QTextStream>

namespace {

const QString Cmd = QStringLiteral("render");

int Run_Render(qmtool::Session& session, qmtool::Args& args) {
  const bool overlays = args.Flag(QStringLiteral("--overlays"));
  const bool whole_frame = args.Flag(QStringLiteral("--frame"));
  const std::optional<QString> field_text = args.Value(QStringLiteral("--field"));
  const QString stream_text = args.Value(QStringLiteral("--stream")).value_or(QStringLiteral("1"));
  const QString rotate_text =
      args.Value(QStringLiteral("--rotate")).value_or(QStringLiteral("file"));
  const std::optional<QString> out = args.Value(QStringLiteral("-o"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(Cmd, QStringLiteral("one FILE expected"));
  if (!field_text || !out) return qmtool::Usage_Error(Cmd, QStringLiteral("--field and -o needed"));
  bool ok = false;
  const int32_t n = field_text->toInt(&ok);
  if (!ok || n < 0) return qmtool::Usage_Error(Cmd, QStringLiteral("--field takes a number"));
  const int stream = stream_text.toInt(&ok);
  if (!ok || stream < 1 || stream > qm::Field_Renderer::Max_Display_Streams)
    return qmtool::Usage_Error(Cmd, QStringLiteral("--stream takes 1 to 3"));
  if (rotate_text != QLatin1String("file") && rotate_text != QLatin1String("on") &&
      rotate_text != QLatin1String("off"))
    return qmtool::Usage_Error(Cmd, QStringLiteral("--rotate takes file, on or off"));

  qm::cls_AVI_handler file;
  qm::Field_Renderer render(file);
  qm::Race_Session race;
  qm::File_Player player(file);
  if (overlays) {
    // Opened as the main window opens it: lanes, flags and results taken over.
    if (!qm::Open_For_Timing(files.at(0), file, race, player)) return session.Finish(false);
  } else if (!file.Open_File(files.at(0))) {
    return session.Finish(false);
  }
  const bool rotate =
      rotate_text == QLatin1String("file") ? file.rotated() : rotate_text == QLatin1String("on");
  qm::Picture_Surface box(rotate ? 576 : 720, rotate ? 720 : 576);
  if (whole_frame)
    render.Draw_Frame(n, box, 0, static_cast<int16_t>(stream), nullptr, rotate);
  else
    render.Draw_field_3(n, box, 0, static_cast<int16_t>(stream), rotate);

  if (overlays) {
    qm::Picture_Overlay overlay;
    overlay.Arrange(box.Width(), box.Height());
    overlay.show_lane_markers = race.Lanes_shown;
    overlay.flip_lane_markers = race.Lanes_flipped_box;
    overlay.show_goal_line = race.Goalline_shown;
    overlay.invert_goal_line = false;
    overlay.Goal_line = race.Goal_line;
    overlay.lanes = &race.markers;
    overlay.markers_drawn = race.Markers_To_Draw();
    overlay.Draw_Graphics(box, true, false, file.File_open(), file.Lap_Count());
  }
  if (!box.Image().save(*out, "PNG")) {
    QTextStream(stderr) << "qmtool render: cannot write " << *out << "\n";
    return session.Finish(false);
  }
  return session.Finish(true);
}

const qmtool::Registrar reg{
    {Cmd,
     QStringLiteral("render FILE --field N [--stream S] [--rotate file|on|off] [--overlays] "
                    "[--frame] -o OUT.png"),
     &Run_Render}};

}  // namespace
