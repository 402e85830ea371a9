// Every platform call that a test can make fail, listed once: the name a
// test gives headless::fail() and the result the failed call gives.
//
// The stand-in asks fault_point::fails(point) where the call would fail and,
// when the answer is yes, returns point.result (or, for a call that gives no
// result code, the failure value named in its note). Only a test arms a
// point, in the registry (platform/fault_registry.h), which refuses a name
// that is not on this list, so a misspelt name cannot silently test nothing.
#pragma once

#include <cstdint>

#include "d3d9.h"
#include "d3dx9.h"
#include "dinput.h"
#include "dsound.h"
#include "mmsystem.h"
#include "platform/fault_registry.h"

struct FaultPoint {
  const char* name;  // the platform call's own; a qualifier after a dot where one call has several points
  int32_t result;    // what the failed call returns: an HRESULT, an MMRESULT or a LONG
};

// clang-format off
// X(constant, name, result). Calls whose failure is not a result code carry
// 0 and a note.
#define QUARRELO_FAULT_POINTS(X)                                                                               \
  /* win32 */                                                                                                  \
  X(kRegisterClassExA, "RegisterClassExA", 0)     /* the call gives atom 0 */                                 \
  X(kCreateWindowExA, "CreateWindowExA", 0)       /* the call gives no window */                              \
  X(kFindResourceA, "FindResourceA", 0)           /* the call gives null */                                   \
  X(kLoadResource, "LoadResource", 0)             /* the call gives null */                                   \
  X(kLockResource, "LockResource", 0)             /* the call gives null */                                   \
  X(kCreateEventA, "CreateEventA", 0)             /* the call gives null */                                   \
  /* d3d9 and d3dx9 */                                                                                         \
  X(kDirect3DCreate9, "Direct3DCreate9", 0)       /* the call gives null */                                   \
  X(kCreateDevice, "IDirect3D9::CreateDevice", D3DERR_NOTAVAILABLE)                                           \
  X(kBeginScene, "IDirect3DDevice9::BeginScene", D3DERR_INVALIDCALL)                                          \
  /* A Reset that cannot take the display back: the device stays lost. */                                     \
  X(kReset, "IDirect3DDevice9::Reset", D3DERR_DEVICELOST)                                                     \
  /* Asked when a device that is not lost makes a default-pool surface or */                                  \
  /* texture: the device is lost from there on, as when another program */                                    \
  /* takes the display for a moment; Present answers D3DERR_DEVICELOST */                                     \
  /* and TestCooperativeLevel asks for a Reset. */                                                            \
  X(kDeviceLost, "IDirect3DDevice9::Lost", D3DERR_DEVICELOST)                                                 \
  /* A device fault the program cannot cure (the driver's own error). */                                     \
  X(kTestCooperativeLevel, "IDirect3DDevice9::TestCooperativeLevel", D3DERR_DRIVERINTERNALERROR)              \
  X(kGetBackBuffer, "IDirect3DDevice9::GetBackBuffer", D3DERR_INVALIDCALL)                                    \
  X(kCreateOffscreenPlainSurface, "IDirect3DDevice9::CreateOffscreenPlainSurface", D3DERR_OUTOFVIDEOMEMORY)   \
  X(kD3DXCreateSprite, "D3DXCreateSprite", E_OUTOFMEMORY)                                                     \
  X(kOnResetDevice, "ID3DXSprite::OnResetDevice", D3DERR_OUTOFVIDEOMEMORY)                                    \
  X(kD3DXLoadSurfaceFromFileA, "D3DXLoadSurfaceFromFileA", D3DXERR_INVALIDDATA)                               \
  X(kD3DXCreateTextureFromFileExA, "D3DXCreateTextureFromFileExA", D3DERR_OUTOFVIDEOMEMORY)                   \
  /* dinput */                                                                                                 \
  X(kDirectInput8Create, "DirectInput8Create", DIERR_GENERIC)                                                 \
  X(kCreateDeviceMouse, "IDirectInput8A::CreateDevice.mouse", DIERR_DEVICENOTREG)                             \
  X(kCreateDeviceKeyboard, "IDirectInput8A::CreateDevice.keyboard", DIERR_DEVICENOTREG)                       \
  X(kSetDataFormatMouse, "IDirectInputDevice8A::SetDataFormat.mouse", DIERR_GENERIC)                          \
  X(kSetDataFormatKeyboard, "IDirectInputDevice8A::SetDataFormat.keyboard", DIERR_GENERIC)                    \
  X(kSetCooperativeLevelMouse, "IDirectInputDevice8A::SetCooperativeLevel.mouse", DIERR_GENERIC)              \
  X(kSetCooperativeLevelKeyboard, "IDirectInputDevice8A::SetCooperativeLevel.keyboard", DIERR_GENERIC)        \
  X(kAcquireMouse, "IDirectInputDevice8A::Acquire.mouse", DIERR_OTHERAPPHASPRIO)                              \
  X(kAcquireKeyboard, "IDirectInputDevice8A::Acquire.keyboard", DIERR_OTHERAPPHASPRIO)                        \
  /* dsound */                                                                                                 \
  X(kDirectSoundCreate8, "DirectSoundCreate8", DSERR_NODRIVER)                                                \
  X(kSoundSetCooperativeLevel, "IDirectSound8::SetCooperativeLevel", DSERR_ALLOCATED)                         \
  X(kCreateSoundBuffer, "IDirectSound8::CreateSoundBuffer", DSERR_OUTOFMEMORY)                                \
  X(kDuplicateSoundBuffer, "IDirectSound8::DuplicateSoundBuffer", DSERR_OUTOFMEMORY)                          \
  X(kSetFormat, "IDirectSoundBuffer::SetFormat", DSERR_BADFORMAT)                                             \
  X(kBufferQueryInterface, "IDirectSoundBuffer::QueryInterface", E_NOINTERFACE)                               \
  X(kGetStatus, "IDirectSoundBuffer::GetStatus", DSERR_INVALIDPARAM)                                          \
  X(kGetCurrentPosition, "IDirectSoundBuffer::GetCurrentPosition", DSERR_INVALIDPARAM)                        \
  X(kLock, "IDirectSoundBuffer::Lock", DSERR_INVALIDCALL)                                                     \
  X(kPlay, "IDirectSoundBuffer::Play", DSERR_INVALIDCALL)                                                     \
  /* Asked by GetStatus, Lock and Play of a secondary buffer that is not */                                   \
  /* lost yet: the buffer is lost. It stops, its memory is gone (reads */                                     \
  /* back as zero after Restore), GetStatus shows DSBSTATUS_BUFFERLOST, */                                    \
  /* Lock and Play answer DSERR_BUFFERLOST until Restore succeeds. */                                         \
  X(kBufferLost, "IDirectSoundBuffer::Lost", DSERR_BUFFERLOST)                                                \
  /* Asked only while the buffer is lost: fail(point, n) keeps it lost n times. */                            \
  X(kRestore, "IDirectSoundBuffer::Restore", DSERR_BUFFERLOST)                                                \
  X(kSetNotificationPositions, "IDirectSoundNotify::SetNotificationPositions", DSERR_INVALIDPARAM)            \
  X(kSetAllParameters, "IDirectSound3DBuffer::SetAllParameters", DSERR_INVALIDPARAM)                          \
  /* mmio */                                                                                                   \
  X(kMmioRead, "mmioRead", -1)                                                                                \
  X(kMmioWrite, "mmioWrite", -1)                                                                              \
  X(kMmioCreateChunk, "mmioCreateChunk", MMIOERR_CANNOTWRITE)                                                 \
  X(kMmioAscend, "mmioAscend", MMIOERR_CANNOTWRITE)                                                           \
  X(kMmioSetInfo, "mmioSetInfo", MMSYSERR_INVALHANDLE)                                                        \
  X(kMmioAdvance, "mmioAdvance", MMIOERR_CANNOTWRITE)                                                         \
  /* the core: no audio device; the output falls back to a silent one */                                      \
  X(kAudioOpen, "backend::audio_open", 0)
// clang-format on

namespace fault_point {

#define QUARRELO_FAULT_POINT_CONSTANT(constant, name, result) \
  inline constexpr FaultPoint constant{name, result};
QUARRELO_FAULT_POINTS(QUARRELO_FAULT_POINT_CONSTANT)
#undef QUARRELO_FAULT_POINT_CONSTANT

// Whether the call at `point` fails this time (as a test armed it).
inline bool fails(const FaultPoint& point) { return fault_registry::fails_now(point.name); }

#define QUARRELO_FAULT_POINT_ENTRY(constant, name, result) &constant,
// The whole list, for the registry's check of a test's names.
inline constexpr const FaultPoint* kAll[] = {QUARRELO_FAULT_POINTS(QUARRELO_FAULT_POINT_ENTRY)};
#undef QUARRELO_FAULT_POINT_ENTRY

}  // namespace fault_point
