// SoundDevice over a scripted device: the primary format, the buffers that
// Create, CreateFromData and CreateStream make and release.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_dsound.h"
#include "platform/headless/headless.h"
#include "sound/dsutil.h"
#include "wave_bytes.h"

using testing::ElementsAre;
using testing::HasSubstr;
using wave::Bytes;

namespace {

struct DeviceTest : testing::Test {
  fake::Device device;
  SoundDevice manager;
  Bytes data = wave::Pattern(1000);
  std::string path = wave::WriteFile("device.wav", wave::PcmWave(data, 16, 2));

  void SetUp() override { manager.m_pDevice = &device; }
  void TearDown() override { manager.m_pDevice = nullptr; }
};

}  // namespace

TEST(SoundDeviceEmpty, EveryOperationButInitializeNeedsADevice) {
  SoundDevice m;
  SoundClip* clip = nullptr;
  StreamingClip* stream = nullptr;
  LPDIRECTSOUND3DLISTENER listener = nullptr;
  BYTE b = 0;
  WAVEFORMATEX f{};
  EXPECT_EQ(E_INVALIDARG, m.GetListener3D(nullptr));
  EXPECT_EQ(CO_E_NOTINITIALIZED, m.GetListener3D(&listener));
  EXPECT_EQ(CO_E_NOTINITIALIZED, m.SetPrimaryBufferFormat(2, 22050, 16));
  EXPECT_EQ(CO_E_NOTINITIALIZED, m.Create(&clip, "x.wav", 0, GUID_NULL, 1));
  EXPECT_EQ(CO_E_NOTINITIALIZED, m.CreateFromData(&clip, &b, 1, &f, 0, GUID_NULL, 1));
  EXPECT_EQ(CO_E_NOTINITIALIZED, m.CreateStream(&stream, "x.wav", 0, GUID_NULL, 4, 1000, &b));
}

TEST_F(DeviceTest, PrimaryFormatIsDerivedFromChannelsRateAndBits) {
  ASSERT_EQ(S_OK, manager.SetPrimaryBufferFormat(2, 22050, 16));
  fake::Buffer& primary = *device.buffers[0];
  EXPECT_EQ(DWORD{DSBCAPS_PRIMARYBUFFER}, device.descs[0].dwFlags);
  EXPECT_EQ(nullptr, device.descs[0].lpwfxFormat);
  EXPECT_EQ(WAVE_FORMAT_PCM, primary.format.wFormatTag);
  EXPECT_EQ(4, primary.format.nBlockAlign);
  EXPECT_EQ(88200u, primary.format.nAvgBytesPerSec);
  EXPECT_EQ(0u, primary.refs);

  ASSERT_EQ(S_OK, manager.SetPrimaryBufferFormat(1, 11025, 8));
  EXPECT_EQ(1, device.buffers[1]->format.nBlockAlign);
  EXPECT_EQ(11025u, device.buffers[1]->format.nAvgBytesPerSec);
}

TEST_F(DeviceTest, CreateMakesDuplicatesUnlessEffectsNeedSeparateBuffers) {
  SoundClip* clip = nullptr;
  EXPECT_EQ(E_INVALIDARG, manager.Create(&clip, path.c_str(), 0, GUID_NULL, 0));
  EXPECT_TRUE(device.buffers.empty());

  ASSERT_EQ(S_OK, manager.Create(&clip, path.c_str(), DSBCAPS_CTRLVOLUME, GUID_NULL, 3));
  EXPECT_THAT(device.duplicated, ElementsAre(false, true, true));
  EXPECT_EQ(1000u, device.descs[0].dwBufferBytes);
  EXPECT_EQ(clip->m_pWave->m_pwfx, device.descs[0].lpwfxFormat);
  EXPECT_EQ(3u, clip->m_dwBufferCount);
  EXPECT_EQ(data, device.buffers[2]->Bytes(0, 1000)) << "duplicates share the filled memory";
  delete clip;
  EXPECT_EQ(0u, device.LiveRefs());

  device = fake::Device{};
  ASSERT_EQ(S_OK, manager.Create(&clip, path.c_str(), DSBCAPS_CTRLFX, DS3DALG_HRTF_FULL, 3));
  EXPECT_THAT(device.duplicated, ElementsAre(false, false, false));
  ASSERT_EQ(3u, device.descs.size());
  for (const DSBUFFERDESC& d : device.descs) {
    EXPECT_EQ(DWORD{DSBCAPS_CTRLFX}, d.dwFlags);
    EXPECT_EQ(1000u, d.dwBufferBytes);
    EXPECT_TRUE(d.guid3DAlgorithm == DS3DALG_HRTF_FULL);
  }
  EXPECT_EQ(data, device.buffers[0]->Bytes(0, 1000));
  EXPECT_EQ(0xEE, (*device.buffers[1]->memory)[0]) << "only the first buffer is filled";
  delete clip;
}

TEST_F(DeviceTest, CreateFailuresReleaseWhatWasMadeAndHandOutNothing) {
  SoundClip* const untouched = reinterpret_cast<SoundClip*>(0x1);
  SoundClip* clip = untouched;

  const std::string empty = wave::WriteFile("empty.wav", wave::PcmWave({}));
  EXPECT_EQ(E_FAIL, manager.Create(&clip, empty.c_str(), 0, GUID_NULL, 1));
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, manager.Create(&clip, "no-such.wav", 0, GUID_NULL, 1));
  EXPECT_THAT(headless::debug_output(), HasSubstr("FindResource hr=E_FAIL"));
  EXPECT_TRUE(device.buffers.empty());

  device.duplicate_result = DSERR_OUTOFMEMORY;
  headless::clear_debug_output();
  EXPECT_EQ(DSERR_OUTOFMEMORY, manager.Create(&clip, path.c_str(), 0, GUID_NULL, 2));
  EXPECT_THAT(headless::debug_output(), HasSubstr("DuplicateSoundBuffer hr=E_OUTOFMEMORY"));
  device.duplicate_result = DS_OK;
  device.create_results = {DS_OK, DSERR_BADFORMAT};
  EXPECT_EQ(DSERR_BADFORMAT, manager.Create(&clip, path.c_str(), DSBCAPS_CTRLFX, GUID_NULL, 3));
  EXPECT_EQ(0u, device.LiveRefs());
  EXPECT_EQ(untouched, clip);

  // The success code of a substituted 3D algorithm is passed on.
  device.create_results = {DS_NO_VIRTUALIZATION};
  EXPECT_EQ(DS_NO_VIRTUALIZATION, manager.Create(&clip, path.c_str(), DSBCAPS_CTRL3D, GUID_NULL, 1));
  delete clip;
}

TEST_F(DeviceTest, CreateFromDataReadsTheCallersBytes) {
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
  SoundClip* clip = nullptr;
  ASSERT_EQ(S_OK, manager.CreateFromData(&clip, data.data(), 600, &f, 0, GUID_NULL, 2));
  EXPECT_EQ(&f, device.descs[0].lpwfxFormat);
  EXPECT_EQ(600u, device.descs[0].dwBufferBytes);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 600), device.buffers[1]->Bytes(0, 600));
  delete clip;
  EXPECT_EQ(0u, device.LiveRefs());
  EXPECT_EQ(E_INVALIDARG, manager.CreateFromData(&clip, nullptr, 600, &f, 0, GUID_NULL, 1));
}

TEST_F(DeviceTest, CreateStreamNotifiesAtTheLastByteOfEveryBlock) {
  const std::string longer = wave::WriteFile("long.wav", wave::PcmWave(wave::Pattern(9000), 16, 2));
  StreamingClip* stream = nullptr;
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(E_INVALIDARG, manager.CreateStream(&stream, longer.c_str(), 0, GUID_NULL, 4, 1000, nullptr));

  ASSERT_EQ(S_OK,
            manager.CreateStream(&stream, longer.c_str(), DSBCAPS_CTRLVOLUME, GUID_NULL, 4, 1000, event));
  EXPECT_EQ(DWORD{DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2},
            device.descs[0].dwFlags);
  EXPECT_EQ(4000u, device.descs[0].dwBufferBytes);
  std::vector<DWORD> offsets;
  for (const DSBPOSITIONNOTIFY& n : device.notify.positions) {
    offsets.push_back(n.dwOffset);
    EXPECT_EQ(event, n.hEventNotify);
  }
  EXPECT_THAT(offsets, ElementsAre(999, 1999, 2999, 3999));
  EXPECT_EQ(0u, device.notify.refs);
  EXPECT_EQ(1000u, stream->m_dwBlockSize);
  EXPECT_EQ(0u, stream->m_dwCapsFlags);
  delete stream;

  device.notify.result = E_OUTOFMEMORY;
  headless::clear_debug_output();
  EXPECT_EQ(E_OUTOFMEMORY, manager.CreateStream(&stream, longer.c_str(), 0, GUID_NULL, 4, 1000, event));
  EXPECT_THAT(headless::debug_output(), HasSubstr("SetNotificationPositions hr=E_OUTOFMEMORY"));
  EXPECT_EQ(0u, device.notify.refs);
  EXPECT_EQ(0u, device.LiveRefs());

  // Refused formats and other failures are reported from different lines.
  device.create_results = {DSERR_BADFORMAT, DSERR_ALLOCATED};
  headless::clear_debug_output();
  manager.CreateStream(&stream, longer.c_str(), 0, GUID_NULL, 4, 1000, event);
  const std::string first = headless::debug_output();
  headless::clear_debug_output();
  manager.CreateStream(&stream, longer.c_str(), 0, GUID_NULL, 4, 1000, event);
  const std::string second = headless::debug_output();
  EXPECT_NE(first.substr(0, first.find(')')), second.substr(0, second.find(')')));
  CloseHandle(event);
}
