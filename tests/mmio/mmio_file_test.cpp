// Buffered file and memory I/O: round trips across buffer windows, direct
// buffer access, and the limits of read-only and memory handles.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>

#include "mmio_test_files.h"

using namespace mmio_test;

namespace {

Bytes pattern(size_t n, uint32_t seed) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<uint8_t>(seed >> 16);
  }
  return out;
}

TEST(MmioOpen, ReportsWhyAFileDoesNotOpen) {
  MMIOINFO info{};
  char missing[] = "/nonexistent-folder-for-mmio/none.wav";
  EXPECT_EQ(mmioOpenA(missing, &info, MMIO_READ | MMIO_ALLOCBUF), nullptr);
  EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_FILENOTFOUND));

  TempFile file;
  char* name = file.name();
  info = MMIOINFO{};
  EXPECT_EQ(mmioOpenA(name, &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_FILENOTFOUND));

  // Only regular files open; a folder or a named pipe is refused at once,
  // in every mode, as a file that cannot be read.
  std::string folder = file.path().substr(0, file.path().rfind('/'));
  info = MMIOINFO{};
  EXPECT_EQ(mmioOpenA(folder.data(), &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_ACCESSDENIED));
  ASSERT_EQ(mkfifo(name, 0600), 0);
  for (DWORD mode : {DWORD{MMIO_READ}, DWORD{MMIO_WRITE}, DWORD{MMIO_READWRITE | MMIO_CREATE}}) {
    info = MMIOINFO{};
    EXPECT_EQ(mmioOpenA(name, &info, mode | MMIO_ALLOCBUF), nullptr) << mode;
    EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_ACCESSDENIED)) << mode;
  }

  EXPECT_EQ(mmioOpenA(nullptr, nullptr, MMIO_READ), nullptr);
  EXPECT_EQ(mmioOpenA(name, nullptr, MMIO_READ | 3), nullptr);
}

TEST(MmioFile, WriteThenReadRoundTripsAcrossBufferWindows) {
  TempFile file;
  const Bytes data = pattern(100003, 7);
  HMMIO h = mmioOpenA(file.name(), nullptr, MMIO_CREATE | MMIO_READWRITE | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  // Odd pieces so writes straddle the window's end.
  size_t at = 0;
  for (LONG piece = 1; at < data.size(); piece = piece * 3 % 9001 + 1) {
    const LONG n = static_cast<LONG>(std::min<size_t>(piece, data.size() - at));
    ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char*>(data.data() + at), n), n);
    at += static_cast<size_t>(n);
  }
  // Overwrite a few bytes far behind the current window, then grow the file.
  ASSERT_EQ(mmioSeek(h, 5000, SEEK_SET), 5000);
  ASSERT_EQ(mmioWrite(h, "ABCDEFGHIJ", 10), 10);
  ASSERT_EQ(mmioSeek(h, 0, SEEK_END), static_cast<LONG>(data.size()));
  ASSERT_EQ(mmioWrite(h, "Z", 1), 1);
  // Reading back through the same handle sees the unwritten window too.
  ASSERT_EQ(mmioSeek(h, 4998, SEEK_SET), 4998);
  char back[14] = {};
  ASSERT_EQ(mmioRead(h, back, 14), 14);
  EXPECT_EQ(std::memcmp(back + 2, "ABCDEFGHIJ", 10), 0);
  EXPECT_EQ(static_cast<uint8_t>(back[0]), data[4998]);
  EXPECT_EQ(static_cast<uint8_t>(back[13]), data[5011]);
  ASSERT_EQ(mmioClose(h, 0), 0u);

  Bytes expected = data;
  std::memcpy(expected.data() + 5000, "ABCDEFGHIJ", 10);
  expected.push_back('Z');
  EXPECT_EQ(file.read(), expected);

  // Read it again in small and large pieces (large ones skip the buffer).
  h = mmioOpenA(file.name(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  Bytes got(expected.size() + 10);
  LONG total = 0;
  for (LONG piece : {1, 7, 8192, 20000, 3, 50000, 100000}) {
    const LONG n = mmioRead(h, reinterpret_cast<char*>(got.data() + total), piece);
    ASSERT_GE(n, 0);
    total += n;
  }
  EXPECT_EQ(total, static_cast<LONG>(expected.size()));
  got.resize(static_cast<size_t>(total));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(mmioRead(h, reinterpret_cast<char*>(got.data()), 10), 0);  // end of file
  EXPECT_EQ(mmioClose(h, 0), 0u);
}

TEST(MmioFile, DirectBufferAccessStoresAndRefillsWindows) {
  TempFile file;
  const Bytes data = pattern(20000, 3);
  MMIOINFO open{};
  open.cchBuffer = 1000;
  HMMIO h = mmioOpenA(file.name(), &open, MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  MMIOINFO io{};
  ASSERT_EQ(mmioGetInfo(h, &io, 0), 0u);
  EXPECT_EQ(io.cchBuffer, 1000);
  for (uint8_t b : data) {
    if (io.pchNext == io.pchEndWrite) {
      io.dwFlags |= MMIO_DIRTY;
      ASSERT_EQ(mmioAdvance(h, &io, MMIO_WRITE), 0u);
      ASSERT_EQ(io.pchNext, io.pchBuffer);
    }
    *io.pchNext++ = static_cast<char>(b);
  }
  io.dwFlags |= MMIO_DIRTY;
  ASSERT_EQ(mmioSetInfo(h, &io, 0), 0u);
  ASSERT_EQ(mmioClose(h, 0), 0u);
  EXPECT_EQ(file.read(), data);

  h = mmioOpenA(file.name(), &open, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(mmioSeek(h, 10, SEEK_SET), 10);
  ASSERT_EQ(mmioGetInfo(h, &io, 0), 0u);
  Bytes got;
  for (;;) {
    if (io.pchNext == io.pchEndRead) {
      ASSERT_EQ(mmioAdvance(h, &io, MMIO_READ), 0u);
      if (io.pchNext == io.pchEndRead) break;  // end of file: no new bytes
    }
    got.push_back(static_cast<uint8_t>(*io.pchNext++));
  }
  EXPECT_EQ(got, Bytes(data.begin() + 10, data.end()));
  ASSERT_EQ(mmioSetInfo(h, &io, 0), 0u);
  EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 20000);
  // Handing back a pointer outside the buffer is refused.
  io.pchNext = io.pchBuffer + io.cchBuffer + 1;
  EXPECT_NE(mmioSetInfo(h, &io, 0), 0u);
  EXPECT_EQ(mmioClose(h, 0), 0u);
}

TEST(MmioFile, ReadOnlyHandlesRefuseWritesAndSeeksPastTheEnd) {
  TempFile file;
  file.write(pattern(100, 1));
  HMMIO h = mmioOpenA(file.name(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mmioWrite(h, "x", 1), -1);
  EXPECT_EQ(mmioSeek(h, 100, SEEK_SET), 100);
  EXPECT_EQ(mmioSeek(h, 101, SEEK_SET), -1);
  EXPECT_EQ(mmioSeek(h, -1, SEEK_SET), -1);
  EXPECT_EQ(mmioSeek(h, INT32_MAX, SEEK_CUR), -1);
  EXPECT_EQ(mmioSeek(h, 0, 7), -1);
  EXPECT_EQ(mmioSeek(h, 40, SEEK_SET), 40);
  char buf[8];
  EXPECT_EQ(mmioRead(h, buf, -1), -1);
  EXPECT_EQ(mmioRead(h, nullptr, 4), -1);
  MMIOINFO io{};
  EXPECT_EQ(mmioAdvance(h, &io, MMIO_WRITE), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));  // not its buffer
  ASSERT_EQ(mmioGetInfo(h, &io, 0), 0u);
  EXPECT_EQ(mmioAdvance(h, &io, MMIO_WRITE), static_cast<MMRESULT>(MMIOERR_CANNOTWRITE));
  EXPECT_EQ(mmioClose(h, 0), 0u);

  // An unbuffered handle reads the same but offers no buffer.
  h = mmioOpenA(file.name(), nullptr, MMIO_READ);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mmioRead(h, buf, 8), 8);
  ASSERT_EQ(mmioGetInfo(h, &io, 0), 0u);
  EXPECT_EQ(io.pchBuffer, nullptr);
  EXPECT_EQ(mmioAdvance(h, &io, MMIO_READ), static_cast<MMRESULT>(MMIOERR_UNBUFFERED));
  EXPECT_EQ(mmioClose(h, 0), 0u);
  EXPECT_EQ(mmioClose(nullptr, 0), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
}

TEST(MmioMemory, ReadsTheCallersBlockAndNeverLeavesIt) {
  Bytes block = pattern(300, 9);
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.cchBuffer = static_cast<LONG>(block.size());
  info.pchBuffer = reinterpret_cast<HPSTR>(block.data());
  HMMIO h = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
  ASSERT_NE(h, nullptr);
  char buf[400];
  EXPECT_EQ(mmioRead(h, buf, 100), 100);
  EXPECT_EQ(std::memcmp(buf, block.data(), 100), 0);
  EXPECT_EQ(mmioRead(h, buf, 400), 200);
  EXPECT_EQ(mmioRead(h, buf, 1), 0);
  EXPECT_EQ(mmioSeek(h, 301, SEEK_SET), -1);
  EXPECT_EQ(mmioSeek(h, -10, SEEK_END), 290);
  EXPECT_EQ(mmioWrite(h, "x", 1), -1);
  MMIOINFO io{};
  ASSERT_EQ(mmioGetInfo(h, &io, 0), 0u);
  EXPECT_EQ(io.pchBuffer, info.pchBuffer);
  EXPECT_EQ(io.pchEndRead, io.pchBuffer + 300);
  io.pchNext = io.pchEndRead;
  ASSERT_EQ(mmioAdvance(h, &io, MMIO_READ), 0u);
  EXPECT_EQ(io.pchNext, io.pchEndRead);  // nothing more to read
  EXPECT_EQ(mmioClose(h, 0), 0u);

  // A writable block takes writes up to its end and no further.
  h = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READWRITE);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(mmioSeek(h, 296, SEEK_SET), 296);
  EXPECT_EQ(mmioWrite(h, "abcdef", 6), 4);
  EXPECT_EQ(mmioWrite(h, "z", 1), -1);
  EXPECT_EQ(std::memcmp(block.data() + 296, "abcd", 4), 0);
  EXPECT_EQ(mmioClose(h, 0), 0u);
}

}  // namespace
