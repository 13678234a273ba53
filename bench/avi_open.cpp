// Opening the container of an AVI file with 15000 video frames (NTSC DV
// sized chunks, 1.8 GB, written sparse) and its 15000-entry index: header
// parser, chunk walk and index, as cls_AVI_handler runs them.
//
//   bench_avi_open [--benchmark_filter=...]

#include "capture_file/avi_container.h"
#include "capture_file/avi_info.h"
#include "fixtures/avi_fixtures.h"
#include "shell/app_globals.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr uint32_t Frames = 15000;
constexpr uint32_t Frame_bytes = 120000;

// Writes the file: a real header from the fixture writer, then the frame
// chunk headers with holes for their payloads, then the index.
QString Make_File(const QString& path) {
  qmfix::AVI_Recipe recipe;
  recipe.ntsc = true;
  recipe.audio = false;
  recipe.write_idx1 = false;
  recipe.kvxm = {{"<?xml version=\"1.0\"?><Quaymark/>", 100005}};
  qmfix::Bytes head = qmfix::Write_AVI(recipe).bytes;  // ends with an empty movie list
  const int64_t movi_list = int64_t(head.size()) - 12;
  const int64_t movi = movi_list + 8;
  qmfix::Put32(head, 48, Frames);  // main header's total frames

  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
  f.write(reinterpret_cast<const char*>(head.data()), qint64(head.size()));
  std::vector<qmfix::Idx_Entry> entries;
  int64_t at = int64_t(head.size());
  for (uint32_t k = 0; k < Frames; ++k) {
    qmfix::Bytes h(8);
    qmfix::Put32(h, 0, qmfix::Fcc("00dc"));
    qmfix::Put32(h, 4, Frame_bytes);
    f.seek(at);
    f.write(reinterpret_cast<const char*>(h.data()), 8);
    entries.push_back({"00dc", 0x10, uint32_t(at - movi), Frame_bytes});
    at += 8 + Frame_bytes;
  }
  const int64_t movi_end = at;
  qmfix::Bytes idx(8);
  qmfix::Put32(idx, 0, qmfix::Fcc("idx1"));
  qmfix::Put32(idx, 4, Frames * 16);
  const qmfix::Bytes payload = qmfix::Idx1_Payload(entries);
  idx.insert(idx.end(), payload.begin(), payload.end());
  f.seek(at);
  f.write(reinterpret_cast<const char*>(idx.data()), qint64(idx.size()));
  at += int64_t(idx.size());
  qmfix::Bytes size(4);
  qmfix::Put32(size, 0, uint32_t(movi_end - movi_list - 8));
  f.seek(movi_list + 4);
  f.write(reinterpret_cast<const char*>(size.data()), 4);
  qmfix::Put32(size, 0, uint32_t(at - 8));
  f.seek(4);
  f.write(reinterpret_cast<const char*>(size.data()), 4);
  f.close();
  return path;
}

// Counts the reads one open costs.
class Counting_Source : public qm::Byte_Source {
 public:
  explicit Counting_Source(qm::Byte_Source& s) : s_(s) {}
  bool Read_At(int64_t off, void* dst, int32_t n) override {
    ++reads;
    return s_.Read_At(off, dst, n);
  }
  int64_t Length() override { return s_.Length(); }
  int64_t reads = 0;

 private:
  qm::Byte_Source& s_;
};

void BM_Open_AVI_15000(benchmark::State& state) {
  qm::Quaymark_Initialization();
  QTemporaryDir dir;
  const QString path = Make_File(dir.filePath(QStringLiteral("heat.avi")));
  int64_t reads = 0;
  int32_t count = 0;
  for (auto _ : state) {
    qm::Read_Only_File_Source file;
    if (file.Open(path) != 0) std::abort();
    Counting_Source src(file);
    qm::clsAVIInfo info;
    info.ReadFile(src);
    const qm::AVI_Chunks chunks = qm::Parse_Chunks(src);
    qm::Index_Request rq;
    rq.path = path;
    rq.file_size = info.FileSize;
    rq.index_pos = chunks.m_Index_pos;
    rq.parser_index_offset = info.IndexOffset;
    rq.movie_offset = info.MovieOffset;
    rq.iavs = info.iavs;
    qm::AVI_Index index;
    if (qm::Get_AVI_indexes(src, rq, index) != qm::Index_Outcome::Done) std::abort();
    count = index.Count();
    reads = src.reads;
    benchmark::DoNotOptimize(index.m_Video_index.data());
  }
  state.counters["entries"] = count;
  state.counters["reads"] = double(reads);
}
BENCHMARK(BM_Open_AVI_15000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
