// Field display figures on a real DV file (the demo heat, PAL DV written by
// libavcodec): (a) the codec alone, single-threaded, into its own format;
// (b) the field display of a new frame (read, decode, field, turn, composite);
// (c) the other field of the same frame; (d) the repaint shortcut.
#include "capture_file/avi_handler.h"
#include "capture_file/demo_heat.h"
#include "picture_display/dib_section.h"
#include "picture_display/field_render.h"
#include "picture_display/overlays.h"
#include "picture_display/picture_surface.h"
#include "platform/field_graphics.h"
#include "race_timing/lane.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Heat {
  QTemporaryDir dir;
  QString path;
  int32_t frames = 0;
  std::vector<std::vector<uint8_t>> bytes;  // every frame, for the codec alone
};

Heat& The_Heat(bool rotated) {
  static std::unique_ptr<Heat> heats[2];
  auto& h = heats[rotated ? 1 : 0];
  if (!h) {
    h = std::make_unique<Heat>();
    h->path = h->dir.filePath(rotated ? QStringLiteral("rot.kv2") : QStringLiteral("land.kv2"));
    qm::Demo_Options o;
    o.seconds = 2;
    o.rotated = rotated;
    qm::Make_Demo_Heat(h->path, o);
    qm::cls_AVI_handler f;
    f.Open_File(h->path);
    h->frames = f.num_frames();
    for (int32_t i = 1; i <= h->frames; ++i) {
      f.Read_Frame(i, 1);
      const size_t n = f.m_Source_format().biSizeImage;  // 144000 for PAL DV
      h->bytes.emplace_back(f.Frame_address(), f.Frame_address() + n);
    }
  }
  return *h;
}

// The overlay of a six-lane heat: goal line and markers, about what a heat shows.
struct Scene {
  qm::Lane_markers lanes;
  qm::Picture_Overlay overlay;
  explicit Scene(bool rotated) {
    const int w = rotated ? 576 : 720, h = rotated ? 720 : 576;
    for (int k = 0; k < 6; ++k) {
      qm::Cls_lane& l = lanes.Add();
      l.Set_Lane_number(static_cast<int16_t>(k + 1));
      l.Lane_pos_X(w / 2);
      l.Lane_pos_Y(60 + k * (h - 120) / 5);
    }
    overlay.Arrange(w, h);
    overlay.show_lane_markers = overlay.show_goal_line = true;
    overlay.Goal_line = {static_cast<int16_t>(w / 2), 20, static_cast<int16_t>(w / 2),
                         static_cast<int16_t>(h - 20)};
    overlay.lanes = &lanes;
    overlay.markers_drawn = 6;
    qm::Picture_Surface box(w, h);
    overlay.Draw_Graphics(box, true, false, true, 0);
  }
};

// Argument: the landscape (0) or the rotated (1) heat, the frames (b) and
// (c) of the same argument show.
void BM_a_Codec_Alone(benchmark::State& state) {
  Heat& heat = The_Heat(state.range(0) != 0);
  qm::Video_Decoder decoder(1);
  size_t i = 0;
  for (auto _ : state) {
    const auto& b = heat.bytes[i++ % heat.bytes.size()];
    if (!decoder.Decode_Native(qm::Fourcc("CDVC"), 720, 576, b.data(), b.size()))
      state.SkipWithError("decode failed");
  }
}

// (a) plus the colour conversion into a 24-bit buffer: what the display's
// decode step costs before any field work.
void BM_a_Codec_To_BGR(benchmark::State& state) {
  Heat& heat = The_Heat(state.range(0) != 0);
  qm::Video_Decoder decoder(1);
  qm::cDIBSection buffer;
  buffer.Create(720, 576);
  size_t i = 0;
  for (auto _ : state) {
    const auto& b = heat.bytes[i++ % heat.bytes.size()];
    if (!decoder.Decode(qm::Fourcc("CDVC"), 720, 576, b.data(), b.size(), buffer.View()))
      state.SkipWithError("decode failed");
  }
}

struct Display {
  bool rotate;
  qm::cls_AVI_handler file;
  std::unique_ptr<qm::Field_Renderer> render;
  Scene scene;
  qm::Picture_Surface box;
  Display(benchmark::State& state)
      : rotate(state.range(0) != 0), scene(rotate), box(rotate ? 576 : 720, rotate ? 720 : 576) {
    render = std::make_unique<qm::Field_Renderer>(file, static_cast<int>(state.range(1)));
    file.Open_File(The_Heat(rotate).path);
  }
  void Show(int32_t field) {
    render->Draw_field_3(field, box, 0, 1, rotate);
    scene.overlay.Blit_Graphics(box);
  }
};

void BM_b_New_Frame(benchmark::State& state) {
  Display d(state);
  const int32_t frames = d.file.num_frames();
  int32_t k = 0;
  for (auto _ : state) d.Show(2 * (k++ % frames) + 1);
  state.counters["decodes"] = static_cast<double>(d.render->counters().decodes);
}

void BM_c_Other_Field(benchmark::State& state) {
  Display d(state);
  int32_t f = 9;
  d.Show(f);
  for (auto _ : state) {
    f = f == 9 ? 10 : 9;  // the two fields of frame 5 in turn
    d.Show(f);
  }
  state.counters["decodes"] = static_cast<double>(d.render->counters().decodes);
}

void BM_d_Repaint(benchmark::State& state) {
  Display d(state);
  d.Show(9);
  for (auto _ : state) d.Show(9);
  state.counters["decodes"] = static_cast<double>(d.render->counters().decodes);
}

// The picture routines alone on a PAL frame, for where (b) and (c) go.
void BM_Kernel(benchmark::State& state) {
  const int w = 720, h = 576;
  std::vector<uint8_t> src(static_cast<size_t>(qm::Bgr24_Stride(w)) * h), field(src.size()),
      turned(static_cast<size_t>(qm::Bgr24_Stride(h)) * w);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 7 + i / 2160);
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0:
        qm::deinterlaceFrame2(src.data(), field.data(), w, h, 1);
        break;
      case 1:
        qm::Rotate90(src.data(), turned.data(), w, h, 0);
        break;
      default:
        qm::Deinterlace_Rotate(src.data(), turned.data(), w, h, 1);
        break;
    }
    benchmark::DoNotOptimize(turned.data());
    benchmark::DoNotOptimize(field.data());
  }
  static const char* const names[] = {"extract", "turn", "extract+turn"};
  state.SetLabel(names[state.range(0)]);
}

// Arguments: rotate (0/1), decoder slice threads.
BENCHMARK(BM_a_Codec_Alone)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_a_Codec_To_BGR)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_b_New_Frame)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Args({1, 2})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_c_Other_Field)->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_d_Repaint)->Args({0, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Kernel)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

// The console table, then each figure as a multiple of (a) on the same
// heat's frames (the fastest repetition of each, the least disturbed).
class Ratio_Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const double us = r.GetAdjustedCPUTime();
      auto [it, fresh] = best_.try_emplace(r.benchmark_name(), us);
      if (!fresh) it->second = std::min(it->second, us);
      if (fresh) order_.push_back(r.benchmark_name());
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nAs multiples of (a) on the same heat (fastest repetition, CPU time):\n");
    for (const std::string& name : order_) {
      if (name.rfind("BM_a_Codec_Alone", 0) == 0) continue;
      // The first argument is the heat: 0 landscape, 1 rotated.
      const size_t slash = name.find('/');
      if (slash == std::string::npos || name.rfind("BM_Kernel", 0) == 0) continue;
      const auto a = best_.find("BM_a_Codec_Alone/" + name.substr(slash + 1, 1));
      if (a == best_.end()) continue;
      std::printf("  %-24s %8.1f us  %5.2f x (a)\n", name.c_str(), best_[name],
                  best_[name] / a->second);
    }
  }

 private:
  std::map<std::string, double> best_;
  std::vector<std::string> order_;
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Ratio_Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
