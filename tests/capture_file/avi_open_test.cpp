// AVI files through the capture-file object: every writer's layout opens,
// frames come from where the writer put them, and the refusals.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/avi_fixtures.h"
#include "fixtures/kv_fixtures.h"
#include "support/test_env.h"

#include <cstring>

namespace {

using qmtest::Bytes;

class Avi_Open_Test : public qmtest::Test {
 protected:
  std::vector<Bytes> Frames(int n) {
    std::vector<Bytes> f;
    for (int k = 1; k <= n; ++k) f.push_back(qmtest::DV_Frame(false, k));
    return f;
  }
  QString Save(const QString& name, const qmfix::AVI_Written& w) {
    const QString p = Tmp(name);
    qmfix::Save(p, w.bytes);
    return p;
  }
};

TEST_F(Avi_Open_Test, EveryWritersLayoutOpensAndReadsItsFrames) {
  struct Case {
    const char* name;
    qmfix::AVI_Layout layout;
    qm::Index_Placement placement;
  } cases[] = {{"relative.avi", qmfix::AVI_Layout::Relative, qm::Index_Placement::Relative},
               {"gst.avi", qmfix::AVI_Layout::Gstreamer, qm::Index_Placement::Absolute},
               {"type1.avi", qmfix::AVI_Layout::Dvgrab_Type1, qm::Index_Placement::Shifted},
               {"type2.avi", qmfix::AVI_Layout::Dvgrab_Type2, qm::Index_Placement::Relative}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qmfix::AVI_Recipe recipe;
    recipe.layout = c.layout;
    recipe.frames = Frames(3);
    const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
    const QString path = Save(QString::fromLatin1(c.name), w);
    qm::cls_AVI_handler h;
    ASSERT_TRUE(h.Open_File(path));
    EXPECT_EQ(h.m_Index_placement(), c.placement);
    EXPECT_EQ(h.video_codec(), QStringLiteral("CDVC"));  // "dvsd" and "DVSD" alike
    EXPECT_TRUE(h.is_DV());
    EXPECT_FALSE(h.Is_Deinterlaced());
    EXPECT_EQ(h.num_frames(), 3);
    EXPECT_EQ(h.Num_fields(), 6);
    EXPECT_EQ(h.Video_index_count(), 3);
    for (int32_t n : {2, 1, 3, 40}) {
      h.Read_Frame(n, 1);
      const int32_t k = std::min(n, 3) - 1;
      EXPECT_EQ(h.Frame_in_store(), k + 1);
      EXPECT_EQ(h.m_Frame_pos(), w.frame_chunk[static_cast<size_t>(k)] + 8);
      EXPECT_EQ(h.Frame_Length(), static_cast<int32_t>(w.frame_len[static_cast<size_t>(k)]));
      EXPECT_EQ(std::memcmp(h.Frame_address(), recipe.frames[static_cast<size_t>(k)].data(), 144000),
                0);
    }
  }
  Expect_No_Reports();
}

TEST_F(Avi_Open_Test, LaterKVXMChunkWins) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Frames(1);
  QByteArray first = qmtest::Minimal_KV_XML(1, 1), second = first;
  second.replace("<event_name>Mini", "<event_name>Second");
  recipe.kvxm = {{first, 0}, {second, 0}};
  const qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(Save("two.avi", w)));
  EXPECT_TRUE(h.Has_XML_header());
  EXPECT_EQ(h.m_XML_chunk_pos(), w.kvxm[1]);
  EXPECT_EQ(h.Event_name(), QStringLiteral("Second"));
  EXPECT_TRUE(h.is_Quaymark());
}

TEST_F(Avi_Open_Test, IndexRefusals) {
  const std::vector<Bytes> frames = Frames(1);
  // Only audio entries: the "found no AVI index" message.
  {
    qmfix::AVI_Recipe recipe;
    recipe.frames = frames;
    recipe.idx1 = qmfix::Idx1_Payload({{"01wb", 0, 4, 64}, {"01wb", 0, 80, 64}});
    const QString path = Save("audio_only.avi", qmfix::Write_AVI(recipe));
    qm::cls_AVI_handler h;
    EXPECT_FALSE(h.Open_File(path));
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].startsWith(QStringLiteral("File: ") + path));
    EXPECT_TRUE(dialogs.Texts()[0].endsWith(QStringLiteral("  found no AVI index! ")));
    EXPECT_FALSE(h.File_open());
  }
  // Empty index and one above 150000 entries: refused without a message.
  for (const size_t entries : {size_t(0), size_t(150001)}) {
    SCOPED_TRACE(entries);
    dialogs.Clear();
    qmfix::AVI_Recipe recipe;
    recipe.frames = frames;
    recipe.idx1 = Bytes(entries * 16, 0);
    qm::cls_AVI_handler h;
    EXPECT_FALSE(h.Open_File(Save("bad_index.avi", qmfix::Write_AVI(recipe))));
    EXPECT_TRUE(dialogs.Texts().isEmpty());
    EXPECT_FALSE(h.File_open());
  }
}

TEST_F(Avi_Open_Test, IndexOffsetPastTheFileReadsNothing) {
  qmfix::AVI_Recipe recipe;
  recipe.frames = Frames(2);
  recipe.audio = false;
  qmfix::AVI_Written w = qmfix::Write_AVI(recipe);
  // Entry 2 now claims a payload far beyond the end of the file.
  const int64_t entry2 = w.idx1 + 8 + 16 * 1;
  ASSERT_EQ(qmfix::Get32(w.bytes, entry2), qmfix::Fcc("00dc"));
  qmfix::Put32(w.bytes, entry2 + 12, 0x7ff00000);
  qm::cls_AVI_handler h;
  ASSERT_TRUE(h.Open_File(Save("hostile.avi", w)));
  h.Read_Frame(1, 1);
  ASSERT_EQ(h.Frame_in_store(), 1);
  h.Read_Frame(2, 1);
  EXPECT_EQ(h.Frame_in_store(), 1);
  EXPECT_LE(h.Frame_buffer().size(), w.bytes.size());
}

}  // namespace
