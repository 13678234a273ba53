#include "platform/field_graphics.h"

#include "platform/failure.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

namespace {

void Check_Size(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) Raise(Err_Invalid_Call);
}

// Memory row of picture line y (0 at the top).
inline int32_t Memory_Row(int32_t y, int32_t height) {
  return height - 1 - y;
}

// Rounded mean (a + b + 1) / 2 of two rows, 16 bytes at a time where SSE2
// is there (it always is on x86-64).
void Average_Rows(const uint8_t* a, const uint8_t* b, uint8_t* out, int32_t n) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_avg_epu8(va, vb));
  }
#endif
  for (; i < n; ++i) out[i] = static_cast<uint8_t>((static_cast<unsigned>(a[i]) + b[i] + 1) >> 1);
}

}  // namespace

void deinterlaceFrame2(const uint8_t* source, uint8_t* target, int32_t width, int32_t height,
                       int32_t field) {
  Check_Size(width, height);
  if (field != 1 && field != 2) Raise(Err_Invalid_Call);
  const int32_t stride = Bgr24_Stride(width);
  const int32_t bytes = width * 3;
  const int32_t kept = field == 1 ? 1 : 0;  // parity of the kept lines
  auto line = [&](const uint8_t* base, int32_t y) {
    return base + static_cast<ptrdiff_t>(Memory_Row(y, height)) * stride;
  };
  auto out_line = [&](int32_t y) {
    return target + static_cast<ptrdiff_t>(Memory_Row(y, height)) * stride;
  };
  for (int32_t y = 0; y < height; ++y) {
    if ((y & 1) == kept) {
      std::memcpy(out_line(y), line(source, y), static_cast<size_t>(bytes));
      continue;
    }
    const bool above = y - 1 >= 0, below = y + 1 < height;
    if (above && below)
      Average_Rows(line(source, y - 1), line(source, y + 1), out_line(y), bytes);
    else if (above || below)
      std::memcpy(out_line(y), line(source, above ? y - 1 : y + 1), static_cast<size_t>(bytes));
    else
      std::memcpy(out_line(y), line(source, y), static_cast<size_t>(bytes));  // one-line picture
  }
}

void Rotate90(const uint8_t* source, uint8_t* target, int32_t width, int32_t height,
              int32_t flags) {
  Check_Size(width, height);
  if (flags != 0) Raise(Err_Invalid_Call);
  // Source pixel (x, y) goes to target (height - 1 - y, x). In memory rows
  // (bottom-up) that is: source row r, column x -> target row width-1-x,
  // column r. Walked in tiles so both sides stay in cache.
  const int32_t s_stride = Bgr24_Stride(width);
  const int32_t t_stride = Bgr24_Stride(height);
  constexpr int32_t Tile = 32;
  for (int32_t r0 = 0; r0 < height; r0 += Tile) {
    const int32_t r1 = std::min(height, r0 + Tile);
    for (int32_t x0 = 0; x0 < width; x0 += Tile) {
      const int32_t x1 = std::min(width, x0 + Tile);
      for (int32_t x = x0; x < x1; ++x) {
        uint8_t* out = target + static_cast<ptrdiff_t>(width - 1 - x) * t_stride + r0 * 3;
        const uint8_t* in = source + static_cast<ptrdiff_t>(r0) * s_stride + x * 3;
        // Four bytes a pixel: the fourth lands on the next pixel's first
        // byte, which the next step writes. The tile's last pixel and the
        // buffer's last byte take the plain three-byte copy.
        const bool last_column = x == width - 1;
        int32_t r = r0;
        for (; r < r1 - 1; ++r, out += 3, in += s_stride) {
          if (last_column && r == height - 1) break;
          uint32_t px;
          std::memcpy(&px, in, 4);
          std::memcpy(out, &px, 4);
        }
        for (; r < r1; ++r, out += 3, in += s_stride) {
          out[0] = in[0];
          out[1] = in[1];
          out[2] = in[2];
        }
      }
    }
  }
}

void Deinterlace_Rotate(const uint8_t* source, uint8_t* field_target, uint8_t* rotate_target,
                        int32_t width, int32_t height, int32_t field) {
  deinterlaceFrame2(source, field_target, width, height, field);
  Rotate90(field_target, rotate_target, width, height, 0);
}

const char* BlendVersion() {
  static const struct Text {
    char text[64];
    Text() {
      std::memset(text, 0, sizeof text);
      std::strncpy(text, "Quaymark field graphics 1.0 (field extraction, quarter turn)",
                   sizeof text - 1);
    }
  } version;
  return version.text;
}

}  // namespace qm
