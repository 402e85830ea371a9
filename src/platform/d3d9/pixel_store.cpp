// The pixels of a surface or texture and their waiting steps (pixel_store.h).
#include "platform/d3d9/pixel_store.h"

#include <algorithm>
#include <atomic>

namespace d3d9sw {
namespace {

std::atomic<uint64_t> g_next_id{1};

}  // namespace

bool PixelStore::Step::same_as(const Step& o) const {
  return kind == o.kind && source_id == o.source_id && source_version == o.source_version &&
         value == o.value && and_mask == o.and_mask && or_mask == o.or_mask && area.left == o.area.left &&
         area.top == o.area.top && area.right == o.area.right && area.bottom == o.area.bottom && x == o.x &&
         y == o.y && mode.blend == o.mode.blend && mode.tint == o.mode.tint;
}

PixelStore::PixelStore(int width, int height)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0u),
      id_(g_next_id.fetch_add(1, std::memory_order_relaxed)) {}

PixelStore::~PixelStore() { release_steps(); }

PixelView PixelStore::view() {
  resolve();
  tell_watch(true, true, false);
  pixels_changed_outside_steps();
  return raw_view();
}

PixelView PixelStore::view_to_read() {
  resolve();
  return raw_view();
}

PixelView PixelStore::view_to_overwrite() {
  tell_watch(true, true, true);
  release_steps();
  pixels_changed_outside_steps();
  return raw_view();
}

void PixelStore::fill_later(uint32_t value) {
  tell_watch(false, true, true);
  release_steps();
  Step step;
  step.kind = Step::kFill;
  step.value = value;
  waiting_.push_back(step);
  ++version_;
}

void PixelStore::copy_later(PixelStore& source, uint32_t and_mask, uint32_t or_mask) {
  if (&source == this) {
    if (and_mask != 0xFFFFFFFFu || or_mask != 0u) {
      const PixelView pixels = view();
      stretch_copy(pixels, bounds(), pixels, bounds(), and_mask, or_mask);
    }
    return;
  }
  tell_watch(false, true, true);
  release_steps();
  Step step;
  step.kind = Step::kCopy;
  step.and_mask = and_mask;
  step.or_mask = or_mask;
  wait_for(source, step);
  ++version_;
}

void PixelStore::draw_later(PixelStore& texture, const Area& area, int x, int y, const SpriteMode& mode) {
  if (waiting_.empty() || &texture == this) {
    const PixelView from = texture.view_to_read();
    draw_sprite(from, area, view(), x, y, mode);
    return;
  }
  tell_watch(false, true, false);
  Step step;
  step.kind = Step::kSprite;
  step.area = area;
  step.x = x;
  step.y = y;
  step.mode = mode;
  wait_for(texture, step);
  ++version_;
}

void PixelStore::drop_pending() { release_steps(); }

void PixelStore::watch_next_change(ChangeWatch* watch) {
  if (watch != nullptr && watch_ != nullptr && watch_ != watch) {
    ChangeWatch* before = watch_;
    watch_ = nullptr;
    before->before_change(*this, false);
  }
  watch_ = watch;
}

void PixelStore::wait_for(PixelStore& source, Step step) {
  step.source = &source;
  step.source_id = source.id_;
  step.source_version = source.version_;
  source.hold();
  source.watch_next_change(this);
  waiting_.push_back(step);
}

// A source of a waiting step is about to change: the steps are done now,
// from the source as it still is.
void PixelStore::before_change(PixelStore&, bool) { resolve(); }

void PixelStore::resolve() {
  if (waiting_.empty()) return;
  const bool held = drawn_known_ && drawn_.size() == waiting_.size() &&
                    std::equal(waiting_.begin(), waiting_.end(), drawn_.begin(),
                               [](const Step& a, const Step& b) { return a.same_as(b); });
  if (held) {
    release_steps();
    return;
  }
  // Nothing a source tells may start this again: the sources stop being
  // watched before they are read.
  for (Step& step : waiting_)
    if (step.source != nullptr && step.source->watch_ == this) step.source->watch_ = nullptr;
  tell_watch(true, false, true);
  const PixelView pixels = raw_view();
  for (const Step& step : waiting_) {
    switch (step.kind) {
      case Step::kFill:
        std::fill(pixels_.begin(), pixels_.end(), step.value);
        break;
      case Step::kCopy:
        stretch_copy(step.source->view_to_read(), bounds(), pixels, bounds(), step.and_mask, step.or_mask);
        break;
      case Step::kSprite:
        draw_sprite(step.source->view_to_read(), step.area, pixels, step.x, step.y, step.mode);
        break;
    }
  }
  ++pixel_changes_;
  drawn_ = waiting_;
  for (Step& step : drawn_) step.source = nullptr;
  drawn_known_ = true;
  release_steps();
}

void PixelStore::release_steps() {
  for (Step& step : waiting_) {
    if (step.source == nullptr) continue;
    if (step.source->watch_ == this) step.source->watch_ = nullptr;
    step.source->let_go();
  }
  waiting_.clear();
}

void PixelStore::tell_watch(bool raw, bool shown, bool whole) {
  if (watch_ == nullptr || !(watch_->follows_raw_pixels() ? raw : shown)) return;
  ChangeWatch* watch = watch_;
  watch_ = nullptr;
  watch->before_change(*this, whole);
}

void PixelStore::pixels_changed_outside_steps() {
  ++version_;
  ++pixel_changes_;
  drawn_known_ = false;
}

}  // namespace d3d9sw
