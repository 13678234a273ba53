// Opening a 2 GB-class KV2 file (about 14900 frames, sparse) and reading
// frames from it: both should cost a constant handful of reads.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/avi_fixtures.h"
#include "fixtures/kv_fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int32_t Frames = 14900;

// A real KV2 head of 3 frames, then the file extended sparsely to 14900
// frames, with the header's frame count raised to match.
const QString& Big_KV2() {
  static QTemporaryDir dir;
  static const QString path = [] {
    const QString p = dir.filePath(QStringLiteral("big.kv2"));
    qmtest::KV2_Options o;
    o.frames = 3;
    o.edit = [](qm::cls_AVI_handler& h) {
      h.XML_header().Set_Frames_no(static_cast<int16_t>(Frames - 3));
    };
    qmtest::Make_KV2(p, o);
    const int fd = ::open(QFile::encodeName(p).constData(), O_WRONLY);
    if (fd >= 0) {
      if (::ftruncate(fd, qm::KV_Header_len + int64_t(Frames) * 144000) != 0) {
      }
      ::close(fd);
    }
    return p;
  }();
  return path;
}

void BM_Open_KV2(benchmark::State& state) {
  const QString& path = Big_KV2();
  qm::cls_AVI_handler h;
  for (auto _ : state) {
    if (!h.Open_File(path)) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(h.num_frames());
  }
  state.counters["frames"] = h.num_frames();
}
BENCHMARK(BM_Open_KV2)->Unit(benchmark::kMillisecond);

void BM_Read_Frame_KV2(benchmark::State& state) {
  qm::cls_AVI_handler h;
  if (!h.Open_File(Big_KV2())) state.SkipWithError("open failed");
  int32_t n = 1;
  for (auto _ : state) {
    h.Read_Frame(n, 1);
    benchmark::DoNotOptimize(h.Frame_address());
    n = n % 3 + 1;  // the frames that hold data
  }
}
BENCHMARK(BM_Read_Frame_KV2)->Unit(benchmark::kMicrosecond);

// An AVI file with 15000 index entries (small payloads: opening never looks
// at them).
void BM_Open_AVI_15000(benchmark::State& state) {
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("long.avi"));
  qmfix::AVI_Recipe recipe;
  recipe.audio = false;
  recipe.frames.assign(15000, qmfix::Bytes(16, 0x55));
  qmfix::Save(path, qmfix::Write_AVI(recipe).bytes);
  qm::cls_AVI_handler h;
  for (auto _ : state) {
    if (!h.Open_File(path)) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(h.Video_index_count());
  }
  state.counters["entries"] = h.Video_index_count();
}
BENCHMARK(BM_Open_AVI_15000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
