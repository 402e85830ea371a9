// The embedded-data-block registry behind FindResourceA, LoadResource,
// SizeofResource and LockResource. Blocks live until clear(); a handle is
// the address of its block's record.
#include "platform/win32/resources.h"

#include <algorithm>
#include <cctype>
#include <list>
#include <mutex>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "windows.h"

namespace {

struct Block {
  std::string type;
  std::string name;
  std::vector<uint8_t> bytes;
};

std::mutex g_mutex;
std::list<Block> g_blocks;

bool same(const std::string& a, const char* b) {
  const size_t n = std::char_traits<char>::length(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

Block* find_block(const void* handle) {
  for (Block& b : g_blocks)
    if (&b == handle) return &b;
  return nullptr;
}

}  // namespace

namespace win32_resources {

void add(const std::string& type, const std::string& name, std::vector<uint8_t> bytes) {
  std::lock_guard lock(g_mutex);
  for (Block& b : g_blocks)
    if (same(b.type, type.c_str()) && same(b.name, name.c_str())) {
      b.bytes = std::move(bytes);
      return;
    }
  g_blocks.push_back(Block{type, name, std::move(bytes)});
}

void clear() {
  std::lock_guard lock(g_mutex);
  g_blocks.clear();
}

}  // namespace win32_resources

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR lpName, LPCSTR lpType) {
  if (fault_point::fails(fault_point::kFindResourceA)) return nullptr;
  if (!lpName || !lpType || IS_INTRESOURCE(lpName) || IS_INTRESOURCE(lpType)) return nullptr;
  std::lock_guard lock(g_mutex);
  for (Block& b : g_blocks)
    if (same(b.type, lpType) && same(b.name, lpName)) return reinterpret_cast<HRSRC>(&b);
  return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
  if (fault_point::fails(fault_point::kLoadResource)) return nullptr;
  std::lock_guard lock(g_mutex);
  return find_block(hResInfo) ? static_cast<HGLOBAL>(hResInfo) : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
  std::lock_guard lock(g_mutex);
  Block* b = find_block(hResInfo);
  return b ? static_cast<DWORD>(b->bytes.size()) : 0;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
  if (fault_point::fails(fault_point::kLockResource)) return nullptr;
  std::lock_guard lock(g_mutex);
  Block* b = find_block(hResData);
  if (!b) return nullptr;
  // Blocks are read-only data; an empty block still locks to a valid pointer.
  static uint8_t empty = 0;
  return b->bytes.empty() ? &empty : b->bytes.data();
}
