#include "chunk_walk.h"

#include <cstdio>
#include <vector>

#include <mmsystem.h>

namespace chunk_walk {

namespace {

constexpr int kMaxDepth = 6;
constexpr int kMaxSteps = 4000;
constexpr DWORD kMaxBodyRead = 1 << 16;

struct Walk {
  explicit Walk(HMMIO handle) : h(handle) {}
  HMMIO h;
  std::string record;
  int steps = 0;

  void note(const char* tag, unsigned long long value) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%llx ", tag, value);
    record += text;
  }

  void note_chunk(const MMCKINFO& ck) {
    note("id", ck.ckid);
    note("sz", ck.cksize);
    note("ty", ck.fccType);
    note("at", ck.dwDataOffset);
    note("pos", static_cast<unsigned long long>(mmioSeek(h, 0, SEEK_CUR)));
  }

  // Reads the chunk body in odd-sized pieces with mmioRead.
  void read_plain(DWORD size) {
    DWORD left = size < kMaxBodyRead ? size : kMaxBodyRead;
    uint32_t hash = 2166136261u;
    unsigned long long total = 0;
    char piece[97];
    while (left > 0) {
      const LONG want = static_cast<LONG>(left < sizeof piece ? left : sizeof piece);
      const LONG got = mmioRead(h, piece, want);
      if (got <= 0) break;
      for (LONG i = 0; i < got; ++i) hash = (hash ^ static_cast<uint8_t>(piece[i])) * 16777619u;
      total += static_cast<unsigned long long>(got);
      left -= static_cast<DWORD>(got);
      if (got < want) break;
    }
    note("rd", total);
    note("h", hash);
  }

  // Reads the chunk body byte by byte through the handle's buffer.
  void read_direct(DWORD size) {
    MMIOINFO info{};
    if (mmioGetInfo(h, &info, 0) != MMSYSERR_NOERROR) {
      note("gi", 1);
      return;
    }
    DWORD left = size < kMaxBodyRead ? size : kMaxBodyRead;
    uint32_t hash = 2166136261u;
    unsigned long long total = 0;
    while (left > 0) {
      if (info.pchNext == info.pchEndRead) {
        if (mmioAdvance(h, &info, MMIO_READ) != MMSYSERR_NOERROR || info.pchNext == info.pchEndRead) break;
      }
      hash = (hash ^ static_cast<uint8_t>(*info.pchNext++)) * 16777619u;
      ++total;
      --left;
    }
    note("dr", total);
    note("h", hash);
    note("si", mmioSetInfo(h, &info, 0));
  }

  void search(const MMCKINFO& parent, FOURCC id, FOURCC type, UINT flag) {
    mmioSeek(h, static_cast<LONG>(parent.dwDataOffset + 4), SEEK_SET);
    MMCKINFO found{};
    found.ckid = id;
    found.fccType = type;
    const MMRESULT r = mmioDescend(h, &found, &parent, flag);
    note("f", r);
    if (r != MMSYSERR_NOERROR) return;
    note_chunk(found);
    read_plain(found.cksize);
    note("a", mmioAscend(h, &found, 0));
  }

  void level(const MMCKINFO* parent, int depth) {
    for (int index = 0; steps < kMaxSteps; ++index) {
      ++steps;
      MMCKINFO ck{};
      const MMRESULT r = mmioDescend(h, &ck, parent, 0);
      note("d", r);
      if (r != MMSYSERR_NOERROR) return;
      note_chunk(ck);
      const bool list = ck.ckid == FOURCC_RIFF || ck.ckid == FOURCC_LIST;
      if (list && depth < kMaxDepth) {
        search(ck, mmioFOURCC('f', 'm', 't', ' '), 0, MMIO_FINDCHUNK);
        search(ck, mmioFOURCC('d', 'a', 't', 'a'), 0, MMIO_FINDCHUNK);
        search(ck, 0, mmioFOURCC('I', 'N', 'F', 'O'), MMIO_FINDLIST);
        search(ck, 0, mmioFOURCC('W', 'A', 'V', 'E'), MMIO_FINDRIFF);
        note("s",
             static_cast<unsigned long long>(mmioSeek(h, static_cast<LONG>(ck.dwDataOffset + 4), SEEK_SET)));
        level(&ck, depth + 1);
      } else if ((index + depth) % 2 == 0) {
        read_plain(ck.cksize);
      } else {
        read_direct(ck.cksize);
      }
      const MMRESULT a = mmioAscend(h, &ck, 0);
      note("a", a);
      if (a != MMSYSERR_NOERROR) return;
    }
  }
};

std::string walk(HMMIO h) {
  if (!h) return "open failed";
  Walk w{h};
  w.level(nullptr, 0);
  // A search from the start for the first RIFF form of type WAVE.
  w.note("s", static_cast<unsigned long long>(mmioSeek(h, 0, SEEK_SET)));
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  w.note("fr", mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF));
  w.note("end", static_cast<unsigned long long>(mmioSeek(h, 0, SEEK_END)));
  w.note("c", mmioClose(h, 0));
  return w.record;
}

}  // namespace

std::string walk_memory(const uint8_t* data, size_t size) {
  std::vector<char> copy(data, data + size);
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.cchBuffer = static_cast<LONG>(size);
  info.pchBuffer = copy.empty() ? nullptr : copy.data();
  return walk(mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ));
}

std::string walk_file(const uint8_t* data, size_t size, const char* path) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return "temp file failed";
  const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
  if (std::fclose(out) != 0 || !written) return "temp file failed";
  MMIOINFO info{};
  info.cchBuffer = 61;
  std::vector<char> name(path, path + std::char_traits<char>::length(path) + 1);
  return walk(mmioOpenA(name.data(), &info, MMIO_ALLOCBUF | MMIO_READ));
}

}  // namespace chunk_walk
