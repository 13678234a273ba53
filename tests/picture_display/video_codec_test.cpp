// The codec service: DV frames made by libavcodec's encoder from a known
// picture decode back into our bottom-up buffers, in place and scaled.
#include "platform/video_codec.h"
#include "support/test_env.h"

#include <QImage>

#include <cstdlib>
#include <vector>

namespace {

// Odd lines (field 1) bright, even lines (field 2) dark; a dark left border
// of 64 pixels shows that left and right are not swapped.
QImage Field_Picture(int height) {
  QImage img(720, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 720; ++x) {
      const int v = x < 64 ? 16 : (y % 2 ? 220 : 40);
      img.setPixel(x, y, qRgb(v, v, v));
    }
  return img;
}

struct Buffer {
  Buffer(int w, int h) : stride(((w * 3 + 3) / 4) * 4), bytes(static_cast<size_t>(stride) * h, 0) {
    view = {bytes.data(), w, h, stride};
  }
  int stride;
  std::vector<uint8_t> bytes;
  qm::Bgr24_View view;
  int Grey(int x, int y_top) const { return view.Row(y_top)[x * 3 + 1]; }
  double Mean_Rows(int parity, int x0) const {
    double sum = 0;
    int n = 0;
    for (int y = parity; y < view.height; y += 2)
      for (int x = x0; x < view.width; x += 7) sum += Grey(x, y), ++n;
    return sum / n;
  }
};

struct Case {
  bool ntsc;
  size_t bytes;
  int height;
};

class Video_Codec : public qmtest::Test, public ::testing::WithParamInterface<Case> {};

TEST_P(Video_Codec, Encodes_Real_Frames_That_Decode_To_The_Picture) {
  const Case c = GetParam();
  const std::vector<uint8_t> frame = qm::Encode_DV_Frame(Field_Picture(c.height), c.ntsc);
  ASSERT_EQ(frame.size(), c.bytes);

  qm::Video_Decoder decoder(1);
  Buffer out(720, c.height);
  ASSERT_TRUE(
      decoder.Decode(qm::Fourcc("dvsd"), 720, c.height, frame.data(), frame.size(), out.view));
  EXPECT_NEAR(out.Mean_Rows(1, 80), 220, 12);  // field 1
  EXPECT_NEAR(out.Mean_Rows(0, 80), 40, 12);   // field 2
  EXPECT_LT(out.Grey(10, c.height / 2), 40);   // left border stays left, top stays top
  EXPECT_EQ(decoder.Frames_Decoded(), 1);

  // Scaled into a PAL-sized buffer (NTSC 480 -> 576), then decoded again with
  // another code of the same codec: the decoder is reused.
  Buffer big(720, 576);
  ASSERT_TRUE(
      decoder.Decode(qm::Fourcc("CDVC"), 720, c.height, frame.data(), frame.size(), big.view));
  EXPECT_LT(big.Grey(10, 300), 40);
  EXPECT_GT(big.Grey(400, 300), 25);
  EXPECT_EQ(decoder.Frames_Decoded(), 2);
  Expect_No_Reports();
}

INSTANTIATE_TEST_SUITE_P(PAL_NTSC, Video_Codec,
                         ::testing::Values(Case{false, qm::DV_PAL_Frame_Bytes, 576},
                                           Case{true, qm::DV_NTSC_Frame_Bytes, 480}));

TEST(Video_Codec_Codes, DV_Codes_In_Any_Case_And_RIFF_Codes) {
  for (const char* code : {"dvsd", "DVSD", "CDVC", "cdvc", "dv50", "msdv", "MSDV"})
    EXPECT_TRUE(qm::Is_DV_Fourcc(qm::Fourcc(code))) << code;
  EXPECT_FALSE(qm::Is_DV_Fourcc(qm::Fourcc("MJPG")));
  EXPECT_TRUE(qm::Has_DV_Decoder());
  EXPECT_TRUE(qm::Has_Decoder_For(qm::Fourcc("MJPG")));
  EXPECT_TRUE(qm::Has_Decoder_For(qm::Fourcc("mjpg")));
  EXPECT_FALSE(qm::Has_Decoder_For(qm::Fourcc("QQQQ")));
  EXPECT_EQ(qm::Fourcc_Text(qm::Fourcc("dvsd")), QStringLiteral("dvsd"));
}

TEST(Video_Codec_Codes, Garbage_Fails_And_Leaves_The_Target_Alone) {
  qm::Video_Decoder decoder(1);
  Buffer out(720, 576);
  std::fill(out.bytes.begin(), out.bytes.end(), uint8_t{77});
  std::vector<uint8_t> junk(144000, 0x5a);
  EXPECT_FALSE(decoder.Decode(qm::Fourcc("QQQQ"), 720, 576, junk.data(), junk.size(), out.view));
  EXPECT_FALSE(decoder.Decode(qm::Fourcc("dvsd"), 720, 576, junk.data(), 10, out.view));
  EXPECT_EQ(out.bytes[1000], 77);
  EXPECT_EQ(out.bytes.back(), 77);
}

TEST(Video_Codec_Codes, Stretch_Copies_One_To_One_And_Scales) {
  Buffer a(4, 2), b(4, 2), c(8, 4);
  a.view.Row(0)[0] = 200;  // top-left blue byte
  a.view.Row(1)[9] = 100;  // bottom-right blue byte
  ASSERT_TRUE(qm::Stretch_Bgr24(a.view, {0, 0, 4, 2}, b.view, {0, 0, 4, 2}));
  EXPECT_EQ(a.bytes, b.bytes);
  ASSERT_TRUE(qm::Stretch_Bgr24(a.view, {0, 0, 4, 2}, c.view, {0, 0, 8, 4}));
  EXPECT_GT(c.view.Row(0)[0], 100);
  EXPECT_EQ(c.view.Row(3)[0], 0);
  EXPECT_FALSE(qm::Stretch_Bgr24(a.view, {0, 0, 5, 2}, b.view, {0, 0, 4, 2}));
}

}  // namespace
