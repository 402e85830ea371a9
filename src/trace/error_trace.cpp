// The error trace. Every text is built in a fixed local buffer with bounded
// appends: whatever does not fit is cut at the buffer size less one and the
// buffer stays terminated. Nothing is allocated, so the trace still works
// when the failure it reports is an exhausted heap.
#include "trace/error_trace.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace {

// Buffer sizes in characters, terminator included.
constexpr size_t kLineChars = 128;
constexpr size_t kOutputChars = 3000;
constexpr size_t kCodeChars = 256;
constexpr size_t kFileChars = 260;
constexpr size_t kCallingChars = 1024;

// A message with no terminator within this many characters counts as empty.
constexpr size_t kMessageLimit = 1024;

constexpr char kCaption[] = "Unexpected error encountered";
constexpr char kQuestion[] = "Do you want to debug the application?";

// A terminated text in a fixed buffer of N characters of type C; appends
// stop silently at N - 1 characters.
template <typename C, size_t N>
class BoundedText {
 public:
  BoundedText() { text_[0] = 0; }

  const C* c_str() const { return text_; }

  // Appends a terminated text of the same character type.
  BoundedText& Append(const C* s) {
    if (s == nullptr) return *this;
    for (; *s != 0 && length_ < N - 1; ++s) text_[length_++] = *s;
    text_[length_] = 0;
    return *this;
  }

  // Appends narrow text (UTF-8, as everywhere on this platform) to wide
  // text, one character per code point; a malformed byte becomes U+FFFD.
  BoundedText& Append(const char* s) requires(!std::is_same_v<C, char>) {
    if (s == nullptr) return *this;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p != 0 && length_ < N - 1) {
      uint32_t c = *p++;
      int more = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
      if (c >= 0x80 && more == 0) {
        c = 0xFFFD;
      } else if (more > 0) {
        c &= 0x3Fu >> more;
        int i = 0;
        for (; i < more && (p[i] & 0xC0) == 0x80; ++i) c = (c << 6) | (p[i] & 0x3F);
        const uint32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (i < more || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
          c = 0xFFFD;  // cut short, overlong or not a code point: skip the lead byte only
        } else {
          p += more;
        }
      }
      text_[length_++] = static_cast<C>(c);
    }
    text_[length_] = 0;
    return *this;
  }

  template <size_t M>
  BoundedText& Append(const BoundedText<C, M>& other) {
    return Append(other.c_str());
  }

  // Appends the value in signed decimal.
  BoundedText& AppendDecimal(long value) {
    char digits[24];
    size_t count = 0;
    unsigned long magnitude =
        value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[count++] = '-';
    char text[sizeof digits + 1];
    for (size_t i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    text[count] = 0;
    return Append(text);
  }

  // Appends the value as 8 lowercase hexadecimal digits.
  BoundedText& AppendHex8(uint32_t value) {
    char text[9];
    for (int i = 7; i >= 0; --i) {
      text[i] = "0123456789abcdef"[value & 0xF];
      value >>= 4;
    }
    text[8] = 0;
    return Append(text);
  }

 private:
  C text_[N];
  size_t length_ = 0;
};

// The length of a message, or 0 when it is null or has no terminator within
// the first kMessageLimit characters.
template <typename C>
size_t MessageLength(const C* message) {
  if (message == nullptr) return 0;
  for (size_t i = 0; i < kMessageLimit; ++i) {
    if (message[i] == 0) return i;
  }
  return 0;
}

// The calls that differ between the narrow and the wide trace.
struct NarrowCalls {
  using Char = CHAR;
  static const Char* Name(HRESULT hr) { return ResultCodeNameA(hr); }
  static void Output(const Char* text) { OutputDebugStringA(text); }
  static int Box(const Char* text, const Char* caption) {
    return MessageBoxA(GetForegroundWindow(), text, caption, MB_YESNO | MB_ICONERROR);
  }
};

struct WideCalls {
  using Char = WCHAR;
  static const Char* Name(HRESULT hr) { return ResultCodeNameW(hr); }
  static void Output(const Char* text) { OutputDebugStringW(text); }
  static int Box(const Char* text, const Char* caption) {
    return MessageBoxW(GetForegroundWindow(), text, caption, MB_YESNO | MB_ICONERROR);
  }
};

template <typename Calls>
HRESULT Trace(const CHAR* file, DWORD line, HRESULT hr, const typename Calls::Char* message, BOOL popUp) {
  using C = typename Calls::Char;
  static constexpr C kBlank[] = {' ', 0};
  static constexpr C kNewLine[] = {'\n', 0};

  // The line as the platform's 32-bit signed long.
  BoundedText<C, kLineChars> lineText;
  lineText.AppendDecimal(static_cast<long>(static_cast<int32_t>(line)));

  if (file != nullptr) {
    BoundedText<C, kOutputChars> prefix;
    prefix.Append(file).Append("(").Append(lineText).Append("): ");
    Calls::Output(prefix.c_str());
  }

  const size_t messageLength = MessageLength(message);
  if (messageLength > 0) {
    Calls::Output(message);
    Calls::Output(kBlank);
  }

  BoundedText<C, kCodeChars> codeText;
  codeText.Append(Calls::Name(hr)).Append(" (0x").AppendHex8(static_cast<uint32_t>(hr)).Append(")");

  BoundedText<C, kOutputChars> result;
  result.Append("hr=").Append(codeText);
  Calls::Output(result.c_str());
  Calls::Output(kNewLine);

  if (popUp) {
    BoundedText<C, kFileChars> fileText;
    fileText.Append(file);
    BoundedText<C, kCallingChars> callingText;
    if (messageLength > 0) callingText.Append("Calling: ").Append(message).Append("\n");

    BoundedText<C, kOutputChars> box;
    box.Append("File: ").Append(fileText).Append("\n");
    box.Append("Line: ").Append(lineText).Append("\n");
    box.Append("Error Code: ").Append(codeText).Append("\n");
    box.Append(callingText);
    box.Append(kQuestion);

    BoundedText<C, sizeof kCaption> caption;
    caption.Append(kCaption);
    if (Calls::Box(box.c_str(), caption.c_str()) == IDYES) DebugBreak();
  }
  return hr;
}

}  // namespace

HRESULT WINAPI TraceErrorA(const CHAR* strFile, DWORD dwLine, HRESULT hr, const CHAR* strMsg,
                           BOOL bPopMsgBox) {
  return Trace<NarrowCalls>(strFile, dwLine, hr, strMsg, bPopMsgBox);
}

HRESULT WINAPI TraceErrorW(const CHAR* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg,
                           BOOL bPopMsgBox) {
  return Trace<WideCalls>(strFile, dwLine, hr, strMsg, bPopMsgBox);
}
