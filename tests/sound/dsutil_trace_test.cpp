// Each failure the sound library reports names the file "dsutil" and the
// line of the statement that failed on the debugger output, exactly; a
// failure reported on through its callers gives one such line for each.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dsutil_trace.h"
#include "fake_dsound.h"
#include "platform/headless/headless.h"
#include "sound/dsutil.h"
#include "wave_bytes.h"

namespace {

using dsutil_trace::Site;

struct Failure {
  const char* name;
  std::function<HRESULT()> provoke;
  HRESULT result;
  std::vector<Site> sites;  // in the order of their lines on the output
  const char* code = "E_FAIL (0x80004005)";
};

void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.name; }

HRESULT OpenImage(const wave::Bytes& image) {
  WaveFile wave;
  return wave.Open(wave::WriteFile("trace.wav", image).c_str(), nullptr, WAVE_OPEN_READ);
}

const wave::Bytes kFmt = wave::Chunk("fmt ", wave::Pcm16(1, 1, 8000, 8));
const wave::Bytes kData = wave::Chunk("data", wave::Pattern(4));

class TraceLines : public ::testing::TestWithParam<Failure> {};

TEST_P(TraceLines, NameDsutilAndTheLineOfEachFailingStatement) {
  const Failure& failure = GetParam();
  headless::reset();
  headless::echo_debug_output(false);
  EXPECT_EQ(failure.provoke(), failure.result);
  std::string expected;
  for (const Site& site : failure.sites) expected += dsutil_trace::Line(site, failure.code);
  EXPECT_EQ(headless::debug_output(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Library, TraceLines,
    ::testing::Values(Failure{"NoSuchFile",
                              [] {
                                WaveFile wave;
                                return wave.Open(wave::TempPath("no-such.wav").c_str(), nullptr,
                                                 WAVE_OPEN_READ);
                              },
                              E_FAIL,
                              {{"WaveFile::Open", "FindResource"}}},
                      Failure{"NotAWave",
                              [] {
                                return OpenImage(wave::Riff({kFmt, kData}, "RIFF", "AVI "));
                              },
                              E_FAIL,
                              {{"WaveFile::ReadMMIO", "mmioFOURCC"}, {"WaveFile::Open", "ReadMMIO"}}},
                      Failure{
                          "ShortFormat",
                          [] {
                            return OpenImage(wave::Riff({wave::Chunk("fmt ", wave::Bytes(14, 1)), kData}));
                          },
                          E_FAIL,
                          {{"WaveFile::ReadMMIO", "sizeof(PCMWAVEFORMAT)"}, {"WaveFile::Open", "ReadMMIO"}}},
                      Failure{"NoDataChunk",
                              [] { return OpenImage(wave::Riff({kFmt})); },
                              E_FAIL,
                              {{"WaveFile::ResetFile", "mmioDescend"}, {"WaveFile::Open", "ResetFile"}}},
                      Failure{"NoSoundDevice",
                              [] {
                                headless::fail("DirectSoundCreate8");
                                return SoundDevice().Initialize(nullptr, DSSCL_PRIORITY);
                              },
                              DSERR_NODRIVER,
                              {{"SoundDevice::Initialize", "DirectSoundCreate8"}},
                              "DSERR_NODRIVER (0x88780078)"},
                      Failure{"BufferNotLocked",
                              [] {
                                WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
                                wave::Bytes samples = wave::Pattern(100);
                                fake::Device device;
                                LPDIRECTSOUNDBUFFER buffer = device.Add(100, false);
                                auto* wave = new WaveFile;
                                wave->OpenFromMemory(samples.data(), 100, &format, WAVE_OPEN_READ);
                                HRESULT hr = S_OK;
                                SoundClip clip(&buffer, 100, 1, wave, 0, &hr);
                                device.buffers[0]->lock_result = DSERR_INVALIDCALL;
                                headless::clear_debug_output();
                                return clip.FillBufferWithSound(buffer, FALSE);
                              },
                              DSERR_INVALIDCALL,
                              {{"SoundClip::FillBufferWithSound", "Lock"}},
                              "DSERR_INVALIDCALL (0x88780032)"}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

}  // namespace
