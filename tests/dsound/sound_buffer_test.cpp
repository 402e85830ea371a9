// Buffers and the device: two-region locks, lost buffers and their restore,
// creation checks, the interfaces buffers hand out, the primary format, the
// fault points, sound reaching the headless backend's output, and reference
// counts kept from several threads.
#include <thread>

#include "dsound_fixture.h"
#include "platform/headless/headless.h"

using namespace dsound_test;

namespace {

class Buffers : public DsoundTest {};

std::vector<uint8_t> contents(LPDIRECTSOUNDBUFFER b, DWORD bytes) {
  void* p = nullptr;
  DWORD n = 0;
  EXPECT_EQ(b->Lock(0, bytes, &p, &n, nullptr, nullptr, 0), DS_OK);
  std::vector<uint8_t> out(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
  EXPECT_EQ(b->Unlock(p, n, nullptr, 0), DS_OK);
  return out;
}

TEST_F(Buffers, LockGivesASecondRegionOnlyWhenTheRangeWraps) {
  LPDIRECTSOUNDBUFFER b = make(1, 8, 8000, std::vector<uint8_t>(4000, 0x80));
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(b->Lock(1000, 1000, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 1000u);
  EXPECT_EQ(p2, nullptr);
  EXPECT_EQ(n2, 0u);
  std::memset(p1, 1, n1);
  ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

  ASSERT_EQ(b->Lock(3000, 2000, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 1000u);
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(n2, 1000u);
  std::memset(p1, 3, n1);
  std::memset(p2, 0, n2);
  ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  std::vector<uint8_t> expected(4000, 0x80);
  std::fill(expected.begin(), expected.begin() + 1000, 0);
  std::fill(expected.begin() + 1000, expected.begin() + 2000, 1);
  std::fill(expected.begin() + 3000, expected.end(), 3);
  EXPECT_EQ(contents(b, 4000), expected);

  // Without a second pointer only the first region is given; Unlock takes
  // over no more than the bytes it is told.
  ASSERT_EQ(b->Lock(3500, 1000, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(n1, 500u);
  std::memset(p1, 9, n1);
  ASSERT_EQ(b->Unlock(p1, 100, nullptr, 0), DS_OK);
  const std::vector<uint8_t> after = contents(b, 4000);
  EXPECT_EQ(after[3599], 9);
  EXPECT_EQ(after[3600], 3);

  EXPECT_EQ(b->Lock(4000, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 4001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  ASSERT_EQ(b->Lock(100, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(n1 + n2, 4000u);
  char elsewhere = 0;
  EXPECT_EQ(b->Unlock(&elsewhere, 1, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DSERR_INVALIDPARAM);  // already unlocked
}

TEST_F(Buffers, LostBufferStopsLosesItsMemoryAndRestoresWhenAllowed) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER b = make16(1, 22050, std::vector<int16_t>(100, 5000));
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  headless::fail("IDirectSoundBuffer::Lost");
  headless::fail("IDirectSoundBuffer::Restore", 2);
  EXPECT_EQ(status(b), DWORD{DSBSTATUS_BUFFERLOST});  // no longer playing
  EXPECT_EQ(render(4)[0], 0);
  void* p = nullptr;
  DWORD n = 0;
  EXPECT_EQ(b->Lock(0, 10, &p, &n, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);

  EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DS_OK);
  EXPECT_EQ(status(b), 0u);
  EXPECT_EQ(contents(b, 200), std::vector<uint8_t>(200, 0));  // the contents must be written again
  EXPECT_EQ(b->Restore(), DS_OK);                             // not lost: nothing to do
  EXPECT_EQ(headless::fault_checks("IDirectSoundBuffer::Restore"), 3);

  // Loss is checked by Lock and Play too.
  headless::fail("IDirectSoundBuffer::Lost");
  EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(b->Restore(), DS_OK);
  headless::fail("IDirectSoundBuffer::Lost");
  EXPECT_EQ(b->Lock(0, 10, &p, &n, nullptr, nullptr, 0), DSERR_BUFFERLOST);
}

TEST_F(Buffers, CreationChecksTheDescription) {
  WAVEFORMATEX f = PcmFormat(1, 16, 22050);
  LPDIRECTSOUNDBUFFER b = reinterpret_cast<LPDIRECTSOUNDBUFFER>(1);
  DSBUFFERDESC d = description(&f, 1000);
  d.dwSize = 20;
  EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM);
  EXPECT_EQ(b, nullptr);
  d.dwSize = 36;  // the record's size with 32-bit pointers is accepted too
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
  b->Release();

  auto create = [&](WAVEFORMATEX format, DWORD bytes, DWORD flags, const GUID& algorithm) {
    DSBUFFERDESC desc = description(&format, bytes, flags);
    desc.guid3DAlgorithm = algorithm;
    LPDIRECTSOUNDBUFFER out = nullptr;
    const HRESULT hr = ds_->CreateSoundBuffer(&desc, &out, nullptr);
    if (out) out->Release();
    EXPECT_EQ(out != nullptr, SUCCEEDED(hr));
    return hr;
  };
  WAVEFORMATEX bad = f;
  bad.wFormatTag = 3;
  EXPECT_EQ(create(bad, 1000, 0, GUID_NULL), DSERR_BADFORMAT);
  bad = PcmFormat(1, 24, 22050);
  EXPECT_EQ(create(bad, 1000, 0, GUID_NULL), DSERR_BADFORMAT);
  bad = PcmFormat(3, 16, 22050);
  EXPECT_EQ(create(bad, 1000, 0, GUID_NULL), DSERR_BADFORMAT);
  bad = f;
  bad.nBlockAlign = 4;
  EXPECT_EQ(create(bad, 1000, 0, GUID_NULL), DSERR_BADFORMAT);
  EXPECT_EQ(create(f, 3, 0, GUID_NULL), DSERR_INVALIDPARAM);
  EXPECT_EQ(create(f, 1000, 0, DS3DALG_NO_VIRTUALIZATION), DSERR_INVALIDPARAM);  // no 3D flag
  const WAVEFORMATEX stereo = PcmFormat(2, 16, 22050);
  EXPECT_EQ(create(stereo, 1000, DSBCAPS_CTRL3D, GUID_NULL), DSERR_INVALIDPARAM);  // 3D is mono
  EXPECT_EQ(create(f, 1000, DSBCAPS_CTRL3D, DS3DALG_NO_VIRTUALIZATION), DS_OK);
  EXPECT_EQ(create(f, 1000, DSBCAPS_CTRL3D, DS3DALG_HRTF_FULL), DS_NO_VIRTUALIZATION);
  EXPECT_EQ(create(f, 1000, DSBCAPS_CTRLFX | DSBCAPS_CTRLVOLUME, GUID_NULL), DS_OK);

  DSBUFFERDESC primary{};
  primary.dwSize = sizeof primary;
  primary.dwFlags = DSBCAPS_PRIMARYBUFFER;
  primary.dwBufferBytes = 1000;
  EXPECT_EQ(ds_->CreateSoundBuffer(&primary, &b, nullptr), DSERR_INVALIDPARAM);
  EXPECT_EQ(ds_->CreateSoundBuffer(nullptr, &b, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(Buffers, InterfacesFollowTheCapabilityFlags) {
  LPDIRECTSOUNDBUFFER flat = make16(1, 22050, std::vector<int16_t>(10, 0));
  LPDIRECTSOUNDBUFFER spatial = make16(1, 22050, std::vector<int16_t>(10, 0), DSBCAPS_CTRL3D);
  LPDIRECTSOUND3DBUFFER b3d = nullptr;
  EXPECT_EQ(flat->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3d)), E_NOINTERFACE);
  ASSERT_EQ(spatial->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3d)), DS_OK);
  DS3DBUFFER params{};
  params.dwSize = sizeof params;
  params.flMinDistance = DS3D_DEFAULTMINDISTANCE;
  params.flMaxDistance = DS3D_DEFAULTMAXDISTANCE;
  params.dwInsideConeAngle = params.dwOutsideConeAngle = DS3D_DEFAULTCONEANGLE;
  EXPECT_EQ(b3d->SetAllParameters(&params, DS3D_IMMEDIATE), DS_OK);
  params.dwSize = 4;
  EXPECT_EQ(b3d->SetAllParameters(&params, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  // The part asks its buffer for everything else, and keeps it alive.
  LPDIRECTSOUNDBUFFER back = nullptr;
  ASSERT_EQ(b3d->QueryInterface(IID_IDirectSoundBuffer, reinterpret_cast<void**>(&back)), DS_OK);
  EXPECT_EQ(back, spatial);
  back->Release();
  EXPECT_EQ(b3d->Release(), 0u);

  DSBUFFERDESC d{};
  d.dwSize = sizeof d;
  d.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
  LPDIRECTSOUND3DLISTENER listener = nullptr;
  EXPECT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)),
            E_NOINTERFACE);
  primary->Release();
  d.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
  ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)), DS_OK);
  primary->Release();
  listener->Release();

  LPDIRECTSOUNDBUFFER dup = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
  EXPECT_EQ(ds_->DuplicateSoundBuffer(primary, &dup), DSERR_INVALIDCALL);
  primary->Release();
}

TEST_F(Buffers, PrimaryFormatNeedsPriorityAndReopensTheOutput) {
  EXPECT_TRUE(headless::audio_open());
  EXPECT_EQ(headless::audio_format().rate, 22050);
  EXPECT_EQ(headless::audio_format().channels, 2);
  DSBUFFERDESC d{};
  d.dwSize = sizeof d;
  d.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds_->SetCooperativeLevel(window(), DSSCL_NORMAL), DS_OK);
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
  WAVEFORMATEX f = PcmFormat(1, 8, 11025);
  EXPECT_EQ(primary->SetFormat(&f), DSERR_PRIOLEVELNEEDED);
  ASSERT_EQ(ds_->SetCooperativeLevel(window(), DSSCL_PRIORITY), DS_OK);
  ASSERT_EQ(primary->SetFormat(&f), DS_OK);
  primary->Release();
  // The format outlives the primary buffer.
  EXPECT_EQ(headless::audio_format().rate, 11025);
  EXPECT_EQ(headless::audio_format().channels, 1);
  f.nBlockAlign = 2;
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
  EXPECT_EQ(primary->SetFormat(&f), DSERR_BADFORMAT);
  primary->Release();
  EXPECT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
}

TEST_F(Buffers, SoundReachesTheBackendOutputOnItsThread) {
  set_output(22050, 2);
  headless::clear_audio_capture();
  LPDIRECTSOUNDBUFFER b = make16(1, 22050, std::vector<int16_t>(2205, 7000));
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  headless::advance(200);
  const std::vector<int16_t> heard = headless::audio_captured();
  ASSERT_EQ(heard.size(), 4410u * 2);
  EXPECT_EQ(heard[0], 7000);
  EXPECT_EQ(heard[2 * 2204 + 1], 7000);
  EXPECT_EQ(heard[2 * 2205], 0);  // 100 ms of sound, then silence
  EXPECT_EQ(status(b), 0u);
}

// Buffers are held and let go of from the mixer's thread as well as the
// program's: references taken and dropped on two threads at once all count.
TEST_F(Buffers, ReferencesCountFromSeveralThreadsAtOnce) {
  LPDIRECTSOUNDBUFFER b = make(1, 16, 22050, std::vector<uint8_t>(64));
  ASSERT_NE(b, nullptr);
  const auto churn = [b] {
    for (int i = 0; i < 20000; ++i) {
      b->AddRef();
      b->Release();
    }
  };
  std::thread other(churn);
  churn();
  other.join();
  EXPECT_EQ(b->AddRef(), 2u);
  EXPECT_EQ(b->Release(), 1u);
}

TEST(DsoundDevice, FaultPointsFailTheirCalls) {
  LPDIRECTSOUND8 ds = nullptr;
  headless::fail("DirectSoundCreate8");
  EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(ds, nullptr);
  ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
  headless::fail("IDirectSound8::SetCooperativeLevel");
  EXPECT_TRUE(FAILED(ds->SetCooperativeLevel(window(), DSSCL_PRIORITY)));
  ASSERT_EQ(ds->SetCooperativeLevel(window(), DSSCL_PRIORITY), DS_OK);

  WAVEFORMATEX f = PcmFormat(1, 16, 22050);
  DSBUFFERDESC d = description(&f, 100, DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_CTRL3D);
  LPDIRECTSOUNDBUFFER b = nullptr;
  headless::fail("IDirectSound8::CreateSoundBuffer");
  EXPECT_TRUE(FAILED(ds->CreateSoundBuffer(&d, &b, nullptr)));
  EXPECT_EQ(b, nullptr);
  ASSERT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
  LPDIRECTSOUNDBUFFER dup = nullptr;
  headless::fail("IDirectSound8::DuplicateSoundBuffer");
  EXPECT_TRUE(FAILED(ds->DuplicateSoundBuffer(b, &dup)));
  EXPECT_EQ(dup, nullptr);

  LPDIRECTSOUNDNOTIFY notify = nullptr;
  headless::fail("IDirectSoundBuffer::QueryInterface");
  EXPECT_EQ(b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), E_NOINTERFACE);
  ASSERT_EQ(b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
  DSBPOSITIONNOTIFY at{0, reinterpret_cast<HANDLE>(1)};
  headless::fail("IDirectSoundNotify::SetNotificationPositions");
  EXPECT_TRUE(FAILED(notify->SetNotificationPositions(1, &at)));
  notify->Release();

  DWORD value = 0;
  headless::fail("IDirectSoundBuffer::GetStatus");
  EXPECT_TRUE(FAILED(b->GetStatus(&value)));
  headless::fail("IDirectSoundBuffer::GetCurrentPosition");
  EXPECT_TRUE(FAILED(b->GetCurrentPosition(&value, nullptr)));
  headless::fail("IDirectSoundBuffer::Play");
  EXPECT_TRUE(FAILED(b->Play(0, 0, 0)));
  void* p = nullptr;
  headless::fail("IDirectSoundBuffer::Lock");
  EXPECT_TRUE(FAILED(b->Lock(0, 10, &p, &value, nullptr, nullptr, 0)));

  DSBUFFERDESC pd{};
  pd.dwSize = sizeof pd;
  pd.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&pd, &primary, nullptr), DS_OK);
  headless::fail("IDirectSoundBuffer::SetFormat");
  EXPECT_TRUE(FAILED(primary->SetFormat(&f)));
  primary->Release();
  b->Release();
  EXPECT_EQ(ds->Release(), 0u);
  EXPECT_FALSE(headless::audio_open());  // the last user closed the output
}

}  // namespace
