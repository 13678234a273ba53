// Stepping through a file must not allocate: after the first field of a file
// the field display (read, decode, field, turn, paint, overlay) works in the
// buffers it already has. Every heap allocation of the process is counted
// while a scope is open: through the sanitizer's allocation hooks in a
// sanitizer build, else by taking the C allocator's entry points (operator
// new, Qt's containers and libavcodec all come through them). This is a
// program of its own so that no other test runs with these hooks.
//
// libavcodec's send-and-receive calls allocate a few small reference
// records per frame however the caller works; the test measures that on the
// decoder alone and allows exactly that many, and no large block at all.
#include "capture_file/avi_handler.h"
#include "capture_file/demo_heat.h"
#include "picture_display/dib_section.h"
#include "picture_display/field_render.h"
#include "picture_display/overlays.h"
#include "picture_display/picture_surface.h"
#include "race_timing/lane.h"
#include "support/test_env.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::atomic<long> large_allocations{0};  // 1 KB or more: picture and packet buffers
inline void Count(size_t n) {
  if (!counting.load(std::memory_order_relaxed)) return;
  allocations.fetch_add(1);
  if (n >= 1024) large_allocations.fetch_add(1);
}
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's hook entry (its interface header is not installed
// with GCC on Debian).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             size_t),
                                                         void (*free_hook)(const volatile void*));
namespace {
void On_Malloc(const volatile void*, size_t n) {
  Count(n);
}
void On_Free(const volatile void*) {}
const int hooks_installed = __sanitizer_install_malloc_and_free_hooks(On_Malloc, On_Free);
}  // namespace
#else
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
  Count(n);
  return __libc_malloc(n);
}
void* calloc(size_t count, size_t n) {
  Count(count * n);
  return __libc_calloc(count, n);
}
void* realloc(void* p, size_t n) {
  Count(n);
  return __libc_realloc(p, n);
}
int posix_memalign(void** p, size_t alignment, size_t n) {
  Count(n);
  *p = __libc_memalign(alignment, n);
  return *p ? 0 : ENOMEM;
}
void free(void* p) {
  __libc_free(p);
}
}
namespace {
const int hooks_installed = 1;
}
#endif

namespace {

// Allocations made inside the scope.
class Count_Allocations {
 public:
  Count_Allocations() {
    allocations = 0;
    large_allocations = 0;
    counting = true;
  }
  ~Count_Allocations() { counting = false; }
  long Made() const { return allocations.load(); }
  long Large() const { return large_allocations.load(); }
};

// What libavcodec allocates for one frame, on a decoder of its own that
// decodes the file's frames into a picture buffer; the same for every frame.
long Codec_Allocations_Per_Frame(qm::cls_AVI_handler& file) {
  qm::Video_Decoder decoder(1);
  qm::cDIBSection picture;
  picture.Create(file.Decode_width(), file.Decode_height());
  auto decode = [&](int32_t frame) {
    file.Read_Frame(frame, 1);
    const qm::Source_Format& fmt = file.m_Source_format();
    return decoder.Decode(fmt.biCompression, fmt.biWidth, fmt.biHeight, file.Frame_address(),
                          fmt.biSizeImage, picture.View());
  };
  // Its frame pool holds the frame on show and the one being decoded.
  for (int32_t frame = 1; frame <= 3; ++frame) EXPECT_TRUE(decode(frame));
  std::vector<long> made;
  for (int32_t frame = 4; frame <= 8; ++frame) {
    bool ok = false;
    Count_Allocations scope;
    ok = decode(frame);
    made.push_back(scope.Made());
    EXPECT_TRUE(ok);
    EXPECT_EQ(scope.Large(), 0);
  }
  for (long m : made) EXPECT_EQ(m, made.front());
  return made.front();
}

class Display_Allocations : public qmtest::Test, public ::testing::WithParamInterface<bool> {};

TEST_P(Display_Allocations, None_After_The_First_Field) {
  const bool rotated = GetParam();
  const QString path = Tmp("heat.kv2");
  qm::Demo_Options o;
  o.seconds = 1;
  o.rotated = rotated;
  qm::Make_Demo_Heat(path, o);

  qm::cls_AVI_handler file;
  qm::Field_Renderer render(file, 1);
  ASSERT_TRUE(file.Open_File(path));
  ASSERT_EQ(file.rotated(), rotated);
  const int w = rotated ? 576 : 720, h = rotated ? 720 : 576;
  qm::Picture_Surface box(w, h);
  qm::Lane_markers lanes;
  for (int k = 1; k <= 6; ++k) {
    qm::Cls_lane& l = lanes.Add();
    l.Set_Lane_number(static_cast<int16_t>(k));
    l.Lane_pos_X(w / 2);
    l.Lane_pos_Y(40 + k * 90);
  }
  qm::Picture_Overlay overlay;
  overlay.Arrange(w, h);
  overlay.show_lane_markers = overlay.show_goal_line = true;
  overlay.Goal_line = {static_cast<int16_t>(w / 2), 10, static_cast<int16_t>(w / 2),
                       static_cast<int16_t>(h - 10)};
  overlay.lanes = &lanes;
  overlay.markers_drawn = 6;
  overlay.Draw_Graphics(box, true, false, true, 0);

  auto show = [&](int32_t field) {
    render.Draw_field_3(field, box, 0, 1, rotated);
    overlay.Blit_Graphics(box);
  };
  // The first field may size the decoder and its buffers, and the first call
  // of each display procedure makes its location text.
  show(1);
  render.Refresh_field(box, rotated);
  const int32_t fields = 2 * file.num_frames();
  ASSERT_GE(fields, 40);
  const long codec_per_frame = Codec_Allocations_Per_Frame(file);

  long without_decode = 0, with_decode = 0, large = 0, decodes = 0;
  auto step = [&](auto&& what) {
    const int64_t before = render.counters().decodes;
    long made = 0;
    {
      Count_Allocations scope;
      what();
      made = scope.Made();
      large += scope.Large();
    }
    if (render.counters().decodes > before) {
      with_decode += made;
      ++decodes;
    } else {
      without_decode += made;
    }
  };
  for (int32_t f = 2; f <= fields; ++f) step([&] { show(f); });     // stepping forward
  for (int32_t f = fields; f >= 1; f -= 3) step([&] { show(f); });  // and back, skipping
  step([&] { show(7); });
  step([&] { show(7); });  // the repaint shortcut, or the same field again
  step([&] { render.Refresh_field(box, rotated); });

  EXPECT_EQ(large, 0) << "no picture or packet buffer is made again";
  EXPECT_EQ(without_decode, 0) << "the other field, the repaint and the refresh";
  EXPECT_EQ(with_decode, codec_per_frame * decodes) << "a new frame: only libavcodec's records";
  EXPECT_GE(decodes, file.num_frames() - 1);
  Expect_No_Reports();
}

// The count above means something only if the hooks see what Qt and
// operator new allocate.
TEST(Display_Allocations_Counter, Sees_Allocations_Made_Through_Qt_And_New) {
  ASSERT_EQ(hooks_installed, 1);
  long made = 0;
  {
    Count_Allocations scope;
    const QString text = QString::number(1234567).repeated(50);
    const auto numbers = std::make_unique<std::vector<int>>(100, 7);
    made = scope.Made();
    EXPECT_EQ(text.size(), 350);
    EXPECT_EQ(numbers->size(), 100u);
  }
  EXPECT_GE(made, 3);
}

INSTANTIATE_TEST_SUITE_P(Landscape_Rotated, Display_Allocations, ::testing::Values(false, true));

}  // namespace
