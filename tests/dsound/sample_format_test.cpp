// Secondary buffer formats: which headers and sample widths CreateSoundBuffer
// takes, and that every taken one mixes at the levels a 16-bit buffer does.
#include <algorithm>
#include <limits>

#include "dsound_fixture.h"

using namespace dsound_test;

namespace {

// The extensible header as the platform lays it out: the record, then its
// 22 extra bytes.
#pragma pack(push, 1)
struct Extensible {
  WAVEFORMATEX format;
  WORD valid_bits;
  DWORD channel_mask;
  GUID sub_format;
};
#pragma pack(pop)
static_assert(sizeof(Extensible) == 40);

constexpr WORD kFloatTag = 3;
constexpr WORD kExtensibleTag = 0xFFFE;
constexpr GUID kPcm = {1, 0, 0x10, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kFloat = {3, 0, 0x10, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kAdpcm = {2, 0, 0x10, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

enum class Header { kPlain, kFloat, kExtensible };

struct FormatCase {
  const char* name;
  Header header;
  WORD channels;
  WORD bits;
  HRESULT expected;
  GUID sub_format = kPcm;
  WORD valid_bits = 0;  // 0: the container's
  WORD extra_bytes = 22;
  int block_align_error = 0;
};

Extensible format_of(const FormatCase& c) {
  Extensible x{};
  WAVEFORMATEX& f = x.format;
  f = PcmFormat(c.channels, c.bits, 8000);
  f.nBlockAlign = static_cast<WORD>(f.nBlockAlign + c.block_align_error);
  if (c.header == Header::kFloat) f.wFormatTag = kFloatTag;
  if (c.header == Header::kExtensible) {
    f.wFormatTag = kExtensibleTag;
    f.cbSize = c.extra_bytes;
    x.valid_bits = c.valid_bits ? c.valid_bits : c.bits;
    x.channel_mask = c.channels == 1 ? 0x4 : 0x3;
    x.sub_format = c.sub_format;
  }
  return x;
}

bool is_float(const FormatCase& c) {
  return c.header == Header::kFloat || (c.header == Header::kExtensible && c.sub_format == kFloat);
}

// One sample at `level` (a fraction of full scale) stored as `c` stores it.
void put_sample(const FormatCase& c, double level, std::vector<uint8_t>& out) {
  const float f = static_cast<float>(level);
  const int64_t top = int64_t{1} << (std::min<int>(c.bits, 32) - 1);  // unused for floats
  int64_t v = level == 1.0 ? top - 1 : static_cast<int64_t>(level * static_cast<double>(top));
  if (c.bits == 8) v += 128;  // 8-bit samples are unsigned
  if (is_float(c)) std::memcpy(&v, &f, 4);
  for (int i = 0; i < (is_float(c) ? 4 : c.bits / 8); ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// What the mixer puts out for a level: a 16-bit buffer's value (the top of
// an 8-bit one lies lower).
int16_t heard(const FormatCase& c, double level) {
  if (level == 1.0) return c.bits == 8 ? 32512 : 32767;
  return static_cast<int16_t>(level * 32768);
}

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class SampleFormats : public DsoundTest, public ::testing::WithParamInterface<FormatCase> {
 protected:
  // A duplicate of `b`, resampled, attenuated, panned and looping: its output.
  std::vector<int16_t> played_as_duplicate(LPDIRECTSOUNDBUFFER b) {
    LPDIRECTSOUNDBUFFER copy = nullptr;
    EXPECT_EQ(ds_->DuplicateSoundBuffer(b, &copy), DS_OK);
    if (!copy) return {};
    owned_.push_back(copy);
    EXPECT_EQ(copy->SetFrequency(5900), DS_OK);
    EXPECT_EQ(copy->SetVolume(-450), DS_OK);
    EXPECT_EQ(copy->SetPan(1200), DS_OK);
    EXPECT_EQ(copy->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> out = render(20);  // several laps
    copy->Stop();
    return out;
  }
};

// Four frames of the four levels; the right channel runs one level ahead, so
// swapped channels show. Played once they come out at the levels of a 16-bit
// buffer; resampled between those extremes, with volume, pan, looping and a
// duplicate, they come out as a 16-bit buffer of those levels does.
TEST_P(SampleFormats, AreTakenOrRefusedAndMixAtSixteenBitLevels) {
  const FormatCase& c = GetParam();
  set_output(8000, 2);
  const Extensible x = format_of(c);
  const double levels[4] = {1.0, -1.0, 0.5, -0.5};
  std::vector<uint8_t> bytes;
  std::vector<int16_t> sixteen;
  for (int i = 0; i < 4; ++i) {
    for (int ch = 0; ch < c.channels; ++ch) {
      put_sample(c, levels[(i + ch) % 4], bytes);
      sixteen.push_back(heard(c, levels[(i + ch) % 4]));
    }
  }

  const DWORD caps = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
  DSBUFFERDESC d = description(const_cast<WAVEFORMATEX*>(&x.format), static_cast<DWORD>(bytes.size()), caps);
  LPDIRECTSOUNDBUFFER b = reinterpret_cast<LPDIRECTSOUNDBUFFER>(1);
  ASSERT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), c.expected);
  if (FAILED(c.expected)) {
    EXPECT_EQ(b, nullptr);
    return;
  }
  owned_.push_back(b);
  write(b, 0, bytes);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  const std::vector<int16_t> out = render(5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out[2 * i], heard(c, levels[i])) << "frame " << i;
    EXPECT_EQ(out[2 * i + 1], heard(c, levels[(i + (c.channels - 1)) % 4])) << "frame " << i;
  }
  EXPECT_EQ(out[8], 0);  // played once

  const std::vector<int16_t> expected = played_as_duplicate(make16(c.channels, 8000, sixteen, caps));
  EXPECT_EQ(played_as_duplicate(b), expected);
}

const FormatCase kFormats[] = {
    {"PlainPcm8Mono", Header::kPlain, 1, 8, DS_OK},
    {"PlainPcm16Stereo", Header::kPlain, 2, 16, DS_OK},
    {"PlainPcm24", Header::kPlain, 1, 24, DSERR_BADFORMAT},  // wider samples need the extensible header
    {"PlainPcm32", Header::kPlain, 2, 32, DSERR_BADFORMAT},
    {"ExtensiblePcm8Stereo", Header::kExtensible, 2, 8, DS_OK},
    {"ExtensiblePcm16Mono", Header::kExtensible, 1, 16, DS_OK},
    {"ExtensiblePcm24Mono", Header::kExtensible, 1, 24, DS_OK},
    {"ExtensiblePcm24Stereo", Header::kExtensible, 2, 24, DS_OK},
    {"ExtensiblePcm32Mono", Header::kExtensible, 1, 32, DS_OK},
    {"ExtensiblePcm32Stereo", Header::kExtensible, 2, 32, DS_OK},
    {"Extensible20In24", Header::kExtensible, 1, 24, DS_OK, kPcm, 20},
    {"ExtensibleValidBeyondContainer", Header::kExtensible, 1, 24, DSERR_BADFORMAT, kPcm, 32},
    {"Extensible12BitContainer", Header::kExtensible, 1, 12, DSERR_BADFORMAT},
    {"ExtensibleThreeChannels", Header::kExtensible, 3, 16, DSERR_BADFORMAT},
    {"ExtensibleShortExtra", Header::kExtensible, 1, 16, DSERR_BADFORMAT, kPcm, 0, 20},
    {"ExtensibleAdpcm", Header::kExtensible, 1, 16, DSERR_BADFORMAT, kAdpcm},
    {"ExtensibleBadBlockAlign", Header::kExtensible, 2, 24, DSERR_BADFORMAT, kPcm, 0, 22, 1},
    {"PlainFloat32Mono", Header::kFloat, 1, 32, DS_OK},
    {"ExtensibleFloat32Stereo", Header::kExtensible, 2, 32, DS_OK, kFloat},
    {"PlainFloat64", Header::kFloat, 1, 64, DSERR_BADFORMAT},
    {"ExtensibleFloat16", Header::kExtensible, 1, 16, DSERR_BADFORMAT, kFloat},
};

INSTANTIATE_TEST_SUITE_P(Table, SampleFormats, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

class SampleLevels : public DsoundTest {};

TEST_F(SampleLevels, FloatSamplesBeyondFullScaleClipAndNotANumberIsSilence) {
  set_output(8000, 1);
  const float samples[] = {2.0f, -3.5f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(), 0.25f};
  std::vector<uint8_t> bytes(sizeof samples);
  std::memcpy(bytes.data(), samples, sizeof samples);
  Extensible x = format_of({"", Header::kFloat, 1, 32, DS_OK});
  LPDIRECTSOUNDBUFFER b = make_as(&x.format, bytes);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(render(5), (std::vector<int16_t>{32767, -32768, 0, 32767, 8192}));
}

}  // namespace
