#pragma once
// The video codec service: every use of FFmpeg (libavcodec, libavformat's
// RIFF tag table, libswscale) lives behind this header. The rest of the
// program sees only our 24-bit picture buffers: blue-green-red bytes, rows
// stored bottom-up, each row padded to a multiple of 4 bytes.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qm {

// A view of a 24-bit bottom-up buffer: `bits` is the first byte of the pixel
// block, which holds the bottom row of the picture. A negative stride
// describes a top-down picture (then `bits` points at its bottom row).
struct Bgr24_View {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // bytes per stored row
  uint8_t* Row(int32_t y_from_top) const {
    return bits + static_cast<ptrdiff_t>(height - 1 - y_from_top) * stride;
  }
  bool Valid() const {
    return bits && width > 0 && height > 0 && (stride < 0 ? -stride : stride) >= width * 3;
  }
};

struct Rect32 {
  int32_t x = 0, y = 0, w = 0, h = 0;  // top-left origin, as the picture is shown
};

// Four-character code from its text ("dvsd" -> 0x64737664, little-endian as
// AVI stores it) and back.
uint32_t Fourcc(const char* code);
QString Fourcc_Text(uint32_t fourcc);

// True for the DV codes "dvsd", "CDVC", "dv50" and "msdv", in any case.
bool Is_DV_Fourcc(uint32_t fourcc);

// True when this build's libavcodec has a DV decoder (the "installed DV
// codec" of the driver list).
bool Has_DV_Decoder();

// True when a decoder exists for the code (DV codes, the RIFF table's codes,
// and 0 = uncompressed 24-bit).
bool Has_Decoder_For(uint32_t fourcc);

// One decoder per capture-file object, reused frame after frame. It opens
// lazily for the code and coded size it is asked for and reopens only when
// they change. Decode() writes straight into a picture buffer, scaling when
// the destination rectangle differs from the coded size.
class Video_Decoder {
 public:
  // slice_threads 0: as many slice threads as the machine has cores (at most 4).
  explicit Video_Decoder(int slice_threads = 0);
  ~Video_Decoder();
  Video_Decoder(const Video_Decoder&) = delete;
  Video_Decoder& operator=(const Video_Decoder&) = delete;

  // Decodes one compressed frame (fourcc 0: an uncompressed bottom-up 24-bit
  // picture of coded_width x coded_height) and draws the source rectangle of
  // it onto `dest` of `target`. Returns false, target untouched, when there is
  // no decoder for the code or the data do not decode.
  bool Decode(uint32_t fourcc, int32_t coded_width, int32_t coded_height, const uint8_t* data,
              size_t size, const Bgr24_View& target, const Rect32& dest, const Rect32& source);
  // Whole coded frame onto the whole target.
  bool Decode(uint32_t fourcc, int32_t coded_width, int32_t coded_height, const uint8_t* data,
              size_t size, const Bgr24_View& target);

  // Decodes into the codec's native format only (for measuring the codec alone).
  bool Decode_Native(uint32_t fourcc, int32_t coded_width, int32_t coded_height,
                     const uint8_t* data, size_t size);

  void Close();
  bool Is_Open() const;
  int Slice_Threads() const { return threads_; }
  // Frames decoded since construction (tests count decodes with it).
  int64_t Frames_Decoded() const { return frames_decoded_; }

 private:
  struct State;
  std::unique_ptr<State> s_;
  int threads_ = 1;
  int64_t frames_decoded_ = 0;
};

// Stretches the source rectangle of one 24-bit buffer onto the destination
// rectangle of another (1:1 copies stay plain row copies).
bool Stretch_Bgr24(const Bgr24_View& src, const Rect32& source, const Bgr24_View& dst,
                   const Rect32& dest);

// Encodes one picture as one DV frame with libavcodec's "dvvideo" encoder:
// PAL 720 x 576 (144000 bytes) or NTSC 720 x 480 (120000 bytes). A picture of
// another size is scaled first. Raises a failure when the encoder refuses.
std::vector<uint8_t> Encode_DV_Frame(const Bgr24_View& picture, bool ntsc);
std::vector<uint8_t> Encode_DV_Frame(const QImage& picture, bool ntsc);

inline constexpr size_t DV_PAL_Frame_Bytes = 144000;
inline constexpr size_t DV_NTSC_Frame_Bytes = 120000;

}  // namespace qm
