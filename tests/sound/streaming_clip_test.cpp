// StreamingClip over a scripted buffer of 4 blocks of 1000 bytes: what each
// refill writes, how the played bytes are counted, when the buffer stops.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_dsound.h"
#include "platform/headless/headless.h"
#include "sound/dsutil.h"
#include "wave_bytes.h"

using testing::Each;
using testing::ElementsAre;
using testing::HasSubstr;
using wave::Bytes;

namespace {

struct StreamTest : testing::Test {
  Bytes data = wave::Pattern(2500, 17);
  fake::Device device;
  fake::Buffer* buf = nullptr;

  std::unique_ptr<StreamingClip> Stream(const Bytes& samples, uint16_t bits = 8) {
    auto* w = new WaveFile;
    EXPECT_EQ(S_OK, w->Open(wave::WriteFile("stream.wav", wave::PcmWave(samples, bits)).c_str(), nullptr,
                            WAVE_OPEN_READ));
    buf = device.Add(4000, false);
    HRESULT hr = S_OK;
    auto clip = std::make_unique<StreamingClip>(buf, 4000, w, 1000, &hr);
    EXPECT_EQ(S_OK, hr);
    return clip;
  }
  Bytes Wave(size_t from, size_t count) { return Bytes(data.begin() + from, data.begin() + from + count); }
};

}  // namespace

TEST_F(StreamTest, PlayedBytesFollowTheCursorAcrossTheWrap) {
  auto s = Stream(data);
  buf->play_cursors = {1000, 2000, 3500, 500};
  for (int i = 0; i < 4; ++i) ASSERT_EQ(S_OK, s->RefillNextBlock(TRUE));
  EXPECT_EQ(500u, s->m_dwPrevPlayPos);
  EXPECT_EQ(4500u, s->m_dwBytesPlayed);  // 1000 + 1000 + 1500 + (4000 - 3500) + 500
  EXPECT_EQ(0u, s->m_dwWriteCursor) << "the cursor wraps to block 0 after the last block";
  EXPECT_EQ(0, buf->locked);
}

TEST_F(StreamTest, UnloopedStreamPadsWithSilenceAndStopsOnceTheWaveWasPlayed) {
  auto s = Stream(data);
  EXPECT_EQ(data, buf->Bytes(0, 2500));
  EXPECT_THAT(buf->Bytes(2500, 1500), Each(128));
  EXPECT_EQ(0u, s->m_dwCapsFlags);

  std::fill(buf->memory->begin(), buf->memory->begin() + 1000, 0x33);
  buf->play_cursors = {1000, 2000, 2499, 2600};
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));  // block 0: no data left
  EXPECT_THAT(buf->Bytes(0, 1000), Each(128));
  EXPECT_TRUE(s->m_bPadWithSilence);
  EXPECT_EQ(1000u, s->m_dwWriteCursor);
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  EXPECT_THAT(buf->calls, testing::IsEmpty()) << "2499 bytes played: not yet";
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  EXPECT_THAT(buf->calls, ElementsAre("Stop"));
  EXPECT_THAT(buf->Bytes(0, 4000), Each(128));
}

TEST_F(StreamTest, LoopedStreamContinuesTheWaveAcrossItsEndWithoutAGap) {
  auto s = Stream(data, 16);
  EXPECT_THAT(buf->Bytes(2500, 1500), Each(0)) << "construction never repeats";
  for (int i = 0; i < 3; ++i) ASSERT_EQ(S_OK, s->RefillNextBlock(TRUE));
  EXPECT_EQ(Wave(0, 1000), buf->Bytes(0, 1000));
  EXPECT_EQ(Wave(1000, 1000), buf->Bytes(1000, 1000));
  EXPECT_EQ(Wave(2000, 500), buf->Bytes(2000, 500));
  EXPECT_EQ(Wave(0, 500), buf->Bytes(2500, 500));
  EXPECT_FALSE(s->m_bPadWithSilence);
}

TEST_F(StreamTest, RefillFailuresLeaveTheBufferUnlocked) {
  auto s = Stream(data);
  buf->split_lock = true;
  std::fill(buf->memory->begin(), buf->memory->end(), 0x44);
  EXPECT_EQ(E_UNEXPECTED, s->RefillNextBlock(TRUE));
  EXPECT_THAT(buf->Bytes(0, 4000), Each(0x44));
  EXPECT_EQ(0u, s->m_dwWriteCursor);
  EXPECT_EQ(0, buf->locked);

  buf->split_lock = false;
  buf->cursor_result = E_FAIL;
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, s->RefillNextBlock(TRUE));
  EXPECT_THAT(headless::debug_output(), HasSubstr("GetCurrentPosition hr=E_FAIL"));

  // A looped wave without sample data ends the refill instead of spinning.
  auto empty = Stream({});
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, empty->RefillNextBlock(TRUE));
  EXPECT_THAT(headless::debug_output(), HasSubstr("Read hr=E_FAIL"));
  EXPECT_EQ(0, buf->locked);
  EXPECT_EQ(S_OK, empty->RefillNextBlock(FALSE));
}

TEST_F(StreamTest, ALostBufferIsRefilledWholeAndNothingElseMoves) {
  auto s = Stream(data);
  buf->play_cursors = {1000};
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  buf->Lose();
  buf->play_cursors = {3000};
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  EXPECT_EQ(data, buf->Bytes(0, 2500));
  EXPECT_THAT(buf->Bytes(2500, 1500), Each(128));
  EXPECT_EQ(1000u, s->m_dwWriteCursor);
  EXPECT_EQ(1000u, s->m_dwBytesPlayed);
  EXPECT_TRUE(s->m_bPadWithSilence);
}

TEST_F(StreamTest, RestartPutsCountersAndWaveBackToTheStart) {
  auto s = Stream(data);
  buf->play_cursors = {1000, 2000};
  s->RefillNextBlock(FALSE);
  s->RefillNextBlock(FALSE);
  buf->set_position_result = DSERR_INVALIDCALL;
  EXPECT_EQ(DSERR_INVALIDCALL, s->RestartStream());
  EXPECT_EQ(0u, s->m_dwPrevPlayPos);
  EXPECT_EQ(0u, s->m_dwBytesPlayed);
  EXPECT_EQ(0u, s->m_dwWriteCursor);
  EXPECT_FALSE(s->m_bPadWithSilence);
  EXPECT_THAT(buf->calls, ElementsAre("SetCurrentPosition"));
  ASSERT_EQ(S_OK, s->RefillNextBlock(FALSE));
  EXPECT_EQ(Wave(0, 1000), buf->Bytes(0, 1000));
}
