#pragma once
// The codec driver list: which video decoder this system has for a
// four-character code, and the DV codec code the program hands its DV frames
// to. On Linux the "installed codecs" are FFmpeg's decoders: the DV codes
// ("dvsd", "CDVC", "dv50", "msdv", in any case) go to its DV decoder, other
// AVI codes to the decoder that libavformat's RIFF tag table names.

#include <QString>

#include <cstdint>

namespace qm {

class Codec_Driver_List {
 public:
  virtual ~Codec_Driver_List() = default;
  // Name of the installed decoder for the code; "" when there is none.
  virtual QString Driver_For(const QString& code) = 0;
};

// The installed list (FFmpeg's unless a test put a stand-in in its place).
Codec_Driver_List& codec_drivers();
// Installs `list` (not owned); nullptr restores FFmpeg's. Returns the previous one.
Codec_Driver_List* Set_Codec_Drivers(Codec_Driver_List* list);

// True for "dvsd", "CDVC", "dv50" and "msdv" compared without regard to case.
bool Is_DV_Code(const QString& code);

// FFmpeg's decoder for an AVI code (AVCodecID as a number, 0 when none).
int Decoder_Id_For_Code(const QString& code);

// The decoder registered for the code ("libavcodec:" + its name); "" when
// none. Failures are reported with "Get_Codec_dll of Form Frm_kanot".
QString Get_Codec_dll(const QString& code);

// Chooses the DV codec code at start-up: "dvsd" when a decoder is listed for
// it, then "CDVC" when one is listed for that (so "CDVC" wins). With neither
// it shows "No DV codec installed!" and its two lines and returns false: the
// caller then ends the program. Failures are reported with
// "Eval_Codecs of Form Frm_kanot" (false).
bool Eval_Codecs();

// The code chosen by Eval_Codecs; "" until a choice was made.
QString DV_Codec_Code();
// Runs Eval_Codecs when no code was chosen yet; the code ("" when none).
QString Ensure_DV_Codec();
// For tests: forget the choice.
void Reset_DV_Codec_For_Test();

}  // namespace qm
