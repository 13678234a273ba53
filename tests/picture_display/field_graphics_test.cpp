// Field extraction and the quarter turn on small synthetic buffers.
#include "platform/field_graphics.h"
#include "support/test_env.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A bottom-up buffer whose line y (from the top) holds blue v, green v+1,
// red v+2 with v = value(y).
Bytes Lines(int width, int height, const std::vector<int>& value) {
  const int stride = qm::Bgr24_Stride(width);
  Bytes b(static_cast<size_t>(stride) * height, 0xEE);  // padding shows stray writes
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = b.data() + (height - 1 - y) * stride + 3 * x;
      p[0] = static_cast<uint8_t>(value[y]);
      p[1] = static_cast<uint8_t>(value[y] + 1);
      p[2] = static_cast<uint8_t>(value[y] + 2);
    }
  return b;
}

std::vector<int> Blue_Of_Lines(const Bytes& b, int width, int height, int x) {
  const int stride = qm::Bgr24_Stride(width);
  std::vector<int> out;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = b.data() + (height - 1 - y) * stride + 3 * x;
    EXPECT_EQ(p[1], p[0] + 1) << "green of line " << y;
    EXPECT_EQ(p[2], p[0] + 2) << "red of line " << y;
    out.push_back(p[0]);
  }
  return out;
}

struct Field_Case {
  int height;
  int field;
  std::vector<int> expect;  // line values from the top
};

class Field_Extraction : public qmtest::Test, public ::testing::WithParamInterface<Field_Case> {};

// Lines hold 10, 20, 30, ... from the top. Field 1 keeps lines 1, 3, 5, field 2
// lines 0, 2, 4; the others are the rounded mean of their kept neighbours, or
// the one neighbour at an edge.
TEST_P(Field_Extraction, Keeps_The_Fields_Lines_And_Interpolates_The_Others) {
  const Field_Case c = GetParam();
  const int width = 3;  // 9 bytes a row, padded to 12
  std::vector<int> v;
  for (int y = 0; y < c.height; ++y) v.push_back(10 * (y + 1) + (y == 2 ? 1 : 0));
  const Bytes src = Lines(width, c.height, v);
  Bytes dst(src.size(), 0xEE);
  qm::deinterlaceFrame2(src.data(), dst.data(), width, c.height, c.field);
  for (int x = 0; x < width; ++x) EXPECT_EQ(Blue_Of_Lines(dst, width, c.height, x), c.expect);
  for (int y = 0; y < c.height; ++y)
    for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(dst[y * 12 + pad], 0xEE);
  EXPECT_EQ(src, Lines(width, c.height, v));  // source unchanged
  Expect_No_Reports();
}

// Line 2 holds 31, so the means with it round half up: 21 (20.5) and 41 (40.5).
INSTANTIATE_TEST_SUITE_P(Both_Fields, Field_Extraction,
                         ::testing::Values(Field_Case{6, 1, {20, 20, 30, 40, 50, 60}},
                                           Field_Case{6, 2, {10, 21, 31, 41, 50, 50}},
                                           Field_Case{5, 1, {20, 20, 30, 40, 40}},
                                           Field_Case{5, 2, {10, 21, 31, 41, 50}}));

TEST(Field_Extraction_Errors, Only_Fields_1_And_2) {
  std::vector<qm::Failure_Report> reports;
  auto old = qm::Set_Failure_Sink([&](const qm::Failure_Report& r) { reports.push_back(r); });
  Bytes a(12 * 2), b(12 * 2);
  for (int field : {0, 3, -1})
    EXPECT_FALSE(qm::Trapped(QStringLiteral("t"),
                             [&] { qm::deinterlaceFrame2(a.data(), b.data(), 3, 2, field); }));
  qm::Set_Failure_Sink(old);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].errnum, qm::Err_Invalid_Call);
}

// Pixel (x, y) of the source, coded so that every pixel differs.
uint8_t Code(int x, int y, int channel) {
  return static_cast<uint8_t>(x * 16 + y * 4 + channel);
}

Bytes Coded(int w, int h) {
  const int stride = qm::Bgr24_Stride(w);
  Bytes b(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) b[(h - 1 - y) * stride + 3 * x + c] = Code(x, y, c);
  return b;
}

TEST(Rotate90, Turns_A_Quarter_Clockwise) {
  // 3 x 2 source -> 2 x 3 target: the source's top row becomes the right
  // column, read downwards; its left column the top row, read leftwards.
  const Bytes src = Coded(3, 2);
  const int ts = qm::Bgr24_Stride(2);  // 8
  Bytes dst(static_cast<size_t>(ts) * 3, 0xEE);
  qm::Rotate90(src.data(), dst.data(), 3, 2, 0);
  auto at = [&](int x, int y) { return dst.data() + (3 - 1 - y) * ts + 3 * x; };
  EXPECT_EQ(at(1, 0)[0], Code(0, 0, 0));  // top-left -> top-right
  EXPECT_EQ(at(1, 2)[0], Code(2, 0, 0));  // top-right -> bottom-right
  EXPECT_EQ(at(0, 0)[0], Code(0, 1, 0));  // bottom-left -> top-left
  EXPECT_EQ(at(0, 2)[2], Code(2, 1, 2));  // bottom-right -> bottom-left, red kept
  for (int y = 0; y < 3; ++y) EXPECT_EQ(dst[y * ts + 6], 0xEE) << "padding";
}

TEST(Rotate90, Every_Pixel_Of_An_Odd_Sized_Buffer_Across_Tiles) {
  const int w = 37, h = 70;  // not multiples of the tile, rows padded
  const Bytes src = Coded(w, h);
  const int ts = qm::Bgr24_Stride(h);
  Bytes dst(static_cast<size_t>(ts) * w, 0);
  qm::Rotate90(src.data(), dst.data(), w, h, 0);
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        // (x, y) -> (h - 1 - y, x)
        const int tx = h - 1 - y, ty = x;
        if (dst[(w - 1 - ty) * ts + 3 * tx + c] != Code(x, y, c)) ++wrong;
      }
  EXPECT_EQ(wrong, 0);
}

// The one-pass turn of a field must give exactly what extraction followed by
// the turn gives, rounding included: noise pictures, both fields, heights of
// every remainder and parity (the pass reads the kept lines in groups of
// four), widths with and without row padding.
TEST(Rotate90, Combined_Pass_Equals_Extraction_Then_Turn) {
  uint32_t seed = 12345;
  auto noise = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{
           {40, 30}, {37, 31}, {4, 1}, {3, 2}, {5, 3}, {8, 4}, {7, 5}, {6, 9}, {720, 576}}) {
    Bytes src(static_cast<size_t>(qm::Bgr24_Stride(w)) * h);
    for (auto& b : src) b = noise();
    const size_t turned = static_cast<size_t>(qm::Bgr24_Stride(h)) * w;
    Bytes field(src.size()), rot_a(turned, 0xEE), rot_b(turned, 0xEE);
    for (int f : {1, 2}) {
      qm::deinterlaceFrame2(src.data(), field.data(), w, h, f);
      qm::Rotate90(field.data(), rot_a.data(), w, h, 0);
      qm::Deinterlace_Rotate(src.data(), rot_b.data(), w, h, f);
      EXPECT_EQ(rot_a, rot_b) << w << " x " << h << " field " << f;
      // Into a top-down picture: its last row is the bottom one.
      const int ts = qm::Bgr24_Stride(h);
      Bytes top_down(turned, 0xEE);
      qm::Deinterlace_Rotate(src.data(), top_down.data() + static_cast<ptrdiff_t>(w - 1) * ts, -ts,
                             w, h, f);
      for (int row = 0; row < w; ++row)
        ASSERT_TRUE(std::equal(rot_a.begin() + row * ts, rot_a.begin() + row * ts + 3 * h,
                               top_down.begin() + (w - 1 - row) * ts))
            << w << " x " << h << " field " << f << " row " << row;
    }
  }
}

TEST(BlendVersion, Names_Our_Module_In_64_Bytes) {
  const char* v = qm::BlendVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_LT(std::strlen(v), 64u);
  EXPECT_NE(std::strstr(v, "Quaymark"), nullptr);
}

}  // namespace
