// Temporary files and byte helpers for the mmio tests.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <mmsystem.h>

#include "scratch_folder.h"

namespace mmio_test {

using Bytes = std::vector<uint8_t>;

// A file name in a fresh temporary folder, removed with the object.
class TempFile {
 public:
  TempFile() { path_ = folder_.file("file.bin"); }
  char* name() { return path_.data(); }
  const std::string& path() const { return path_; }

  void write(const Bytes& bytes) const {
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  Bytes read() const {
    Bytes out;
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return out;
  }

 private:
  ScratchFolder folder_{"quarrelo-mmio"};
  std::string path_;
};

inline void put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void put_id(Bytes& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

// A chunk: id, size, body and the pad byte after an odd body.
inline Bytes chunk(const char* id, const Bytes& body, bool pad = true) {
  Bytes out;
  put_id(out, id);
  put32(out, static_cast<uint32_t>(body.size()));
  for (uint8_t b : body) out.push_back(b);
  if (pad && body.size() % 2) out.push_back(0);
  return out;
}
inline Bytes form(const char* id, const char* type, const Bytes& body) {
  Bytes inner;
  put_id(inner, type);
  for (uint8_t b : body) inner.push_back(b);
  return chunk(id, inner);
}
inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts)
    for (uint8_t b : p) out.push_back(b);
  return out;
}

}  // namespace mmio_test
