#include "platform/video_codec.h"

#include "platform/failure.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <cstring>
#include <thread>

namespace qm {

namespace {

// A picture as swscale wants it: pointer to the top row and a signed row
// step (negative for our bottom-up buffers).
struct Plane {
  uint8_t* top = nullptr;
  int linesize = 0;
};

Plane Top_Of(const Bgr24_View& v, const Rect32& r) {
  return {v.Row(r.y) + static_cast<ptrdiff_t>(r.x) * 3, -v.stride};
}

bool Inside(const Rect32& r, int32_t w, int32_t h) {
  return r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x + r.w <= w && r.y + r.h <= h;
}

uint32_t Lower(uint32_t fourcc) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>((fourcc >> (8 * i)) & 0xff);
    out |= static_cast<uint32_t>(std::tolower(c)) << (8 * i);
  }
  return out;
}

AVCodecID Codec_For(uint32_t fourcc) {
  if (Is_DV_Fourcc(fourcc)) return AV_CODEC_ID_DVVIDEO;
  const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
  AVCodecID id = av_codec_get_id(tables, fourcc);
  if (id == AV_CODEC_ID_NONE) id = av_codec_get_id(tables, Lower(fourcc));
  return id;
}

// swscale contexts for the plain 24-bit stretch, kept per thread (only the
// user-interface thread paints, tests may run others).
struct Sws_Cache {
  SwsContext* ctx = nullptr;
  ~Sws_Cache() { sws_freeContext(ctx); }
};

bool Stretch_Planes(Plane src, int sw, int sh, Plane dst, int dw, int dh) {
  if (sw == dw && sh == dh) {
    for (int y = 0; y < sh; ++y)
      std::memcpy(dst.top + static_cast<ptrdiff_t>(y) * dst.linesize,
                  src.top + static_cast<ptrdiff_t>(y) * src.linesize, static_cast<size_t>(sw) * 3);
    return true;
  }
  thread_local Sws_Cache cache;
  cache.ctx = sws_getCachedContext(cache.ctx, sw, sh, AV_PIX_FMT_BGR24, dw, dh, AV_PIX_FMT_BGR24,
                                   SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!cache.ctx) return false;
  const uint8_t* s[4] = {src.top, nullptr, nullptr, nullptr};
  const int ss[4] = {src.linesize, 0, 0, 0};
  uint8_t* d[4] = {dst.top, nullptr, nullptr, nullptr};
  const int ds[4] = {dst.linesize, 0, 0, 0};
  return sws_scale(cache.ctx, s, ss, 0, sh, d, ds) > 0;
}

}  // namespace

uint32_t Fourcc(const char* code) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && code[i]; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(code[i])) << (8 * i);
  return v;
}

QString Fourcc_Text(uint32_t fourcc) {
  QString t;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((fourcc >> (8 * i)) & 0xff);
    if (c) t += QLatin1Char(c);
  }
  return t;
}

bool Is_DV_Fourcc(uint32_t fourcc) {
  const uint32_t l = Lower(fourcc);
  return l == Fourcc("dvsd") || l == Fourcc("cdvc") || l == Fourcc("dv50") || l == Fourcc("msdv");
}

bool Has_DV_Decoder() {
  return avcodec_find_decoder(AV_CODEC_ID_DVVIDEO) != nullptr;
}

bool Has_Decoder_For(uint32_t fourcc) {
  if (fourcc == 0) return true;
  const AVCodecID id = Codec_For(fourcc);
  return id != AV_CODEC_ID_NONE && avcodec_find_decoder(id) != nullptr;
}

// ---------------------------------------------------------------------------

struct Video_Decoder::State {
  AVCodecContext* ctx = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* sws = nullptr;
  // The packet's bytes with the padding libavcodec reads past the end, in a
  // buffer of our own that the packet refers to: a packet without one would
  // be copied into a newly allocated buffer on every send.
  AVBufferRef* packet_bytes = nullptr;
  AVCodecID id = AV_CODEC_ID_NONE;
  int32_t coded_w = 0, coded_h = 0;

  ~State() { Release(); }
  void Release() {
    sws_freeContext(sws);
    sws = nullptr;
    av_buffer_unref(&packet_bytes);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    id = AV_CODEC_ID_NONE;
  }
};

Video_Decoder::Video_Decoder(int slice_threads) : s_(std::make_unique<State>()) {
  // A frame that does not decode is answered by the result, not by log lines.
  static const bool quiet = (av_log_set_level(AV_LOG_FATAL), true);
  (void)quiet;
  if (slice_threads <= 0)
    slice_threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
  threads_ = slice_threads;
}

Video_Decoder::~Video_Decoder() = default;

void Video_Decoder::Close() {
  s_->Release();
}

bool Video_Decoder::Is_Open() const {
  return s_->ctx != nullptr;
}

bool Video_Decoder::Decode_Native(uint32_t fourcc, int32_t coded_width, int32_t coded_height,
                                  const uint8_t* data, size_t size) {
  if (!data || size == 0 || size > (1u << 28)) return false;
  State& s = *s_;
  const AVCodecID id = Codec_For(fourcc);
  if (id == AV_CODEC_ID_NONE) return false;
  if (!s.ctx || s.id != id || s.coded_w != coded_width || s.coded_h != coded_height) {
    s.Release();
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return false;
    s.ctx = avcodec_alloc_context3(codec);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.ctx || !s.frame || !s.packet) {
      s.Release();
      return false;
    }
    s.ctx->width = coded_width;
    s.ctx->height = coded_height;
    s.ctx->codec_tag = fourcc;
    // Slice threads only: frame threads would delay each picture by a frame.
    s.ctx->thread_count = threads_;
    s.ctx->thread_type = FF_THREAD_SLICE;
    if (avcodec_open2(s.ctx, codec, nullptr) < 0) {
      s.Release();
      return false;
    }
    s.id = id;
    s.coded_w = coded_width;
    s.coded_h = coded_height;
  }
  const size_t need = size + AV_INPUT_BUFFER_PADDING_SIZE;
  // Rewritten in place only when the codec holds no reference to it.
  if (!s.packet_bytes || static_cast<size_t>(s.packet_bytes->size) < need ||
      !av_buffer_is_writable(s.packet_bytes)) {
    av_buffer_unref(&s.packet_bytes);
    s.packet_bytes = av_buffer_alloc(need);
    if (!s.packet_bytes) return false;
  }
  std::memcpy(s.packet_bytes->data, data, size);
  std::memset(s.packet_bytes->data + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
  s.packet->buf = s.packet_bytes;  // lent, not referenced: taken back below
  s.packet->data = s.packet_bytes->data;
  s.packet->size = static_cast<int>(size);
  const int sent = avcodec_send_packet(s.ctx, s.packet);
  s.packet->buf = nullptr;
  s.packet->data = nullptr;
  s.packet->size = 0;
  if (sent < 0) return false;
  if (avcodec_receive_frame(s.ctx, s.frame) < 0) return false;
  ++frames_decoded_;
  return true;
}

bool Video_Decoder::Decode(uint32_t fourcc, int32_t coded_width, int32_t coded_height,
                           const uint8_t* data, size_t size, const Bgr24_View& target,
                           const Rect32& dest, const Rect32& source) {
  if (!target.Valid() || !Inside(dest, target.width, target.height)) return false;
  if (fourcc == 0) {
    // Uncompressed 24-bit: the codec only stretches.
    const int32_t stride = ((coded_width * 3 + 3) / 4) * 4;
    if (coded_width <= 0 || coded_height <= 0 ||
        size < static_cast<size_t>(stride) * static_cast<size_t>(coded_height))
      return false;
    const Bgr24_View src{const_cast<uint8_t*>(data), coded_width, coded_height, stride};
    if (!Stretch_Bgr24(src, source, target, dest)) return false;
    ++frames_decoded_;
    return true;
  }
  if (!Decode_Native(fourcc, coded_width, coded_height, data, size)) return false;
  State& s = *s_;
  AVFrame* f = s.frame;
  const auto fmt = static_cast<AVPixelFormat>(f->format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(fmt);
  if (!desc) return false;
  Rect32 src = source;
  if (!Inside(src, f->width, f->height)) src = {0, 0, f->width, f->height};
  // Crop by moving the plane pointers; chroma planes move by their subsampled amount.
  const uint8_t* planes[4] = {};
  int strides[4] = {};
  const int cx = src.x >> desc->log2_chroma_w << desc->log2_chroma_w;
  const int cy = src.y >> desc->log2_chroma_h << desc->log2_chroma_h;
  for (int p = 0; p < 4 && f->data[p]; ++p) {
    const bool chroma = (p == 1 || p == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
    const int px = chroma ? cx >> desc->log2_chroma_w : cx;
    const int py = chroma ? cy >> desc->log2_chroma_h : cy;
    const int step =
        desc->comp[0].step > 0 && !(desc->flags & AV_PIX_FMT_FLAG_PLANAR) ? desc->comp[0].step : 1;
    planes[p] = f->data[p] + static_cast<ptrdiff_t>(py) * f->linesize[p] + px * step;
    strides[p] = f->linesize[p];
  }
  s.sws = sws_getCachedContext(s.sws, src.w, src.h, fmt, dest.w, dest.h, AV_PIX_FMT_BGR24,
                               SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!s.sws) return false;
  const Plane out = Top_Of(target, dest);
  uint8_t* d[4] = {out.top, nullptr, nullptr, nullptr};
  const int ds[4] = {out.linesize, 0, 0, 0};
  const bool ok = sws_scale(s.sws, planes, strides, 0, src.h, d, ds) > 0;
  // The picture is ours now: its buffer goes back to the codec's pool, which
  // then serves every frame from the one buffer instead of growing.
  av_frame_unref(f);
  return ok;
}

bool Video_Decoder::Decode(uint32_t fourcc, int32_t coded_width, int32_t coded_height,
                           const uint8_t* data, size_t size, const Bgr24_View& target) {
  return Decode(fourcc, coded_width, coded_height, data, size, target,
                {0, 0, target.width, target.height}, {0, 0, coded_width, coded_height});
}

bool Stretch_Bgr24(const Bgr24_View& src, const Rect32& source, const Bgr24_View& dst,
                   const Rect32& dest) {
  if (!src.Valid() || !dst.Valid()) return false;
  if (!Inside(source, src.width, src.height) || !Inside(dest, dst.width, dst.height)) return false;
  return Stretch_Planes(Top_Of(src, source), source.w, source.h, Top_Of(dst, dest), dest.w, dest.h);
}

// ---------------------------------------------------------------------------

namespace {

std::vector<uint8_t> Encode_Planes(Plane top, int width, int height, bool ntsc) {
  const int W = 720, H = ntsc ? 480 : 576;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
  if (!codec) Raise(Err_Internal, QStringLiteral("No DV encoder in this build of libavcodec"));
  struct Guard {
    AVCodecContext* ctx = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* sws = nullptr;
    ~Guard() {
      sws_freeContext(sws);
      av_packet_free(&packet);
      av_frame_free(&frame);
      avcodec_free_context(&ctx);
    }
  } g;
  g.ctx = avcodec_alloc_context3(codec);
  g.frame = av_frame_alloc();
  g.packet = av_packet_alloc();
  if (!g.ctx || !g.frame || !g.packet) Raise(Err_Out_Of_Memory);
  g.ctx->width = W;
  g.ctx->height = H;
  g.ctx->pix_fmt = ntsc ? AV_PIX_FMT_YUV411P : AV_PIX_FMT_YUV420P;
  g.ctx->time_base = ntsc ? AVRational{1001, 30000} : AVRational{1, 25};
  g.ctx->framerate = ntsc ? AVRational{30000, 1001} : AVRational{25, 1};
  g.ctx->sample_aspect_ratio = ntsc ? AVRational{10, 11} : AVRational{59, 54};
  // Field-aware DCT keeps the two fields of a frame apart.
  g.ctx->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
  g.ctx->field_order = AV_FIELD_BB;
  if (avcodec_open2(g.ctx, codec, nullptr) < 0)
    Raise(Err_Internal, QStringLiteral("The DV encoder could not be opened"));
  g.frame->width = W;
  g.frame->height = H;
  g.frame->format = g.ctx->pix_fmt;
  if (av_frame_get_buffer(g.frame, 0) < 0) Raise(Err_Out_Of_Memory);
  g.sws = sws_getContext(width, height, AV_PIX_FMT_BGR24, W, H, g.ctx->pix_fmt,
                         SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!g.sws) Raise(Err_Internal, QStringLiteral("No colour conversion for the DV encoder"));
  const uint8_t* s[4] = {top.top, nullptr, nullptr, nullptr};
  const int ss[4] = {top.linesize, 0, 0, 0};
  sws_scale(g.sws, s, ss, 0, height, g.frame->data, g.frame->linesize);
  g.frame->pts = 0;
  g.frame->interlaced_frame = 1;
  g.frame->top_field_first = 0;
  if (avcodec_send_frame(g.ctx, g.frame) < 0 || avcodec_receive_packet(g.ctx, g.packet) < 0)
    Raise(Err_Internal, QStringLiteral("The DV encoder refused the picture"));
  const size_t expect = ntsc ? DV_NTSC_Frame_Bytes : DV_PAL_Frame_Bytes;
  if (static_cast<size_t>(g.packet->size) != expect)
    Raise(Err_Internal, QStringLiteral("The DV encoder wrote %1 bytes").arg(g.packet->size));
  return std::vector<uint8_t>(g.packet->data, g.packet->data + g.packet->size);
}

}  // namespace

std::vector<uint8_t> Encode_DV_Frame(const Bgr24_View& picture, bool ntsc) {
  if (!picture.Valid()) Raise(Err_Invalid_Call);
  return Encode_Planes({picture.Row(0), -picture.stride}, picture.width, picture.height, ntsc);
}

std::vector<uint8_t> Encode_DV_Frame(const QImage& picture, bool ntsc) {
  if (picture.isNull()) Raise(Err_Invalid_Call);
  QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
  return Encode_Planes({bgr.bits(), static_cast<int>(bgr.bytesPerLine())}, bgr.width(),
                       bgr.height(), ntsc);
}

}  // namespace qm
