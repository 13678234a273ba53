#include "platform/field_graphics.h"

#include "platform/failure.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
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

namespace {

static_assert(std::endian::native == std::endian::little,
              "the quarter turn packs pixels as little-endian words");

// The pixel at p in the low three bytes of a word. The four-byte load reads
// one byte past the pixel, which is still inside the buffer except for the
// last pixel of the last row: that column takes the three-byte load.
template <bool Last_Column>
inline uint32_t Load_Pixel(const uint8_t* p) {
  if constexpr (Last_Column) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16;
  } else {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
}

// Rounded mean (a + b + 1) / 2 of each byte of two words.
inline uint32_t Average_Pixels(uint32_t a, uint32_t b) {
  return (a | b) - (((a ^ b) & 0xfefefefeu) >> 1);
}

// A pixel stored as four bytes: the fourth lands on the next pixel's first
// byte, which the next store writes. Measured here, these overlapping stores
// beat packing four pixels into 8 + 4 bytes by a factor of four.
inline void Store_Over(uint8_t* out, uint32_t p) {
  std::memcpy(out, &p, 4);
}

inline void Store_One(uint8_t* out, uint32_t p) {
  out[0] = static_cast<uint8_t>(p);
  out[1] = static_cast<uint8_t>(p >> 8);
  out[2] = static_cast<uint8_t>(p >> 16);
}

// Rows r0..r1 of one source column (pixel x of each memory row) become
// columns r0..r1 of one target row; r0 is a multiple of 4. With `field` 0 the
// pixels are copied as they stand; with 1 or 2 only that field's lines are
// read and the others are the means of their neighbours, as deinterlaceFrame2
// makes them. The segment's last pixel takes the three-byte store: the byte
// after it belongs to the next tile or to the next row, which may be written.
template <bool Last_Column>
void Turn_Column(const uint8_t* column, int32_t stride, int32_t height, int32_t field, int32_t r0,
                 int32_t r1, uint8_t* out) {
  auto at = [&](int32_t r) {
    return Load_Pixel<Last_Column>(column + static_cast<ptrdiff_t>(r) * stride);
  };
  int32_t r = r0;
  out += static_cast<ptrdiff_t>(r0) * 3;
  if (field == 0) {
    for (; r + 1 < r1; ++r, out += 3) Store_Over(out, at(r));
    Store_One(out, at(r));
    return;
  }
  // Memory rows run bottom-up: row r is picture line height - 1 - r.
  const int32_t kept_parity = (height - 1 - (field == 1 ? 1 : 0)) & 1;
  auto value = [&](int32_t row) {
    if ((row & 1) == kept_parity) return at(row);
    const bool below = row > 0, above = row + 1 < height;
    if (below && above) return Average_Pixels(at(row - 1), at(row + 1));
    return at(below ? row - 1 : above ? row + 1 : row);
  };
  // Groups of four rows, each reading only its two kept pixels; the last
  // group of the segment goes the careful way below.
  if (r + 4 < r1) {
    if (kept_parity == 0) {
      uint32_t v0 = at(r);
      for (; r + 4 < r1; r += 4, out += 12) {
        const uint32_t v2 = at(r + 2), v4 = at(r + 4);
        Store_Over(out, v0);
        Store_Over(out + 3, Average_Pixels(v0, v2));
        Store_Over(out + 6, v2);
        Store_Over(out + 9, Average_Pixels(v2, v4));
        v0 = v4;
      }
    } else {
      uint32_t v_1 = at(r > 0 ? r - 1 : 1);  // row 0 at the edge copies row 1
      for (; r + 4 < r1; r += 4, out += 12) {
        const uint32_t v1 = at(r + 1), v3 = at(r + 3);
        Store_Over(out, Average_Pixels(v_1, v1));
        Store_Over(out + 3, v1);
        Store_Over(out + 6, Average_Pixels(v1, v3));
        Store_Over(out + 9, v3);
        v_1 = v3;
      }
    }
  }
  for (; r < r1; ++r, out += 3) Store_One(out, value(r));
}

#if defined(__x86_64__)
// Four rows of four pixels (12 bytes each, at the front of each vector) out
// as four target rows. 16-byte stores spill four bytes onto the next group,
// written next; the segment's last group stores exactly 12.
__attribute__((target("ssse3"))) inline void Put_Block(uint8_t* const out[4], int32_t r, bool last,
                                                       __m128i a, __m128i b, __m128i c, __m128i d) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  a = _mm_shuffle_epi8(a, spread);
  b = _mm_shuffle_epi8(b, spread);
  c = _mm_shuffle_epi8(c, spread);
  d = _mm_shuffle_epi8(d, spread);
  const __m128i ab_lo = _mm_unpacklo_epi32(a, b), cd_lo = _mm_unpacklo_epi32(c, d);
  const __m128i ab_hi = _mm_unpackhi_epi32(a, b), cd_hi = _mm_unpackhi_epi32(c, d);
  const __m128i cols[4] = {_mm_unpacklo_epi64(ab_lo, cd_lo), _mm_unpackhi_epi64(ab_lo, cd_lo),
                           _mm_unpacklo_epi64(ab_hi, cd_hi), _mm_unpackhi_epi64(ab_hi, cd_hi)};
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_shuffle_epi8(cols[i], pack);
    uint8_t* o = out[i] + static_cast<ptrdiff_t>(r) * 3;
    if (!last) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
    } else {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), v);
      const uint32_t tail = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
      std::memcpy(o + 8, &tail, 4);
    }
  }
}

// Four columns at a time with SSSE3: four source rows of four pixels are
// spread to one pixel a 32-bit lane, transposed, packed back to three bytes
// a pixel and stored as four target rows of 12 bytes. Per-pixel stores cap
// the plain loop at about a pixel a cycle; this stores a quarter as often.
// Returns the first row of [r0, r1) it left for the one-column loop.
__attribute__((target("ssse3"))) int32_t Turn_Four_Columns(const uint8_t* column, int32_t stride,
                                                           int32_t height, int32_t field,
                                                           int32_t r0, int32_t r1,
                                                           uint8_t* const out[4]) {
  auto row = [&](int32_t r) {
    return _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(column + static_cast<ptrdiff_t>(r) * stride));
  };
  auto put = [&](int32_t r, __m128i a, __m128i b, __m128i c, __m128i d) {
    Put_Block(out, r, r + 4 >= r1, a, b, c, d);
  };
  int32_t r = r0;
  if (field == 0) {
    for (; r + 4 <= r1; r += 4) put(r, row(r), row(r + 1), row(r + 2), row(r + 3));
    return r;
  }
  const int32_t kept_parity = (height - 1 - (field == 1 ? 1 : 0)) & 1;
  if (kept_parity == 0) {
    if (r + 4 >= height || r + 4 > r1) return r;
    __m128i v0 = row(r);
    for (; r + 4 < height && r + 4 <= r1; r += 4) {
      const __m128i v2 = row(r + 2), v4 = row(r + 4);
      put(r, v0, _mm_avg_epu8(v0, v2), v2, _mm_avg_epu8(v2, v4));
      v0 = v4;
    }
  } else {
    if (r + 4 > r1 || height < 2) return r;
    __m128i v_1 = row(r > 0 ? r - 1 : 1);  // row 0 at the edge copies row 1
    for (; r + 4 <= r1; r += 4) {
      const __m128i v1 = row(r + 1), v3 = row(r + 3);
      put(r, _mm_avg_epu8(v_1, v1), v1, _mm_avg_epu8(v1, v3), v3);
      v_1 = v3;
    }
  }
  return r;
}

bool Has_SSSE3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}
#endif

// Source pixel (x, y) goes to target (height - 1 - y, x). In memory rows
// (bottom-up) that is: source row r, column x -> target row width-1-x,
// column r. Walked in tiles small enough that the rows of both sides stay in
// the first-level cache and its address translations: a whole column at a
// time would touch a new page on nearly every row.
void Turn(const uint8_t* source, uint8_t* target, ptrdiff_t t_stride, int32_t width, int32_t height,
          int32_t field) {
  constexpr int32_t Tile_Rows = 64, Tile_Columns = 32;  // both multiples of 4
  const int32_t s_stride = Bgr24_Stride(width);
  auto out_row = [&](int32_t x) { return target + (width - 1 - x) * t_stride; };
  auto one_column = [&](int32_t x, int32_t from, int32_t to) {
    const uint8_t* column = source + static_cast<ptrdiff_t>(x) * 3;
    if (x == width - 1)
      Turn_Column<true>(column, s_stride, height, field, from, to, out_row(x));
    else
      Turn_Column<false>(column, s_stride, height, field, from, to, out_row(x));
  };
#if defined(__x86_64__)
  // The 16-byte loads read 4 bytes past the four pixels: groups stop where
  // that would pass the row's last pixel.
  const int32_t simd_columns = Has_SSSE3() && width >= 6 ? (width - 2) / 4 * 4 : 0;
#else
  const int32_t simd_columns = 0;
#endif
  for (int32_t r0 = 0; r0 < height; r0 += Tile_Rows) {
    const int32_t r1 = std::min(height, r0 + Tile_Rows);
    for (int32_t x0 = 0; x0 < width; x0 += Tile_Columns) {
      const int32_t x1 = std::min(width, x0 + Tile_Columns);
      int32_t x = x0;
#if defined(__x86_64__)
      for (; x + 4 <= std::min(x1, simd_columns); x += 4) {
        uint8_t* const outs[4] = {out_row(x), out_row(x + 1), out_row(x + 2), out_row(x + 3)};
        const int32_t done = Turn_Four_Columns(source + static_cast<ptrdiff_t>(x) * 3, s_stride,
                                               height, field, r0, r1, outs);
        if (done < r1)
          for (int i = 0; i < 4; ++i) one_column(x + i, done, r1);
      }
#endif
      for (; x < x1; ++x) one_column(x, r0, r1);
    }
  }
}

}  // namespace

void Rotate90(const uint8_t* source, uint8_t* target, int32_t width, int32_t height,
              int32_t flags) {
  Check_Size(width, height);
  if (flags != 0) Raise(Err_Invalid_Call);
  Turn(source, target, Bgr24_Stride(height), width, height, 0);
}

void Deinterlace_Rotate(const uint8_t* source, uint8_t* rotate_target, int32_t width,
                        int32_t height, int32_t field) {
  Check_Size(width, height);
  if (field != 1 && field != 2) Raise(Err_Invalid_Call);
  Turn(source, rotate_target, Bgr24_Stride(height), width, height, field);
}

void Deinterlace_Rotate(const uint8_t* source, uint8_t* target_row0, ptrdiff_t target_stride,
                        int32_t width, int32_t height, int32_t field) {
  Check_Size(width, height);
  if (field != 1 && field != 2) Raise(Err_Invalid_Call);
  const ptrdiff_t bytes = static_cast<ptrdiff_t>(height) * 3;
  if (target_stride < bytes && -target_stride < bytes) Raise(Err_Invalid_Call);
  Turn(source, target_row0, target_stride, width, height, field);
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
