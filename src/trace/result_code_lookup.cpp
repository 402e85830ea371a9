// Name and description lookups: an exact-value binary search over the
// generated tables. No masking and no fallback between families.
#include "trace/error_trace.h"
#include "trace/result_code_tables.h"

namespace quarrelo::trace {

size_t FindResultCode(const ResultCodeTable& table, uint32_t code) {
  size_t low = 0;
  size_t count = table.size;
  while (count > 0) {
    size_t half = count / 2;
    if (table.codes[low + half] < code) {
      low += half + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return (low < table.size && table.codes[low] == code) ? low : table.size;
}

}  // namespace quarrelo::trace

using quarrelo::trace::FindResultCode;
using quarrelo::trace::kResultCodeNames;
using quarrelo::trace::kResultCodeTexts;
using quarrelo::trace::ResultCodeTable;

static const CHAR* NarrowText(const ResultCodeTable& table, HRESULT hr) {
  size_t i = FindResultCode(table, static_cast<uint32_t>(hr));
  return i < table.size ? table.narrow[i] : table.narrowDefault;
}

static const WCHAR* WideText(const ResultCodeTable& table, HRESULT hr) {
  size_t i = FindResultCode(table, static_cast<uint32_t>(hr));
  return i < table.size ? table.wide[i] : table.wideDefault;
}

const CHAR* WINAPI ResultCodeNameA(HRESULT hr) { return NarrowText(kResultCodeNames, hr); }
const WCHAR* WINAPI ResultCodeNameW(HRESULT hr) { return WideText(kResultCodeNames, hr); }
const CHAR* WINAPI ResultCodeTextA(HRESULT hr) { return NarrowText(kResultCodeTexts, hr); }
const WCHAR* WINAPI ResultCodeTextW(HRESULT hr) { return WideText(kResultCodeTexts, hr); }
