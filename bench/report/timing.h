// Timing for the report: processor time of the calling thread, medians, and
// two pieces of work timed side by side in alternating batches.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace timing {

inline double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The value 99% of the values are at or below.
inline double p99(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, values.size() * 99 / 100)];
}

enum class Clock { ThreadCpu, Wall };

inline double now(Clock clock) { return clock == Clock::ThreadCpu ? thread_cpu_seconds() : wall_seconds(); }

// How many calls of `work` make a batch of at least `seconds`.
template <typename Work>
long calibrate(Work& work, Clock clock, double seconds) {
  work();  // warm: caches, lazily made state
  for (long calls = 1;; calls *= 2) {
    const double begin = now(clock);
    for (long i = 0; i < calls; ++i) work();
    if (now(clock) - begin >= seconds || calls >= (1L << 30)) return calls;
  }
}

// The time of one call: the median over `rounds` batches of the batch's
// mean.
template <typename Work>
double time_per_call(Work work, Clock clock, int rounds, double batch_seconds) {
  const long calls = calibrate(work, clock, batch_seconds);
  std::vector<double> means;
  for (int r = 0; r < rounds; ++r) {
    const double begin = now(clock);
    for (long i = 0; i < calls; ++i) work();
    means.push_back((now(clock) - begin) / static_cast<double>(calls));
  }
  return median(means);
}

struct Pair {
  double ours = 0;    // seconds per call
  double theirs = 0;  // seconds per call
};

// `ours` and `theirs` in alternating batches (ours, theirs, ours, ...), so
// whatever else the machine does falls on both alike; per-call medians.
template <typename Ours, typename Theirs>
Pair side_by_side(Ours ours, Theirs theirs, int rounds, double batch_seconds,
                  Clock clock = Clock::ThreadCpu) {
  const long ours_calls = calibrate(ours, clock, batch_seconds);
  const long theirs_calls = calibrate(theirs, clock, batch_seconds);
  std::vector<double> a, b;
  for (int r = 0; r < rounds; ++r) {
    double begin = now(clock);
    for (long i = 0; i < ours_calls; ++i) ours();
    a.push_back((now(clock) - begin) / static_cast<double>(ours_calls));
    begin = now(clock);
    for (long i = 0; i < theirs_calls; ++i) theirs();
    b.push_back((now(clock) - begin) / static_cast<double>(theirs_calls));
  }
  return Pair{median(a), median(b)};
}

}  // namespace timing
