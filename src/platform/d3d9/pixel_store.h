// The pixels of a surface or texture, and the drawing on them that waits.
//
// Drawing that covers the whole of a store (a clear, a whole copy of a
// surface of its size) and the sprites drawn over it after that are not
// done when asked: they are kept as steps, and done when the pixels are
// next looked at. A frame's drawing thus costs nothing until it is shown,
// and when it is shown and its steps are exactly those of what the pixels
// hold already (the same colour, the same sources unchanged, the same
// sprites at the same places), nothing at all: a still screen such as the
// title menu is drawn once. A later whole step drops those before it, so a
// clear followed by a full-size copy costs one pass over the pixels.
//
// A step's source is held (a reference) and watched until the step is
// done: a source about to change has the store do its steps first, from
// the source as it still is.
//
// Program thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/composition.h"

namespace d3d9sw {

class PixelStore;

// Told once, before a store it watches next changes. A watch that follows
// the raw pixels (the window's picture of a back buffer) is told before the
// pixels themselves change; any other (a store with a step that reads the
// watched one) before what the store shows changes, waiting steps included.
// `whole` says that every pixel is about to be overwritten.
class ChangeWatch {
 public:
  virtual void before_change(PixelStore& of, bool whole) = 0;
  virtual bool follows_raw_pixels() const { return false; }

 protected:
  ~ChangeWatch() = default;
};

class PixelStore : private ChangeWatch {
 public:
  PixelStore(int width, int height);
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;

  // The pixels, for reading or drawing.
  PixelView view();
  // The pixels, for reading only.
  PixelView view_to_read();
  // The pixels, for a caller that is about to overwrite every one of them.
  PixelView view_to_overwrite();
  // The pixels as they are, the waiting steps not done: for a watch that
  // follows the raw pixels.
  PixelView raw_view() { return PixelView{pixels_.data(), width_, height_, width_}; }
  std::vector<uint32_t>& raw_pixels() { return pixels_; }

  // Every pixel set to `value`, later.
  void fill_later(uint32_t value);
  // Becomes a copy of the whole of `source`, a store of the same size, each
  // pixel taken as (p & and_mask) | or_mask, later.
  void copy_later(PixelStore& source, uint32_t and_mask, uint32_t or_mask);
  // `area` of `texture` drawn with its top-left corner at (x, y): later
  // when a whole step waits, else at once.
  void draw_later(PixelStore& texture, const Area& area, int x, int y, const SpriteMode& mode);
  // Forgets the waiting steps (a reset device's back buffer is new anyway).
  void drop_pending();

  // Tells `watch` before the store next changes (then forgets it); null
  // stops watching. One watch at a time: a new one makes the one before
  // take what it needs now.
  void watch_next_change(ChangeWatch* watch);

  // How many times the pixels themselves have changed: a frame whose
  // drawing was what the pixels held leaves it as it was.
  uint64_t pixel_changes() const { return pixel_changes_; }
  // Unique among the stores of the process, never reused.
  uint64_t id() const { return id_; }
  Area bounds() const { return Area{0, 0, width_, height_}; }
  int width() const { return width_; }
  int height() const { return height_; }

 protected:
  ~PixelStore();
  // A reference on the resource around the store, while a step reads it.
  virtual void hold() = 0;
  virtual void let_go() = 0;

 private:
  struct Step {
    enum Kind : uint8_t { kFill, kCopy, kSprite } kind = kFill;
    PixelStore* source = nullptr;  // held while waiting
    uint64_t source_id = 0;
    uint64_t source_version = 0;
    uint32_t value = 0;  // fill
    uint32_t and_mask = 0xFFFFFFFFu;
    uint32_t or_mask = 0u;
    Area area;  // sprite: the part of the source drawn
    int x = 0;
    int y = 0;
    SpriteMode mode;
    bool same_as(const Step& other) const;
  };

  void before_change(PixelStore& source, bool whole) override;
  // Does the waiting steps, or only forgets them when the pixels hold what
  // they would draw.
  void resolve();
  void release_steps();
  void wait_for(PixelStore& source, Step step);
  // Tells the watch (if it cares) that the raw pixels or what the store
  // shows is about to change.
  void tell_watch(bool raw, bool shown, bool whole);
  void pixels_changed_outside_steps();

  int width_;
  int height_;
  std::vector<uint32_t> pixels_;
  uint64_t id_;
  uint64_t version_ = 0;  // what the store shows changed (waiting steps included)
  uint64_t pixel_changes_ = 0;
  ChangeWatch* watch_ = nullptr;
  std::vector<Step> waiting_;  // a whole step first, then sprites
  std::vector<Step> drawn_;    // the steps the pixels hold (sources not held)
  bool drawn_known_ = false;
};

}  // namespace d3d9sw
