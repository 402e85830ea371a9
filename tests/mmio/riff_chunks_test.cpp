// RIFF chunks: headers and pad bytes written by create and ascend, and
// descend and its searches over well-formed and hostile bytes, from files
// and from memory alike.
#include <gtest/gtest.h>

#include <memory>

#include "mmio_test_files.h"

using namespace mmio_test;

namespace {

const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
const FOURCC kFact = mmioFOURCC('f', 'a', 'c', 't');

TEST(RiffWrite, AscendWritesTrueSizesAndPadBytes) {
  TempFile file;
  HMMIO h = mmioOpenA(file.name(), nullptr, MMIO_CREATE | MMIO_READWRITE | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  MMCKINFO riff{};
  riff.fccType = kWave;
  ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), 0u);
  EXPECT_EQ(riff.ckid, FOURCC_RIFF);
  EXPECT_EQ(riff.dwDataOffset, 8u);

  MMCKINFO fmt{};
  fmt.ckid = kFmt;
  fmt.cksize = 16;
  ASSERT_EQ(mmioCreateChunk(h, &fmt, 0), 0u);
  const char format[16] = {1, 0, 1, 0, 0x40, 0x1F, 0, 0, (char)0x80, 0x3E, 0, 0, 2, 0, 16, 0};
  ASSERT_EQ(mmioWrite(h, format, 16), 16);
  ASSERT_EQ(mmioAscend(h, &fmt, 0), 0u);

  MMCKINFO fact{};
  fact.ckid = kFact;
  ASSERT_EQ(mmioCreateChunk(h, &fact, 0), 0u);
  ASSERT_EQ(mmioWrite(h, "\xFF\xFF\xFF\xFF", 4), 4);
  ASSERT_EQ(mmioAscend(h, &fact, 0), 0u);
  EXPECT_EQ(fact.cksize, 4u);

  MMCKINFO data{};
  data.ckid = kData;
  ASSERT_EQ(mmioCreateChunk(h, &data, 0), 0u);
  ASSERT_EQ(mmioWrite(h, "abc", 3), 3);
  ASSERT_EQ(mmioAscend(h, &data, 0), 0u);
  EXPECT_EQ(data.cksize, 3u);
  ASSERT_EQ(mmioAscend(h, &riff, 0), 0u);
  EXPECT_EQ(riff.cksize, 52u);
  ASSERT_EQ(mmioClose(h, 0), 0u);

  const Bytes expected = form("RIFF", "WAVE",
                              cat({chunk("fmt ", Bytes(format, format + 16)),
                                   chunk("fact", {0xFF, 0xFF, 0xFF, 0xFF}), chunk("data", {'a', 'b', 'c'})}));
  ASSERT_EQ(expected.size(), 60u);
  EXPECT_EQ(file.read(), expected);

  // A chunk ascended before anything was written keeps size 0; one whose
  // writer moved back before its body is refused.
  h = mmioOpenA(file.name(), nullptr, MMIO_CREATE | MMIO_READWRITE | MMIO_ALLOCBUF);
  MMCKINFO empty{};
  empty.ckid = kData;
  ASSERT_EQ(mmioCreateChunk(h, &empty, 0), 0u);
  ASSERT_EQ(mmioAscend(h, &empty, 0), 0u);
  MMCKINFO back{};
  back.ckid = kData;
  ASSERT_EQ(mmioCreateChunk(h, &back, 0), 0u);
  ASSERT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
  EXPECT_NE(mmioAscend(h, &back, 0), 0u);
  ASSERT_EQ(mmioClose(h, 0), 0u);
  EXPECT_EQ(file.read(), cat({chunk("data", {}), chunk("data", {})}));
}

// The reading tests run on a memory block and on a file of the same bytes.
class RiffRead : public ::testing::TestWithParam<bool> {
 protected:
  HMMIO open(const Bytes& bytes) {
    bytes_ = bytes;
    if (GetParam()) {
      MMIOINFO info{};
      info.fccIOProc = FOURCC_MEM;
      info.cchBuffer = static_cast<LONG>(bytes_.size());
      info.pchBuffer = reinterpret_cast<HPSTR>(bytes_.data());
      h_ = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
    } else {
      file_.write(bytes_);
      MMIOINFO info{};
      info.cchBuffer = 16;  // small, so the window moves during searches
      h_ = mmioOpenA(file_.name(), &info, MMIO_ALLOCBUF | MMIO_READ);
    }
    return h_;
  }
  void TearDown() override {
    if (h_) mmioClose(h_, 0);
  }
  LONG pos() { return mmioSeek(h_, 0, SEEK_CUR); }
  MMRESULT find(MMCKINFO& ck, FOURCC id, const MMCKINFO* parent) {
    ck = MMCKINFO{};
    ck.ckid = id;
    return mmioDescend(h_, &ck, parent, MMIO_FINDCHUNK);
  }

  Bytes bytes_;
  TempFile file_;
  HMMIO h_ = nullptr;
};

TEST_P(RiffRead, DescendFindsChunksInAnyOrderAndSkipsPadBytes) {
  const Bytes fmt_body(18, 7);
  ASSERT_NE(open(form("RIFF", "WAVE",
                      cat({chunk("data", {1, 2, 3, 4, 5}), chunk("odd ", {9}),
                           form("LIST", "INFO", chunk("INAM", {'x', 'y', 'z'})), chunk("fmt ", fmt_body)}))),
            nullptr);
  MMCKINFO riff{};
  ASSERT_EQ(mmioDescend(h_, &riff, nullptr, 0), 0u);
  EXPECT_EQ(riff.ckid, FOURCC_RIFF);
  EXPECT_EQ(riff.fccType, kWave);
  EXPECT_EQ(riff.dwDataOffset, 8u);
  EXPECT_EQ(riff.cksize, bytes_.size() - 8);
  EXPECT_EQ(pos(), 12);

  MMCKINFO fmt;
  ASSERT_EQ(find(fmt, kFmt, &riff), 0u);
  EXPECT_EQ(fmt.cksize, 18u);
  EXPECT_EQ(fmt.dwDataOffset, 12u + 14 + 10 + 24 + 8);
  EXPECT_EQ(pos(), static_cast<LONG>(fmt.dwDataOffset));
  ASSERT_EQ(mmioAscend(h_, &fmt, 0), 0u);
  EXPECT_EQ(pos(), static_cast<LONG>(bytes_.size()));

  ASSERT_EQ(mmioSeek(h_, 12, SEEK_SET), 12);
  MMCKINFO data;
  ASSERT_EQ(find(data, kData, &riff), 0u);
  EXPECT_EQ(data.cksize, 5u);
  char body[5];
  ASSERT_EQ(mmioRead(h_, body, 5), 5);
  EXPECT_EQ(body[4], 5);
  ASSERT_EQ(mmioAscend(h_, &data, 0), 0u);
  EXPECT_EQ(pos(), 12 + 8 + 6);  // past the pad byte

  MMCKINFO list{};
  list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
  ASSERT_EQ(mmioDescend(h_, &list, &riff, MMIO_FINDLIST), 0u);
  MMCKINFO name;
  ASSERT_EQ(find(name, mmioFOURCC('I', 'N', 'A', 'M'), &list), 0u);
  // A search inside the LIST does not find the "fmt " chunk after it.
  ASSERT_EQ(mmioAscend(h_, &name, 0), 0u);
  EXPECT_EQ(find(fmt, kFmt, &list), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));

  ASSERT_EQ(mmioSeek(h_, 0, SEEK_SET), 0);
  MMCKINFO wave{};
  wave.fccType = mmioFOURCC('A', 'V', 'I', ' ');
  EXPECT_EQ(mmioDescend(h_, &wave, nullptr, MMIO_FINDRIFF), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
  wave.fccType = kWave;
  EXPECT_EQ(mmioDescend(h_, &wave, nullptr, MMIO_FINDRIFF), 0u);
  EXPECT_EQ(mmioDescend(h_, &wave, nullptr, MMIO_FINDRIFF | MMIO_FINDCHUNK),
            static_cast<MMRESULT>(MMSYSERR_INVALFLAG));
}

TEST_P(RiffRead, SearchNeverGoesPastTheParentsEnd) {
  // The RIFF chunk claims only the "data" header; "fmt " lies beyond it.
  Bytes bytes;
  put_id(bytes, "RIFF");
  put32(bytes, 12);
  put_id(bytes, "WAVE");
  const Bytes tail = cat({chunk("data", Bytes(20, 1)), chunk("fmt ", Bytes(16, 2))});
  bytes = cat({bytes, tail});
  ASSERT_NE(open(bytes), nullptr);
  MMCKINFO riff{};
  ASSERT_EQ(mmioDescend(h_, &riff, nullptr, 0), 0u);
  MMCKINFO ck;
  EXPECT_EQ(find(ck, kFmt, &riff), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
  EXPECT_EQ(pos(), 12);                   // a failed search leaves the position where it was
  ASSERT_EQ(find(ck, kData, &riff), 0u);  // its header lies inside the parent
  EXPECT_EQ(ck.cksize, 20u);
  ASSERT_EQ(mmioSeek(h_, 12, SEEK_SET), 12);
  EXPECT_EQ(find(ck, kFmt, nullptr), 0u);  // without a parent the file's end limits
}

TEST_P(RiffRead, HostileSizesAndTruncationFailCleanly) {
  // 0xFFFFFFFF body size: found, but neither skipped over nor left.
  Bytes huge;
  put_id(huge, "junk");
  put32(huge, 0xFFFFFFFF);
  huge.resize(huge.size() + 6, 0);
  const Bytes hostile = cat({huge, chunk("fmt ", Bytes(16, 0))});
  ASSERT_NE(open(hostile), nullptr);
  MMCKINFO ck;
  EXPECT_EQ(find(ck, kFmt, nullptr), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
  ASSERT_EQ(mmioDescend(h_, &ck, nullptr, 0), 0u);
  EXPECT_EQ(ck.cksize, 0xFFFFFFFFu);
  EXPECT_EQ(mmioAscend(h_, &ck, 0), static_cast<MMRESULT>(MMIOERR_CANNOTSEEK));
  // A parent whose offset and size run past 32 bits limits nothing wrongly.
  MMCKINFO parent{};
  parent.dwDataOffset = 0xFFFFFFF0;
  parent.cksize = 0xFFFFFFFF;
  ASSERT_EQ(mmioSeek(h_, 0, SEEK_SET), 0);
  EXPECT_EQ(find(ck, kFmt, &parent), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST_P(RiffRead, TruncatedHeadersAndZeroSizes) {
  Bytes bytes = cat({chunk("zero", {}), chunk("zero", {}), chunk("data", {1, 2})});
  bytes = cat({bytes, {'R', 'I', 'F', 'F', 4, 0, 0, 0}});  // form type missing
  ASSERT_NE(open(bytes), nullptr);
  MMCKINFO ck{};
  ASSERT_EQ(mmioDescend(h_, &ck, nullptr, 0), 0u);
  EXPECT_EQ(ck.cksize, 0u);
  ASSERT_EQ(mmioAscend(h_, &ck, 0), 0u);
  EXPECT_EQ(pos(), 8);
  ASSERT_EQ(find(ck, kData, nullptr), 0u);
  ASSERT_EQ(mmioAscend(h_, &ck, 0), 0u);
  EXPECT_EQ(mmioDescend(h_, &ck, nullptr, 0), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
  ASSERT_EQ(mmioSeek(h_, -3, SEEK_END), static_cast<LONG>(bytes.size() - 3));
  EXPECT_EQ(mmioDescend(h_, &ck, nullptr, 0), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFile, RiffRead, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Memory" : "File"; });

}  // namespace
