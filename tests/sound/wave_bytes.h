// Builds RIFF WAVE images byte by byte for the sound tests, and writes them
// to files in the test's temporary folder.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scratch_folder.h"

namespace wave {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// A chunk with its pad byte; `declared` overrides the size field.
inline Bytes Chunk(const char* id, const Bytes& body, int64_t declared = -1) {
  Bytes b;
  PutId(b, id);
  Put32(b, declared < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2) b.push_back(0);
  return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks, const char* id = "RIFF", const char* form = "WAVE") {
  Bytes body;
  PutId(body, form);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk(id, body);
}

// The first 16 bytes of a format record.
inline Bytes Pcm16(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes b;
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  Put16(b, tag);
  Put16(b, channels);
  Put32(b, rate);
  Put32(b, rate * align);
  Put16(b, align);
  Put16(b, bits);
  return b;
}

inline Bytes Pattern(size_t n, uint8_t seed = 1) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
  return b;
}

// A plain PCM wave file image holding `data`.
inline Bytes PcmWave(const Bytes& data, uint16_t bits = 8, uint16_t channels = 1, uint32_t rate = 22050) {
  return Riff({Chunk("fmt ", Pcm16(1, channels, rate, bits)), Chunk("data", data)});
}

// A path in this process's own scratch folder, removed at exit.
inline std::string TempPath(const std::string& name) {
  static const ScratchFolder folder("quarrelo-sound");
  return folder.file(name);
}

inline std::string WriteFile(const std::string& name, const Bytes& bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace wave
