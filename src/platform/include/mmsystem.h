// Stand-in for the multimedia system header: the wave format records and
// buffered RIFF file I/O (mmio) over files and over memory blocks.
//
// Declarations mirror the platform's own (names, parameter types, constness,
// structure layouts and values) so the same program code compiles against
// the real headers. Only what the program calls is declared.
#pragma once

#include <cstdio>  // SEEK_SET, SEEK_CUR, SEEK_END for mmioSeek

#include "wintypes.h"

// ---- Results ----------------------------------------------------------------

typedef UINT MMRESULT;

#define MMSYSERR_BASE 0
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR (MMSYSERR_BASE + 1)
#define MMSYSERR_BADDEVICEID (MMSYSERR_BASE + 2)
#define MMSYSERR_NOTENABLED (MMSYSERR_BASE + 3)
#define MMSYSERR_ALLOCATED (MMSYSERR_BASE + 4)
#define MMSYSERR_INVALHANDLE (MMSYSERR_BASE + 5)
#define MMSYSERR_NODRIVER (MMSYSERR_BASE + 6)
#define MMSYSERR_NOMEM (MMSYSERR_BASE + 7)
#define MMSYSERR_NOTSUPPORTED (MMSYSERR_BASE + 8)
#define MMSYSERR_BADERRNUM (MMSYSERR_BASE + 9)
#define MMSYSERR_INVALFLAG (MMSYSERR_BASE + 10)
#define MMSYSERR_INVALPARAM (MMSYSERR_BASE + 11)

#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_UNBUFFERED (MMIOERR_BASE + 10)
#define MMIOERR_PATHNOTFOUND (MMIOERR_BASE + 11)
#define MMIOERR_ACCESSDENIED (MMIOERR_BASE + 12)
#define MMIOERR_SHARINGVIOLATION (MMIOERR_BASE + 13)
#define MMIOERR_NETWORKERROR (MMIOERR_BASE + 14)
#define MMIOERR_TOOMANYOPENFILES (MMIOERR_BASE + 15)
#define MMIOERR_INVALIDFILE (MMIOERR_BASE + 16)

// ---- Wave format records (byte-packed, little-endian) ---------------------------

#pragma pack(push, 1)

typedef struct waveformat_tag {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
} WAVEFORMAT, *PWAVEFORMAT, *NPWAVEFORMAT, *LPWAVEFORMAT;

typedef struct pcmwaveformat_tag {
  WAVEFORMAT wf;
  WORD wBitsPerSample;
} PCMWAVEFORMAT, *PPCMWAVEFORMAT, *NPPCMWAVEFORMAT, *LPPCMWAVEFORMAT;

typedef struct tWAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;  // count of format-specific bytes that follow the record
} WAVEFORMATEX, *PWAVEFORMATEX, *NPWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

#pragma pack(pop)

#define WAVE_FORMAT_PCM 1

// ---- Four-character codes -------------------------------------------------------

typedef DWORD FOURCC;

#define mmioFOURCC(ch0, ch1, ch2, ch3) \
  ((DWORD)(BYTE)(ch0) | ((DWORD)(BYTE)(ch1) << 8) | ((DWORD)(BYTE)(ch2) << 16) | ((DWORD)(BYTE)(ch3) << 24))
#ifndef MAKEFOURCC
#define MAKEFOURCC(ch0, ch1, ch2, ch3) mmioFOURCC(ch0, ch1, ch2, ch3)
#endif

#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_DOS mmioFOURCC('D', 'O', 'S', ' ')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')

// ---- Buffered file I/O ---------------------------------------------------------------

DECLARE_HANDLE(HMMIO);
typedef char* HPSTR;
typedef HANDLE HTASK;

typedef LRESULT(CALLBACK MMIOPROC)(LPSTR lpmmioinfo, UINT uMsg, LPARAM lParam1, LPARAM lParam2);
typedef MMIOPROC* LPMMIOPROC;

// The state of an open handle. With a buffered handle, pchNext is the next
// byte to read or write inside [pchBuffer, pchBuffer + cchBuffer);
// pchEndRead ends the bytes that are valid for reading and pchEndWrite the
// space that may be written. lBufOffset is the file offset of pchBuffer.
// Byte-packed like every record of the multimedia header (100 bytes on x64).
#pragma pack(push, 1)
typedef struct _MMIOINFO {
  DWORD dwFlags;
  FOURCC fccIOProc;
  LPMMIOPROC pIOProc;
  UINT wErrorRet;
  HTASK htask;
  LONG cchBuffer;
  HPSTR pchBuffer;
  HPSTR pchNext;
  HPSTR pchEndRead;
  HPSTR pchEndWrite;
  LONG lBufOffset;
  LONG lDiskOffset;
  DWORD adwInfo[3];
  DWORD dwReserved1;
  DWORD dwReserved2;
  HMMIO hmmio;
} MMIOINFO, *PMMIOINFO, *NPMMIOINFO, *LPMMIOINFO;
typedef const MMIOINFO* LPCMMIOINFO;

// One RIFF chunk: id, body size, form type ("RIFF" and "LIST" only), file
// offset of the body, and MMIO_DIRTY when the size must be written back.
typedef struct _MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;
  DWORD dwDataOffset;
  DWORD dwFlags;
} MMCKINFO, *PMMCKINFO, *NPMMCKINFO, *LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;
#pragma pack(pop)

// mmioOpenA access and creation flags
#define MMIO_RWMODE 0x00000003
#define MMIO_SHAREMODE 0x00000070
#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_COMPAT 0x00000000
#define MMIO_EXCLUSIVE 0x00000010
#define MMIO_DENYWRITE 0x00000020
#define MMIO_DENYREAD 0x00000030
#define MMIO_DENYNONE 0x00000040
#define MMIO_CREATE 0x00001000
#define MMIO_PARSE 0x00000100
#define MMIO_DELETE 0x00000200
#define MMIO_EXIST 0x00004000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_GETTEMP 0x00020000

// MMIOINFO.dwFlags / MMCKINFO.dwFlags: buffer or chunk size needs writing
#define MMIO_DIRTY 0x10000000

// mmioClose
#define MMIO_FHOPEN 0x0010
// mmioDescend
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
// mmioCreateChunk
#define MMIO_CREATERIFF 0x0020
#define MMIO_CREATELIST 0x0040

// Size of the buffer MMIO_ALLOCBUF gives when no size is asked for.
#define MMIO_DEFAULTBUFFER 8192

// Opens a file by name (no info, or info with fccIOProc 0 and pIOProc null),
// or a memory block (info with fccIOProc FOURCC_MEM, pchBuffer and cchBuffer
// describing the block; the block is the handle's buffer). NULL on failure,
// with the reason in the info's wErrorRet when info is given.
HMMIO WINAPI mmioOpenA(LPSTR pszFileName, LPMMIOINFO pmmioinfo, DWORD fdwOpen);
#define mmioOpen mmioOpenA
// Writes back a dirty buffer and releases the handle.
MMRESULT WINAPI mmioClose(HMMIO hmmio, UINT fuClose);
// Bytes read (0 at the end of the file), -1 on error.
LONG WINAPI mmioRead(HMMIO hmmio, HPSTR pch, LONG cch);
// Bytes written, -1 on error.
LONG WINAPI mmioWrite(HMMIO hmmio, const char* pch, LONG cch);
// The new position from the start of the file, -1 on error.
LONG WINAPI mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin);
// Direct access to the handle's buffer; give it back with mmioSetInfo.
MMRESULT WINAPI mmioGetInfo(HMMIO hmmio, LPMMIOINFO pmmioinfo, UINT fuInfo);
MMRESULT WINAPI mmioSetInfo(HMMIO hmmio, LPCMMIOINFO pmmioinfo, UINT fuInfo);
// MMIO_READ refills the buffer from the file; MMIO_WRITE stores a buffer the
// caller marked MMIO_DIRTY and gives an empty one.
MMRESULT WINAPI mmioAdvance(HMMIO hmmio, LPMMIOINFO pmmioinfo, UINT fuAdvance);
// Enters the chunk at the current position, or with MMIO_FINDCHUNK /
// MMIO_FINDRIFF / MMIO_FINDLIST the first matching chunk before the end of
// the parent (or of the file); MMIOERR_CHUNKNOTFOUND when there is none.
MMRESULT WINAPI mmioDescend(HMMIO hmmio, LPMMCKINFO pmmcki, const MMCKINFO* pmmckiParent, UINT fuDescend);
// Leaves the chunk: past its body and pad byte; a chunk made by
// mmioCreateChunk gets its true size and pad byte written first.
MMRESULT WINAPI mmioAscend(HMMIO hmmio, LPMMCKINFO pmmcki, UINT fuAscend);
// Writes a chunk header (and the form type for RIFF and LIST) at the current
// position and enters the chunk.
MMRESULT WINAPI mmioCreateChunk(HMMIO hmmio, LPMMCKINFO pmmcki, UINT fuCreate);
