// Buffered multimedia file I/O over files and over memory blocks.
//
// A handle keeps one buffer window: pchBuffer holds the bytes of the file
// from offset lBufOffset on; [pchBuffer, pchEndRead) are valid (read from the
// file or written by the program), pchNext is the current position. A file
// window is filled lazily when a read finds it exhausted and written back
// (when MMIO_DIRTY) before it moves. A memory file's window is the whole
// block and never moves; it cannot grow. A handle that cannot write cannot
// seek past the end of its file, so files and memory blocks of the same bytes
// give the same results.
//
// Every position stays within 0..INT32_MAX (LONG); sizes and offsets are computed in
// 64 bits, so no input can overflow them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include <mmsystem.h>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/mmio/test_queries.h"

namespace {

std::atomic<int> g_open_handles{0};

constexpr uint32_t kMagic = 0x4F494D4D;  // "MMIO"
constexpr LONG kMaxBuffer = 64 << 20;
// Positions are LONG, 32 bits.
constexpr int64_t kMaxPosition = INT32_MAX;

struct MmioFile {
  uint32_t magic = kMagic;
  MMIOINFO info{};     // dwFlags: access mode and MMIO_DIRTY; the window pointers
  int64_t window = 0;  // file offset of pchBuffer
  int fd = -1;
  bool memory = false;
  bool buffered = false;  // the program asked for a buffer it may access directly
  bool readable = false;
  bool writable = false;
  int64_t read_only_size = 0;  // the file's size when it cannot be written
  std::vector<char> own;       // the buffer when the handle allocated it
};

MmioFile* file_of(HMMIO h) {
  auto* f = reinterpret_cast<MmioFile*>(h);
  return f && f->magic == kMagic ? f : nullptr;
}

int64_t valid_bytes(const MmioFile& f) { return f.info.pchEndRead - f.info.pchBuffer; }
int64_t position(const MmioFile& f) { return f.window + (f.info.pchNext - f.info.pchBuffer); }
bool dirty(const MmioFile& f) { return (f.info.dwFlags & MMIO_DIRTY) != 0; }

void sync_offsets(MmioFile& f) {
  f.info.lBufOffset = static_cast<LONG>(f.window);
  f.info.lDiskOffset = static_cast<LONG>(std::min<int64_t>(f.window + valid_bytes(f), kMaxPosition));
}

// Writes a dirty file window back; memory needs no writing.
bool flush(MmioFile& f) {
  if (!dirty(f)) return true;
  f.info.dwFlags &= ~MMIO_DIRTY;
  if (f.memory) return true;
  const char* p = f.info.pchBuffer;
  int64_t left = valid_bytes(f);
  off_t at = static_cast<off_t>(f.window);
  while (left > 0) {
    const ssize_t n = pwrite(f.fd, p, static_cast<size_t>(left), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    at += n;
    left -= n;
  }
  return true;
}

// Empties the file window and starts it at `pos`.
bool move_window(MmioFile& f, int64_t pos) {
  if (!flush(f)) return false;
  f.window = pos;
  f.info.pchNext = f.info.pchEndRead = f.info.pchBuffer;
  sync_offsets(f);
  return true;
}

ssize_t read_at(int fd, char* p, size_t n, int64_t at) {
  size_t got = 0;
  while (got < n) {
    const ssize_t r = pread(fd, p + got, n - got, static_cast<off_t>(at + static_cast<int64_t>(got)));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(got);
}

// Refills a file window from the current position; -1 on a read error.
ssize_t fill(MmioFile& f) {
  if (!move_window(f, position(f)) || !f.readable) return -1;
  const ssize_t n = read_at(f.fd, f.info.pchBuffer, static_cast<size_t>(f.info.cchBuffer), f.window);
  if (n < 0) return -1;
  f.info.pchEndRead = f.info.pchBuffer + n;
  sync_offsets(f);
  return n;
}

int64_t file_size(const MmioFile& f) {
  if (f.memory) return f.info.cchBuffer;
  if (!f.writable) return f.read_only_size;
  struct stat st {};
  const int64_t on_disk = fstat(f.fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
  return std::max(on_disk, f.window + valid_bytes(f));
}

UINT open_error(int err) {
  switch (err) {
    case ENOENT:
      return MMIOERR_FILENOTFOUND;
    case ENOTDIR:
      return MMIOERR_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // a folder
    case ENXIO:   // a named pipe without a reader, a device that is not there
      return MMIOERR_ACCESSDENIED;
    case EMFILE:
    case ENFILE:
      return MMIOERR_TOOMANYOPENFILES;
    case ENOMEM:
      return MMIOERR_OUTOFMEMORY;
    default:
      return MMIOERR_CANNOTOPEN;
  }
}

HMMIO fail_open(LPMMIOINFO info, UINT code) {
  if (info) {
    info->wErrorRet = code;
    info->hmmio = nullptr;
  }
  return nullptr;
}

// The window pointers a caller got from mmioGetInfo and hands back.
MMRESULT take_back(MmioFile& f, const MMIOINFO& in) {
  char* const begin = f.info.pchBuffer;
  if (in.pchBuffer != begin || in.cchBuffer != f.info.cchBuffer) return MMSYSERR_INVALPARAM;
  if (in.pchNext < begin || in.pchNext > begin + f.info.cchBuffer) return MMSYSERR_INVALPARAM;
  if ((in.dwFlags & MMIO_DIRTY) && f.writable) {
    // The program wrote up to pchNext: those bytes join the valid ones.
    if (in.pchNext > f.info.pchNext && f.info.pchNext > f.info.pchEndRead) return MMSYSERR_INVALPARAM;
    f.info.dwFlags |= MMIO_DIRTY;
    f.info.pchNext = in.pchNext;
    // MMIOINFO is byte-packed: compare values, never bind references to its members.
    if (in.pchNext > f.info.pchEndRead) f.info.pchEndRead = in.pchNext;
  } else if (in.pchNext > f.info.pchEndRead) {
    // Skipped past what the window holds: start a new window there.
    const int64_t pos = f.window + (in.pchNext - begin);
    if (!move_window(f, pos)) return MMIOERR_CANNOTWRITE;
  } else {
    f.info.pchNext = in.pchNext;
  }
  sync_offsets(f);
  return MMSYSERR_NOERROR;
}

}  // namespace

HMMIO WINAPI mmioOpenA(LPSTR name, LPMMIOINFO info, DWORD flags) {
  constexpr DWORD kSupported = MMIO_RWMODE | MMIO_SHAREMODE | MMIO_CREATE | MMIO_ALLOCBUF;
  if (flags & ~kSupported) return fail_open(info, MMSYSERR_INVALFLAG);
  const DWORD mode = flags & MMIO_RWMODE;
  if (mode > MMIO_READWRITE) return fail_open(info, MMSYSERR_INVALFLAG);
  const bool mem = info && info->fccIOProc == FOURCC_MEM;
  if (info && !mem && ((info->fccIOProc != 0 && info->fccIOProc != FOURCC_DOS) || info->pIOProc))
    return fail_open(info, MMSYSERR_NOTSUPPORTED);
  if (info && (info->cchBuffer < 0 || info->cchBuffer > kMaxBuffer))
    return fail_open(info, MMSYSERR_INVALPARAM);

  auto* f = new (std::nothrow) MmioFile;
  if (!f) return fail_open(info, MMIOERR_OUTOFMEMORY);
  f->readable = mode != MMIO_WRITE;
  f->writable = mode != MMIO_READ;
  f->info.dwFlags = flags & (MMIO_RWMODE | MMIO_SHAREMODE | MMIO_CREATE | MMIO_ALLOCBUF);
  f->info.fccIOProc = mem ? FOURCC_MEM : FOURCC_DOS;

  if (mem) {
    f->memory = true;
    f->buffered = true;
    LONG size = info->cchBuffer;
    char* block = info->pchBuffer;
    if (!block && size > 0) {
      f->own.assign(static_cast<size_t>(size), 0);
      block = f->own.data();
    }
    if (!block) size = 0;
    f->info.cchBuffer = size;
    f->info.pchBuffer = block;
    f->info.pchNext = block;
    f->info.pchEndRead = block ? block + size : nullptr;
  } else {
    if (!name) {
      delete f;
      return fail_open(info, MMSYSERR_INVALPARAM);
    }
    // Only regular files open. The open does not wait (for a named pipe's
    // other end), and the type is checked on the descriptor that is then
    // used; anything else is refused as a file that cannot be read.
    // O_NONBLOCK changes nothing for a regular file.
    const int access = mode == MMIO_READ ? O_RDONLY : mode == MMIO_WRITE ? O_WRONLY : O_RDWR;
    int oflags = O_CLOEXEC | O_NONBLOCK | access;
    if (flags & MMIO_CREATE) oflags |= O_CREAT | O_TRUNC;
    f->fd = open(name, oflags, 0666);
    UINT code = f->fd < 0 ? open_error(errno) : MMSYSERR_NOERROR;
    struct stat st {};
    if (f->fd >= 0 && (fstat(f->fd, &st) != 0 || !S_ISREG(st.st_mode))) {
      close(f->fd);
      f->fd = -1;
      code = MMIOERR_ACCESSDENIED;
    }
    f->read_only_size = st.st_size;
    if (f->fd < 0) {
      delete f;
      return fail_open(info, code);
    }
    f->buffered = (flags & MMIO_ALLOCBUF) != 0;
    LONG size = info && info->cchBuffer > 0 ? info->cchBuffer : MMIO_DEFAULTBUFFER;
    char* block = info && f->buffered ? info->pchBuffer : nullptr;
    if (!block) {
      f->own.assign(static_cast<size_t>(size), 0);
      block = f->own.data();
    }
    f->info.cchBuffer = size;
    f->info.pchBuffer = f->info.pchNext = f->info.pchEndRead = block;
  }
  f->info.pchEndWrite = f->writable ? f->info.pchBuffer + f->info.cchBuffer : f->info.pchBuffer;
  f->info.hmmio = reinterpret_cast<HMMIO>(f);
  sync_offsets(*f);
  if (info) {
    info->wErrorRet = MMSYSERR_NOERROR;
    info->hmmio = f->info.hmmio;
  }
  ++g_open_handles;
  return f->info.hmmio;
}

MMRESULT WINAPI mmioClose(HMMIO h, UINT) {
  MmioFile* f = file_of(h);
  if (!f) return MMSYSERR_INVALHANDLE;
  const bool written = flush(*f);
  if (f->fd >= 0) close(f->fd);
  f->magic = 0;
  delete f;
  --g_open_handles;
  return written ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

LONG WINAPI mmioRead(HMMIO h, HPSTR out, LONG count) {
  MmioFile* f = file_of(h);
  if (!f || count < 0 || (count > 0 && !out) || !f->readable) return -1;
  if (fault_point::fails(fault_point::kMmioRead)) return fault_point::kMmioRead.result;
  // Never past the largest position.
  int64_t want = std::min<int64_t>(count, kMaxPosition - position(*f));
  LONG done = 0;
  while (want > 0) {
    const int64_t avail = f->info.pchEndRead - f->info.pchNext;
    if (avail > 0) {
      const int64_t n = std::min(avail, want);
      std::memcpy(out + done, f->info.pchNext, static_cast<size_t>(n));
      f->info.pchNext += n;
      done += static_cast<LONG>(n);
      want -= n;
      continue;
    }
    if (f->memory) break;
    if (want >= f->info.cchBuffer) {
      // A large read goes straight to the caller's memory.
      const int64_t pos = position(*f);
      if (!move_window(*f, pos)) return -1;
      const ssize_t n = read_at(f->fd, out + done, static_cast<size_t>(want), pos);
      if (n < 0) return done > 0 ? done : -1;
      f->window = pos + n;
      sync_offsets(*f);
      done += static_cast<LONG>(n);
      break;
    }
    const ssize_t n = fill(*f);
    if (n < 0) return done > 0 ? done : -1;
    if (n == 0) break;
  }
  return done;
}

LONG WINAPI mmioWrite(HMMIO h, const char* in, LONG count) {
  MmioFile* f = file_of(h);
  if (!f || count < 0 || (count > 0 && !in) || !f->writable) return -1;
  if (fault_point::fails(fault_point::kMmioWrite)) return fault_point::kMmioWrite.result;
  int64_t want = std::min<int64_t>(count, kMaxPosition - position(*f));
  LONG done = 0;
  while (want > 0) {
    if (f->info.pchNext > f->info.pchEndRead && !move_window(*f, position(*f))) break;
    const int64_t room = f->info.pchEndWrite - f->info.pchNext;
    if (room == 0) {
      if (f->memory || !move_window(*f, position(*f))) break;
      continue;
    }
    const int64_t n = std::min(room, want);
    std::memcpy(f->info.pchNext, in + done, static_cast<size_t>(n));
    f->info.pchNext += n;
    if (f->info.pchNext > f->info.pchEndRead) f->info.pchEndRead = f->info.pchNext;
    f->info.dwFlags |= MMIO_DIRTY;
    done += static_cast<LONG>(n);
    want -= n;
  }
  sync_offsets(*f);
  return done == 0 && count > 0 ? -1 : done;
}

LONG WINAPI mmioSeek(HMMIO h, LONG offset, int origin) {
  MmioFile* f = file_of(h);
  if (!f) return -1;
  int64_t base;
  switch (origin) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = position(*f);
      break;
    case SEEK_END:
      base = file_size(*f);
      break;
    default:
      return -1;
  }
  const int64_t target = base + offset;
  if (target < 0 || target > kMaxPosition) return -1;
  if ((f->memory || !f->writable) && target > file_size(*f)) return -1;
  if (target >= f->window && target <= f->window + valid_bytes(*f)) {
    f->info.pchNext = f->info.pchBuffer + (target - f->window);
  } else if (!move_window(*f, target)) {
    return -1;
  }
  return static_cast<LONG>(target);
}

MMRESULT WINAPI mmioGetInfo(HMMIO h, LPMMIOINFO out, UINT) {
  MmioFile* f = file_of(h);
  if (!f) return MMSYSERR_INVALHANDLE;
  if (!out) return MMSYSERR_INVALPARAM;
  *out = f->info;
  if (!f->buffered) {
    // Unbuffered: the handle's own window is not the program's to touch.
    out->cchBuffer = 0;
    out->pchBuffer = out->pchNext = out->pchEndRead = out->pchEndWrite = nullptr;
    out->lBufOffset = static_cast<LONG>(position(*f));
  }
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mmioSetInfo(HMMIO h, LPCMMIOINFO in, UINT) {
  MmioFile* f = file_of(h);
  if (!f) return MMSYSERR_INVALHANDLE;
  if (!in) return MMSYSERR_INVALPARAM;
  if (fault_point::fails(fault_point::kMmioSetInfo)) return fault_point::kMmioSetInfo.result;
  if (!f->buffered) return MMSYSERR_NOERROR;
  return take_back(*f, *in);
}

MMRESULT WINAPI mmioAdvance(HMMIO h, LPMMIOINFO info, UINT flags) {
  MmioFile* f = file_of(h);
  if (!f) return MMSYSERR_INVALHANDLE;
  if (!f->buffered) return MMIOERR_UNBUFFERED;
  if (!info || (flags != MMIO_READ && flags != MMIO_WRITE)) return MMSYSERR_INVALPARAM;
  if (fault_point::fails(fault_point::kMmioAdvance)) return fault_point::kMmioAdvance.result;
  MMRESULT result = take_back(*f, *info);
  if (result == MMSYSERR_NOERROR) {
    if (flags == MMIO_WRITE && !f->writable) {
      result = MMIOERR_CANNOTWRITE;
    } else if (flags == MMIO_READ && !f->readable) {
      result = MMIOERR_CANNOTREAD;
    } else if (f->memory) {
      // The block is the whole file: nothing to read, nowhere to grow.
      flush(*f);
      if (flags == MMIO_WRITE && f->info.pchNext == f->info.pchEndWrite) result = MMIOERR_CANNOTEXPAND;
    } else if (flags == MMIO_WRITE) {
      if (!move_window(*f, position(*f))) result = MMIOERR_CANNOTWRITE;
    } else if (!flush(*f)) {
      result = MMIOERR_CANNOTWRITE;
    } else if (fill(*f) < 0) {
      result = MMIOERR_CANNOTREAD;
    }
  }
  *info = f->info;
  return result;
}

int mmio_test::open_handles() { return g_open_handles; }
