// Stand-in for DirectSound 8: the device, primary and secondary sound
// buffers, notifications and the 3D interfaces the program asks for, played
// through a software mixer on the backend's audio thread.
//
// Declarations mirror the platform's own (names, parameter types, constness,
// structure layouts and values) so the same program code compiles against
// the real headers. Only what the program calls is declared.
#pragma once

#include "windows.h"
#include "mmsystem.h"

#ifndef DIRECTSOUND_VERSION
#define DIRECTSOUND_VERSION 0x0800
#endif

// ---- Vectors (shared with the Direct3D headers) ----------------------------

#ifndef D3DVALUE_DEFINED
#define D3DVALUE_DEFINED
typedef float D3DVALUE, *LPD3DVALUE;
#endif

#ifndef D3DVECTOR_DEFINED
#define D3DVECTOR_DEFINED
typedef struct _D3DVECTOR {
  float x;
  float y;
  float z;
} D3DVECTOR;
#endif
typedef D3DVECTOR* LPD3DVECTOR;

#ifndef GUID_NULL_DEFINED
#define GUID_NULL_DEFINED
inline const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
#endif

// ---- Interface identifiers and 3D algorithms --------------------------------

inline const GUID IID_IDirectSound = {
    0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline const GUID IID_IDirectSound8 = {
    0xC50A7E93, 0xF395, 0x4834, {0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66}};
inline const GUID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline const GUID IID_IDirectSound3DListener = {
    0x279AFA84, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline const GUID IID_IDirectSound3DBuffer = {
    0x279AFA86, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline const GUID IID_IDirectSoundNotify = {
    0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};

#define DS3DALG_DEFAULT GUID_NULL
inline const GUID DS3DALG_NO_VIRTUALIZATION = {
    0xC241333F, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
inline const GUID DS3DALG_HRTF_FULL = {
    0xC2413340, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
inline const GUID DS3DALG_HRTF_LIGHT = {
    0xC2413342, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};

// ---- Result codes -------------------------------------------------------------

#define _FACDS 0x878
#define MAKE_DSHRESULT(code) MAKE_HRESULT(1, _FACDS, code)

#define DS_OK S_OK
// The buffer was made, but with another 3D algorithm than the one asked for.
#define DS_NO_VIRTUALIZATION MAKE_HRESULT(0, _FACDS, 10)

#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_ALREADYINITIALIZED MAKE_DSHRESULT(130)
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)
#define DSERR_OTHERAPPHASPRIO MAKE_DSHRESULT(160)
#define DSERR_UNINITIALIZED MAKE_DSHRESULT(170)
#define DSERR_NOINTERFACE E_NOINTERFACE
#define DSERR_ACCESSDENIED E_ACCESSDENIED
#define DSERR_BUFFERTOOSMALL MAKE_DSHRESULT(180)
#define DSERR_DS8_REQUIRED MAKE_DSHRESULT(190)
#define DSERR_SENDLOOP MAKE_DSHRESULT(200)
#define DSERR_BADSENDBUFFERGUID MAKE_DSHRESULT(210)
#define DSERR_FXUNAVAILABLE MAKE_DSHRESULT(220)
#define DSERR_OBJECTNOTFOUND MAKE_DSHRESULT(4449)

// ---- Constants -------------------------------------------------------------------

// Cooperative levels
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

// Buffer capabilities (DSBUFFERDESC.dwFlags)
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_CTRLFX 0x00000200
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000
#define DSBCAPS_LOCDEFER 0x00040000
#define DSBCAPS_TRUEPLAYPOSITION 0x00080000

// Buffer status (GetStatus)
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBSTATUS_LOCHARDWARE 0x00000008
#define DSBSTATUS_LOCSOFTWARE 0x00000010
#define DSBSTATUS_TERMINATED 0x00000020

// Play flags
#define DSBPLAY_LOOPING 0x00000001
#define DSBPLAY_LOCHARDWARE 0x00000002
#define DSBPLAY_LOCSOFTWARE 0x00000004
#define DSBPLAY_TERMINATEBY_TIME 0x00000008
#define DSBPLAY_TERMINATEBY_DISTANCE 0x000000010
#define DSBPLAY_TERMINATEBY_PRIORITY 0x000000020

// Lock flags
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

// Volume in hundredths of a decibel, pan from full left to full right,
// frequency in samples per second (0: the buffer's own rate).
#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT -10000
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

// Notification offset that fires when the buffer stops
#define DSBPN_OFFSETSTOP 0xFFFFFFFF

// 3D
#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001
#define DS3DMODE_NORMAL 0x00000000
#define DS3DMODE_HEADRELATIVE 0x00000001
#define DS3DMODE_DISABLE 0x00000002
#define DS3D_DEFAULTMINDISTANCE 1.0f
#define DS3D_DEFAULTMAXDISTANCE 1000000000.0f
#define DS3D_DEFAULTCONEANGLE 360
#define DS3D_DEFAULTCONEOUTSIDEVOLUME DSBVOLUME_MAX

// ---- Records -------------------------------------------------------------------------

typedef struct _DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

typedef struct _DSBPOSITIONNOTIFY {
  DWORD dwOffset;
  HANDLE hEventNotify;
} DSBPOSITIONNOTIFY, *LPDSBPOSITIONNOTIFY;
typedef const DSBPOSITIONNOTIFY* LPCDSBPOSITIONNOTIFY;

typedef struct _DS3DBUFFER {
  DWORD dwSize;
  D3DVECTOR vPosition;
  D3DVECTOR vVelocity;
  DWORD dwInsideConeAngle;
  DWORD dwOutsideConeAngle;
  D3DVECTOR vConeOrientation;
  LONG lConeOutsideVolume;
  D3DVALUE flMinDistance;
  D3DVALUE flMaxDistance;
  DWORD dwMode;
} DS3DBUFFER, *LPDS3DBUFFER;
typedef const DS3DBUFFER* LPCDS3DBUFFER;

// ---- Interfaces -------------------------------------------------------------------------

struct IDirectSoundBuffer;
struct IDirectSound3DBuffer;
struct IDirectSound3DListener;
struct IDirectSoundNotify;
struct IDirectSound;
struct IDirectSound8;
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;
typedef IDirectSoundNotify* LPDIRECTSOUNDNOTIFY;
typedef IDirectSound* LPDIRECTSOUND;
typedef IDirectSound8* LPDIRECTSOUND8;

// A primary or secondary sound buffer. QueryInterface gives
// IDirectSoundNotify (secondary buffers with DSBCAPS_CTRLPOSITIONNOTIFY),
// IDirectSound3DBuffer (secondary with DSBCAPS_CTRL3D) and
// IDirectSound3DListener (primary with DSBCAPS_CTRL3D).
struct IDirectSoundBuffer : public IUnknown {
  // Play cursor and write cursor, byte offsets into the buffer; either out may be NULL.
  STDMETHOD(GetCurrentPosition)(LPDWORD pdwCurrentPlayCursor, LPDWORD pdwCurrentWriteCursor) PURE;
  STDMETHOD(GetFrequency)(LPDWORD pdwFrequency) PURE;
  STDMETHOD(GetStatus)(LPDWORD pdwStatus) PURE;
  // One region up to the end of the buffer, a second from its start when
  // the range wraps (ppvAudioPtr2 may be NULL when no wrap is wanted).
  STDMETHOD(Lock)
  (DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1, LPVOID* ppvAudioPtr2,
   LPDWORD pdwAudioBytes2, DWORD dwFlags) PURE;
  STDMETHOD(Play)(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags) PURE;
  STDMETHOD(SetCurrentPosition)(DWORD dwNewPosition) PURE;
  // Primary buffer only: the format the mixer puts out.
  STDMETHOD(SetFormat)(LPCWAVEFORMATEX pcfxFormat) PURE;
  STDMETHOD(SetVolume)(LONG lVolume) PURE;
  STDMETHOD(SetPan)(LONG lPan) PURE;
  STDMETHOD(SetFrequency)(DWORD dwFrequency) PURE;
  STDMETHOD(Stop)(THIS) PURE;
  STDMETHOD(Unlock)(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioBytes2) PURE;
  // Gives a lost buffer its memory back (contents undefined, to be rewritten).
  STDMETHOD(Restore)(THIS) PURE;
};

struct IDirectSoundNotify : public IUnknown {
  // Each event is set as the play cursor passes its offset.
  STDMETHOD(SetNotificationPositions)(DWORD dwPositionNotifies, LPCDSBPOSITIONNOTIFY pcPositionNotifies) PURE;
};

struct IDirectSound3DBuffer : public IUnknown {
  STDMETHOD(SetAllParameters)(LPCDS3DBUFFER pcDs3dBuffer, DWORD dwApply) PURE;
};

// The listener of the primary buffer; the program only holds and releases it.
struct IDirectSound3DListener : public IUnknown {};

struct IDirectSound : public IUnknown {
  STDMETHOD(CreateSoundBuffer)
  (LPCDSBUFFERDESC pcDSBufferDesc, LPDIRECTSOUNDBUFFER* ppDSBuffer, LPUNKNOWN pUnkOuter) PURE;
  STDMETHOD(DuplicateSoundBuffer)
  (LPDIRECTSOUNDBUFFER pDSBufferOriginal, LPDIRECTSOUNDBUFFER* ppDSBufferDuplicate) PURE;
  STDMETHOD(SetCooperativeLevel)(HWND hwnd, DWORD dwLevel) PURE;
};

struct IDirectSound8 : public IDirectSound {};

// Creates the device object for the default output (pcGuidDevice NULL);
// pUnkOuter must be NULL.
HRESULT WINAPI DirectSoundCreate8(LPCGUID pcGuidDevice, LPDIRECTSOUND8* ppDS8, LPUNKNOWN pUnkOuter);
