// The DV codec choice and the decoder lookup for AVI codes.

#include "platform/codec_registry.h"
#include "support/test_env.h"

#include <QSet>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

class Listed_Drivers : public qm::Codec_Driver_List {
 public:
  explicit Listed_Drivers(QSet<QString> codes) : codes_(std::move(codes)) {}
  QString Driver_For(const QString& code) override {
    return codes_.contains(code) ? QStringLiteral("codec_") + code : QString();
  }

 private:
  QSet<QString> codes_;
};

class Codec_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    qm::Reset_DV_Codec_For_Test();
  }
  void TearDown() override {
    qm::Set_Codec_Drivers(nullptr);
    qm::Reset_DV_Codec_For_Test();
    qmtest::Test::TearDown();
  }
};

TEST_F(Codec_Test, ChoiceOfTheDvCodec) {
  struct Case {
    QSet<QString> installed;
    QString chosen;
  };
  const Case cases[] = {
      {{QStringLiteral("dvsd"), QStringLiteral("CDVC")}, QStringLiteral("CDVC")},
      {{QStringLiteral("dvsd")}, QStringLiteral("dvsd")},
      {{QStringLiteral("CDVC"), QStringLiteral("MJPG")}, QStringLiteral("CDVC")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen.toStdString());
    Listed_Drivers list(c.installed);
    qm::Set_Codec_Drivers(&list);
    qm::Reset_DV_Codec_For_Test();
    EXPECT_TRUE(qm::Eval_Codecs());
    EXPECT_EQ(qm::DV_Codec_Code(), c.chosen);
  }
  EXPECT_TRUE(dialogs.records().empty());
  Expect_No_Reports();
}

TEST_F(Codec_Test, WithoutADvCodecTheProgramIsToldToEnd) {
  Listed_Drivers list({QStringLiteral("MJPG")});
  qm::Set_Codec_Drivers(&list);
  EXPECT_FALSE(qm::Eval_Codecs());
  EXPECT_EQ(qm::DV_Codec_Code(), QString());
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text,
            QStringLiteral("No DV codec installed!\r\nPlease follow the installation "
                           "instructions!\r\nThe DV codec is included in the installation files!"));
  // Ensure_DV_Codec asks again (and is refused again).
  EXPECT_EQ(qm::Ensure_DV_Codec(), QString());
  EXPECT_EQ(dialogs.records().size(), 2u);
  Expect_No_Reports();
}

TEST_F(Codec_Test, FfmpegDecodersStandForTheInstalledCodecs) {
  // Every DV code in any case goes to the DV decoder.
  for (const char* code : {"dvsd", "DVSD", "CDVC", "cdvc", "dv50", "msdv", "MSDV"}) {
    EXPECT_EQ(qm::Decoder_Id_For_Code(QString::fromLatin1(code)), AV_CODEC_ID_DVVIDEO) << code;
    EXPECT_EQ(qm::Get_Codec_dll(QString::fromLatin1(code)), QStringLiteral("libavcodec:dvvideo"))
        << code;
  }
  // Other codes through the RIFF tag table.
  EXPECT_EQ(qm::Decoder_Id_For_Code(QStringLiteral("MJPG")), AV_CODEC_ID_MJPEG);
  EXPECT_EQ(qm::Decoder_Id_For_Code(QStringLiteral("mjpg")), AV_CODEC_ID_MJPEG);
  EXPECT_EQ(qm::Decoder_Id_For_Code(QStringLiteral("MP42")), AV_CODEC_ID_MSMPEG4V2);
  EXPECT_EQ(qm::Decoder_Id_For_Code(QStringLiteral("CRAM")), AV_CODEC_ID_MSVIDEO1);
  EXPECT_FALSE(qm::Get_Codec_dll(QStringLiteral("MJPG")).isEmpty());
  EXPECT_EQ(qm::Decoder_Id_For_Code(QStringLiteral("zq9#")), AV_CODEC_ID_NONE);
  EXPECT_EQ(qm::Get_Codec_dll(QStringLiteral("zq9#")), QString());
  EXPECT_EQ(qm::Get_Codec_dll(QString()), QString());

  EXPECT_TRUE(qm::Eval_Codecs());
  EXPECT_EQ(qm::DV_Codec_Code(), QStringLiteral("CDVC"));
  EXPECT_EQ(qm::Ensure_DV_Codec(), QStringLiteral("CDVC"));
  Expect_No_Reports();
}

}  // namespace
