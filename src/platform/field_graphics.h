#pragma once
// Our own field graphics on 24-bit bottom-up buffers (blue-green-red, rows
// padded to 4 bytes): field extraction and the quarter turn of the rotated
// view. Pictures are passed as pointers to their first byte.

#include <cstddef>
#include <cstdint>

namespace qm {

// Bytes per stored row of a 24-bit buffer of that width.
constexpr int32_t Bgr24_Stride(int32_t width) {
  return (width * 3 + 3) / 4 * 4;
}

// Fills `target` (same size as `source`) with the lines of one field of the
// source at full height. Field 1 is the lines 1, 3, 5, ... counted from 0 at
// the top, field 2 the lines 0, 2, 4, .... A line of the other field becomes
// the average of the kept lines above and below it (the one kept neighbour at
// the top or bottom edge), so the picture keeps its height without steps.
// Any other field number raises invalid call.
void deinterlaceFrame2(const uint8_t* source, uint8_t* target, int32_t width, int32_t height,
                       int32_t field);

// Turns the source (width x height) a quarter turn clockwise into `target`,
// a buffer of height x width: the source's top row becomes the target's right
// column, its left column the target's top row. Every rotated view of the
// program uses this one direction. `flags` must be 0.
void Rotate90(const uint8_t* source, uint8_t* target, int32_t width, int32_t height, int32_t flags);

// The two above in one pass, for the field display with rotation: the
// rotate target (height x width) gets the quarter turn of the field, read
// straight from the source; no full-height field buffer is written.
void Deinterlace_Rotate(const uint8_t* source, uint8_t* rotate_target, int32_t width,
                        int32_t height, int32_t field);
// The same into any buffer of height x width pixels: `target_row0` is its
// bottom row, `target_stride` the signed step to the row above (negative for
// a top-down image), so the turned field can go straight onto a picture box.
void Deinterlace_Rotate(const uint8_t* source, uint8_t* target_row0, ptrdiff_t target_stride,
                        int32_t width, int32_t height, int32_t field);

// Address of a 64-byte text naming this module and its version.
const char* BlendVersion();

}  // namespace qm
