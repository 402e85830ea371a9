// Reading and checking image files. The file is read here, whole, so that a
// missing or unreadable file, or one that is not a regular file, fails before
// the decoder sees anything; its kind and size are taken from its header, so
// that a damaged header cannot ask for gigabytes; and a JPEG or PNG must be
// complete, as decoders pad a truncated file instead of failing.
#include "platform/d3d9/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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

bool side_fits(int64_t side) { return side > 0 && side <= kMaxDimension; }

// The kind by the file's first bytes; false for any other.
bool kind_of(const std::vector<unsigned char>& b, D3DXIMAGE_FILEFORMAT& kind) {
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') {
    kind = D3DXIFF_BMP;
  } else if (b.size() >= 8 && std::memcmp(b.data(), kPng, 8) == 0) {
    kind = D3DXIFF_PNG;
  } else if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
    kind = D3DXIFF_JPG;
  } else {
    return false;
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

// A complete PNG is an unbroken chain of whole chunks from the signature to
// the end chunk (a PNG reader that does not notice a short read would go on
// with bytes it never received). On the way: whether a transparency chunk
// comes before the image data, where it must stand.
bool png_complete(const std::vector<unsigned char>& b, ImageFacts& facts) {
  size_t at = 8;
  bool data = false;
  while (at + 12 <= b.size()) {
    const size_t end = at + 12 + static_cast<size_t>(be32(b, at));
    if (end > b.size()) return false;
    const unsigned char* name = &b[at + 4];
    if (std::memcmp(name, "IEND", 4) == 0) return true;
    data = data || std::memcmp(name, "IDAT", 4) == 0;
    if (!data && std::memcmp(name, "tRNS", 4) == 0) facts.png_transparency = true;
    at = end;
  }
  return false;
}

// JPEG: the marker segments up to the first frame header, which gives the
// size and the components; an Adobe segment before it says how CMYK is kept.
bool read_jpeg_header(const std::vector<unsigned char>& b, ImageFacts& facts) {
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
    if (frame) {
      if (at + 10 > b.size()) return false;
      facts.height = static_cast<int>(be16(b, at + 5));
      facts.width = static_cast<int>(be16(b, at + 7));
      facts.jpeg_components = b[at + 9];
      return true;
    }
    if (marker == 0xEE && length >= 7 && at + 9 <= b.size() && std::memcmp(&b[at + 4], "Adobe", 5) == 0)
      facts.adobe = true;
    if (length < 2) return false;
    at += 2 + length;
  }
  return false;
}

// The kind, the size the header declares and, for a JPEG, its colour
// components; false when the header is short or damaged.
bool read_header(const std::vector<unsigned char>& b, ImageFacts& facts) {
  if (facts.kind == D3DXIFF_BMP) {
    if (b.size() < 26) return false;
    if (le32(b, 14) == 12) {  // the oldest header: 16-bit sides
      facts.width = b[18] | b[19] << 8;
      facts.height = b[20] | b[21] << 8;
      return true;
    }
    const int64_t width = static_cast<int32_t>(le32(b, 18));
    const int64_t height = static_cast<int32_t>(le32(b, 22));
    if (!side_fits(width) || !side_fits(height < 0 ? -height : height)) return false;
    facts.width = static_cast<int>(width);
    facts.height = static_cast<int>(height < 0 ? -height : height);
    return true;
  }
  if (facts.kind == D3DXIFF_PNG) {
    if (b.size() < 24 || !side_fits(be32(b, 16)) || !side_fits(be32(b, 20))) return false;
    facts.width = static_cast<int>(be32(b, 16));
    facts.height = static_cast<int>(be32(b, 20));
    return true;
  }
  return read_jpeg_header(b, facts);
}

}  // namespace

HRESULT ImageFile::open(const char* path) {
  if (path == nullptr) return D3DERR_INVALIDCALL;
  picture_.reset();
  std::vector<unsigned char> bytes;
  if (!read_file(path, bytes)) return D3DXERR_INVALIDDATA;
  facts_ = ImageFacts{};
  if (!kind_of(bytes, facts_.kind) || !read_header(bytes, facts_)) return D3DXERR_INVALIDDATA;
  if (!side_fits(facts_.width) || !side_fits(facts_.height)) return D3DXERR_INVALIDDATA;
  if (facts_.kind == D3DXIFF_PNG && !png_complete(bytes, facts_)) return D3DXERR_INVALIDDATA;
  if (facts_.kind == D3DXIFF_JPG && !jpeg_complete(bytes)) return D3DXERR_INVALIDDATA;
  try {
    picture_ = decode_picture(bytes, facts_);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (!picture_) return D3DXERR_INVALIDDATA;
  if (!side_fits(picture_->width) || !side_fits(picture_->height)) {
    picture_.reset();
    return D3DXERR_INVALIDDATA;
  }
  return D3D_OK;
}

D3DXIMAGE_INFO ImageFile::info() const {
  D3DXIMAGE_INFO info{};
  info.Width = static_cast<UINT>(picture_->width);
  info.Height = static_cast<UINT>(picture_->height);
  info.Depth = 1;
  info.MipLevels = 1;
  info.Format = picture_->format;
  info.ResourceType = D3DRTYPE_TEXTURE;
  info.ImageFileFormat = facts_.kind;
  return info;
}

void ImageFile::write(const PixelView& to, D3DCOLOR key) const {
  picture_->write_argb(to);
  // The key is a whole ARGB value, alpha included, whatever the file's
  // format: 0xFFFF00FF keys opaque magenta only (a file without alpha is
  // opaque throughout).
  if (key == 0) return;
  for (int y = 0; y < to.height; ++y) {
    uint32_t* row = to.pixels + static_cast<size_t>(y) * static_cast<size_t>(to.pitch);
    for (int x = 0; x < to.width; ++x)
      if (row[x] == key) row[x] = 0;
  }
}

}  // namespace d3d9sw
