// Play of a 10 s heat against the clock: each frame's lateness behind its
// due time, start + 2(n - 1) x field time, with the real field renderer and
// overlay. Reports the median and the worst lateness and the frames shown.
#include "capture_file/demo_heat.h"
#include "shell/file_opening.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

QString Demo_Path() {
  static QTemporaryDir dir;
  static const QString path = [] {
    const QString p = dir.filePath(QStringLiteral("heat_10s.kv2"));
    qm::Demo_Options o;
    o.seconds = 10;
    qm::Make_Demo_Heat(p, o);
    return p;
  }();
  return path;
}

void BM_Play_Lateness(benchmark::State& state) {
  const QString path = Demo_Path();
  std::vector<double> late_ms;
  int64_t frames_shown = 0, frames_in_file = 0, skipped = 0;
  for (auto _ : state) {
    qm::Kanot_Core core;
    core.Handle_Open_File(path);
    if (!core.File_Is_Open()) {
      state.SkipWithError("demo heat did not open");
      return;
    }
    frames_in_file = core.file.num_frames();
    const double field_ms = core.file.mill_per_frame();
    Clock::time_point start;
    bool started = false;
    int32_t last = 0;
    auto& h = core.player.hooks;
    h.tick = [&, tick = h.tick] {
      if (!started) {
        start = Clock::now();
        started = true;
      }
      return tick();
    };
    h.on_frame = [&](int32_t n) {
      const double at = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      late_ms.push_back(at - 2.0 * (n - 1) * field_ms);
      if (n != last + 1) ++skipped;
      last = n;
      ++frames_shown;
    };
    core.player.Cmd_play_Click();
  }
  std::vector<double> sorted = late_ms;
  std::sort(sorted.begin(), sorted.end());
  if (!sorted.empty()) {
    state.counters["median_late_ms"] = sorted[sorted.size() / 2];
    state.counters["max_late_ms"] = sorted.back();
    state.counters["p95_late_ms"] = sorted[sorted.size() * 95 / 100];
  }
  state.counters["frames_shown"] = static_cast<double>(frames_shown);
  state.counters["frames_in_file"] = static_cast<double>(frames_in_file);
  state.counters["skipped"] = static_cast<double>(skipped);
}
BENCHMARK(BM_Play_Lateness)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
