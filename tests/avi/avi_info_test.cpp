// clsAVIInfo: the values it reports, "iavs" files, colour tables, filler
// accounting, the 2^31 limit, and the four-character code conversions.

#include "capture_file/avi_info.h"
#include "capture_file/avi_container.h"
#include "fixtures/avi_fixtures.h"
#include "support/test_env.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

using qmfix::AVI_Layout;
using qmfix::Bytes;

std::vector<Bytes> Tiny_Frames(int n) {
  return std::vector<Bytes>(size_t(n), Bytes(24, 0x5A));
}

// A file of `length` bytes of which only a few regions are not zero, so that
// walks past 2^31 can be tried without writing gigabytes.
class Sparse_Source : public qm::Byte_Source {
 public:
  explicit Sparse_Source(int64_t length) : length_(length) {}
  void Put(int64_t at, const Bytes& b) { regions_[at] = b; }
  bool Read_At(int64_t off, void* dst, int32_t n) override {
    if (off < 0 || n < 0 || off + n > length_) return false;
    auto* d = static_cast<uint8_t*>(dst);
    std::memset(d, 0, size_t(n));
    for (const auto& [at, b] : regions_) {
      const int64_t lo = std::max(off, at), hi = std::min(off + n, at + int64_t(b.size()));
      if (lo < hi) std::memcpy(d + (lo - off), b.data() + (lo - at), size_t(hi - lo));
    }
    return true;
  }
  int64_t Length() override { return length_; }

 private:
  int64_t length_;
  std::map<int64_t, Bytes> regions_;
};

using Info_Test = qmtest::Test;

TEST_F(Info_Test, ReportsTheMainAndStreamHeaders) {
  struct Case {
    const char* name;
    bool ntsc;
    uint32_t us;
    int frames;
    uint32_t rate;
    uint32_t play_length;
  };
  const Case cases[] = {
      {"PAL", false, 40000, 3, 25, 0},
      {"NTSC drops the fraction", true, 33367, 3, 29, 0},
      {"2.5 s rounds to even", false, 500000, 5, 2, 2},
      {"3.5 s rounds to even", false, 500000, 7, 2, 4},
      {"no frame time", false, 0, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qmfix::AVI_Recipe recipe;
    recipe.ntsc = c.ntsc;
    recipe.us_per_frame = c.us;
    recipe.frames = Tiny_Frames(c.frames);
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    qm::Memory_Source src(w.bytes);
    qm::clsAVIInfo info;
    ASSERT_TRUE(info.ReadFile(src));
    EXPECT_TRUE(info.AVI_valid);
    EXPECT_EQ(info.RIFFsize, uint32_t(w.bytes.size() - 8));
    EXPECT_EQ(info.FrameRate, c.rate);
    EXPECT_EQ(info.PlayLength, c.play_length);
    EXPECT_EQ(info.NumFrames, uint32_t(c.frames));
    EXPECT_EQ(info.NumStreams, 2u);
    EXPECT_EQ(info.Width, 720u);
    EXPECT_EQ(info.Height, c.ntsc ? 480u : 576u);
    EXPECT_TRUE(info.HasVideo);
    EXPECT_TRUE(info.HasAudio);
    EXPECT_EQ(info.Channels, 2);
    EXPECT_EQ(info.SamplesPerSec, 48000u);
    EXPECT_EQ(info.BitDepth, 24);
    ASSERT_NE(info.bmi_address(), nullptr);
    EXPECT_EQ(std::memcmp(info.bmi_address() + 16, "dvsd", 4), 0);
    EXPECT_EQ(info.VideoCodec, QStringLiteral("dvsd"));
  }
  Expect_No_Reports();
}

TEST_F(Info_Test, InterleavedDvStreamTakesItsFormatFromTheSuggestedBufferSize) {
  struct Case {
    uint32_t buffer;
    bool ntsc;  // what the main header itself says
    uint32_t width, height, rate;
  };
  const Case cases[] = {
      {144008, false, 720, 576, 25},
      {144000, true, 720, 576, 25},  // the buffer size decides, not the main header
      {120008, false, 720, 480, 29},
      {120000, false, 720, 480, 29},
      {0, true, 720, 480, 29},  // no known size: the main header's values
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buffer);
    qmfix::AVI_Recipe recipe;
    recipe.layout = AVI_Layout::Dvgrab_Type1;
    recipe.ntsc = c.ntsc;
    recipe.suggested_buffer = c.buffer;
    recipe.frames = Tiny_Frames(4);
    qm::Memory_Source src(qmfix::Write_AVI(recipe).bytes);
    qm::clsAVIInfo info;
    ASSERT_TRUE(info.ReadFile(src));
    EXPECT_TRUE(info.iavs);
    EXPECT_TRUE(info.HasVideo);
    EXPECT_FALSE(info.HasAudio);
    EXPECT_EQ(info.VideoCodec, QStringLiteral("dvsd"));
    EXPECT_EQ(info.NumFrames, 4u);
    EXPECT_EQ(info.Width, c.width);
    EXPECT_EQ(info.Height, c.height);
    EXPECT_EQ(info.FrameRate, c.rate);
    EXPECT_EQ(info.bmi_address(), nullptr);  // a DVINFO format, no bitmap header
    EXPECT_EQ(info.BitDepth, 0);
  }
}

TEST_F(Info_Test, ColourTablesAreReadAsFarAsTheFormatChunkHoldsThem) {
  std::vector<uint32_t> palette(256);
  for (uint32_t k = 0; k < 256; ++k) palette[k] = 0x00010203u * k;
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t clr_used;
    size_t written;
    size_t expected;
  };
  const Case cases[] = {
      {"8 bits, full palette", 8, 0, 256, 256},
      {"8 bits, colours used", 8, 20, 20, 20},
      {"4 bits, none said", 4, 0, 16, 16},
      {"1 bit, one said (below 2)", 1, 1, 2, 2},
      {"colours used beyond the chunk", 8, 100000, 16, 16},
      {"24 bits has none", 24, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qmfix::AVI_Recipe recipe;
    recipe.frames = Tiny_Frames(1);
    recipe.handler = QByteArray();  // empty: the bitmap header's code counts
    recipe.compression = QByteArrayLiteral("RLE8");
    recipe.bit_count = c.bits;
    recipe.clr_used = c.clr_used;
    recipe.colours.assign(palette.begin(), palette.begin() + ptrdiff_t(c.written));
    // A stream after the video one proves the walk went on past the table.
    qm::Memory_Source src(qmfix::Write_AVI(recipe).bytes);
    qm::clsAVIInfo info;
    ASSERT_TRUE(info.ReadFile(src));
    EXPECT_EQ(info.VideoCodec, QStringLiteral("RLE8"));
    EXPECT_EQ(info.BitDepth, c.bits);
    EXPECT_TRUE(info.HasAudio);
    ASSERT_EQ(info.Colour_table().size(), c.expected);
    for (size_t k = 0; k < c.expected; ++k) EXPECT_EQ(info.Colour_table()[k], palette[k]) << k;
  }
}

TEST_F(Info_Test, FillerChunksAreCountedAndSteppedOver) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  // Odd sizes are padded to even as RIFF wants; the walk rounds them up.
  recipe.before_movi = {{"JUNK", Bytes(1001, 0)}, {"VXHD", Bytes(33, 1)}, {"JUNQ", Bytes(2, 0)}};
  recipe.after_idx1 = {{"JUNK", Bytes(10, 0)}};
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  qm::Memory_Source src(w.bytes);
  qm::clsAVIInfo info;
  ASSERT_TRUE(info.ReadFile(src));
  EXPECT_EQ(info.PadBytes, w.junk_bytes);
  EXPECT_EQ(info.PadBytes, 1013u);
  EXPECT_EQ(info.MovieOffset, uint32_t(w.movi));
  EXPECT_EQ(info.IndexOffset, uint32_t(w.idx1));
}

TEST_F(Info_Test, NotAUsableAviFileLeavesEveryValueAtZero) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Tiny_Frames(2);
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> patch;
    const char* signal;
  };
  const std::vector<Case> cases = {
      {"first list not hdrl", [](Bytes& b) { qmfix::Put32(b, 20, qmfix::Fcc("strl")); },
       "Incorrect AVI header"},
      {"not RIFF", [](Bytes& b) { qmfix::Put32(b, 0, qmfix::Fcc("RIFX")); },
       "Incorrect AVI header"},
      {"no avih", [](Bytes& b) { qmfix::Put32(b, 24, qmfix::Fcc("avix")); },
       "Incorrect AVI header"},
      {"no movie list", [&](Bytes& b) { qmfix::Put32(b, w.movi, qmfix::Fcc("movX")); }, nullptr},
      {"shorter than the headers", [](Bytes& b) { b.resize(60); }, "Incorrect AVI header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes b = w.bytes;
    c.patch(b);
    qm::Memory_Source src(b);
    qm::clsAVIInfo info;
    QStringList heard;
    info.on_signal = [&](const QString& s) { heard << s; };
    EXPECT_FALSE(info.ReadFile(src));
    EXPECT_FALSE(info.AVI_valid);
    EXPECT_EQ(info.FileSize, 0);
    EXPECT_EQ(info.RIFFsize, 0u);
    EXPECT_EQ(info.MovieOffset, 0u);
    EXPECT_EQ(info.IndexOffset, 0u);
    EXPECT_EQ(info.Width, 0u);
    EXPECT_EQ(info.NumFrames, 0u);
    EXPECT_FALSE(info.HasVideo);
    EXPECT_TRUE(info.VideoCodec.isEmpty());
    EXPECT_EQ(info.bmi_address(), nullptr);
    EXPECT_EQ(heard, c.signal ? QStringList{QString::fromLatin1(c.signal)} : QStringList{});
    EXPECT_EQ(info.Raised, heard);
  }
  // A file that is missing or empty.
  qm::clsAVIInfo info;
  EXPECT_FALSE(info.ReadFile(Tmp("missing.avi")));
  EXPECT_EQ(info.Raised, QStringList{QStringLiteral("File not found or contains no data!")});
  ASSERT_TRUE(qmfix::Save(Tmp("empty.avi"), {}));
  EXPECT_FALSE(info.ReadFile(Tmp("empty.avi")));
  EXPECT_EQ(info.Raised, QStringList{QStringLiteral("File not found or contains no data!")});
  // The same file from disk reads as from memory.
  ASSERT_TRUE(qmfix::Save(Tmp("ok.avi"), w.bytes));
  EXPECT_TRUE(info.ReadFile(Tmp("ok.avi")));
  EXPECT_EQ(info.IndexOffset, uint32_t(w.idx1));
  EXPECT_TRUE(dialogs.records().empty());
  Expect_No_Reports();
}

TEST_F(Info_Test, WalkStopsWhereTheNextPositionWouldPass2To31) {
  qmfix::AVI_Recipe recipe;
  recipe.write_idx1 = false;
  const qmfix::AVI_Written head = qmfix::Write_AVI(recipe);  // ends with an empty movie list
  const int64_t list = head.movi - 8;
  const Bytes idx1 = [] {
    Bytes b(8, 0);
    qmfix::Put32(b, 0, qmfix::Fcc("idx1"));
    qmfix::Put32(b, 4, 16);
    Bytes e = qmfix::Idx1_Payload({{"00dc", 0x10, 4, 0}});
    b.insert(b.end(), e.begin(), e.end());
    return b;
  }();
  struct Case {
    int64_t next;  // where the chunk after the movie list starts
    bool found;
  };
  const Case cases[] = {{qm::clsAVIInfo::Walk_limit - 24, true},
                        {qm::clsAVIInfo::Walk_limit + 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.next);
    Bytes b = head.bytes;
    qmfix::Put32(b, list + 4, uint32_t(c.next - list - 8));
    qmfix::Put32(b, 4, uint32_t(c.next + 24 - 8));
    Sparse_Source src(c.next + 24);
    src.Put(0, b);
    src.Put(c.next, idx1);
    qm::clsAVIInfo info;
    ASSERT_TRUE(info.ReadFile(src));
    EXPECT_EQ(info.MovieOffset, uint32_t(head.movi));
    EXPECT_EQ(info.FileSize, c.next + 24);
    EXPECT_EQ(info.IndexOffset, c.found ? uint32_t(c.next) : 0u);
    EXPECT_EQ(info.Raised.contains(QStringLiteral("File too large to parse")), !c.found);
    // The chunk walk keeps its positions within 32 bits in the same way.
    const qm::AVI_Chunks chunks = qm::Parse_Chunks(src);
    EXPECT_EQ(chunks.m_Index_pos, c.found ? int32_t(c.next) : 0);
  }
}

TEST_F(Info_Test, FourCharacterCodes) {
  struct Case {
    uint32_t code;
    QString text;
  };
  const Case cases[] = {
      {0x64737664u, QStringLiteral("dvsd")},
      {0x43564443u, QStringLiteral("CDVC")},
      {0x20495641u, QStringLiteral("AVI ")},
      {0x5F5F3030u, QStringLiteral("00__")},
      {0xE9000041u, QString::fromLatin1("A\0\0\xE9", 4)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qm::LongToFourCC(c.code), c.text);
    EXPECT_EQ(qm::FourCCToLong(c.text), c.code);
  }
  EXPECT_EQ(qm::FourCCToLong(QStringLiteral("AVI")), 0x20495641u);  // padded with a space
  EXPECT_EQ(qm::FourCCToLong(QStringLiteral("dvsdX")), 0x64737664u);
  EXPECT_EQ(qm::FourCCToLong(QStringLiteral("dvsd")), qm::FCC("dvsd"));
  EXPECT_TRUE(qm::Same_Fourcc(QStringLiteral("DVSD"), QStringLiteral("dvsd")));
  EXPECT_FALSE(qm::Same_Fourcc(QStringLiteral("dvsd"), QStringLiteral("dv50")));
}

}  // namespace
