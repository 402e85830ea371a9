// Image files: read here, whole, so that a missing or unreadable file, or one
// that is not a regular file, fails before the decoder sees anything, and so
// that the size a header declares and a file cut short are refused the same
// way whichever decoder is linked (image_decoder.h): a JPEG decoder pads a
// truncated file with grey instead of failing.
#include "platform/d3d9/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "d3dx9.h"
#include "platform/d3d9/image_decoder.h"
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
    // In 64 bits: a chunk length near 2^32 must not wrap a 32-bit size_t.
    const uint64_t end = uint64_t{at} + 12 + be32(b, at);
    if (end > b.size()) return false;
    if (b[at + 4] == 'I' && b[at + 5] == 'E' && b[at + 6] == 'N' && b[at + 7] == 'D') return true;
    at = static_cast<size_t>(end);
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

  D3DXIMAGE_FILEFORMAT kind = D3DXIFF_BMP;
  if (!image_kind(bytes, kind) || !declared_size_fits(bytes, kind)) return D3DXERR_INVALIDDATA;
  if ((kind == D3DXIFF_PNG && !png_complete(bytes)) || (kind == D3DXIFF_JPG && !jpeg_complete(bytes)))
    return D3DXERR_INVALIDDATA;
  const HRESULT result = decode_image_bytes(bytes, kind, image);
  if (FAILED(result)) return result;
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxDimension || image.height > kMaxDimension ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
    return D3DXERR_INVALIDDATA;
  }
  image.file_format = kind;
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
