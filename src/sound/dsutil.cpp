// The sound library: wave file, sound clips, streaming clip and sound device.
// Kept in one source file so that every "dsutil(<line>)" on the debugger
// output points at exactly one statement.
#include "sound/dsutil.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "trace/error_trace.h"

// Reports a failed step with the line of the statement that failed and
// evaluates to the code, so a caller can `return DSUTIL_TRACE(...)`.
#define DSUTIL_TRACE(what, hr) TraceErrorA("dsutil", __LINE__, (hr), (what), FALSE)

namespace {

constexpr FOURCC kFourccWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFourccFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kFourccData = mmioFOURCC('d', 'a', 't', 'a');
constexpr FOURCC kFourccFact = mmioFOURCC('f', 'a', 'c', 't');

// A format record is allocated as raw bytes: 18 plus its extra bytes.
WAVEFORMATEX* AllocFormat(DWORD cbExtraBytes) {
  return reinterpret_cast<WAVEFORMATEX*>(new (std::nothrow) BYTE[sizeof(WAVEFORMATEX) + cbExtraBytes]);
}

void FreeFormat(WAVEFORMATEX* pwfx) { delete[] reinterpret_cast<BYTE*>(pwfx); }

// The byte that sounds as silence: 128 for 8-bit samples, 0 otherwise.
BYTE SilenceOf(const WaveFile* pWave) {
  return (pWave != nullptr && pWave->m_pwfx != nullptr && pWave->m_pwfx->wBitsPerSample == 8) ? 128 : 0;
}

void ReleaseAll(LPDIRECTSOUNDBUFFER* apBuffers, DWORD dwCount) {
  for (DWORD i = 0; i < dwCount; i++) {
    if (apBuffers[i] != nullptr) {
      apBuffers[i]->Release();
      apBuffers[i] = nullptr;
    }
  }
}

void ClearDesc(DSBUFFERDESC& dsbd) {
  std::memset(&dsbd, 0, sizeof(dsbd));
  dsbd.dwSize = sizeof(DSBUFFERDESC);
}

}  // namespace

// ---- WaveFile ---------------------------------------------------------------

WaveFile::WaveFile()
    : m_pwfx(nullptr),
      m_hFile(nullptr),
      m_ckData{},
      m_ckWave{},
      m_dwDataSize(0),
      m_mmioinfoWrite{},
      m_dwMode(WAVE_OPEN_READ),
      m_bFromMemory(FALSE),
      m_pbMemData(nullptr),
      m_pbMemCursor(nullptr),
      m_cbMemData(0),
      m_pResourceCopy(nullptr) {}

WaveFile::~WaveFile() {
  Close();
  // A write-mode Close that failed leaves the handle open; do not leak it.
  if (m_hFile != nullptr) {
    mmioClose(m_hFile, 0);
    m_hFile = nullptr;
  }
  delete[] m_pResourceCopy;
  if (!m_bFromMemory) FreeFormat(m_pwfx);
  m_pwfx = nullptr;
}

HRESULT WaveFile::Open(LPCSTR strFileName, const WAVEFORMATEX* pwfx, DWORD dwMode) {
  HRESULT hr;
  // A format record from OpenFromMemory is the caller's: let go of it
  // without freeing it, in either mode.
  if (m_bFromMemory) m_pwfx = nullptr;
  m_dwMode = dwMode;
  m_bFromMemory = FALSE;

  if (m_dwMode == WAVE_OPEN_READ) {
    if (strFileName == nullptr) return E_INVALIDARG;
    FreeFormat(m_pwfx);
    m_pwfx = nullptr;

    m_hFile = mmioOpenA(const_cast<LPSTR>(strFileName), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (m_hFile == nullptr) {
      // No such file: an embedded block of that name stands in for it.
      HRSRC hResInfo = FindResourceA(nullptr, strFileName, "WAVE");
      if (hResInfo == nullptr) hResInfo = FindResourceA(nullptr, strFileName, "WAV");
      if (hResInfo == nullptr) return DSUTIL_TRACE("FindResource", E_FAIL);
      HGLOBAL hResData = LoadResource(nullptr, hResInfo);
      if (hResData == nullptr) return DSUTIL_TRACE("LoadResource", E_FAIL);
      const DWORD dwSize = SizeofResource(nullptr, hResInfo);
      if (dwSize == 0) return DSUTIL_TRACE("SizeofResource", E_FAIL);
      const void* pvRes = LockResource(hResData);
      if (pvRes == nullptr) return DSUTIL_TRACE("LockResource", E_FAIL);

      delete[] m_pResourceCopy;
      m_pResourceCopy = new (std::nothrow) CHAR[dwSize];
      if (m_pResourceCopy == nullptr) return DSUTIL_TRACE("new", E_OUTOFMEMORY);
      std::memcpy(m_pResourceCopy, pvRes, dwSize);

      MMIOINFO mmioInfo;
      std::memset(&mmioInfo, 0, sizeof(mmioInfo));
      mmioInfo.fccIOProc = FOURCC_MEM;
      mmioInfo.cchBuffer = static_cast<LONG>(dwSize);
      mmioInfo.pchBuffer = m_pResourceCopy;
      m_hFile = mmioOpenA(nullptr, &mmioInfo, MMIO_ALLOCBUF | MMIO_READ);
    }

    if (FAILED(hr = ReadMMIO())) {
      if (m_hFile != nullptr) mmioClose(m_hFile, 0);
      m_hFile = nullptr;
      return DSUTIL_TRACE("ReadMMIO", hr);
    }
    if (FAILED(hr = ResetFile())) return DSUTIL_TRACE("ResetFile", hr);

    m_dwDataSize = m_ckData.cksize;
    return S_OK;
  }

  if (strFileName == nullptr || pwfx == nullptr) return E_INVALIDARG;
  m_hFile = mmioOpenA(const_cast<LPSTR>(strFileName), nullptr, MMIO_ALLOCBUF | MMIO_READWRITE | MMIO_CREATE);
  if (m_hFile == nullptr) return DSUTIL_TRACE("mmioOpen", E_FAIL);

  if (FAILED(hr = WriteMMIO(pwfx))) {
    mmioClose(m_hFile, 0);
    m_hFile = nullptr;
    return DSUTIL_TRACE("WriteMMIO", hr);
  }
  if (FAILED(hr = ResetFile())) return DSUTIL_TRACE("ResetFile", hr);
  return S_OK;
}

HRESULT WaveFile::OpenFromMemory(BYTE* pbData, DWORD ulDataSize, WAVEFORMATEX* pwfx, DWORD dwMode) {
  if (!m_bFromMemory) FreeFormat(m_pwfx);
  m_pwfx = pwfx;
  m_cbMemData = ulDataSize;
  m_pbMemData = pbData;
  m_pbMemCursor = m_pbMemData;
  m_bFromMemory = TRUE;
  if (dwMode != WAVE_OPEN_READ) return E_NOTIMPL;
  return S_OK;
}

HRESULT WaveFile::ReadMMIO() {
  MMCKINFO ckIn;
  PCMWAVEFORMAT pcmWaveFormat;

  m_pwfx = nullptr;

  if (m_hFile == nullptr || mmioDescend(m_hFile, &m_ckWave, nullptr, 0) != 0)
    return DSUTIL_TRACE("mmioDescend", E_FAIL);
  if (m_ckWave.ckid != FOURCC_RIFF || m_ckWave.fccType != kFourccWave)
    return DSUTIL_TRACE("mmioFOURCC", E_FAIL);

  std::memset(&ckIn, 0, sizeof(ckIn));
  ckIn.ckid = kFourccFmt;
  if (mmioDescend(m_hFile, &ckIn, &m_ckWave, MMIO_FINDCHUNK) != 0) return DSUTIL_TRACE("mmioDescend", E_FAIL);
  if (ckIn.cksize < sizeof(PCMWAVEFORMAT)) return DSUTIL_TRACE("sizeof(PCMWAVEFORMAT)", E_FAIL);
  if (mmioRead(m_hFile, reinterpret_cast<HPSTR>(&pcmWaveFormat), sizeof(pcmWaveFormat)) !=
      sizeof(pcmWaveFormat))
    return DSUTIL_TRACE("mmioRead", E_FAIL);

  if (pcmWaveFormat.wf.wFormatTag == WAVE_FORMAT_PCM) {
    m_pwfx = AllocFormat(0);
    if (m_pwfx == nullptr) return DSUTIL_TRACE("m_pwfx", E_FAIL);
    std::memcpy(m_pwfx, &pcmWaveFormat, sizeof(pcmWaveFormat));
    m_pwfx->cbSize = 0;
  } else {
    WORD cbExtraBytes = 0;
    if (mmioRead(m_hFile, reinterpret_cast<HPSTR>(&cbExtraBytes), sizeof(WORD)) != sizeof(WORD))
      return DSUTIL_TRACE("mmioRead", E_FAIL);
    m_pwfx = AllocFormat(cbExtraBytes);
    if (m_pwfx == nullptr) return DSUTIL_TRACE("new", E_FAIL);
    std::memcpy(m_pwfx, &pcmWaveFormat, sizeof(pcmWaveFormat));
    m_pwfx->cbSize = cbExtraBytes;
    HPSTR pExtra = reinterpret_cast<HPSTR>(m_pwfx) + sizeof(WAVEFORMATEX);
    if (mmioRead(m_hFile, pExtra, cbExtraBytes) != cbExtraBytes) {
      FreeFormat(m_pwfx);
      m_pwfx = nullptr;
      return DSUTIL_TRACE("mmioRead", E_FAIL);
    }
  }

  if (mmioAscend(m_hFile, &ckIn, 0) != 0) {
    FreeFormat(m_pwfx);
    m_pwfx = nullptr;
    return DSUTIL_TRACE("mmioAscend", E_FAIL);
  }
  return S_OK;
}

HRESULT WaveFile::ResetFile() {
  if (m_bFromMemory) {
    m_pbMemCursor = m_pbMemData;
    return S_OK;
  }
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;

  if (m_dwMode == WAVE_OPEN_READ) {
    // Just after the form type; the "data" search restores the count of
    // bytes left to the whole data size.
    if (mmioSeek(m_hFile, static_cast<LONG>(m_ckWave.dwDataOffset + sizeof(FOURCC)), SEEK_SET) == -1)
      return DSUTIL_TRACE("mmioSeek", E_FAIL);
    m_ckData.ckid = kFourccData;
    if (mmioDescend(m_hFile, &m_ckData, &m_ckWave, MMIO_FINDCHUNK) != 0)
      return DSUTIL_TRACE("mmioDescend", E_FAIL);
    return S_OK;
  }

  m_ckData.ckid = kFourccData;
  m_ckData.cksize = 0;
  if (mmioCreateChunk(m_hFile, &m_ckData, 0) != 0) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
  if (mmioGetInfo(m_hFile, &m_mmioinfoWrite, 0) != 0) return DSUTIL_TRACE("mmioGetInfo", E_FAIL);
  return S_OK;
}

HRESULT WaveFile::Read(BYTE* pBuffer, DWORD dwSizeToRead, DWORD* pdwSizeRead) {
  if (m_bFromMemory) {
    if (m_pbMemCursor == nullptr) return CO_E_NOTINITIALIZED;
    if (pdwSizeRead != nullptr) *pdwSizeRead = 0;
    const DWORD dwConsumed = static_cast<DWORD>(m_pbMemCursor - m_pbMemData);
    const DWORD dwLeft = m_cbMemData - dwConsumed;
    const DWORD dwCount = std::min(dwSizeToRead, dwLeft);
    if (dwCount > 0) {
      if (pBuffer == nullptr) return E_INVALIDARG;
      std::memcpy(pBuffer, m_pbMemCursor, dwCount);
    }
    m_pbMemCursor += dwCount;
    if (pdwSizeRead != nullptr) *pdwSizeRead = dwCount;
    return S_OK;
  }

  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  if (pBuffer == nullptr || pdwSizeRead == nullptr) return E_INVALIDARG;
  *pdwSizeRead = 0;

  MMIOINFO mmioinfoIn;
  if (mmioGetInfo(m_hFile, &mmioinfoIn, 0) != 0) return DSUTIL_TRACE("mmioGetInfo", E_FAIL);

  const DWORD cbDataIn = std::min(dwSizeToRead, m_ckData.cksize);
  m_ckData.cksize -= cbDataIn;

  // Straight out of the handle's buffer, a run at a time, refilling it only
  // when it is exhausted.
  DWORD cbCopied = 0;
  while (cbCopied < cbDataIn) {
    const DWORD cbLeft = cbDataIn - cbCopied;
    if (mmioinfoIn.pchNext >= mmioinfoIn.pchEndRead && mmioinfoIn.cchBuffer > 0 &&
        cbLeft >= static_cast<DWORD>(mmioinfoIn.cchBuffer)) {
      // At least a whole buffer is still wanted: the file delivers it
      // straight into the caller's memory instead of buffer by buffer.
      if (mmioSetInfo(m_hFile, &mmioinfoIn, 0) != 0) return DSUTIL_TRACE("mmioSetInfo", E_FAIL);
      const LONG cbRead = mmioRead(m_hFile, reinterpret_cast<HPSTR>(pBuffer + cbCopied),
                                   static_cast<LONG>(std::min<DWORD>(cbLeft, 0x40000000)));
      if (mmioGetInfo(m_hFile, &mmioinfoIn, 0) != 0) return DSUTIL_TRACE("mmioGetInfo", E_FAIL);
      if (cbRead < 0) return DSUTIL_TRACE("mmioRead", E_FAIL);
      // No bytes left in the file: the same end as a refill that brings none.
      if (cbRead == 0) return DSUTIL_TRACE("mmioinfoIn.pchNext", E_FAIL);
      cbCopied += static_cast<DWORD>(cbRead);
      continue;
    }
    if (mmioinfoIn.pchNext >= mmioinfoIn.pchEndRead) {
      if (mmioAdvance(m_hFile, &mmioinfoIn, MMIO_READ) != 0) return DSUTIL_TRACE("mmioAdvance", E_FAIL);
      if (mmioinfoIn.pchNext >= mmioinfoIn.pchEndRead) return DSUTIL_TRACE("mmioinfoIn.pchNext", E_FAIL);
    }
    const DWORD cbRun = std::min(static_cast<DWORD>(mmioinfoIn.pchEndRead - mmioinfoIn.pchNext), cbLeft);
    std::memcpy(pBuffer + cbCopied, mmioinfoIn.pchNext, cbRun);
    mmioinfoIn.pchNext += cbRun;
    cbCopied += cbRun;
  }

  if (mmioSetInfo(m_hFile, &mmioinfoIn, 0) != 0) return DSUTIL_TRACE("mmioSetInfo", E_FAIL);
  *pdwSizeRead = cbDataIn;
  return S_OK;
}

HRESULT WaveFile::Close() {
  if (m_dwMode == WAVE_OPEN_READ) {
    if (m_hFile != nullptr) mmioClose(m_hFile, 0);
    m_hFile = nullptr;
    delete[] m_pResourceCopy;
    m_pResourceCopy = nullptr;
    return S_OK;
  }

  m_mmioinfoWrite.dwFlags |= MMIO_DIRTY;
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  if (mmioSetInfo(m_hFile, &m_mmioinfoWrite, 0) != 0) return DSUTIL_TRACE("mmioSetInfo", E_FAIL);

  // Leaving the chunks writes the "data" size (and its pad byte) and the
  // "RIFF" size.
  if (mmioAscend(m_hFile, &m_ckData, 0) != 0) return DSUTIL_TRACE("mmioAscend", E_FAIL);
  if (mmioAscend(m_hFile, &m_ckWave, 0) != 0) return DSUTIL_TRACE("mmioAscend", E_FAIL);

  mmioSeek(m_hFile, 0, SEEK_SET);
  if (mmioDescend(m_hFile, &m_ckWave, nullptr, 0) != 0) return DSUTIL_TRACE("mmioDescend", E_FAIL);

  m_ckData.ckid = kFourccFact;
  if (mmioDescend(m_hFile, &m_ckData, &m_ckWave, MMIO_FINDCHUNK) == 0) {
    DWORD dwSamples = 0;
    mmioWrite(m_hFile, reinterpret_cast<const char*>(&dwSamples), sizeof(DWORD));
    mmioAscend(m_hFile, &m_ckData, 0);
  }

  if (mmioAscend(m_hFile, &m_ckWave, 0) != 0) return DSUTIL_TRACE("mmioAscend", E_FAIL);
  mmioClose(m_hFile, 0);
  m_hFile = nullptr;
  return S_OK;
}

HRESULT WaveFile::WriteMMIO(const WAVEFORMATEX* pwfxDest) {
  DWORD dwFactChunk = 0xFFFFFFFF;
  MMCKINFO ckOut1;

  m_ckWave.fccType = kFourccWave;
  m_ckWave.cksize = 0;
  if (mmioCreateChunk(m_hFile, &m_ckWave, MMIO_CREATERIFF) != 0)
    return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);

  m_ckData.ckid = kFourccFmt;
  m_ckData.cksize = sizeof(PCMWAVEFORMAT);
  if (mmioCreateChunk(m_hFile, &m_ckData, 0) != 0) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);

  const LONG cbFormat = pwfxDest->wFormatTag == WAVE_FORMAT_PCM
                            ? static_cast<LONG>(sizeof(PCMWAVEFORMAT))
                            : static_cast<LONG>(sizeof(WAVEFORMATEX) + pwfxDest->cbSize);
  if (mmioWrite(m_hFile, reinterpret_cast<const char*>(pwfxDest), cbFormat) != cbFormat)
    return DSUTIL_TRACE("mmioWrite", E_FAIL);
  if (mmioAscend(m_hFile, &m_ckData, 0) != 0) return DSUTIL_TRACE("mmioAscend", E_FAIL);

  std::memset(&ckOut1, 0, sizeof(ckOut1));
  ckOut1.ckid = kFourccFact;
  ckOut1.cksize = 0;
  if (mmioCreateChunk(m_hFile, &ckOut1, 0) != 0) return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
  if (mmioWrite(m_hFile, reinterpret_cast<const char*>(&dwFactChunk), sizeof(dwFactChunk)) !=
      sizeof(dwFactChunk))
    return DSUTIL_TRACE("mmioWrite", E_FAIL);
  if (mmioAscend(m_hFile, &ckOut1, 0) != 0) return DSUTIL_TRACE("mmioAscend", E_FAIL);
  return S_OK;
}

HRESULT WaveFile::Write(DWORD nSizeToWrite, const BYTE* pbSrcData, DWORD* pnSizeWrote) {
  if (m_bFromMemory) return E_NOTIMPL;
  if (m_hFile == nullptr) return CO_E_NOTINITIALIZED;
  if (pnSizeWrote == nullptr || pbSrcData == nullptr) return E_INVALIDARG;
  if (m_dwMode == WAVE_OPEN_READ) return E_INVALIDARG;
  *pnSizeWrote = 0;

  // Straight into the handle's buffer, storing it only when it is full.
  while (*pnSizeWrote < nSizeToWrite) {
    if (m_mmioinfoWrite.pchNext >= m_mmioinfoWrite.pchEndWrite) {
      m_mmioinfoWrite.dwFlags |= MMIO_DIRTY;
      if (mmioAdvance(m_hFile, &m_mmioinfoWrite, MMIO_WRITE) != 0 ||
          m_mmioinfoWrite.pchNext >= m_mmioinfoWrite.pchEndWrite)
        return DSUTIL_TRACE("mmioAdvance", E_FAIL);
    }
    const DWORD cbRun = std::min(static_cast<DWORD>(m_mmioinfoWrite.pchEndWrite - m_mmioinfoWrite.pchNext),
                                 nSizeToWrite - *pnSizeWrote);
    std::memcpy(m_mmioinfoWrite.pchNext, pbSrcData + *pnSizeWrote, cbRun);
    m_mmioinfoWrite.pchNext += cbRun;
    *pnSizeWrote += cbRun;
  }
  return S_OK;
}

// ---- SoundClip ------------------------------------------------------------------

SoundClip::SoundClip(LPDIRECTSOUNDBUFFER* apBuffers, DWORD dwBufferSize, DWORD dwNumBuffers,
                     WaveFile* pWaveFile, DWORD dwCapsFlags, HRESULT* phr)
    : m_apBuffers(nullptr), m_dwBufferSize(0), m_pWave(nullptr), m_dwBufferCount(0), m_dwCapsFlags(0) {
  if (dwNumBuffers == 0) {
    if (phr != nullptr) *phr = E_INVALIDARG;
    return;
  }
  m_apBuffers = new (std::nothrow) LPDIRECTSOUNDBUFFER[dwNumBuffers];
  if (m_apBuffers == nullptr) {
    if (phr != nullptr) *phr = E_OUTOFMEMORY;
    return;
  }
  for (DWORD i = 0; i < dwNumBuffers; i++) m_apBuffers[i] = apBuffers[i];

  m_dwBufferSize = dwBufferSize;
  m_dwBufferCount = dwNumBuffers;
  m_pWave = pWaveFile;
  m_dwCapsFlags = dwCapsFlags;

  // Duplicates share the first buffer's memory: one fill serves them all.
  FillBufferWithSound(m_apBuffers[0], FALSE);
}

SoundClip::~SoundClip() {
  if (m_apBuffers != nullptr) ReleaseAll(m_apBuffers, m_dwBufferCount);
  delete[] m_apBuffers;
  m_apBuffers = nullptr;
  delete m_pWave;
  m_pWave = nullptr;
}

HRESULT SoundClip::FillBufferWithSound(LPDIRECTSOUNDBUFFER pDSB, BOOL bRepeatWavIfBufferLarger) {
  HRESULT hr;
  void* pDSLockedBuffer = nullptr;
  DWORD dwDSLockedBufferSize = 0;
  DWORD dwWavDataRead = 0;

  if (pDSB == nullptr || m_pWave == nullptr) return CO_E_NOTINITIALIZED;

  if (FAILED(hr = RestoreBuffer(pDSB, nullptr))) return DSUTIL_TRACE("RestoreBuffer", hr);
  if (FAILED(hr =
                 pDSB->Lock(0, m_dwBufferSize, &pDSLockedBuffer, &dwDSLockedBufferSize, nullptr, nullptr, 0)))
    return DSUTIL_TRACE("Lock", hr);

  BYTE* const pbLocked = static_cast<BYTE*>(pDSLockedBuffer);
  const BYTE bSilence = SilenceOf(m_pWave);

  m_pWave->ResetFile();
  if (FAILED(hr = m_pWave->Read(pbLocked, dwDSLockedBufferSize, &dwWavDataRead))) {
    pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
    return DSUTIL_TRACE("Read", hr);
  }

  if (dwWavDataRead == 0) {
    std::memset(pbLocked, bSilence, dwDSLockedBufferSize);
  } else if (dwWavDataRead < dwDSLockedBufferSize) {
    if (bRepeatWavIfBufferLarger) {
      DWORD dwReadSoFar = dwWavDataRead;
      while (dwReadSoFar < dwDSLockedBufferSize) {
        if (FAILED(hr = m_pWave->ResetFile())) {
          pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
          return DSUTIL_TRACE("ResetFile", hr);
        }
        hr = m_pWave->Read(pbLocked + dwReadSoFar, dwDSLockedBufferSize - dwReadSoFar, &dwWavDataRead);
        if (SUCCEEDED(hr) && dwWavDataRead == 0) hr = E_FAIL;  // the wave ran dry: no repeat can fill it
        if (FAILED(hr)) {
          pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
          return DSUTIL_TRACE("Read", hr);
        }
        dwReadSoFar += dwWavDataRead;
      }
    } else {
      std::memset(pbLocked + dwWavDataRead, bSilence, dwDSLockedBufferSize - dwWavDataRead);
    }
  }

  pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
  return S_OK;
}

HRESULT SoundClip::RestoreBuffer(LPDIRECTSOUNDBUFFER pDSB, BOOL* pbWasRestored) {
  HRESULT hr;
  if (pDSB == nullptr) return CO_E_NOTINITIALIZED;
  if (pbWasRestored != nullptr) *pbWasRestored = FALSE;

  DWORD dwStatus = 0;
  if (FAILED(hr = pDSB->GetStatus(&dwStatus))) return DSUTIL_TRACE("GetStatus", hr);

  if ((dwStatus & DSBSTATUS_BUFFERLOST) == 0) return S_FALSE;

  // The hardware may still be held elsewhere: wait until it comes back.
  do {
    if (pDSB->Restore() == DSERR_BUFFERLOST) Sleep(10);
  } while (pDSB->Restore() == DSERR_BUFFERLOST);

  if (pbWasRestored != nullptr) *pbWasRestored = TRUE;
  return S_OK;
}

LPDIRECTSOUNDBUFFER SoundClip::GetFreeBuffer() {
  if (m_apBuffers == nullptr) return nullptr;

  for (DWORD i = 0; i < m_dwBufferCount; i++) {
    if (m_apBuffers[i] == nullptr) continue;
    DWORD dwStatus = 0;
    m_apBuffers[i]->GetStatus(&dwStatus);
    if ((dwStatus & DSBSTATUS_PLAYING) == 0) return m_apBuffers[i];
  }
  // Every buffer is busy: take one at random.
  return m_apBuffers[static_cast<unsigned>(std::rand()) % m_dwBufferCount];
}

LPDIRECTSOUNDBUFFER SoundClip::BufferAt(DWORD dwIndex) {
  if (m_apBuffers == nullptr || dwIndex >= m_dwBufferCount) return nullptr;
  return m_apBuffers[dwIndex];
}

HRESULT SoundClip::Buffer3DAt(DWORD dwIndex, LPDIRECTSOUND3DBUFFER* ppDS3DBuffer) {
  if (m_apBuffers == nullptr) return CO_E_NOTINITIALIZED;
  if (dwIndex >= m_dwBufferCount) return E_INVALIDARG;
  if (ppDS3DBuffer == nullptr) return E_INVALIDARG;
  *ppDS3DBuffer = nullptr;
  if (m_apBuffers[dwIndex] == nullptr) return CO_E_NOTINITIALIZED;
  return m_apBuffers[dwIndex]->QueryInterface(IID_IDirectSound3DBuffer,
                                              reinterpret_cast<void**>(ppDS3DBuffer));
}

HRESULT SoundClip::Start(DWORD dwPriority, DWORD dwFlags, LONG lVolume, LONG lFrequency, LONG lPan) {
  HRESULT hr;
  BOOL bRestored = FALSE;

  if (m_apBuffers == nullptr) return CO_E_NOTINITIALIZED;

  LPDIRECTSOUNDBUFFER pDSB = GetFreeBuffer();
  if (pDSB == nullptr) return DSUTIL_TRACE("GetFreeBuffer", E_FAIL);

  if (FAILED(hr = RestoreBuffer(pDSB, &bRestored))) return DSUTIL_TRACE("RestoreBuffer", hr);
  if (bRestored && FAILED(hr = FillBufferWithSound(pDSB, FALSE)))
    return DSUTIL_TRACE("FillBufferWithSound", hr);

  if (m_dwCapsFlags & DSBCAPS_CTRLVOLUME) pDSB->SetVolume(lVolume);
  if (lFrequency != -1 && (m_dwCapsFlags & DSBCAPS_CTRLFREQUENCY))
    pDSB->SetFrequency(static_cast<DWORD>(lFrequency));
  if (m_dwCapsFlags & DSBCAPS_CTRLPAN) pDSB->SetPan(lPan);

  return pDSB->Play(0, dwPriority, dwFlags);
}

HRESULT SoundClip::Start3D(const DS3DBUFFER* p3DBuffer, DWORD dwPriority, DWORD dwFlags,
                           LONG lFrequencyOffset) {
  HRESULT hr;
  BOOL bRestored = FALSE;

  if (m_apBuffers == nullptr) return CO_E_NOTINITIALIZED;

  LPDIRECTSOUNDBUFFER pDSB = GetFreeBuffer();
  if (pDSB == nullptr) return DSUTIL_TRACE("GetFreeBuffer", E_FAIL);

  if (FAILED(hr = RestoreBuffer(pDSB, &bRestored))) return DSUTIL_TRACE("RestoreBuffer", hr);
  if (bRestored && FAILED(hr = FillBufferWithSound(pDSB, FALSE)))
    return DSUTIL_TRACE("FillBufferWithSound", hr);

  if (m_dwCapsFlags & DSBCAPS_CTRLFREQUENCY) {
    DWORD dwBaseFrequency = 0;
    pDSB->GetFrequency(&dwBaseFrequency);
    pDSB->SetFrequency(dwBaseFrequency + static_cast<DWORD>(lFrequencyOffset));
  }

  LPDIRECTSOUND3DBUFFER pDS3DBuffer = nullptr;
  hr = pDSB->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&pDS3DBuffer));
  if (SUCCEEDED(hr)) {
    hr = pDS3DBuffer->SetAllParameters(p3DBuffer, DS3D_IMMEDIATE);
    if (SUCCEEDED(hr)) hr = pDSB->Play(0, dwPriority, dwFlags);
    pDS3DBuffer->Release();
  }
  return hr;
}

HRESULT SoundClip::StopAll() {
  if (m_apBuffers == nullptr) return CO_E_NOTINITIALIZED;
  HRESULT hr = S_OK;
  for (DWORD i = 0; i < m_dwBufferCount; i++)
    if (m_apBuffers[i] != nullptr) hr |= m_apBuffers[i]->Stop();
  return hr;
}

HRESULT SoundClip::Rewind() {
  if (m_apBuffers == nullptr) return CO_E_NOTINITIALIZED;
  HRESULT hr = S_OK;
  for (DWORD i = 0; i < m_dwBufferCount; i++)
    if (m_apBuffers[i] != nullptr) hr |= m_apBuffers[i]->SetCurrentPosition(0);
  return hr;
}

BOOL SoundClip::IsAnyPlaying() {
  if (m_apBuffers == nullptr) return FALSE;
  for (DWORD i = 0; i < m_dwBufferCount; i++) {
    if (m_apBuffers[i] == nullptr) continue;
    DWORD dwStatus = 0;
    m_apBuffers[i]->GetStatus(&dwStatus);
    if (dwStatus & DSBSTATUS_PLAYING) return TRUE;
  }
  return FALSE;
}

// ---- StreamingClip ------------------------------------------------------------------

StreamingClip::StreamingClip(LPDIRECTSOUNDBUFFER pDSBuffer, DWORD dwDSBufferSize, WaveFile* pWaveFile,
                             DWORD dwBlockSize, HRESULT* phr)
    : SoundClip(&pDSBuffer, dwDSBufferSize, 1, pWaveFile, 0, phr),
      m_dwPrevPlayPos(0),
      m_dwBytesPlayed(0),
      m_dwBlockSize(dwBlockSize),
      m_dwWriteCursor(0),
      m_bPadWithSilence(FALSE) {}

StreamingClip::~StreamingClip() = default;

HRESULT StreamingClip::RefillNextBlock(BOOL bLooped) {
  HRESULT hr;
  BOOL bRestored = FALSE;

  if (m_apBuffers == nullptr || m_pWave == nullptr) return CO_E_NOTINITIALIZED;
  LPDIRECTSOUNDBUFFER pDSB = m_apBuffers[0];

  if (FAILED(hr = RestoreBuffer(pDSB, &bRestored))) return DSUTIL_TRACE("RestoreBuffer", hr);
  if (bRestored) {
    // The whole buffer was gone: refill it from the start; that is all.
    if (FAILED(hr = FillBufferWithSound(pDSB, FALSE))) return DSUTIL_TRACE("FillBufferWithSound", hr);
    return S_OK;
  }

  void* pDSLockedBuffer = nullptr;
  void* pDSLockedBuffer2 = nullptr;
  DWORD dwDSLockedBufferSize = 0;
  DWORD dwDSLockedBufferSize2 = 0;
  if (FAILED(hr = pDSB->Lock(m_dwWriteCursor, m_dwBlockSize, &pDSLockedBuffer, &dwDSLockedBufferSize,
                             &pDSLockedBuffer2, &dwDSLockedBufferSize2, 0)))
    return DSUTIL_TRACE("Lock", hr);

  // The buffer holds whole blocks, so a block never wraps.
  if (pDSLockedBuffer2 != nullptr) {
    pDSB->Unlock(pDSLockedBuffer, 0, pDSLockedBuffer2, 0);
    return E_UNEXPECTED;
  }

  BYTE* const pbLocked = static_cast<BYTE*>(pDSLockedBuffer);
  const BYTE bSilence = SilenceOf(m_pWave);
  DWORD dwBytesWrittenToBuffer = 0;

  if (!m_bPadWithSilence) {
    if (FAILED(hr = m_pWave->Read(pbLocked, dwDSLockedBufferSize, &dwBytesWrittenToBuffer))) {
      pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
      return DSUTIL_TRACE("Read", hr);
    }
  } else {
    std::memset(pbLocked, bSilence, dwDSLockedBufferSize);
    dwBytesWrittenToBuffer = dwDSLockedBufferSize;
  }

  if (dwBytesWrittenToBuffer < dwDSLockedBufferSize) {
    if (!bLooped) {
      std::memset(pbLocked + dwBytesWrittenToBuffer, bSilence, dwDSLockedBufferSize - dwBytesWrittenToBuffer);
      m_bPadWithSilence = TRUE;
    } else {
      DWORD dwReadSoFar = dwBytesWrittenToBuffer;
      while (dwReadSoFar < dwDSLockedBufferSize) {
        if (FAILED(hr = m_pWave->ResetFile())) {
          pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
          return DSUTIL_TRACE("ResetFile", hr);
        }
        hr = m_pWave->Read(pbLocked + dwReadSoFar, dwDSLockedBufferSize - dwReadSoFar,
                           &dwBytesWrittenToBuffer);
        if (SUCCEEDED(hr) && dwBytesWrittenToBuffer == 0) hr = E_FAIL;  // a wave without data cannot loop
        if (FAILED(hr)) {
          pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
          return DSUTIL_TRACE("Read", hr);
        }
        dwReadSoFar += dwBytesWrittenToBuffer;
      }
    }
  }

  pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);

  DWORD dwCurrentPlayPos = 0;
  if (FAILED(hr = pDSB->GetCurrentPosition(&dwCurrentPlayPos, nullptr)))
    return DSUTIL_TRACE("GetCurrentPosition", hr);

  // The play cursor goes round the buffer; it may have wrapped since.
  const DWORD dwPlayDelta = dwCurrentPlayPos < m_dwPrevPlayPos
                                ? (m_dwBufferSize - m_dwPrevPlayPos) + dwCurrentPlayPos
                                : dwCurrentPlayPos - m_dwPrevPlayPos;
  m_dwBytesPlayed += dwPlayDelta;
  m_dwPrevPlayPos = dwCurrentPlayPos;

  if (m_bPadWithSilence && m_dwBytesPlayed >= m_pWave->GetSize()) pDSB->Stop();

  m_dwWriteCursor += dwDSLockedBufferSize;
  if (m_dwBufferSize != 0) m_dwWriteCursor %= m_dwBufferSize;
  return S_OK;
}

HRESULT StreamingClip::RestartStream() {
  HRESULT hr;
  BOOL bRestored = FALSE;

  if (m_apBuffers == nullptr || m_apBuffers[0] == nullptr || m_pWave == nullptr) return CO_E_NOTINITIALIZED;
  LPDIRECTSOUNDBUFFER pDSB = m_apBuffers[0];

  m_dwPrevPlayPos = 0;
  m_dwBytesPlayed = 0;
  m_dwWriteCursor = 0;
  m_bPadWithSilence = FALSE;

  if (FAILED(hr = RestoreBuffer(pDSB, &bRestored))) return DSUTIL_TRACE("RestoreBuffer", hr);
  if (bRestored && FAILED(hr = FillBufferWithSound(pDSB, FALSE)))
    return DSUTIL_TRACE("FillBufferWithSound", hr);

  m_pWave->ResetFile();
  return pDSB->SetCurrentPosition(0);
}

// ---- SoundDevice ----------------------------------------------------------------------

SoundDevice::SoundDevice() : m_pDevice(nullptr) {}

SoundDevice::~SoundDevice() {
  if (m_pDevice != nullptr) m_pDevice->Release();
  m_pDevice = nullptr;
}

HRESULT SoundDevice::Initialize(HWND hWnd, DWORD dwCoopLevel) {
  HRESULT hr;
  if (m_pDevice != nullptr) {
    m_pDevice->Release();
    m_pDevice = nullptr;
  }

  if (FAILED(hr = DirectSoundCreate8(nullptr, &m_pDevice, nullptr))) {
    m_pDevice = nullptr;
    return DSUTIL_TRACE("DirectSoundCreate8", hr);
  }
  if (FAILED(hr = m_pDevice->SetCooperativeLevel(hWnd, dwCoopLevel)))
    return DSUTIL_TRACE("SetCooperativeLevel", hr);
  return S_OK;
}

HRESULT SoundDevice::SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                                            DWORD dwPrimaryBitRate) {
  HRESULT hr;
  LPDIRECTSOUNDBUFFER pDSBPrimary = nullptr;

  if (m_pDevice == nullptr) return CO_E_NOTINITIALIZED;

  DSBUFFERDESC dsbd;
  ClearDesc(dsbd);
  dsbd.dwFlags = DSBCAPS_PRIMARYBUFFER;
  dsbd.dwBufferBytes = 0;
  dsbd.lpwfxFormat = nullptr;
  if (FAILED(hr = m_pDevice->CreateSoundBuffer(&dsbd, &pDSBPrimary, nullptr)))
    return DSUTIL_TRACE("CreateSoundBuffer", hr);

  WAVEFORMATEX wfx;
  std::memset(&wfx, 0, sizeof(wfx));
  wfx.wFormatTag = WAVE_FORMAT_PCM;
  wfx.nChannels = static_cast<WORD>(dwPrimaryChannels);
  wfx.nSamplesPerSec = dwPrimaryFreq;
  wfx.wBitsPerSample = static_cast<WORD>(dwPrimaryBitRate);
  wfx.nBlockAlign = static_cast<WORD>(wfx.wBitsPerSample / 8 * wfx.nChannels);
  wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
  wfx.cbSize = 0;

  if (FAILED(hr = pDSBPrimary->SetFormat(&wfx))) {
    pDSBPrimary->Release();
    return DSUTIL_TRACE("SetFormat", hr);
  }
  pDSBPrimary->Release();
  return S_OK;
}

HRESULT SoundDevice::GetListener3D(LPDIRECTSOUND3DLISTENER* ppDSListener) {
  HRESULT hr;
  LPDIRECTSOUNDBUFFER pDSBPrimary = nullptr;

  if (ppDSListener == nullptr) return E_INVALIDARG;
  if (m_pDevice == nullptr) return CO_E_NOTINITIALIZED;
  *ppDSListener = nullptr;

  DSBUFFERDESC dsbdesc;
  ClearDesc(dsbdesc);
  dsbdesc.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_PRIMARYBUFFER;
  if (FAILED(hr = m_pDevice->CreateSoundBuffer(&dsbdesc, &pDSBPrimary, nullptr)))
    return DSUTIL_TRACE("CreateSoundBuffer", hr);

  if (FAILED(hr = pDSBPrimary->QueryInterface(IID_IDirectSound3DListener,
                                              reinterpret_cast<void**>(ppDSListener)))) {
    pDSBPrimary->Release();
    return DSUTIL_TRACE("QueryInterface", hr);
  }
  pDSBPrimary->Release();
  return S_OK;
}

namespace {

// What Create and CreateFromData share: a clip of dwNumBuffers buffers over
// a wave file that `openWave` opens and describes in dsbd (buffer bytes and
// format), or a failure code. Buffers beyond the first duplicate it, unless
// effects ask for buffers of their own. Whatever was made before a failing
// step goes with it. Passes on DS_NO_VIRTUALIZATION from the first buffer.
template <class OpenWave>
HRESULT CreateClip(LPDIRECTSOUND8 pDevice, SoundClip** ppSound, DWORD dwCreationFlags, GUID guid3DAlgorithm,
                   DWORD dwNumBuffers, OpenWave openWave) {
  HRESULT hr;
  HRESULT hrRet = S_OK;

  LPDIRECTSOUNDBUFFER* apDSBuffer = new (std::nothrow) LPDIRECTSOUNDBUFFER[dwNumBuffers]();
  if (apDSBuffer == nullptr) return E_OUTOFMEMORY;
  WaveFile* pWaveFile = new (std::nothrow) WaveFile();
  if (pWaveFile == nullptr) {
    delete[] apDSBuffer;
    return E_OUTOFMEMORY;
  }
  auto fail = [&](HRESULT hrFail) {
    ReleaseAll(apDSBuffer, dwNumBuffers);
    delete pWaveFile;
    delete[] apDSBuffer;
    return hrFail;
  };

  DSBUFFERDESC dsbd;
  ClearDesc(dsbd);
  dsbd.dwFlags = dwCreationFlags;
  dsbd.guid3DAlgorithm = guid3DAlgorithm;
  if (FAILED(hr = openWave(*pWaveFile, dsbd))) return fail(hr);

  hr = pDevice->CreateSoundBuffer(&dsbd, &apDSBuffer[0], nullptr);
  if (hr == DS_NO_VIRTUALIZATION) hrRet = DS_NO_VIRTUALIZATION;
  if (FAILED(hr)) return fail(DSUTIL_TRACE("CreateSoundBuffer", hr));

  for (DWORD i = 1; i < dwNumBuffers; i++) {
    if ((dwCreationFlags & DSBCAPS_CTRLFX) == 0) {
      if (FAILED(hr = pDevice->DuplicateSoundBuffer(apDSBuffer[0], &apDSBuffer[i])))
        return fail(DSUTIL_TRACE("DuplicateSoundBuffer", hr));
    } else {
      // Effects need buffers of their own.
      if (FAILED(hr = pDevice->CreateSoundBuffer(&dsbd, &apDSBuffer[i], nullptr)))
        return fail(DSUTIL_TRACE("CreateSoundBuffer", hr));
    }
  }

  HRESULT hrClip = S_OK;
  SoundClip* pClip = new (std::nothrow)
      SoundClip(apDSBuffer, dsbd.dwBufferBytes, dwNumBuffers, pWaveFile, dwCreationFlags, &hrClip);
  if (pClip == nullptr) return fail(E_OUTOFMEMORY);
  if (FAILED(hrClip)) {
    delete pClip;  // took over nothing
    return fail(hrClip);
  }
  *ppSound = pClip;
  delete[] apDSBuffer;
  return hrRet;
}

}  // namespace

HRESULT SoundDevice::Create(SoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags,
                            GUID guid3DAlgorithm, DWORD dwNumBuffers) {
  if (m_pDevice == nullptr) return CO_E_NOTINITIALIZED;
  if (strWaveFileName == nullptr || ppSound == nullptr || dwNumBuffers < 1) return E_INVALIDARG;
  return CreateClip(m_pDevice, ppSound, dwCreationFlags, guid3DAlgorithm, dwNumBuffers,
                    [&](WaveFile& wave, DSBUFFERDESC& dsbd) {
                      // A file that did not open has no data, which the size
                      // test catches; the wave file has traced why.
                      wave.Open(strWaveFileName, nullptr, WAVE_OPEN_READ);
                      if (wave.GetSize() == 0) return E_FAIL;
                      dsbd.dwBufferBytes = wave.GetSize();
                      dsbd.lpwfxFormat = wave.m_pwfx;
                      return S_OK;
                    });
}

HRESULT SoundDevice::CreateFromData(SoundClip** ppSound, BYTE* pbData, ULONG ulDataSize, LPWAVEFORMATEX pwfx,
                                    DWORD dwCreationFlags, GUID guid3DAlgorithm, DWORD dwNumBuffers) {
  if (m_pDevice == nullptr) return CO_E_NOTINITIALIZED;
  if (pbData == nullptr || ppSound == nullptr || dwNumBuffers < 1) return E_INVALIDARG;
  const HRESULT hr = CreateClip(m_pDevice, ppSound, dwCreationFlags, guid3DAlgorithm, dwNumBuffers,
                                [&](WaveFile& wave, DSBUFFERDESC& dsbd) {
                                  wave.OpenFromMemory(pbData, ulDataSize, pwfx, WAVE_OPEN_READ);
                                  dsbd.dwBufferBytes = ulDataSize;
                                  dsbd.lpwfxFormat = pwfx;
                                  return S_OK;
                                });
  // Data in memory passes on no success note.
  return FAILED(hr) ? hr : S_OK;
}

HRESULT SoundDevice::CreateStream(StreamingClip** ppStreamingSound, LPCSTR strWaveFileName,
                                  DWORD dwCreationFlags, GUID guid3DAlgorithm, DWORD dwNotifyCount,
                                  DWORD dwNotifySize, HANDLE hNotifyEvent) {
  HRESULT hr;
  LPDIRECTSOUNDBUFFER pDSBuffer = nullptr;
  LPDIRECTSOUNDNOTIFY pDSNotify = nullptr;

  if (m_pDevice == nullptr) return CO_E_NOTINITIALIZED;
  if (strWaveFileName == nullptr || ppStreamingSound == nullptr || hNotifyEvent == nullptr)
    return E_INVALIDARG;

  WaveFile* pWaveFile = new (std::nothrow) WaveFile();
  if (pWaveFile == nullptr) return E_OUTOFMEMORY;
  auto fail = [&](HRESULT hrFail) {
    if (pDSNotify != nullptr) pDSNotify->Release();
    if (pDSBuffer != nullptr) pDSBuffer->Release();
    delete pWaveFile;
    return hrFail;
  };
  pWaveFile->Open(strWaveFileName, nullptr, WAVE_OPEN_READ);

  const DWORD dwDSBufferSize = dwNotifySize * dwNotifyCount;

  DSBUFFERDESC dsbd;
  ClearDesc(dsbd);
  dsbd.dwFlags = dwCreationFlags | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2;
  dsbd.dwBufferBytes = dwDSBufferSize;
  dsbd.guid3DAlgorithm = guid3DAlgorithm;
  dsbd.lpwfxFormat = pWaveFile->m_pwfx;

  if (FAILED(hr = m_pDevice->CreateSoundBuffer(&dsbd, &pDSBuffer, nullptr))) {
    pDSBuffer = nullptr;
    // A format or argument the platform refuses is told apart by its line.
    if (hr == DSERR_BADFORMAT || hr == E_INVALIDARG) return fail(DSUTIL_TRACE("CreateSoundBuffer", hr));
    return fail(DSUTIL_TRACE("CreateSoundBuffer", hr));
  }

  if (FAILED(hr = pDSBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&pDSNotify)))) {
    pDSNotify = nullptr;
    return fail(DSUTIL_TRACE("QueryInterface", hr));
  }

  DSBPOSITIONNOTIFY* aPosNotify = new (std::nothrow) DSBPOSITIONNOTIFY[dwNotifyCount];
  if (aPosNotify == nullptr) return fail(E_OUTOFMEMORY);

  // Each event marks the last byte of a block.
  for (DWORD i = 0; i < dwNotifyCount; i++) {
    aPosNotify[i].dwOffset = (dwNotifySize * i) + dwNotifySize - 1;
    aPosNotify[i].hEventNotify = hNotifyEvent;
  }

  if (FAILED(hr = pDSNotify->SetNotificationPositions(dwNotifyCount, aPosNotify))) {
    delete[] aPosNotify;
    return fail(DSUTIL_TRACE("SetNotificationPositions", hr));
  }
  pDSNotify->Release();
  pDSNotify = nullptr;
  delete[] aPosNotify;

  HRESULT hrClip = S_OK;
  StreamingClip* pClip =
      new (std::nothrow) StreamingClip(pDSBuffer, dwDSBufferSize, pWaveFile, dwNotifySize, &hrClip);
  if (pClip == nullptr) return fail(E_OUTOFMEMORY);
  if (FAILED(hrClip)) {
    delete pClip;
    return fail(hrClip);
  }
  *ppStreamingSound = pClip;
  return hrClip;
}
