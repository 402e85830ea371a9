// The error trace: its debugger output line, its bounds and its message box,
// seen through the headless backend.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless.h"
#include "trace/error_trace.h"

namespace {

class ErrorTrace : public testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    headless::echo_debug_output(false);
    headless::clear_debug_output();
  }

  static std::string Output() { return headless::debug_output(); }
};

constexpr char kQuestion[] = "Do you want to debug the application?";
constexpr HRESULT kBufferLost = static_cast<HRESULT>(0x88780096);  // DSERR_BUFFERLOST

TEST_F(ErrorTrace, WritesOneLineWithFileLineCallAndCodeName) {
  EXPECT_EQ(TraceErrorA("F", 68, E_FAIL, "mmioOpen", FALSE), E_FAIL);
  EXPECT_EQ(Output(), "F(68): mmioOpen hr=E_FAIL (0x80004005)\n");
  EXPECT_TRUE(headless::message_boxes().empty());

  headless::clear_debug_output();
  EXPECT_EQ(TraceErrorW("F", 68, E_FAIL, L"mmioOpen", FALSE), E_FAIL);
  EXPECT_EQ(Output(), "F(68): mmioOpen hr=E_FAIL (0x80004005)\n");
  EXPECT_TRUE(headless::message_boxes().empty());
}

TEST_F(ErrorTrace, PrintsCodesAsNameAndEightLowercaseDigitsAndReturnsThem) {
  EXPECT_EQ(TraceErrorA(nullptr, 1, S_FALSE, nullptr, FALSE), S_FALSE);
  EXPECT_EQ(TraceErrorA(nullptr, 1, static_cast<HRESULT>(0x8007000E), nullptr, FALSE),
            static_cast<HRESULT>(0x8007000E));
  EXPECT_EQ(TraceErrorA(nullptr, 1, 0x12345678, nullptr, FALSE), 0x12345678);
  EXPECT_EQ(TraceErrorW(nullptr, 1, S_OK, nullptr, FALSE), S_OK);
  EXPECT_EQ(Output(),
            "hr=S_FALSE (0x00000001)\n"
            "hr=E_OUTOFMEMORY (0x8007000e)\n"
            "hr=Unknown (0x12345678)\n"
            "hr=S_OK (0x00000000)\n");
}

TEST_F(ErrorTrace, LeavesOutTheMissingParts) {
  TraceErrorA(nullptr, 68, E_FAIL, "mmioOpen", FALSE);
  TraceErrorA("dsutil", 68, E_FAIL, nullptr, FALSE);
  TraceErrorA("dsutil", 68, E_FAIL, "", FALSE);
  TraceErrorW("dsutil", 68, E_FAIL, L"", FALSE);
  EXPECT_EQ(Output(),
            "mmioOpen hr=E_FAIL (0x80004005)\n"
            "dsutil(68): hr=E_FAIL (0x80004005)\n"
            "dsutil(68): hr=E_FAIL (0x80004005)\n"
            "dsutil(68): hr=E_FAIL (0x80004005)\n");
}

TEST_F(ErrorTrace, PrintsTheLineAsASigned32BitNumber) {
  TraceErrorA("f", 0, E_FAIL, nullptr, FALSE);
  TraceErrorA("f", 0xFFFFFFFFu, E_FAIL, nullptr, FALSE);
  TraceErrorW("f", 0x80000000u, E_FAIL, nullptr, FALSE);
  EXPECT_EQ(Output(),
            "f(0): hr=E_FAIL (0x80004005)\n"
            "f(-1): hr=E_FAIL (0x80004005)\n"
            "f(-2147483648): hr=E_FAIL (0x80004005)\n");
}

TEST_F(ErrorTrace, CountsAMessageOf1024CharactersOrMoreAsEmpty) {
  const std::string longest(1023, 'm');
  TraceErrorA("f", 1, E_FAIL, longest.c_str(), FALSE);
  EXPECT_EQ(Output(), "f(1): " + longest + " hr=E_FAIL (0x80004005)\n");

  for (size_t length : {1024u, 5000u}) {
    headless::clear_debug_output();
    const std::string narrow(length, 'm');
    const std::wstring wide(length, L'm');
    TraceErrorA("f", 1, E_FAIL, narrow.c_str(), TRUE);
    TraceErrorW("f", 1, E_FAIL, wide.c_str(), FALSE);
    EXPECT_EQ(Output(), "f(1): hr=E_FAIL (0x80004005)\nf(1): hr=E_FAIL (0x80004005)\n") << length;
  }
  ASSERT_EQ(headless::message_boxes().size(), 2u);
  EXPECT_EQ(headless::message_boxes()[1].text.find("Calling: "), std::string::npos);
}

TEST_F(ErrorTrace, PrintsALongFileNameWholeUpToTheOutputLine) {
  const std::string file(2000, 'p');
  TraceErrorA(file.c_str(), 7, E_FAIL, nullptr, FALSE);
  EXPECT_EQ(Output(), file + "(7): hr=E_FAIL (0x80004005)\n");

  // The prefix is cut at 2999 characters.
  headless::clear_debug_output();
  const std::string huge(4000, 'q');
  TraceErrorA(huge.c_str(), 7, E_FAIL, "call", FALSE);
  TraceErrorW(huge.c_str(), 7, E_FAIL, L"call", FALSE);
  const std::string line = std::string(2999, 'q') + "call hr=E_FAIL (0x80004005)\n";
  EXPECT_EQ(Output(), line + line);
}

TEST_F(ErrorTrace, WidensAUtf8FileNameWithoutChangingIt) {
  TraceErrorA("caf\xc3\xa9.cpp", 3, E_FAIL, nullptr, FALSE);
  TraceErrorW("caf\xc3\xa9.cpp", 3, E_FAIL, nullptr, FALSE);
  // A malformed byte becomes U+FFFD in the wide trace.
  TraceErrorW("a\xff", 3, E_FAIL, nullptr, FALSE);
  EXPECT_EQ(Output(),
            "caf\xc3\xa9.cpp(3): hr=E_FAIL (0x80004005)\n"
            "caf\xc3\xa9.cpp(3): hr=E_FAIL (0x80004005)\n"
            "a\xef\xbf\xbd(3): hr=E_FAIL (0x80004005)\n");
}

TEST_F(ErrorTrace, AsksWhetherToDebugOnlyWhenToldTo) {
  headless::answer_message_box(true);
  headless::answer_message_box(false);
  EXPECT_EQ(TraceErrorA("dsutil", 68, E_FAIL, "mmioOpen", TRUE), E_FAIL);
  EXPECT_EQ(TraceErrorW("dsutil", 70, kBufferLost, L"Restore", TRUE), kBufferLost);
  EXPECT_EQ(TraceErrorA(nullptr, 5, S_OK, nullptr, FALSE), S_OK);

  const auto boxes = headless::message_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Unexpected error encountered");
  EXPECT_EQ(boxes[0].text, std::string("File: dsutil\nLine: 68\nError Code: E_FAIL (0x80004005)\n") +
                               "Calling: mmioOpen\n" + kQuestion);
  EXPECT_TRUE(boxes[0].answered_yes);
  EXPECT_EQ(boxes[1].caption, "Unexpected error encountered");
  EXPECT_EQ(boxes[1].text,
            std::string("File: dsutil\nLine: 70\nError Code: DSERR_BUFFERLOST (0x88780096)\n") +
                "Calling: Restore\n" + kQuestion);
  EXPECT_FALSE(boxes[1].answered_yes);
  // The debugger output is the same with or without the box.
  EXPECT_EQ(Output(),
            "dsutil(68): mmioOpen hr=E_FAIL (0x80004005)\n"
            "dsutil(70): Restore hr=DSERR_BUFFERLOST (0x88780096)\n"
            "hr=S_OK (0x00000000)\n");
}

TEST_F(ErrorTrace, CutsTheBoxTextsAtTheirBuffers) {
  // No file and no message: empty file text, no calling line.
  TraceErrorA(nullptr, 9, E_FAIL, nullptr, TRUE);
  // File text holds 259 characters; calling text 1023.
  const std::string file(300, 'f');
  const std::string message(1023, 'm');
  TraceErrorA(file.c_str(), 9, E_FAIL, message.c_str(), TRUE);
  TraceErrorW(file.c_str(), 9, E_FAIL, std::wstring(1023, L'm').c_str(), TRUE);

  const auto boxes = headless::message_boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, std::string("File: \nLine: 9\nError Code: E_FAIL (0x80004005)\n") + kQuestion);
  const std::string cut = "File: " + std::string(259, 'f') + "\nLine: 9\nError Code: E_FAIL (0x80004005)\n" +
                          "Calling: " + std::string(1023 - 9, 'm') + kQuestion;
  EXPECT_EQ(boxes[1].text, cut);
  EXPECT_EQ(boxes[2].text, cut);
  // The output line still has the whole file name.
  EXPECT_NE(Output().find(file + "(9): " + message + " hr="), std::string::npos);
}

}  // namespace
