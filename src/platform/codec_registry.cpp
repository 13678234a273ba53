#include "platform/codec_registry.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/trace.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace qm {

namespace {

uint32_t Tag_Of(const QString& code) {
  const QByteArray b = code.toLatin1().leftJustified(4, ' ', true);
  return uint32_t(uint8_t(b[0])) | uint32_t(uint8_t(b[1])) << 8 | uint32_t(uint8_t(b[2])) << 16 |
         uint32_t(uint8_t(b[3])) << 24;
}

class Ffmpeg_Drivers : public Codec_Driver_List {
 public:
  QString Driver_For(const QString& code) override {
    const AVCodec* codec = avcodec_find_decoder(static_cast<AVCodecID>(Decoder_Id_For_Code(code)));
    if (!codec) return {};
    return QStringLiteral("libavcodec:") + QString::fromLatin1(codec->name);
  }
};

Ffmpeg_Drivers& Ffmpeg() {
  static Ffmpeg_Drivers list;
  return list;
}
Codec_Driver_List* g_drivers = nullptr;
QString g_dv_code;

}  // namespace

Codec_Driver_List& codec_drivers() {
  return g_drivers ? *g_drivers : Ffmpeg();
}

Codec_Driver_List* Set_Codec_Drivers(Codec_Driver_List* list) {
  Codec_Driver_List* previous = g_drivers;
  g_drivers = list;
  return previous;
}

bool Is_DV_Code(const QString& code) {
  for (const char* dv : {"dvsd", "CDVC", "dv50", "msdv"})
    if (code.compare(QLatin1String(dv), Qt::CaseInsensitive) == 0) return true;
  return false;
}

int Decoder_Id_For_Code(const QString& code) {
  if (Is_DV_Code(code)) return AV_CODEC_ID_DVVIDEO;
  if (code.isEmpty()) return AV_CODEC_ID_NONE;
  const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
  // The table lookup also tries the code in capitals; try it in small letters too.
  AVCodecID id = av_codec_get_id(tables, Tag_Of(code));
  if (id == AV_CODEC_ID_NONE) id = av_codec_get_id(tables, Tag_Of(code.toLower()));
  return id;
}

QString Get_Codec_dll(const QString& code) {
  return Trapped(Where_Form("Get_Codec_dll", "Frm_kanot"), QString(),
                 [&] { return codec_drivers().Driver_For(code); });
}

bool Eval_Codecs() {
  return Trapped(Where_Form("Eval_Codecs", "Frm_kanot"), false, [] {
    Trace_Text(QStringLiteral("*Eval_Codecs begin"));
    QString chosen;
    if (!Get_Codec_dll(QStringLiteral("dvsd")).isEmpty()) chosen = QStringLiteral("dvsd");
    if (!Get_Codec_dll(QStringLiteral("CDVC")).isEmpty()) chosen = QStringLiteral("CDVC");
    if (chosen.isEmpty()) {
      const QString crlf = QStringLiteral("\r\n");
      MsgBox(QStringLiteral("No DV codec installed!") + crlf +
             QStringLiteral("Please follow the installation instructions!") + crlf +
             QStringLiteral("The DV codec is included in the installation files!"));
      return false;
    }
    g_dv_code = chosen;
    Trace_Text(QStringLiteral("*Eval_Codecs end"));
    return true;
  });
}

QString DV_Codec_Code() {
  return g_dv_code;
}

QString Ensure_DV_Codec() {
  if (g_dv_code.isEmpty()) Eval_Codecs();
  return g_dv_code;
}

void Reset_DV_Codec_For_Test() {
  g_dv_code.clear();
}

}  // namespace qm
