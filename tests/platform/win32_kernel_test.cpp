// The Win32 stand-in's kernel calls on the headless backend: tick count,
// sleep, debugger output, message boxes, debugger break, events and
// embedded data blocks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "fixture.h"
#include "capture_fd2.h"
#include "platform/win32/resources.h"
#include "platform/win32/windows_internal.h"

using namespace platform_test;

namespace {

class Win32Kernel : public PlatformTest {};

// The tick count steps every 15.625 ms, as the platform's system timer does
// (the headless clock moves 1 ms at every read): 15 and 16 ms apart in turn.
TEST_F(Win32Kernel, TickCountStepsWithThePlatformsTimer) {
  headless::set_ticks(5000);  // a step begins exactly here (320 x 15.625)
  EXPECT_EQ(GetTickCount(), 5000u);
  EXPECT_EQ(GetTickCount(), 5000u) << "within the step";
  const DWORD steps[] = {5015, 5031, 5046, 5062, 5078, 5093, 5109, 5125};
  for (DWORD expected : steps) {
    headless::set_ticks(expected + 1);
    EXPECT_EQ(GetTickCount(), expected);
  }
}

// A poll within one step sleeps to the next step once it has read eight
// times: the game's pacing wakes about 64 times a second. The reads right
// after the wait, and a few reads a frame, never sleep.
TEST_F(Win32Kernel, APollSleepsToTheNextStepAndTheReadsAfterItDoNot) {
  headless::set_ticks(5000);
  const DWORD last = GetTickCount();
  int reads = 0;
  while (GetTickCount() - last < 15) ++reads;
  EXPECT_EQ(reads, 7) << "seven free reads, the eighth of the loop slept";
  EXPECT_EQ(headless::peek_ticks(), 5016u) << "woke as the step began, at 5015.625 ms, and read once";
  const uint64_t slept = headless::slept_ms();
  EXPECT_GT(slept, 0u);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GetTickCount(), 5015u);
  EXPECT_EQ(headless::slept_ms(), slept) << "eight reads of the new step, none slept";
}

TEST_F(Win32Kernel, TickDifferenceAcrossTheWrap) {
  // 2^32 ms is not a whole number of steps: the count is stepped on the
  // 64-bit clock and wraps as the platform's does.
  headless::set_ticks(0xFFFFFFF0u);
  const DWORD before = GetTickCount();
  headless::advance(40);
  const DWORD after = GetTickCount();
  EXPECT_LT(after, before) << "the counter wrapped";
  EXPECT_GE(after - before, 31u) << "the unsigned difference does not see the wrap";
  EXPECT_LE(after - before, 47u);
  // The game's wait across the wrap ends as usual.
  headless::set_ticks(0xFFFFFFFEu);
  const DWORD last = GetTickCount();
  while (GetTickCount() - last < 15) {
  }
  EXPECT_LT(headless::peek_ticks(), 20u);
}

TEST_F(Win32Kernel, SleepMovesTheVirtualClock) {
  headless::set_ticks(100);
  Sleep(10);
  EXPECT_EQ(headless::peek_ticks(), 110u) << "10 ms, the read of the clock that began it included";
  Sleep(0);
  EXPECT_EQ(headless::peek_ticks(), 111u) << "no wait, only the read";
}

TEST_F(Win32Kernel, DebuggerOutputGoesToFd2NotToCerr) {
  headless::echo_debug_output(true);
  std::ostringstream cerr_capture;
  std::streambuf* old = std::cerr.rdbuf(cerr_capture.rdbuf());
  const std::string fd2 = CaptureFd2([] {
    OutputDebugStringA("dsutil(68): mmioOpen ");
    OutputDebugStringA("hr=E_FAIL (0x80004005)\n");
    OutputDebugStringW(L"wide \u00e9\n");
  });
  std::cerr.rdbuf(old);
  const std::string cerr_text = cerr_capture.str();
  EXPECT_EQ(fd2, "dsutil(68): mmioOpen hr=E_FAIL (0x80004005)\nwide \xc3\xa9\n");
  EXPECT_EQ(cerr_text, "") << "the run log's stream gets nothing";
  EXPECT_EQ(headless::debug_output(), fd2);
}

TEST_F(Win32Kernel, MessageBoxAnswersAsScripted) {
  headless::answer_message_box(true);
  EXPECT_EQ(MessageBoxA(GetForegroundWindow(), "Do you want to debug the application?",
                        "Unexpected error encountered", MB_YESNO | MB_ICONERROR),
            IDYES);
  EXPECT_EQ(MessageBoxW(NULL, L"text", L"caption", MB_YESNO | MB_ICONERROR), IDNO) << "No when unscripted";
  auto boxes = headless::message_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Unexpected error encountered");
  EXPECT_TRUE(boxes[0].answered_yes);
  EXPECT_EQ(boxes[1].text, "text");
  EXPECT_FALSE(boxes[1].answered_yes);
  EXPECT_EQ(MessageBoxA(NULL, "note", "caption", MB_OK), IDOK);
  EXPECT_NE(headless::debug_output().find("note"), std::string::npos);
}

TEST_F(Win32Kernel, DebugBreakWithoutDebuggerDoesNothing) {
  if (win32_internal::debugger_attached()) GTEST_SKIP() << "a debugger is attached";
  DebugBreak();
  SUCCEED();
}

TEST_F(Win32Kernel, EventsSignalAcrossThreads) {
  HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_TIMEOUT);
  std::thread mixer([event] { SetEvent(event); });
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), (DWORD)WAIT_OBJECT_0);
  mixer.join();
  EXPECT_EQ(WaitForSingleObject(event, 1), (DWORD)WAIT_TIMEOUT) << "auto-reset";
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(event));
}

TEST_F(Win32Kernel, ManualResetEventStaysSignalled) {
  HANDLE event = CreateEventA(NULL, TRUE, TRUE, "ignored");
  EXPECT_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_TIMEOUT);
  CloseHandle(event);
  headless::fail("CreateEventA");
  EXPECT_EQ(CreateEventA(NULL, TRUE, FALSE, NULL), nullptr);
}

TEST_F(Win32Kernel, ManyThreadsSetAndWait) {
  HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
  std::atomic<int> woken{0};
  std::thread waiter([&] {
    for (int i = 0; i < 1000; ++i)
      if (WaitForSingleObject(event, 2000) == WAIT_OBJECT_0) ++woken;
  });
  std::thread setter([&] {
    while (woken.load() < 1000) SetEvent(event);
  });
  waiter.join();
  setter.join();
  EXPECT_EQ(woken.load(), 1000);
  CloseHandle(event);
}

TEST_F(Win32Kernel, NoEmbeddedBlocksInTheProgram) {
  EXPECT_EQ(FindResourceA(NULL, "hit1.wav", "WAVE"), nullptr);
  EXPECT_EQ(FindResourceA(NULL, "hit1.wav", "WAV"), nullptr);
}

TEST_F(Win32Kernel, RegisteredBlocksAreFound) {
  win32_resources::add("WAVE", "tone.wav", {1, 2, 3, 4, 5});
  HRSRC block = FindResourceA(NULL, "TONE.WAV", "wave");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(FindResourceA(NULL, "tone.wav", "WAV"), nullptr);
  HGLOBAL loaded = LoadResource(NULL, block);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SizeofResource(NULL, block), 5u);
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(loaded));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[4], 5);

  win32_resources::add("WAV", "empty", {});
  HRSRC empty = FindResourceA(NULL, "empty", "WAV");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SizeofResource(NULL, empty), 0u);

  headless::fail("LoadResource");
  EXPECT_EQ(LoadResource(NULL, block), nullptr);
  headless::fail("LockResource");
  EXPECT_EQ(LockResource(loaded), nullptr);
  headless::fail("FindResourceA");
  EXPECT_EQ(FindResourceA(NULL, "tone.wav", "WAVE"), nullptr);

  win32_resources::clear();
  EXPECT_EQ(FindResourceA(NULL, "tone.wav", "WAVE"), nullptr);
  EXPECT_EQ(SizeofResource(NULL, block), 0u) << "a stale handle is refused";
}

}  // namespace
