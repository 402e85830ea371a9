// The picture in the window of a device with the copy swap effect, the only
// one whose Present takes rectangles: a presented part of the back buffer
// lands on a part of the picture and the rest stays as last presented.
//
// A whole-frame present costs no copy: the picture is then the back buffer
// itself, until the back buffer's pixels next change (drawing that waits,
// platform/d3d9/pixel_store.h, does not change them yet). Only then is it
// taken out, by swapping pixel arrays when the drawing overwrites the whole
// back buffer (a clear or a full-size copy, as every game frame begins) and
// by one copy otherwise.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/composition.h"
#include "platform/d3d9/pixel_resources.h"

namespace d3d9sw {

class WindowPicture final : private ChangeWatch {
 public:
  // A black picture of the back buffer's size.
  WindowPicture(int width, int height);
  ~WindowPicture();
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // The whole back buffer has just been presented: it is the picture until
  // its pixels next change.
  void shown_whole(Surface& back_buffer);
  // Stretches `from` of the back buffer (inside it) over `to` of the picture
  // (inside it), nearest pixel; either may be empty, and then nothing is
  // copied. Gives the picture, to be presented.
  PixelView show_part(Surface& back_buffer, const Area& from, const Area& to);
  // Keeps the picture in its own pixels from now on: the back buffer it
  // may still be is about to go.
  void take_out();

 private:
  void before_change(PixelStore& back_buffer, bool whole) override;
  bool follows_raw_pixels() const override { return true; }
  void stop_watching();
  PixelView view() { return PixelView{pixels_.data(), width_, height_, width_}; }

  int width_;
  int height_;
  std::vector<uint32_t> pixels_;  // the picture, unless watched_ holds it
  Surface* watched_ = nullptr;    // the back buffer that is the picture, until it changes
};

}  // namespace d3d9sw
