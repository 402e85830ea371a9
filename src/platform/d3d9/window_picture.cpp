// The window's picture of a device with the copy swap effect.
#include "platform/d3d9/window_picture.h"

#include <algorithm>

namespace d3d9sw {

WindowPicture::WindowPicture(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {}

WindowPicture::~WindowPicture() { stop_watching(); }

void WindowPicture::shown_whole(Surface& back_buffer) {
  stop_watching();
  watched_ = &back_buffer;
  back_buffer.watch_next_change(this);
}

PixelView WindowPicture::show_part(Surface& back_buffer, const Area& from, const Area& to) {
  take_out();
  if (!from.empty() && !to.empty())
    stretch_copy(back_buffer.view_to_read(), from, view(), to, 0xFFFFFFFFu, 0u);
  return view();
}

// While watched, the back buffer's pixels are the picture: drawing on it
// since has waited.
void WindowPicture::take_out() {
  if (watched_ == nullptr) return;
  Surface* back_buffer = watched_;
  stop_watching();
  stretch_copy(back_buffer->raw_view(), back_buffer->bounds(), view(), Area{0, 0, width_, height_},
               0xFFFFFFFFu, 0u);
}

// The back buffer has the picture's size (a reset that changes the size
// makes a new picture); pixels of another size would leave it as it is.
void WindowPicture::before_change(PixelStore& back_buffer, bool whole) {
  watched_ = nullptr;  // the surface forgets its watch as it tells it
  std::vector<uint32_t>& pixels = back_buffer.raw_pixels();
  if (pixels.size() != pixels_.size()) return;
  if (whole)
    pixels.swap(pixels_);
  else
    std::copy(pixels.begin(), pixels.end(), pixels_.begin());
}

void WindowPicture::stop_watching() {
  if (watched_ != nullptr) watched_->watch_next_change(nullptr);
  watched_ = nullptr;
}

}  // namespace d3d9sw
