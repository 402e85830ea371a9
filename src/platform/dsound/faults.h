// Fault points of the DirectSound stand-in, asked through backend::fault().
// The SDL backend never fails them; the headless backend fails them as a
// test scripts (headless::fail). Result of each when it fires:
//
//   "DirectSoundCreate8"                          DSERR_NODRIVER
//   "IDirectSound8::SetCooperativeLevel"          DSERR_ALLOCATED
//   "IDirectSound8::CreateSoundBuffer"            DSERR_OUTOFMEMORY
//   "IDirectSound8::DuplicateSoundBuffer"         DSERR_OUTOFMEMORY
//   "IDirectSoundBuffer::SetFormat"               DSERR_BADFORMAT
//   "IDirectSoundBuffer::QueryInterface"          E_NOINTERFACE
//   "IDirectSoundBuffer::GetStatus"               DSERR_INVALIDPARAM
//   "IDirectSoundBuffer::GetCurrentPosition"      DSERR_INVALIDPARAM
//   "IDirectSoundBuffer::Lock"                    DSERR_INVALIDCALL
//   "IDirectSoundBuffer::Play"                    DSERR_INVALIDCALL
//   "IDirectSoundBuffer::Lost"                    the buffer is lost: asked by
//       GetStatus, Lock and Play of a secondary buffer that is not lost yet.
//       A lost buffer stops, its memory is gone (reads back as zero after
//       Restore), GetStatus shows DSBSTATUS_BUFFERLOST, Lock and Play answer
//       DSERR_BUFFERLOST until Restore succeeds.
//   "IDirectSoundBuffer::Restore"                 DSERR_BUFFERLOST; asked only
//       when the buffer is lost, so fail(point, n) keeps it lost n times.
//   "IDirectSoundNotify::SetNotificationPositions" DSERR_INVALIDPARAM
//   "IDirectSound3DBuffer::SetAllParameters"      DSERR_INVALIDPARAM
#pragma once

namespace dsound::fault_point {

inline constexpr const char* kCreate = "DirectSoundCreate8";
inline constexpr const char* kSetCooperativeLevel = "IDirectSound8::SetCooperativeLevel";
inline constexpr const char* kCreateSoundBuffer = "IDirectSound8::CreateSoundBuffer";
inline constexpr const char* kDuplicateSoundBuffer = "IDirectSound8::DuplicateSoundBuffer";
inline constexpr const char* kSetFormat = "IDirectSoundBuffer::SetFormat";
inline constexpr const char* kQueryInterface = "IDirectSoundBuffer::QueryInterface";
inline constexpr const char* kGetStatus = "IDirectSoundBuffer::GetStatus";
inline constexpr const char* kGetCurrentPosition = "IDirectSoundBuffer::GetCurrentPosition";
inline constexpr const char* kLock = "IDirectSoundBuffer::Lock";
inline constexpr const char* kPlay = "IDirectSoundBuffer::Play";
inline constexpr const char* kLost = "IDirectSoundBuffer::Lost";
inline constexpr const char* kRestore = "IDirectSoundBuffer::Restore";
inline constexpr const char* kSetNotificationPositions = "IDirectSoundNotify::SetNotificationPositions";
inline constexpr const char* kSetAllParameters = "IDirectSound3DBuffer::SetAllParameters";

}  // namespace dsound::fault_point
