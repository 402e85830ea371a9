// Result-code name lookups to time: the codes to look up (every listed name
// code and, for each, a code next to it that may well be unlisted, in a
// fixed shuffled order) and a std::unordered_map holding the same table.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "trace/error_trace.h"
#include "trace/result_code_tables.h"

namespace result_code_queries {

inline const std::vector<HRESULT>& queries() {
  static const std::vector<HRESULT> made = [] {
    using quarrelo::trace::kResultCodeNames;
    std::vector<HRESULT> q;
    for (size_t i = 0; i < kResultCodeNames.size; ++i) {
      q.push_back(static_cast<HRESULT>(kResultCodeNames.codes[i]));
      q.push_back(static_cast<HRESULT>(kResultCodeNames.codes[i] + 0x10));
    }
    std::shuffle(q.begin(), q.end(), std::mt19937(1234));
    return q;
  }();
  return made;
}

// The name table as a hash map, answering as ResultCodeNameA does.
class NameMap {
 public:
  NameMap() {
    using quarrelo::trace::kResultCodeNames;
    for (size_t i = 0; i < kResultCodeNames.size; ++i)
      map_.emplace(static_cast<HRESULT>(kResultCodeNames.codes[i]), kResultCodeNames.narrow[i]);
  }
  const char* name(HRESULT hr) const {
    const auto it = map_.find(hr);
    return it != map_.end() ? it->second : quarrelo::trace::kResultCodeNames.narrowDefault;
  }

 private:
  std::unordered_map<HRESULT, const char*> map_;
};

}  // namespace result_code_queries
