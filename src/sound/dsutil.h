// The sound library: the DirectSound device manager, sound clips held in one
// or more buffers, a streaming clip refilled block by block, and a reader and
// writer of RIFF WAVE files.
//
// Every operation returns a result code (negative is failure). A failed
// platform call is reported on the debugger output through TraceErrorA with
// the source name "dsutil" and the line of the failing statement, and its
// code is returned; argument and state checks return E_INVALIDARG or
// CO_E_NOTINITIALIZED without a report.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

// Modes of WaveFile::Open and WaveFile::OpenFromMemory.
#define WAVE_OPEN_READ 1
#define WAVE_OPEN_WRITE 2

class SoundClip;
class StreamingClip;

// Wave data: a RIFF WAVE file (or an embedded "WAVE"/"WAV" block of the same
// name) read in pieces, raw sample bytes held by the caller, or a new RIFF
// WAVE file written byte by byte. Each object is opened once.
class WaveFile {
 public:
  // The format record. Read mode: allocated by Open and owned by this
  // object. OpenFromMemory: the caller's record, not owned.
  WAVEFORMATEX* m_pwfx;
  // The open file, or the memory image of an embedded block; null when
  // nothing is open.
  HMMIO m_hFile;
  // Reading: the "data" chunk, whose cksize counts the sample bytes still to
  // be read. Writing: the chunk being written.
  MMCKINFO m_ckData;
  // The outer "RIFF" chunk of form type "WAVE".
  MMCKINFO m_ckWave;
  // Byte size of the "data" chunk found by Open in read mode.
  DWORD m_dwDataSize;
  // The handle's buffer state while sample bytes are written.
  MMIOINFO m_mmioinfoWrite;
  // WAVE_OPEN_READ reads; any other value writes.
  DWORD m_dwMode;
  BOOL m_bFromMemory;
  BYTE* m_pbMemData;
  BYTE* m_pbMemCursor;
  DWORD m_cbMemData;
  // Heap copy of an embedded block, read through a memory-backed handle.
  CHAR* m_pResourceCopy;

  WaveFile();
  ~WaveFile();
  WaveFile(const WaveFile&) = delete;
  WaveFile& operator=(const WaveFile&) = delete;

  // Read mode (dwMode 1): opens the named file, or else the embedded block of
  // that name, parses the format and finds the sample data. Write mode (any
  // other value): creates the named file for the format pwfx.
  HRESULT Open(LPCSTR strFileName, const WAVEFORMATEX* pwfx, DWORD dwMode);
  // Reads ulDataSize raw sample bytes at pbData in the format pwfx, both
  // kept by the caller for this object's whole life. Read mode only.
  HRESULT OpenFromMemory(BYTE* pbData, DWORD ulDataSize, WAVEFORMATEX* pwfx, DWORD dwMode);
  HRESULT Close();

  // Delivers up to dwSizeToRead sample bytes; 0 once the data is exhausted,
  // until ResetFile.
  HRESULT Read(BYTE* pBuffer, DWORD dwSizeToRead, DWORD* pdwSizeRead);
  // Appends sample bytes to a file opened for writing.
  HRESULT Write(DWORD nSizeToWrite, const BYTE* pbSrcData, DWORD* pnSizeWrote);

  DWORD GetSize() const { return m_dwDataSize; }
  // Reading: back to the first sample byte. Writing: opens the "data" chunk.
  HRESULT ResetFile();

  HRESULT ReadMMIO();
  HRESULT WriteMMIO(const WAVEFORMATEX* pwfxDest);
};

// One wave sound held in m_dwBufferCount buffers of equal size, so that it
// can sound several times at once. Owns its buffers and its wave file.
class SoundClip {
 public:
  LPDIRECTSOUNDBUFFER* m_apBuffers;
  DWORD m_dwBufferSize;
  WaveFile* m_pWave;
  DWORD m_dwBufferCount;
  DWORD m_dwCapsFlags;

  // Takes over the dwNumBuffers references in apBuffers (the caller keeps
  // its own array) and the wave file, and fills the first buffer. *phr is
  // written only on failure (E_INVALIDARG for no buffers, E_OUTOFMEMORY);
  // a clip that failed holds nothing and destroys safely.
  SoundClip(LPDIRECTSOUNDBUFFER* apBuffers, DWORD dwBufferSize, DWORD dwNumBuffers, WaveFile* pWaveFile,
            DWORD dwCapsFlags, HRESULT* phr);
  virtual ~SoundClip();
  SoundClip(const SoundClip&) = delete;
  SoundClip& operator=(const SoundClip&) = delete;

  // Copies the wave's sample data into the whole buffer: from its start,
  // then silence, or with bRepeatWavIfBufferLarger the wave again and again.
  HRESULT FillBufferWithSound(LPDIRECTSOUNDBUFFER pDSB, BOOL bRepeatWavIfBufferLarger);
  // Brings back a lost buffer (waiting while the hardware is held
  // elsewhere); S_FALSE when it was not lost.
  HRESULT RestoreBuffer(LPDIRECTSOUNDBUFFER pDSB, BOOL* pbWasRestored);
  // The first buffer that is not playing, else one drawn with rand().
  LPDIRECTSOUNDBUFFER GetFreeBuffer();
  LPDIRECTSOUNDBUFFER BufferAt(DWORD dwIndex);
  HRESULT Buffer3DAt(DWORD dwIndex, LPDIRECTSOUND3DBUFFER* ppDS3DBuffer);

  // Plays a free buffer, refilling it first if it was lost. Volume,
  // frequency (unless -1) and pan are set only when the clip's capability
  // flags allow them.
  HRESULT Start(DWORD dwPriority, DWORD dwFlags, LONG lVolume, LONG lFrequency, LONG lPan);
  HRESULT Start3D(const DS3DBUFFER* p3DBuffer, DWORD dwPriority, DWORD dwFlags, LONG lFrequencyOffset);
  HRESULT StopAll();
  HRESULT Rewind();
  BOOL IsAnyPlaying();
};

// A long wave played through one buffer of equal blocks; the owner calls
// RefillNextBlock each time the notification event says a block was played.
class StreamingClip : public SoundClip {
 public:
  DWORD m_dwPrevPlayPos;
  DWORD m_dwBytesPlayed;
  DWORD m_dwBlockSize;
  DWORD m_dwWriteCursor;
  BOOL m_bPadWithSilence;

  StreamingClip(LPDIRECTSOUNDBUFFER pDSBuffer, DWORD dwDSBufferSize, WaveFile* pWaveFile, DWORD dwBlockSize,
                HRESULT* phr);
  ~StreamingClip() override;

  // Writes the next piece of the wave into the block just played; with
  // bLooped the wave starts again from its beginning when it runs out,
  // otherwise silence follows and the buffer stops once the whole wave was
  // played.
  HRESULT RefillNextBlock(BOOL bLooped);
  // Rewinds the counters, the wave and the play position.
  HRESULT RestartStream();
};

// The process's DirectSound device and the factory of clips.
class SoundDevice {
 public:
  LPDIRECTSOUND8 m_pDevice;

  SoundDevice();
  ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  HRESULT Initialize(HWND hWnd, DWORD dwCoopLevel);
  HRESULT SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq, DWORD dwPrimaryBitRate);
  HRESULT GetListener3D(LPDIRECTSOUND3DLISTENER* ppDSListener);

  // A clip of dwNumBuffers buffers holding the named wave file. Buffers
  // beyond the first are duplicates sharing its memory, unless
  // DSBCAPS_CTRLFX asks for separate buffers.
  HRESULT Create(SoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags, GUID guid3DAlgorithm,
                 DWORD dwNumBuffers);
  // A clip of raw sample bytes in memory (kept by the caller) in the format
  // pwfx.
  HRESULT CreateFromData(SoundClip** ppSound, BYTE* pbData, ULONG ulDataSize, LPWAVEFORMATEX pwfx,
                         DWORD dwCreationFlags, GUID guid3DAlgorithm, DWORD dwNumBuffers);
  // A streaming clip of dwNotifyCount blocks of dwNotifySize bytes; hNotifyEvent
  // is signalled each time the play cursor finishes a block.
  HRESULT CreateStream(StreamingClip** ppStreamingSound, LPCSTR strWaveFileName, DWORD dwCreationFlags,
                       GUID guid3DAlgorithm, DWORD dwNotifyCount, DWORD dwNotifySize, HANDLE hNotifyEvent);
};
