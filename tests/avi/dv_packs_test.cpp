// The camera's packs of real DV frames (encoded by libavcodec) with packs
// patched in: line system, recording date and time, shutter, time code.

#include "capture_file/dv_timecode.h"
#include "fixtures/avi_fixtures.h"
#include "support/test_env.h"

namespace {

using qmfix::Bytes;

const Bytes& Pal() {
  static const Bytes frame = qmfix::DV_Frame(false, 7);
  return frame;
}
const Bytes& Ntsc() {
  static const Bytes frame = qmfix::DV_Frame(true, 7);
  return frame;
}

uint8_t Bcd(int v) {
  return uint8_t((v / 10) << 4 | (v % 10));
}

void Parse(const Bytes& f) {
  qm::DV_Header_Parse(f.data(), f.size());
}

using DV_Packs_Test = qmtest::Test;

TEST_F(DV_Packs_Test, LineSystemFromTheEncodersSourcePack) {
  Parse(Pal());
  EXPECT_EQ(qm::Line_system(), 50);
  Parse(Ntsc());
  EXPECT_EQ(qm::Line_system(), 60);
  Bytes f = Pal();
  qmfix::Remove_VAUX_Packs(f, 0x60);
  Parse(f);
  EXPECT_EQ(qm::Line_system(), 0);
  // Nothing else was in the encoder's packs.
  EXPECT_FALSE(qm::DV_Packs().timecode_found);
  EXPECT_EQ(qm::Shutter_text(), QStringLiteral("1/0"));
  Expect_No_Reports();
}

TEST_F(DV_Packs_Test, RecordingDateYearsAndCameraClock) {
  struct Case {
    uint8_t year_byte;
    int year;
  };
  const Case cases[] = {{0x99, 1999}, {0x12, 2012}, {0x39, 2039}, {0x40, 1940}, {0x00, 2000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.year_byte));
    Bytes f = Pal();
    // Reserved bits above the digits are set, as cameras write them.
    qmfix::Put_VAUX_Pack(f, 1, 5, 0x62, 0xFF, 0xC0 | Bcd(4), 0xE0 | Bcd(5), c.year_byte);
    qmfix::Put_VAUX_Pack(f, 2, 6, 0x63, 0xFF, 0x80 | Bcd(3), 0x80 | Bcd(57), 0xC0 | Bcd(14));
    Parse(f);
    const QString expected = QStringLiteral("%1-05-04 14:57:03").arg(c.year);
    EXPECT_EQ(qm::Camera_clock_text(), expected);
  }
  // Months and days with tens, hours below ten.
  Bytes f = Pal();
  qmfix::Put_VAUX_Pack(f, 3, 15, 0x62, 0xFF, Bcd(31), Bcd(12), 0x05);
  qmfix::Put_VAUX_Pack(f, 3, 14, 0x63, 0xFF, Bcd(9), Bcd(0), Bcd(7));
  Parse(f);
  EXPECT_EQ(qm::Camera_clock_text(), QStringLiteral("2005-12-31 07:00:09"));
  Expect_No_Reports();
}

TEST_F(DV_Packs_Test, TheLastVauxPackOfATypeWins) {
  Bytes f = Pal();
  qmfix::Put_VAUX_Pack(f, 1, 3, 0x62, 0xFF, Bcd(1), Bcd(1), 0x12);
  qmfix::Put_VAUX_Pack(f, 3, 4, 0x62, 0xFF, Bcd(2), Bcd(2), 0x99);
  qmfix::Put_VAUX_Pack(f, 2, 4, 0x7F, 0xFF, 0xFF, 0x3C, 0x00);
  qmfix::Put_VAUX_Pack(f, 3, 15, 0x7F, 0xFF, 0xFF, 0x2C, 0x01);  // s = 300
  Parse(f);
  EXPECT_EQ(qm::DV_Packs().rec_year, 1999);
  EXPECT_EQ(qm::DV_Packs().rec_day, 2);
  EXPECT_EQ(qm::Shutter_text(), QStringLiteral("1/50"));
  Expect_No_Reports();
}

TEST_F(DV_Packs_Test, ShutterSpeeds) {
  struct Case {
    uint8_t pc3, pc4;
    const char* text;
  };
  const Case cases[] = {
      {0x3C, 0x00, "1/250"},                         // s = 60
      {0x3C, 0x80, "1/250"},                         // bit 7 of PC4 is not part of s
      {0x50, 0x00, "1/188"},                         // 187.5 rounds to even
      {0x96, 0x00, "1/100"},                         // s = 150
      {0x01, 0x00, "1/15000"}, {0xFF, 0x7F, "1/0"},  // s = 32767: below one half
      {0x00, 0x00, "1/0"},                           // s = 0: no information
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Bytes f = Pal();
    qmfix::Put_VAUX_Pack(f, 2, 12, 0x7F, 0xFF, 0xFF, c.pc3, c.pc4);
    Parse(f);
    EXPECT_EQ(qm::Shutter_text(), QString::fromLatin1(c.text));
  }
  Expect_No_Reports();
}

TEST_F(DV_Packs_Test, TimeCodeFromTheFirstSubcodePack) {
  struct Case {
    const char* name;
    int h, m, s, fr;
    int32_t number;
  };
  const Case cases[] = {
      {"01:02:03 frame 04", 1, 2, 3, 4, (3723 * 25) + 4},
      {"hour 24 still counts", 24, 0, 0, 0, 24 * 3600 * 25},
      {"hour 25", 25, 0, 0, 0, 0},
      {"minute 60", 1, 60, 0, 0, 0},
      {"second 60", 1, 0, 60, 0, 0},
      {"zero", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes f = Pal();
    // Flag bits (colour frame, drop frame, binary group) set above the digits.
    qmfix::Put_Subcode_Pack(f, 1, 2, 0x13, 0xC0 | Bcd(c.fr), 0x80 | Bcd(c.s), 0x80 | Bcd(c.m),
                            0xC0 | Bcd(c.h));
    qmfix::Put_Subcode_Pack(f, 2, 1, 0x13, Bcd(9), Bcd(9), Bcd(9), Bcd(9));
    Parse(f);
    EXPECT_TRUE(qm::DV_Packs().timecode_found);
    EXPECT_EQ(qm::Timecode_frame_number(), c.number);
  }
  // Only in the second subcode block.
  Bytes f = Pal();
  qmfix::Put_Subcode_Pack(f, 2, 6, 0x13, Bcd(24), Bcd(59), Bcd(59), Bcd(23));
  Parse(f);
  EXPECT_EQ(qm::Timecode_frame_number(), ((23 * 3600 + 59 * 60 + 59) * 25) + 24);
  Expect_No_Reports();
}

TEST_F(DV_Packs_Test, NoAddressClearsAndAShortBufferIsReported) {
  Bytes f = Pal();
  qmfix::Put_VAUX_Pack(f, 1, 5, 0x62, 0xFF, Bcd(4), Bcd(5), 0x12);
  Parse(f);
  ASSERT_EQ(qm::DV_Packs().rec_year, 2012);
  qm::DV_Header_Parse(nullptr, 0);
  EXPECT_EQ(qm::DV_Packs().rec_year, 0);
  EXPECT_EQ(qm::Line_system(), 0);
  Expect_No_Reports();

  Parse(f);
  qm::DV_Header_Parse(f.data(), 479);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("DV_Header_Parse of Module Timecode_module"));
  EXPECT_EQ(qm::DV_Packs().rec_year, 0);
}

}  // namespace
