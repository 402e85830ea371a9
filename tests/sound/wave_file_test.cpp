// WaveFile: parsing, reading in pieces, rewinding, writing, embedded blocks,
// and the trace lines of its failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dsutil_trace.h"
#include "pcm_format.h"
#include "platform/headless/headless.h"
#include "platform/mmio/test_queries.h"
#include "platform/win32/resources.h"
#include "sound/dsutil.h"
#include "wave_bytes.h"

using testing::HasSubstr;
using wave::Bytes;

namespace {

Bytes ReadAll(WaveFile& w, DWORD piece = 4096) {
  Bytes out;
  Bytes chunk(piece);
  DWORD got = 0;
  do {
    EXPECT_EQ(S_OK, w.Read(chunk.data(), piece, &got));
    out.insert(out.end(), chunk.begin(), chunk.begin() + got);
  } while (got > 0);
  return out;
}

// Opens the image as a file; the trace output of the attempt is returned.
std::string OpenImage(WaveFile& w, const Bytes& image, HRESULT expect, const char* name = "t.wav") {
  headless::clear_debug_output();
  EXPECT_EQ(expect, w.Open(wave::WriteFile(name, image).c_str(), nullptr, WAVE_OPEN_READ));
  return headless::debug_output();
}

}  // namespace

TEST(WaveFileWrite, PcmFileIsWrittenByteForByteAndReadsBack) {
  const std::string path = wave::TempPath("written.wav");
  WAVEFORMATEX fmt = PcmFormat(1, 8, 8000);
  {
    WaveFile w;
    ASSERT_EQ(S_OK, w.Open(path.c_str(), &fmt, WAVE_OPEN_WRITE));
    const BYTE samples[3] = {0x10, 0x80, 0xF0};
    DWORD wrote = 0;
    ASSERT_EQ(S_OK, w.Write(3, samples, &wrote));
    EXPECT_EQ(3u, wrote);
    ASSERT_EQ(S_OK, w.Close());
    EXPECT_EQ(CO_E_NOTINITIALIZED, w.Close()) << "nothing open any more";
  }
  Bytes expected;
  wave::PutId(expected, "RIFF");
  wave::Put32(expected, 52);
  wave::PutId(expected, "WAVE");
  wave::PutId(expected, "fmt ");
  wave::Put32(expected, 16);
  const Bytes pcm = wave::Pcm16(1, 1, 8000, 8);
  expected.insert(expected.end(), pcm.begin(), pcm.end());
  wave::PutId(expected, "fact");
  wave::Put32(expected, 4);
  wave::Put32(expected, 0);
  wave::PutId(expected, "data");
  wave::Put32(expected, 3);
  expected.insert(expected.end(), {0x10, 0x80, 0xF0, 0x00});
  EXPECT_EQ(expected, wave::ReadFile(path));

  WaveFile r;
  ASSERT_EQ(S_OK, r.Open(path.c_str(), nullptr, WAVE_OPEN_READ));
  EXPECT_EQ(3u, r.GetSize());
  EXPECT_EQ(0, std::memcmp(r.m_pwfx, &fmt, sizeof(WAVEFORMATEX)));
}

TEST(WaveFileWrite, ManyBuffersOfSamplesAndAnExtendedFormatRoundTrip) {
  const std::string path = wave::TempPath("big.wav");
  // A non-PCM record with one extra byte: an odd "fmt " body, padded.
  BYTE raw[sizeof(WAVEFORMATEX) + 1];
  WAVEFORMATEX* fmt = reinterpret_cast<WAVEFORMATEX*>(raw);
  *fmt = PcmFormat(2, 16, 44100);
  fmt->wFormatTag = 0x11;
  fmt->cbSize = 1;
  raw[sizeof(WAVEFORMATEX)] = 0xAB;
  const Bytes data = wave::Pattern(100001);
  {
    WaveFile w;
    ASSERT_EQ(S_OK, w.Open(path.c_str(), fmt, WAVE_OPEN_WRITE));
    DWORD wrote = 0;
    ASSERT_EQ(S_OK, w.Write(60000, data.data(), &wrote));
    ASSERT_EQ(S_OK, w.Write(40001, data.data() + 60000, &wrote));
    EXPECT_EQ(40001u, wrote);
  }  // closed by destruction
  const Bytes file = wave::ReadFile(path);
  ASSERT_EQ(12u + 8 + 20 + 12 + 8 + 100002, file.size());
  EXPECT_EQ(19u, file[16]);  // "fmt " size
  WaveFile r;
  ASSERT_EQ(S_OK, r.Open(path.c_str(), nullptr, WAVE_OPEN_READ));
  EXPECT_EQ(1, r.m_pwfx->cbSize);
  EXPECT_EQ(0xAB, reinterpret_cast<BYTE*>(r.m_pwfx)[sizeof(WAVEFORMATEX)]);
  EXPECT_EQ(data, ReadAll(r, 7000));
  ASSERT_EQ(S_OK, r.ResetFile());
  EXPECT_EQ(data, ReadAll(r, 30000)) << "reads larger than the I/O buffer";
}

// Every way writing can fail through the platform's calls: the failing step
// and each caller that reports it on are traced, and once the object is gone
// no handle is left open, even when the failure keeps recurring.
enum class Stage { Open, Write, Close };

struct WriteFailure {
  const char* name;
  const char* point;
  int after;  // calls of the point that succeed first
  Stage stage;
  std::vector<dsutil_trace::Site> sites;
};

void PrintTo(const WriteFailure& failure, std::ostream* out) { *out << failure.name; }

class WaveFileWriteFails : public ::testing::TestWithParam<WriteFailure> {};

TEST_P(WaveFileWriteFails, WithItsTracesAndNoHandleLeftOpen) {
  const WriteFailure& failure = GetParam();
  const std::string path = wave::TempPath("failing.wav");
  WAVEFORMATEX fmt = PcmFormat(1, 8, 8000);
  const Bytes samples = wave::Pattern(20000);  // more than one I/O buffer
  std::string expected;
  for (const dsutil_trace::Site& site : failure.sites) expected += dsutil_trace::Line(site);
  headless::reset();
  headless::echo_debug_output(false);
  headless::fail(failure.point, -1, failure.after);
  {
    WaveFile w;
    HRESULT hr = w.Open(path.c_str(), &fmt, WAVE_OPEN_WRITE);
    if (failure.stage == Stage::Open) {
      EXPECT_EQ(E_FAIL, hr);
    } else {
      ASSERT_EQ(S_OK, hr);
      DWORD wrote = 0;
      hr = w.Write(static_cast<DWORD>(samples.size()), samples.data(), &wrote);
      EXPECT_EQ(failure.stage == Stage::Write ? E_FAIL : S_OK, hr);
      if (failure.stage == Stage::Close) {
        EXPECT_EQ(E_FAIL, w.Close());
      }
    }
    EXPECT_EQ(headless::debug_output(), expected);
    if (w.m_hFile == nullptr) {
      EXPECT_EQ(CO_E_NOTINITIALIZED, w.Close()) << "nothing open";
    }
  }
  EXPECT_EQ(0, mmio_test::open_handles());
}

// A failure inside writing the header on opening: traced by WriteMMIO as its
// nth trace of `point`, and by Open as its failed WriteMMIO.
WriteFailure InHeader(const char* name, const char* point, int after, int nth) {
  const dsutil_trace::Site step{"WaveFile::WriteMMIO", point, nth}, open{"WaveFile::Open", "WriteMMIO"};
  return {name, point, after, Stage::Open, {step, open}};
}

// A failure on closing: traced by Close as its nth trace of `point`.
WriteFailure OnClose(const char* name, const char* point, int after, int nth = 1) {
  return {name, point, after, Stage::Close, {{"WaveFile::Close", point, nth}}};
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, WaveFileWriteFails,
    ::testing::Values(
        InHeader("RiffChunk", "mmioCreateChunk", 0, 1), InHeader("FmtChunk", "mmioCreateChunk", 1, 2),
        InHeader("FactChunk", "mmioCreateChunk", 2, 3),
        WriteFailure{"DataChunk",
                     "mmioCreateChunk",
                     3,
                     Stage::Open,
                     {{"WaveFile::ResetFile", "mmioCreateChunk"}, {"WaveFile::Open", "ResetFile", 2}}},
        // mmioCreateChunk and mmioAscend write through mmioWrite as well:
        // the third call is the format record's, the fifth the fact value's.
        InHeader("FormatRecord", "mmioWrite", 2, 1), InHeader("FactValue", "mmioWrite", 4, 2),
        InHeader("LeavingFmt", "mmioAscend", 0, 1), InHeader("LeavingFact", "mmioAscend", 1, 2),
        WriteFailure{"FullBuffer", "mmioAdvance", 0, Stage::Write, {{"WaveFile::Write", "mmioAdvance"}}},
        OnClose("BufferState", "mmioSetInfo", 0), OnClose("LeavingData", "mmioAscend", 2, 1),
        OnClose("LeavingRiff", "mmioAscend", 3, 2),
        // The fact value is rewritten without a check; the last ascent is.
        OnClose("LeavingRiffAgain", "mmioAscend", 5, 3)),
    [](const ::testing::TestParamInfo<WriteFailure>& info) { return std::string(info.param.name); });

TEST(WaveFileRead, FormatChunkOf16Or18BytesAndExtendedFormats) {
  const Bytes data = wave::Pattern(10);
  {
    WaveFile w;
    OpenImage(w, wave::PcmWave(data, 16, 2), S_OK);
    EXPECT_EQ(0, w.m_pwfx->cbSize);
    EXPECT_EQ(16, w.m_pwfx->wBitsPerSample);
    EXPECT_EQ(4, w.m_pwfx->nBlockAlign);
  }
  {
    // PCM with an 18-byte body: the last two bytes are skipped.
    Bytes fmt = wave::Pcm16(1, 1, 8000, 8);
    wave::Put16(fmt, 0x7777);
    WaveFile w;
    OpenImage(w, wave::Riff({wave::Chunk("fmt ", fmt), wave::Chunk("data", data)}), S_OK);
    EXPECT_EQ(0, w.m_pwfx->cbSize);
    EXPECT_EQ(data, ReadAll(w));
  }
  {
    // Non-PCM with cbSize 2 and two extra bytes: a 20-byte record.
    Bytes fmt = wave::Pcm16(2, 1, 8000, 4);
    wave::Put16(fmt, 2);
    fmt.insert(fmt.end(), {0x12, 0x34});
    WaveFile w;
    OpenImage(w, wave::Riff({wave::Chunk("fmt ", fmt), wave::Chunk("data", data)}), S_OK);
    EXPECT_EQ(2, w.m_pwfx->wFormatTag);
    EXPECT_EQ(2, w.m_pwfx->cbSize);
    EXPECT_EQ(0x12, reinterpret_cast<BYTE*>(w.m_pwfx)[18]);
    EXPECT_EQ(0x34, reinterpret_cast<BYTE*>(w.m_pwfx)[19]);
  }
}

TEST(WaveFileRead, DataIsFoundBeforeFmtAndBehindOtherChunks) {
  const Bytes data = wave::Pattern(33, 9);
  const Bytes fmt = wave::Chunk("fmt ", wave::Pcm16(1, 1, 8000, 8));
  const Bytes list = wave::Chunk("LIST", wave::Pattern(7));
  for (const Bytes& image :
       {wave::Riff({wave::Chunk("data", data), fmt}),
        wave::Riff({fmt, list, wave::Chunk("fact", {0, 0, 0, 0}), wave::Chunk("data", data)})}) {
    WaveFile w;
    OpenImage(w, image, S_OK);
    EXPECT_EQ(33u, w.GetSize());
    EXPECT_EQ(data, ReadAll(w, 5));
  }
}

TEST(WaveFileRead, MalformedHeadersFailWithTheirTraceText) {
  const Bytes fmt = wave::Chunk("fmt ", wave::Pcm16(1, 1, 8000, 8));
  const Bytes data = wave::Chunk("data", wave::Pattern(4));
  struct Case {
    Bytes image;
    const char* text;
  } cases[] = {
      {wave::Riff({fmt, data}, "RIFX"), "mmioFOURCC"},
      {wave::Riff({fmt, data}, "RIFF", "AVI "), "mmioFOURCC"},
      {wave::Riff({wave::Chunk("fmt ", Bytes(14, 1)), data}), "sizeof(PCMWAVEFORMAT)"},
      {wave::Riff({data}), "mmioDescend"},
      {Bytes{'R', 'I', 'F'}, "mmioDescend"},
  };
  for (const Case& c : cases) {
    WaveFile w;
    const std::string out = OpenImage(w, c.image, E_FAIL);
    EXPECT_THAT(out, HasSubstr(std::string(c.text) + " hr=E_FAIL (0x80004005)\n")) << c.text;
    EXPECT_THAT(out, HasSubstr("dsutil(")) << c.text;
    EXPECT_THAT(out, HasSubstr("ReadMMIO hr=E_FAIL")) << c.text;
    EXPECT_EQ(nullptr, w.m_pwfx);
    EXPECT_EQ(0u, w.GetSize());
    DWORD got = 1;
    BYTE b;
    EXPECT_EQ(CO_E_NOTINITIALIZED, w.Read(&b, 1, &got));
  }
  // A format without sample data opens no data chunk.
  WaveFile w;
  const std::string out = OpenImage(w, wave::Riff({fmt}), E_FAIL);
  EXPECT_THAT(out, HasSubstr("mmioDescend hr=E_FAIL"));
  EXPECT_THAT(out, HasSubstr("ResetFile hr=E_FAIL"));
  EXPECT_EQ(0u, w.GetSize());
}

TEST(WaveFileRead, DataChunkLongerThanTheFileFailsOnceTheFileIsExhausted) {
  Bytes image = wave::Riff(
      {wave::Chunk("fmt ", wave::Pcm16(1, 1, 8000, 8)), wave::Chunk("data", wave::Pattern(100), 20000)});
  WaveFile w;
  OpenImage(w, image, S_OK);
  EXPECT_EQ(20000u, w.GetSize());
  Bytes buf(20000);
  DWORD got = 7;
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, w.Read(buf.data(), 20000, &got));
  EXPECT_EQ(0u, got);
  EXPECT_THAT(headless::debug_output(), HasSubstr("mmioinfoIn.pchNext hr=E_FAIL (0x80004005)\n"));
  EXPECT_EQ(0u, w.m_ckData.cksize);  // the planned count is gone; ResetFile restores it
  EXPECT_EQ(S_OK, w.ResetFile());
  EXPECT_EQ(S_OK, w.Read(buf.data(), 100, &got));
  EXPECT_EQ(100u, got);
  EXPECT_EQ(wave::Pattern(100), Bytes(buf.begin(), buf.begin() + 100));
  // Small pieces run dry the same way.
  headless::clear_debug_output();
  HRESULT hr = S_OK;
  for (int i = 0; i < 1000 && hr == S_OK; ++i) hr = w.Read(buf.data(), 64, &got);
  EXPECT_EQ(E_FAIL, hr);
  EXPECT_THAT(headless::debug_output(), HasSubstr("mmioinfoIn.pchNext hr=E_FAIL"));
  // A read that fails, rather than finding no bytes, names mmioRead.
  ASSERT_EQ(S_OK, w.ResetFile());
  headless::fail("mmioRead");
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, w.Read(buf.data(), 20000, &got));
  EXPECT_THAT(headless::debug_output(), HasSubstr(": mmioRead hr=E_FAIL"));
}

TEST(WaveFileRead, PiecesOf600FromAThousandBytesThenRewind) {
  const Bytes data = wave::Pattern(1000, 3);
  WaveFile file;
  OpenImage(file, wave::PcmWave(data), S_OK);
  WaveFile memory;
  WAVEFORMATEX fmt = PcmFormat(1, 8, 8000);
  Bytes block = data;
  ASSERT_EQ(S_OK, memory.OpenFromMemory(block.data(), 1000, &fmt, WAVE_OPEN_READ));

  for (WaveFile* w : {&file, &memory}) {
    Bytes buf(600);
    DWORD got = 0;
    for (DWORD want : {600u, 400u, 0u}) {
      ASSERT_EQ(S_OK, w->Read(buf.data(), 600, &got));
      EXPECT_EQ(want, got);
    }
    EXPECT_EQ(Bytes(data.begin() + 600, data.end()), Bytes(buf.begin(), buf.begin() + 400));
    ASSERT_EQ(S_OK, w->ResetFile());
    ASSERT_EQ(S_OK, w->Read(buf.data(), 600, &got));
    EXPECT_EQ(600u, got);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 600), buf);
  }
  EXPECT_EQ(1000u, file.GetSize());
  EXPECT_EQ(&fmt, memory.m_pwfx);
  DWORD wrote = 0;
  EXPECT_EQ(E_NOTIMPL, memory.Write(1, data.data(), &wrote));
}

TEST(WaveFileRead, NothingOpenAndMissingArguments) {
  WaveFile w;
  BYTE b = 0;
  DWORD n = 0;
  EXPECT_EQ(CO_E_NOTINITIALIZED, w.Read(&b, 1, &n));
  EXPECT_EQ(CO_E_NOTINITIALIZED, w.ResetFile());
  EXPECT_EQ(CO_E_NOTINITIALIZED, w.Write(1, &b, &n));
  EXPECT_EQ(E_INVALIDARG, w.Open(nullptr, nullptr, WAVE_OPEN_READ));

  WaveFile r;
  OpenImage(r, wave::PcmWave(wave::Pattern(8)), S_OK);
  EXPECT_EQ(E_INVALIDARG, r.Read(nullptr, 1, &n));
  EXPECT_EQ(E_INVALIDARG, r.Read(&b, 1, nullptr));

  WaveFile m;
  WAVEFORMATEX fmt = PcmFormat(1, 8, 8000);
  EXPECT_EQ(E_NOTIMPL, m.OpenFromMemory(&b, 1, &fmt, WAVE_OPEN_WRITE));
  EXPECT_EQ(E_NOTIMPL, m.Write(1, &b, &n));
  // The record handed to OpenFromMemory stays the caller's through a later
  // write-mode Open: nothing frees it (fmt lives on the stack).
  EXPECT_EQ(S_OK, m.OpenFromMemory(&b, 1, &fmt, WAVE_OPEN_READ));
  EXPECT_EQ(S_OK, m.Open(wave::TempPath("after_memory.wav").c_str(), &fmt, WAVE_OPEN_WRITE));
  EXPECT_EQ(S_OK, m.Close());

  WaveFile c;
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, c.Open("/nonexistent-folder/x.wav", &fmt, WAVE_OPEN_WRITE));
  EXPECT_THAT(headless::debug_output(), HasSubstr("mmioOpen hr=E_FAIL"));
}

TEST(WaveFileEmbedded, BlocksStandInForMissingFiles) {
  const Bytes data = wave::Pattern(300, 5);
  win32_resources::add("WAVE", "boom.wav", wave::PcmWave(data));
  win32_resources::add("WAV", "bang.wav", wave::PcmWave(data, 16));
  win32_resources::add("WAVE", "empty.wav", {});
  for (const char* name : {"boom.wav", "bang.wav"}) {
    WaveFile w;
    ASSERT_EQ(S_OK, w.Open(name, nullptr, WAVE_OPEN_READ)) << name;
    EXPECT_EQ(300u, w.GetSize());
    EXPECT_EQ(data, ReadAll(w, 128));
  }
  struct Case {
    const char* name;
    const char* fault;
    const char* text;
  } cases[] = {{"missing.wav", nullptr, "FindResource hr=E_FAIL"},
               {"boom.wav", "LoadResource", "LoadResource hr=E_FAIL"},
               {"empty.wav", nullptr, "SizeofResource hr=E_FAIL"},
               {"boom.wav", "LockResource", "LockResource hr=E_FAIL"}};
  for (const Case& c : cases) {
    if (c.fault) headless::fail(c.fault);
    headless::clear_debug_output();
    WaveFile w;
    EXPECT_EQ(E_FAIL, w.Open(c.name, nullptr, WAVE_OPEN_READ));
    EXPECT_THAT(headless::debug_output(), HasSubstr(c.text));
    EXPECT_EQ(0u, w.GetSize());
  }
  // A block that is no wave is reported by the parser.
  win32_resources::add("WAVE", "junk.wav", wave::Pattern(40));
  headless::clear_debug_output();
  WaveFile w;
  EXPECT_EQ(E_FAIL, w.Open("junk.wav", nullptr, WAVE_OPEN_READ));
  EXPECT_THAT(headless::debug_output(), HasSubstr("ReadMMIO hr=E_FAIL"));
}
