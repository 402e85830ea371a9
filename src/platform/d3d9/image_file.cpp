// Image decoding through SDL2_image. The file is read here, whole, so that a
// missing or unreadable file, or one that is not a regular file, fails before
// the decoder sees anything, and so that a JPEG can be checked for its end
// marker: the JPEG decoder pads a truncated file with grey instead of failing.
#include "platform/d3d9/image_file.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "d3dx9.h"
#include "platform/d3d9/pixel_resources.h"

namespace d3d9sw {
namespace {

constexpr long kMaxFileBytes = 256L << 20;

// Reads a regular file whole. Anything else named so (a directory, a named
// pipe, a device) is refused like an unreadable file: the open does not wait
// for a pipe's writer, and the type is checked on the descriptor read from.
bool read_file(const char* path, std::vector<unsigned char>& bytes) {
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) close(fd);
    }
  } file{open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  const int fd = file.fd;
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (st.st_size <= 0 || st.st_size > kMaxFileBytes) return false;
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

// A complete JPEG has its end-of-image marker after its last start-of-scan
// marker (0xFF is never followed by these codes inside coded data).
bool jpeg_complete(const std::vector<unsigned char>& bytes) {
  size_t last_scan = 0;
  bool scan = false;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
      last_scan = i;
      scan = true;
    }
  }
  if (!scan) return false;
  for (size_t i = last_scan + 2; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) return true;
  }
  return false;
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t be16(const std::vector<unsigned char>& b, size_t at) { return uint32_t(b[at]) << 8 | b[at + 1]; }
uint32_t be32(const std::vector<unsigned char>& b, size_t at) { return be16(b, at) << 16 | be16(b, at + 2); }

bool side_fits(int64_t side) { return side > 0 && side <= kMaxDimension; }

// A complete PNG is an unbroken chain of whole chunks from the signature to
// the end chunk. The PNG reader of SDL2_image does not notice a short read,
// so a file that ends inside a chunk would have the decoder go on with bytes
// it never received.
bool png_complete(const std::vector<unsigned char>& b) {
  size_t at = 8;
  while (at + 12 <= b.size()) {
    const size_t end = at + 12 + static_cast<size_t>(be32(b, at));
    if (end > b.size()) return false;
    if (b[at + 4] == 'I' && b[at + 5] == 'E' && b[at + 6] == 'N' && b[at + 7] == 'D') return true;
    at = end;
  }
  return false;
}

// Whether the size the file's header declares is one we take, looked at
// before decoding so that a damaged header cannot ask for gigabytes.
bool declared_size_fits(const std::vector<unsigned char>& b, D3DXIMAGE_FILEFORMAT kind) {
  if (kind == D3DXIFF_BMP) {
    if (b.size() < 26) return false;
    if (le32(b, 14) == 12) return side_fits(b[18] | b[19] << 8) && side_fits(b[20] | b[21] << 8);
    const int64_t height = static_cast<int32_t>(le32(b, 22));
    return side_fits(static_cast<int32_t>(le32(b, 18))) && side_fits(height < 0 ? -height : height);
  }
  if (kind == D3DXIFF_PNG) return b.size() >= 24 && side_fits(be32(b, 16)) && side_fits(be32(b, 20));
  // JPEG: walk the marker segments up to the first frame header.
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (b[at] != 0xFF) return false;
    const unsigned marker = b[at + 1];
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame header before the data
    const uint32_t length = be16(b, at + 2);
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return at + 9 <= b.size() && side_fits(be16(b, at + 5)) && side_fits(be16(b, at + 7));
    if (length < 2) return false;
    at += 2 + length;
  }
  return false;
}

// The file's own pixel format, as near as the platform's list allows.
D3DFORMAT file_pixel_format(const SDL_Surface* surface, D3DXIMAGE_FILEFORMAT kind, bool has_alpha) {
  const SDL_PixelFormat* f = surface->format;
  if (f->palette != nullptr || f->BitsPerPixel <= 8) return kind == D3DXIFF_JPG ? D3DFMT_L8 : D3DFMT_P8;
  if (has_alpha) return D3DFMT_A8R8G8B8;
  if (f->BitsPerPixel == 16) return f->Gmask == 0x07E0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
  if (f->BitsPerPixel == 24 && kind == D3DXIFF_BMP) return D3DFMT_R8G8B8;
  return D3DFMT_X8R8G8B8;
}

// The last file decoded, by its bytes, and its image. A picture is usually
// described and then loaded, and several sprites load the same file in a
// row: the same bytes again are not decoded again.
struct LastDecoded {
  std::mutex mutex;
  std::vector<unsigned char> bytes;
  DecodedImage image;
};

LastDecoded& last_decoded() {
  static LastDecoded last;
  return last;
}

}  // namespace

HRESULT decode_image_file(const char* path, DecodedImage& image) {
  if (path == nullptr) return D3DERR_INVALIDCALL;
  std::vector<unsigned char> bytes;
  if (!read_file(path, bytes)) return D3DXERR_INVALIDDATA;
  LastDecoded& last = last_decoded();
  {
    std::lock_guard<std::mutex> lock(last.mutex);
    if (last.bytes == bytes) {
      image = last.image;
      return D3D_OK;
    }
  }

  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return D3DXERR_INVALIDDATA;
  SDL_Surface* decoded = nullptr;
  D3DXIMAGE_FILEFORMAT kind = D3DXIFF_BMP;
  if (IMG_isBMP(rw)) {
    if (declared_size_fits(bytes, kind)) decoded = IMG_LoadBMP_RW(rw);
  } else if (IMG_isPNG(rw)) {
    kind = D3DXIFF_PNG;
    if (declared_size_fits(bytes, kind) && png_complete(bytes)) decoded = IMG_LoadPNG_RW(rw);
  } else if (IMG_isJPG(rw)) {
    kind = D3DXIFF_JPG;
    if (declared_size_fits(bytes, kind) && jpeg_complete(bytes)) decoded = IMG_LoadJPG_RW(rw);
  }
  SDL_RWclose(rw);
  if (decoded == nullptr) return D3DXERR_INVALIDDATA;
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> source(decoded, &SDL_FreeSurface);
  if (source->w <= 0 || source->h <= 0 || source->w > kMaxDimension || source->h > kMaxDimension) {
    return D3DXERR_INVALIDDATA;
  }

  const bool has_alpha = source->format->Amask != 0 || SDL_HasColorKey(source.get());
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> argb(
      SDL_ConvertSurfaceFormat(source.get(), SDL_PIXELFORMAT_ARGB8888, 0), &SDL_FreeSurface);
  if (!argb) return D3DXERR_INVALIDDATA;

  try {
    image.pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  image.width = argb->w;
  image.height = argb->h;
  image.file_format = kind;
  image.has_alpha = has_alpha;
  image.format = file_pixel_format(source.get(), kind, has_alpha);
  const auto* row = static_cast<const unsigned char*>(argb->pixels);
  for (int y = 0; y < image.height; ++y, row += argb->pitch) {
    std::memcpy(&image.pixels[static_cast<size_t>(y) * image.width], row, sizeof(uint32_t) * image.width);
  }
  std::lock_guard<std::mutex> lock(last.mutex);
  last.bytes = std::move(bytes);
  last.image = image;
  return D3D_OK;
}

D3DXIMAGE_INFO image_info(const DecodedImage& image) {
  D3DXIMAGE_INFO info{};
  info.Width = static_cast<UINT>(image.width);
  info.Height = static_cast<UINT>(image.height);
  info.Depth = 1;
  info.MipLevels = 1;
  info.Format = image.format;
  info.ResourceType = D3DRTYPE_TEXTURE;
  info.ImageFileFormat = image.file_format;
  return info;
}

void apply_colour_key(DecodedImage& image, D3DCOLOR key) {
  // The key is a whole ARGB value, alpha included, whatever the file's
  // format: 0xFFFF00FF keys opaque magenta only (a file without alpha is
  // opaque throughout).
  if (key == 0) return;
  for (uint32_t& p : image.pixels) {
    if (p == key) p = 0;
  }
}

}  // namespace d3d9sw
