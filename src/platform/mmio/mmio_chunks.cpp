// RIFF chunks over an mmio handle. A chunk is a four-character id, a 32-bit
// little-endian body size, the body and a pad byte after an odd body; "RIFF"
// and "LIST" bodies start with a form type. A search never looks at a
// header that does not lie wholly inside the parent, and each step moves
// strictly forward, so any bytes end the search.
#include <cstdint>

#include <mmsystem.h>

#include "platform/backend.h"
#include "platform/fault_points.h"

namespace {

// Positions are LONG, 32 bits.
constexpr int64_t kMaxPosition = INT32_MAX;

DWORD le32(const unsigned char* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}

void put_le32(unsigned char* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool seek_to(HMMIO h, int64_t pos) {
  return pos >= 0 && pos <= kMaxPosition && mmioSeek(h, static_cast<LONG>(pos), SEEK_SET) == pos;
}

bool has_form_type(FOURCC id) { return id == FOURCC_RIFF || id == FOURCC_LIST; }

}  // namespace

MMRESULT WINAPI mmioDescend(HMMIO h, LPMMCKINFO ck, const MMCKINFO* parent, UINT flags) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  const UINT find = flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST);
  if (flags != find || (find & (find - 1)) != 0) return MMSYSERR_INVALFLAG;
  const int64_t limit = parent ? int64_t{parent->dwDataOffset} + parent->cksize : INT64_MAX;
  const LONG start = mmioSeek(h, 0, SEEK_CUR);
  if (start < 0) return MMIOERR_CANNOTSEEK;
  const FOURCC want_id = ck->ckid;
  const FOURCC want_type = ck->fccType;

  int64_t pos = start;
  for (;;) {
    if (pos + 8 > limit || !seek_to(h, pos)) break;
    unsigned char header[12];
    if (mmioRead(h, reinterpret_cast<HPSTR>(header), 8) != 8) break;
    const FOURCC id = le32(header);
    const DWORD size = le32(header + 4);
    FOURCC type = 0;
    if (has_form_type(id)) {
      if (pos + 12 > limit || mmioRead(h, reinterpret_cast<HPSTR>(header + 8), 4) != 4) break;
      type = le32(header + 8);
    }
    const bool match = find == 0 || (find == MMIO_FINDCHUNK && id == want_id) ||
                       (find == MMIO_FINDRIFF && id == FOURCC_RIFF && type == want_type) ||
                       (find == MMIO_FINDLIST && id == FOURCC_LIST && type == want_type);
    if (match) {
      ck->ckid = id;
      ck->cksize = size;
      ck->fccType = type;
      ck->dwDataOffset = static_cast<DWORD>(pos + 8);
      ck->dwFlags = 0;
      return MMSYSERR_NOERROR;
    }
    pos += 8 + int64_t{size} + (size & 1);
  }
  seek_to(h, start);
  return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT WINAPI mmioAscend(HMMIO h, LPMMCKINFO ck, UINT flags) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  if (flags != 0) return MMSYSERR_INVALFLAG;
  if (fault_point::fails(fault_point::kMmioAscend)) return fault_point::kMmioAscend.result;
  if (ck->dwFlags & MMIO_DIRTY) {
    // Made by mmioCreateChunk: the body ends at the current position.
    const LONG pos = mmioSeek(h, 0, SEEK_CUR);
    if (pos < 0) return MMIOERR_CANNOTSEEK;
    if (pos < int64_t{ck->dwDataOffset} || ck->dwDataOffset < 4) return MMIOERR_CANNOTWRITE;
    const DWORD size = static_cast<DWORD>(pos - int64_t{ck->dwDataOffset});
    if (size != ck->cksize) {
      unsigned char field[4];
      put_le32(field, size);
      if (!seek_to(h, int64_t{ck->dwDataOffset} - 4)) return MMIOERR_CANNOTSEEK;
      if (mmioWrite(h, reinterpret_cast<const char*>(field), 4) != 4) return MMIOERR_CANNOTWRITE;
      ck->cksize = size;
      if (!seek_to(h, pos)) return MMIOERR_CANNOTSEEK;
    }
    if (size & 1) {
      const char pad = 0;
      if (mmioWrite(h, &pad, 1) != 1) return MMIOERR_CANNOTWRITE;
    }
    ck->dwFlags &= ~MMIO_DIRTY;
    return MMSYSERR_NOERROR;
  }
  const int64_t end = int64_t{ck->dwDataOffset} + ck->cksize + (ck->cksize & 1);
  return seek_to(h, end) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

MMRESULT WINAPI mmioCreateChunk(HMMIO h, LPMMCKINFO ck, UINT flags) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  if ((flags & ~(MMIO_CREATERIFF | MMIO_CREATELIST)) || flags == (MMIO_CREATERIFF | MMIO_CREATELIST))
    return MMSYSERR_INVALFLAG;
  if (fault_point::fails(fault_point::kMmioCreateChunk)) return fault_point::kMmioCreateChunk.result;
  const LONG pos = mmioSeek(h, 0, SEEK_CUR);
  if (pos < 0) return MMIOERR_CANNOTSEEK;
  if (flags & MMIO_CREATERIFF) ck->ckid = FOURCC_RIFF;
  if (flags & MMIO_CREATELIST) ck->ckid = FOURCC_LIST;
  unsigned char header[12];
  put_le32(header, ck->ckid);
  put_le32(header + 4, ck->cksize);
  put_le32(header + 8, ck->fccType);
  const LONG length = flags ? 12 : 8;
  if (mmioWrite(h, reinterpret_cast<const char*>(header), length) != length) return MMIOERR_CANNOTWRITE;
  ck->dwDataOffset = static_cast<DWORD>(int64_t{pos} + 8);
  ck->dwFlags = MMIO_DIRTY;
  return MMSYSERR_NOERROR;
}
