// Name and description lookups: an exact-value binary search over the
// generated tables, started from the bucket their index gives. No masking
// and no fallback between families.
#include "trace/error_trace.h"
#include "trace/result_code_tables.h"

namespace quarrelo::trace {

size_t FindResultCode(const ResultCodeTable& table, uint32_t code) {
  // The index picks the bucket of sorted entries that can hold the code.
  const ResultCodeIndex& index = table.index;
  const uint32_t high = code >> 16;
  const unsigned group = index.highGroup[index.highPage[high >> 8] * 256u + (high & 0xFFu)];
  if (group == 0xFFu) return table.size;
  const ResultCodeGroup& g = index.groups[group];
  const uint32_t bucket = (code & 0xFFFFu) >> g.shift;
  if (bucket >= g.bucketCount) return table.size;
  const uint16_t* starts = index.bucketStarts + g.firstBucket + bucket;
  const uint32_t* base = table.codes + starts[0];
  size_t count = static_cast<size_t>(starts[1] - starts[0]);
  if (count == 0) return table.size;
  // Branch-free binary search of the bucket: the steps depend only on its
  // size, so lookups in a row overlap in the processor.
  while (count > 1) {
    const size_t half = count / 2;
    base += static_cast<size_t>(base[half] <= code) * half;
    count -= half;
  }
  return *base == code ? static_cast<size_t>(base - table.codes) : table.size;
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
