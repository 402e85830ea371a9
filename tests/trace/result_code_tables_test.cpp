// The result-code name and description lookups and the generated tables
// behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "trace/error_trace.h"
#include "trace/result_code_tables.h"

namespace {

using quarrelo::trace::FindResultCode;
using quarrelo::trace::kResultCodeNames;
using quarrelo::trace::kResultCodeTexts;
using quarrelo::trace::ResultCodeTable;

constexpr uint32_t kWin32Result = 0x80070000u;

HRESULT Code(uint32_t value) { return static_cast<HRESULT>(value); }

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string Name(uint32_t value) { return ResultCodeNameA(Code(value)); }
std::string Text(uint32_t value) { return ResultCodeTextA(Code(value)); }

TEST(ResultCodeNames, GiveTheNamesOfTheKnownCodes) {
  const std::map<uint32_t, std::string> rows = {
      {0x00000000, "S_OK"},
      {0x00000001, "S_FALSE"},
      {0x00000002, "ERROR_FILE_NOT_FOUND"},
      {0x80070002, "ERROR_FILE_NOT_FOUND"},
      {0x00000005, "ERROR_ACCESS_DENIED"},
      {0x80070005, "E_ACCESSDENIED"},
      {0x00000006, "ERROR_INVALID_HANDLE"},
      {0x80070006, "E_HANDLE"},
      {0x0000000E, "ERROR_OUTOFMEMORY"},
      {0x8007000E, "E_OUTOFMEMORY"},
      {0x00000057, "ERROR_INVALID_PARAMETER"},
      {0x80070057, "E_INVALIDARG"},
      {0x80004001, "E_NOTIMPL"},
      {0x80004002, "E_NOINTERFACE"},
      {0x80004005, "E_FAIL"},
      {0x800401F0, "CO_E_NOTINITIALIZED"},
      {0x8878000A, "DSERR_ALLOCATED"},
      {0x8878001E, "DSERR_CONTROLUNAVAIL"},
      {0x88780096, "DSERR_BUFFERLOST"},
      {0x88760868, "D3DERR_DEVICELOST"},
      {0x8876086C, "D3DERR_INVALIDCALL"},
      {0x80040200, "DIERR_INSUFFICIENTPRIVS & VFW_E_INVALIDMEDIATYPE"},
      {0x80040201, "DIERR_DEVICEFULL & VFW_E_INVALIDSUBTYPE & DMO_E_INVALIDSTREAMINDEX"},
      // Other families the table takes, one of each.
      {0x8000FFFF, "E_UNEXPECTED"},
      {0x00002714, "WSAEINTR"},
      {0x80090308, "SEC_E_INVALID_TOKEN"},
      {0x80041001, "WBEM_E_FAILED"},
      {0x800F0203, "SPAPI_E_NO_DRIVER_SELECTED"},
      {0x887600FF, "DDERR_NOTFOUND"},
      {0x88781161, "DSERR_OBJECTNOTFOUND & DMUS_E_NOT_FOUND"},
  };
  for (const auto& [code, name] : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << "0x" << code);
    EXPECT_EQ(Name(code), name);
    EXPECT_EQ(ResultCodeNameW(Code(code)), Widen(name));
  }
}

TEST(ResultCodeTexts, GiveTheDescriptionsOfTheKnownCodes) {
  const std::map<uint32_t, std::string> rows = {
      {0x00000000, "The function completed successfully"},
      {0x00000001, "Call successful, but returned FALSE"},
      {0x00000002, "The system cannot find the file specified."},
      {0x80070002, "The system cannot find the file specified."},
      {0x80004001, "The function called is not supported at this time"},
      {0x80004005, "An undetermined error occurred"},
      {0x8007000E, "Ran out of memory"},
      {0x80070057, "An invalid parameter was passed to the returning function"},
      {0x800401F0, "CoInitialize has not been called."},
      {0x80040201, "The device is full. & An invalid media subtype was specified."},
  };
  for (const auto& [code, text] : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << "0x" << code);
    EXPECT_EQ(Text(code), text);
    EXPECT_EQ(ResultCodeTextW(Code(code)), Widen(text));
  }
  // Every code the sound library can meet has a sentence.
  for (uint32_t code : {0x8000FFFFu, 0x8878000Au, 0x8878001Eu, 0x88780096u, 0x88760868u}) {
    EXPECT_NE(Text(code), "n/a") << std::hex << code;
  }
}

TEST(ResultCodeLookups, UnlistedCodesGiveTheDefaults) {
  for (uint32_t code :
       {0x12345678u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80041000u, 0x8878000Bu, 0x00010000u, 0x8007FFFFu}) {
    SCOPED_TRACE(testing::Message() << std::hex << "0x" << code);
    EXPECT_STREQ(ResultCodeNameA(Code(code)), "Unknown");
    EXPECT_STREQ(ResultCodeNameW(Code(code)), L"Unknown");
    EXPECT_STREQ(ResultCodeTextA(Code(code)), "n/a");
    EXPECT_STREQ(ResultCodeTextW(Code(code)), L"n/a");
  }
  // Named but not described.
  EXPECT_EQ(Text(0x00000005), "n/a");
  // No masking and no derivation: 0x88760001 is not DirectDraw's 1.
  EXPECT_EQ(Name(0x88760001), "Unknown");
  // The COM+ event system is not a family of the table.
  EXPECT_EQ(Name(0x80040202), "DIERR_MOREDATA & VFW_E_NEED_OWNER & DMO_E_INVALIDTYPE");
}

// The index narrows each lookup to a bucket; a code in a wrong or cut
// bucket would be missed. Every code that shares its high word with a listed
// code is checked against a plain search, and a spread of the others.
TEST(ResultCodeLookups, FindExactlyTheListedCodes) {
  for (const ResultCodeTable* table : {&kResultCodeNames, &kResultCodeTexts}) {
    const uint32_t* end = table->codes + table->size;
    auto expected = [&](uint32_t code) {
      const uint32_t* it = std::lower_bound(table->codes, end, code);
      return it != end && *it == code ? static_cast<size_t>(it - table->codes) : table->size;
    };
    std::set<uint32_t> highWords;
    for (size_t i = 0; i < table->size; ++i) highWords.insert(table->codes[i] >> 16);
    for (uint32_t high : highWords) {
      for (uint32_t low = 0; low <= 0xFFFF; ++low) {
        const uint32_t code = high << 16 | low;
        ASSERT_EQ(FindResultCode(*table, code), expected(code)) << std::hex << code;
      }
    }
    for (uint64_t code = 0; code <= 0xFFFFFFFFu; code += 0x10001) {
      ASSERT_EQ(FindResultCode(*table, static_cast<uint32_t>(code)), expected(static_cast<uint32_t>(code)));
    }
    EXPECT_EQ(FindResultCode(*table, 0xFFFFFFFFu), table->size);
  }
  EXPECT_EQ(ResultCodeNameA(Code(kResultCodeNames.codes[0])), kResultCodeNames.narrow[0]);
  EXPECT_EQ(ResultCodeTextW(Code(kResultCodeTexts.codes[kResultCodeTexts.size - 1])),
            kResultCodeTexts.wide[kResultCodeTexts.size - 1]);
}

// What every table holds: ascending codes, one entry per code, and the same
// text narrow and wide.
void ExpectWellFormed(const ResultCodeTable& table) {
  ASSERT_GT(table.size, 0u);
  for (size_t i = 0; i < table.size; ++i) {
    if (i > 0) {
      EXPECT_LT(table.codes[i - 1], table.codes[i]) << "entry " << i;
    }
    const std::string narrow = table.narrow[i];
    EXPECT_FALSE(narrow.empty()) << "entry " << i;
    EXPECT_EQ(table.wide[i], Widen(narrow)) << "entry " << i;
  }
}

TEST(ResultCodeTables, AreSortedWithOneEntryPerCodeAndAgreeNarrowAndWide) {
  ExpectWellFormed(kResultCodeNames);
  ExpectWellFormed(kResultCodeTexts);
  // The sizes the families give (about 6,000 codes, 3,900 names, 660
  // descriptions); far off means a family went missing or leaked in.
  EXPECT_GT(kResultCodeNames.size, 5000u);
  EXPECT_LT(kResultCodeNames.size, 7000u);
  EXPECT_GT(kResultCodeTexts.size, 600u);
  EXPECT_LT(kResultCodeTexts.size, 750u);
}

TEST(ResultCodeTables, NamesAreWellFormedAndFollowTheFamilyRules) {
  // Upper case words (one header name has a lower case unit: ..._64k).
  const std::regex joined("[A-Z][A-Za-z0-9_]*[A-Za-z0-9]( & [A-Z][A-Za-z0-9_]*[A-Za-z0-9])*");
  const std::regex marker(".*_(FIRST|LAST|BASE)");
  std::map<std::string, std::vector<uint32_t>> codesOfName;
  for (size_t i = 0; i < kResultCodeNames.size; ++i) {
    const std::string name = kResultCodeNames.narrow[i];
    const uint32_t code = kResultCodeNames.codes[i];
    ASSERT_TRUE(std::regex_match(name, joined)) << name;
    std::set<std::string> parts;
    for (size_t start = 0;;) {
      const size_t end = name.find(" & ", start);
      const std::string part = name.substr(start, end - start);
      EXPECT_TRUE(parts.insert(part).second) << name;
      EXPECT_FALSE(std::regex_match(part, marker)) << name;
      EXPECT_NE(part.rfind("EVENT_", 0), 0u) << name;
      codesOfName[part].push_back(code);
      if (end == std::string::npos) break;
      start = end + 3;
    }
    // Media-object names only stand beside another DirectX name.
    EXPECT_FALSE(parts.size() == 1 && name.rfind("DMO_", 0) == 0) << name;
  }
  // A name names one code, or a system error n and 0x80070000 + n.
  for (const auto& [name, codes] : codesOfName) {
    ASSERT_LE(codes.size(), 2u) << name;
    if (codes.size() == 2) {
      EXPECT_LT(codes[0], 0x10000u) << name;
      EXPECT_EQ(codes[1], kWin32Result + codes[0]) << name;
    }
  }
  // Every system error is listed under both codes; the second gives the same
  // name unless a COM name holds that value.
  for (size_t i = 0; i < kResultCodeNames.size && kResultCodeNames.codes[i] < 0x10000u; ++i) {
    const uint32_t n = kResultCodeNames.codes[i];
    if (n <= 1) continue;  // S_OK and S_FALSE
    const std::string twin = Name(kWin32Result + n);
    ASSERT_NE(twin, "Unknown") << n;
    if (twin != kResultCodeNames.narrow[i]) {
      EXPECT_EQ(twin.substr(0, 2), "E_") << twin;
    }
  }
}

TEST(ResultCodeTables, DescribeOnlyNamedCodesInSentences) {
  for (size_t i = 0; i < kResultCodeTexts.size; ++i) {
    const uint32_t code = kResultCodeTexts.codes[i];
    const std::string text = kResultCodeTexts.narrow[i];
    const std::string name = Name(code);
    ASSERT_NE(name, "Unknown") << std::hex << code;
    EXPECT_NE(text.front(), ' ') << text;
    EXPECT_NE(text.back(), ' ') << text;
    // A joined description has no more parts than the joined name.
    auto parts = [](const std::string& s) {
      size_t count = 1;
      for (size_t at = s.find(" & "); at != std::string::npos; at = s.find(" & ", at + 3)) ++count;
      return count;
    };
    EXPECT_LE(parts(text), parts(name)) << name << ": " << text;
  }
}

}  // namespace
