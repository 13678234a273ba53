// Opening the AVI layouts of real writers: the chunk walk, the index, the
// placement of its offsets, and the refusals. Every right answer comes from
// what the fixture maker wrote.

#include "capture_file/avi_container.h"
#include "capture_file/avi_info.h"
#include "fixtures/avi_fixtures.h"
#include "support/test_env.h"

#include <cstring>

namespace {

using qm::Index_Outcome;
using qm::Index_Placement;
using qmfix::AVI_Layout;
using qmfix::Bytes;

const std::vector<Bytes>& Pal_Frames() {
  static const std::vector<Bytes> frames = {qmfix::DV_Frame(false, 1), qmfix::DV_Frame(false, 2),
                                            qmfix::DV_Frame(false, 3)};
  return frames;
}

// Small stand-in payloads where the picture does not matter.
std::vector<Bytes> Tiny_Frames(int n) {
  std::vector<Bytes> f;
  for (int i = 0; i < n; ++i) f.push_back(Bytes(16 + 2 * size_t(i), uint8_t(0xA0 + i)));
  return f;
}

// The sequence of cls_AVI_handler's AVI branch: header parser, chunk walk, index.
struct Opened {
  qm::clsAVIInfo info;
  qm::AVI_Chunks chunks;
  qm::AVI_Index index;
  Index_Outcome outcome = Index_Outcome::Done;
  bool parsed = false;
};

void Open(qm::Byte_Source& src, Opened& o, const QString& path = QStringLiteral("/x/a.avi")) {
  o.parsed = o.info.ReadFile(src);
  o.chunks = qm::Parse_Chunks(src);
  qm::Index_Request rq;
  rq.path = path;
  rq.file_size = o.info.FileSize;
  rq.index_pos = o.chunks.m_Index_pos;
  rq.parser_index_offset = o.info.IndexOffset;
  rq.movie_offset = o.info.MovieOffset;
  rq.iavs = o.info.iavs;
  o.outcome = qm::Get_AVI_indexes(src, rq, o.index);
}

using Container_Test = qmtest::Test;

TEST_F(Container_Test, EveryWritersLayoutOpensWithItsPlacementAndFrames) {
  struct Case {
    AVI_Layout layout;
    Index_Placement placement;
    const char* codec;
    bool iavs;
  };
  const Case cases[] = {
      {AVI_Layout::Relative, Index_Placement::Relative, "dvsd", false},
      {AVI_Layout::Gstreamer, Index_Placement::Absolute, "DVSD", false},
      {AVI_Layout::Dvgrab_Type1, Index_Placement::Shifted, "dvsd", true},
      {AVI_Layout::Dvgrab_Type2, Index_Placement::Relative, "dvsd", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.layout));
    qmfix::AVI_Recipe recipe;
    recipe.layout = c.layout;
    recipe.frames = Pal_Frames();
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    qm::Memory_Source src(w.bytes);
    Opened o;
    Open(src, o);
    ASSERT_TRUE(o.parsed);
    ASSERT_EQ(o.outcome, Index_Outcome::Done);
    EXPECT_EQ(o.index.placement, c.placement);
    EXPECT_EQ(o.info.VideoCodec, QString::fromLatin1(c.codec));
    EXPECT_EQ(o.info.iavs, c.iavs);
    EXPECT_EQ(o.info.Width, 720u);
    EXPECT_EQ(o.info.Height, 576u);
    EXPECT_EQ(o.info.FrameRate, 25u);
    EXPECT_EQ(o.info.NumFrames, 3u);
    EXPECT_EQ(o.info.MovieOffset, uint32_t(w.movi));
    EXPECT_EQ(o.info.IndexOffset, uint32_t(w.idx1));
    EXPECT_EQ(o.info.FileSize, int64_t(w.bytes.size()));
    EXPECT_EQ(o.chunks.m_Index_pos, w.idx1);
    EXPECT_EQ(o.chunks.movi_pos, w.movi);
    EXPECT_EQ(o.chunks.m_XML_chunk_pos, 0);
    EXPECT_EQ(o.index.entries_total, w.idx1_entries);
    EXPECT_EQ(o.index.max_chunk_length, 144000u);
    ASSERT_EQ(o.index.Count(), 3);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(o.index.Chunk_Pos(k), w.frame_chunk[size_t(k)]);
      EXPECT_EQ(o.index.m_Video_index[size_t(k)].dwChunkLength, w.frame_len[size_t(k)]);
      // The payload at the computed place is the very frame that was written.
      EXPECT_EQ(std::memcmp(w.bytes.data() + o.index.Chunk_Pos(k) + 8,
                            Pal_Frames()[size_t(k)].data(), 144000),
                0);
    }
    EXPECT_EQ(o.index.Chunk_Pos(3), -1);
    EXPECT_TRUE(dialogs.records().empty());
  }
  Expect_No_Reports();
}

TEST_F(Container_Test, LibavformatFileOpensRelativeAndCarriesAnAddedKvxmChunk) {
  for (bool ntsc : {false, true}) {
    SCOPED_TRACE(ntsc ? "NTSC" : "PAL");
    const std::vector<Bytes> frames =
        ntsc ? std::vector<Bytes>{qmfix::DV_Frame(true, 4), qmfix::DV_Frame(true, 5)}
             : Pal_Frames();
    const uint32_t frame_bytes = ntsc ? 120000 : 144000;
    const QString path = Tmp(ntsc ? "lavf_ntsc.avi" : "lavf.avi");
    ASSERT_TRUE(qmfix::Write_Lavf_AVI(path, frames, ntsc, true));
    const QByteArray text = QByteArrayLiteral("<?xml version=\"1.0\"?><Quaymark>x</Quaymark>");
    const int64_t kvxm = qmfix::Add_KVXM_Chunk(path, text, 4000);
    ASSERT_GT(kvxm, 0);
    const Bytes file = qmfix::Load(path);

    qm::Read_Only_File_Source src;  // from the disk, as the capture-file object reads
    ASSERT_EQ(src.Open(path), 0);
    Opened o;
    Open(src, o);
    ASSERT_TRUE(o.parsed);
    ASSERT_EQ(o.outcome, Index_Outcome::Done);
    EXPECT_EQ(o.index.placement, Index_Placement::Relative);
    EXPECT_EQ(o.info.VideoCodec.toLower(), QStringLiteral("dvsd"));
    EXPECT_TRUE(o.info.HasAudio);
    EXPECT_EQ(o.info.NumFrames, uint32_t(frames.size()));
    EXPECT_EQ(o.info.Width, 720u);
    EXPECT_EQ(o.info.Height, ntsc ? 480u : 576u);
    EXPECT_EQ(o.info.FrameRate, ntsc ? 29u : 25u);
    EXPECT_EQ(o.chunks.m_XML_chunk_pos, kvxm);
    EXPECT_EQ(o.chunks.m_XML_chunk_size, 4000u);
    EXPECT_EQ(o.chunks.XML_text_pos(), kvxm + 8);
    EXPECT_EQ(o.chunks.xml_text, text);
    ASSERT_EQ(o.index.Count(), int32_t(frames.size()));
    int64_t from = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
      const int64_t payload = qmfix::Find(file, frames[k], from);
      ASSERT_GT(payload, 0);
      EXPECT_EQ(o.index.Chunk_Pos(int32_t(k)) + 8, payload);
      EXPECT_EQ(o.index.m_Video_index[k].dwChunkLength, frame_bytes);
      from = payload + 1;
    }
  }
  Expect_No_Reports();
}

TEST_F(Container_Test, LibavformatFileWithAbsoluteOffsetsOpensAbsolute) {
  const QString path = Tmp("abs.avi");
  ASSERT_TRUE(qmfix::Write_Lavf_AVI(path, Pal_Frames(), false, true));
  Bytes file = qmfix::Load(path);
  ASSERT_TRUE(qmfix::Make_Index_Absolute(file));
  qm::Memory_Source src(file);
  Opened o;
  Open(src, o);
  ASSERT_EQ(o.outcome, Index_Outcome::Done);
  EXPECT_EQ(o.index.placement, Index_Placement::Absolute);
  ASSERT_EQ(o.index.Count(), 3);
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(qmfix::Find(file, Pal_Frames()[size_t(k)]), o.index.Chunk_Pos(k) + 8);
  Expect_No_Reports();
}

TEST_F(Container_Test, ChunkWalkStepsOverEveryOtherChunkUnroundedAndTheLaterKvxmWins) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  recipe.before_movi = {{"JUNK", Bytes(200, 0)},
                      {"VXHD", Bytes(64, 1)},
                      {"VXA1", Bytes(10, 2)},
                      {"VXA5", Bytes(12, 3)}};
  recipe.kvxm = {{"first text", 300}, {QByteArray("second\0tail", 11), 400}};
  // After the index: a chunk of odd size without its pad byte, then a third
  // KVXM; found only when sizes are not rounded up.
  recipe.after_idx1 = {{"JUNQ", Bytes(7, 4), false}, {"KVXM", qmfix::KVXM_Payload("third", 150)}};
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  qm::Memory_Source src(w.bytes);
  const qm::AVI_Chunks c = qm::Parse_Chunks(src);

  EXPECT_EQ(c.riff_size, uint32_t(w.bytes.size() - 8));
  EXPECT_EQ(c.form_type, qm::FCC("AVI "));
  EXPECT_EQ(c.kvxm_count, 3);
  EXPECT_EQ(c.m_XML_chunk_pos, w.after_idx1[1]);
  EXPECT_EQ(c.m_XML_chunk_size, 150u);
  EXPECT_EQ(c.xml_text, QByteArray("third"));
  EXPECT_EQ(c.vxhd_pos, w.before_movi[1]);
  EXPECT_EQ(c.vxhd_size, 64u);
  EXPECT_EQ(c.vxa_pos[0], w.before_movi[2]);
  EXPECT_EQ(c.vxa_pos[4], w.before_movi[3]);
  EXPECT_EQ(c.vxa_pos[1], 0);
  EXPECT_EQ(c.pad_bytes, 207);
  EXPECT_EQ(c.m_Index_pos, w.idx1);
  EXPECT_EQ(c.movi_pos, w.movi);
  // hdrl, 4 extra, 2 KVXM, movi, idx1, JUNQ, KVXM.
  ASSERT_EQ(c.table.size(), 11u);
  EXPECT_EQ(c.table[0].list_type, qm::FCC("hdrl"));
  EXPECT_EQ(c.table[10].offset, w.after_idx1[1]);

  // Two KVXM chunks before movi only: the second one, its text cut at the zero byte.
  recipe.after_idx1.clear();
  const qmfix::AVI_Written w2 = qmfix::Write_AVI(recipe);
  qm::Memory_Source src2(w2.bytes);
  const qm::AVI_Chunks c2 = qm::Parse_Chunks(src2);
  EXPECT_EQ(c2.m_XML_chunk_pos, w2.kvxm[1]);
  EXPECT_EQ(c2.xml_text, QByteArray("second"));
  EXPECT_EQ(c2.m_XML_chunk_size, 400u);
  Expect_No_Reports();
}

TEST_F(Container_Test, IndexRefusals) {
  const QString path = QStringLiteral("/data/heat 3.avi");
  const QString no_index =
      QStringLiteral("File: /data/heat 3.aviQuaymark, Free version  found no AVI index! ");
  const auto entries = [](int n, const char* id) {
    std::vector<qmfix::Idx_Entry> e;
    for (int k = 0; k < n; ++k) e.push_back({id, 0x10, 4, 16});
    return qmfix::Idx1_Payload(e);
  };
  struct Case {
    const char* name;
    std::optional<Bytes> idx1;
    bool write_idx1;
    Index_Outcome outcome;
    QString message;  // "" = none
  };
  const std::vector<Case> cases = {
      {"only audio entries", entries(4, "01wb"), true, Index_Outcome::No_Video_Entries, no_index},
      {"text and dummy entries", entries(3, "7Fxx"), true, Index_Outcome::No_Video_Entries,
       no_index},
      {"size 0", Bytes{}, true, Index_Outcome::Bad_Entry_Count, {}},
      {"half an entry rounds to 0", Bytes(8, 0), true, Index_Outcome::Bad_Entry_Count, {}},
      {"150001 entries", entries(150001, "00dc"), true, Index_Outcome::Bad_Entry_Count, {}},
      {"150000 entries", entries(150000, "00dc"), true, Index_Outcome::Done, {}},
      {"no index chunk", std::nullopt, false, Index_Outcome::No_Index_Chunk, no_index},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.Clear();
    qmfix::AVI_Recipe recipe;
    recipe.frames = Tiny_Frames(1);
    recipe.idx1 = c.idx1;
    recipe.write_idx1 = c.write_idx1;
    qm::Memory_Source src(qmfix::Write_AVI(recipe).bytes);
    Opened o;
    Open(src, o, path);
    EXPECT_EQ(o.outcome, c.outcome);
    if (c.message.isEmpty()) {
      EXPECT_TRUE(dialogs.records().empty());
    } else {
      ASSERT_EQ(dialogs.records().size(), 1u);
      EXPECT_EQ(dialogs.records()[0].text, c.message);
    }
  }
  Expect_No_Reports();
}

TEST_F(Container_Test, FileThatIsNoAviGivesTheEmptyFileMessage) {
  // A ".avi" whose first list is not "hdrl": the parser resets its values,
  // so the index reader sees a file size of 0.
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  Bytes b = qmfix::Write_AVI(recipe).bytes;
  qmfix::Put32(b, 20, qmfix::Fcc("hdrX"));
  qm::Memory_Source src(b);
  Opened o;
  Open(src, o);
  EXPECT_FALSE(o.parsed);
  EXPECT_EQ(o.info.FileSize, 0);
  EXPECT_EQ(o.outcome, Index_Outcome::Empty_File);
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text, QStringLiteral("GET_AVI_Indexes, empty file!"));
}

TEST_F(Container_Test, PlacementFollowsWhereTheFirstOffsetLeads) {
  // The same file with the idx1 offsets counted from different origins.
  struct Case {
    AVI_Layout layout;
    int64_t origin_from_movi;  // offsets = chunk - (movi + this); INT64_MIN: absolute
    Index_Placement placement;
  };
  const Case cases[] = {
      {AVI_Layout::Relative, 0, Index_Placement::Relative},
      {AVI_Layout::Relative, INT64_MIN, Index_Placement::Absolute},
      // Offsets from the first byte after "movi" mean "shifted" only for an
      // interleaved DV stream; elsewhere they lead nowhere.
      {AVI_Layout::Relative, 4, Index_Placement::None},
      {AVI_Layout::Dvgrab_Type1, 4, Index_Placement::Shifted},
      {AVI_Layout::Dvgrab_Type1, 0, Index_Placement::Relative},
      {AVI_Layout::Dvgrab_Type1, INT64_MIN, Index_Placement::Absolute},
      {AVI_Layout::Relative, 1000000, Index_Placement::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.layout) << " " << c.origin_from_movi);
    qmfix::AVI_Recipe recipe;
    recipe.layout = c.layout;
    recipe.frames = Tiny_Frames(3);
    recipe.audio = false;
    const qmfix::AVI_Written first = qmfix::Write_AVI(recipe);  // positions do not move
    std::vector<qmfix::Idx_Entry> e;
    for (size_t k = 0; k < 3; ++k) {
      const int64_t at = first.frame_chunk[k];
      const int64_t off =
          c.origin_from_movi == INT64_MIN ? at : at - (first.movi + c.origin_from_movi);
      e.push_back({c.layout == AVI_Layout::Dvgrab_Type1 ? "00__" : "00dc", 0x10, uint32_t(off),
                   first.frame_len[k]});
    }
    recipe.idx1 = qmfix::Idx1_Payload(e);
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    qm::Memory_Source src(w.bytes);
    Opened o;
    Open(src, o);
    ASSERT_EQ(o.outcome, Index_Outcome::Done);
    EXPECT_EQ(o.index.placement, c.placement);
    for (int k = 0; k < 3; ++k) {
      if (c.placement == Index_Placement::None) {
        EXPECT_EQ(o.index.Chunk_Pos(k), -1);
      } else {
        EXPECT_EQ(o.index.Chunk_Pos(k), w.frame_chunk[size_t(k)]);
        EXPECT_TRUE(o.index.Payload_Inside(k, int64_t(w.bytes.size())));
      }
    }
  }
  Expect_No_Reports();
}

TEST_F(Container_Test, SizesPointingOutsideTheFileFailClearly) {
  struct Case {
    const char* name;
    std::function<void(qmfix::AVI_Recipe&)> make;
    std::function<void(Bytes&, const qmfix::AVI_Written&)> patch;
  };
  const std::vector<Case> cases = {
      {"KVXM chunk larger than the file",
       [](qmfix::AVI_Recipe& s) {
         s.kvxm = {{"abc", 0}};
       },
       [](Bytes& b, const qmfix::AVI_Written& w) { qmfix::Put32(b, w.kvxm[0] + 4, 0x7FFFFF00); }},
      {"index entries past the end", [](qmfix::AVI_Recipe&) {},
       [](Bytes& b, const qmfix::AVI_Written& w) { qmfix::Put32(b, w.idx1 + 4, 16 * 1000); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reports.clear();
    qmfix::AVI_Recipe recipe;
    recipe.frames = Tiny_Frames(2);
    c.make(recipe);
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    Bytes b = w.bytes;
    c.patch(b, w);
    qm::Memory_Source src(b);
    Opened o;
    const bool ran = qm::Trapped(QStringLiteral("Open_File"), [&] { Open(src, o); });
    EXPECT_FALSE(ran);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].errnum, qm::Err_Bad_Format);
  }
  // An entry whose payload lies outside the file opens, but is marked as such.
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  Bytes b = w.bytes;
  qmfix::Put32(b, w.idx1 + 8 + 32 + 12, 0xFFFFFFF0);  // second video entry's length
  qm::Memory_Source src(b);
  Opened o;
  reports.clear();
  Open(src, o);
  ASSERT_EQ(o.outcome, Index_Outcome::Done);
  EXPECT_TRUE(o.index.Payload_Inside(0, int64_t(b.size())));
  EXPECT_FALSE(o.index.Payload_Inside(1, int64_t(b.size())));
  EXPECT_EQ(o.index.max_chunk_length, w.frame_len[0]);
  Expect_No_Reports();
}

TEST_F(Container_Test, EveryTruncationOfAFileIsHandledWithoutReadingOutsideIt) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(3);
  recipe.kvxm = {{"<x/>", 0}};
  const Bytes whole = qmfix::Write_AVI(recipe).bytes;
  // The index is the last chunk, so no shortened file may open, and none may
  // make the reader step outside the bytes it has.
  for (size_t n = 0; n < whole.size(); ++n) {
    qm::Memory_Source src(Bytes(whole.begin(), whole.begin() + ptrdiff_t(n)));
    Opened o;
    const bool ran = qm::Trapped(QStringLiteral("Open_File"), [&] { Open(src, o); });
    EXPECT_FALSE(ran && o.outcome == Index_Outcome::Done) << n;
  }
  // The whole file opens.
  qm::Memory_Source src(whole);
  Opened o;
  Open(src, o);
  EXPECT_EQ(o.outcome, Index_Outcome::Done);
}

// Counts the reads an open costs.
class Counting_Source : public qm::Byte_Source {
 public:
  explicit Counting_Source(Bytes b) : s_(std::move(b)) {}
  bool Read_At(int64_t off, void* dst, int32_t n) override {
    ++reads;
    return s_.Read_At(off, dst, n);
  }
  int64_t Length() override { return s_.Length(); }
  int reads = 0;

 private:
  qm::Memory_Source s_;
};

TEST_F(Container_Test, OpeningCostsTheSameHandfulOfReadsWhateverTheLength) {
  std::vector<int> reads;
  for (int frames : {3, 300}) {
    qmfix::AVI_Recipe recipe;
    recipe.frames = Tiny_Frames(frames);
    // An odd-sized chunk with the pad byte RIFF writers add: stepped over as well.
    recipe.kvxm = {{"<Quaymark/>", 5001}};
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    Counting_Source src(w.bytes);
    Opened o;
    Open(src, o);
    ASSERT_EQ(o.outcome, Index_Outcome::Done);
    EXPECT_EQ(o.index.Count(), frames);
    EXPECT_EQ(o.chunks.m_XML_chunk_pos, w.kvxm[0]);
    EXPECT_EQ(o.chunks.xml_text, QByteArray("<Quaymark/>"));
    EXPECT_EQ(o.chunks.movi_pos, w.movi);
    EXPECT_EQ(o.chunks.m_Index_pos, w.idx1);
    reads.push_back(src.reads);
  }
  EXPECT_EQ(reads[0], reads[1]);
  EXPECT_LT(reads[0], 40);

  // Zeros where chunks should be (a damaged file) end the walks at once
  // instead of stepping through them eight bytes at a time.
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  Bytes b = w.bytes;
  b.resize(b.size() + 1000000, 0);
  qmfix::Put32(b, 4, uint32_t(b.size() - 8));
  std::fill(b.begin() + w.movi - 8, b.end(), 0);
  Counting_Source src(b);
  Opened o;
  Open(src, o);
  EXPECT_EQ(o.outcome, Index_Outcome::Empty_File);  // no movie list: not a usable AVI file
  EXPECT_LT(src.reads, 40);
}

TEST_F(Container_Test, FileSourceReadsExactRanges) {
  const QString path = Tmp("ten.bin");
  ASSERT_TRUE(qmfix::Save(path, Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  qm::Read_Only_File_Source f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Length(), 10);
  uint8_t b[4] = {};
  EXPECT_TRUE(f.Read_At(6, b, 4));
  EXPECT_EQ(b[3], 9);
  EXPECT_FALSE(f.Read_At(7, b, 4));
  EXPECT_FALSE(f.Read_At(-1, b, 1));
  EXPECT_NE(f.Open(Tmp("missing.bin")), 0);
  EXPECT_FALSE(f.Read_At(0, b, 1));
}

}  // namespace
