// DebugBreak does nothing without a debugger and stops in an attached one
// (the latter checked with gdb when it is installed and may trace).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string run(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
  status = pclose(pipe);
  return out;
}

TEST(DebugBreak, NothingWithoutADebugger) {
  int status = 0;
  const std::string out = run(PROBE_PATH, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out, "after\n");
}

TEST(DebugBreak, StopsInAnAttachedDebugger) {
  if (std::system("command -v gdb >/dev/null 2>&1") != 0) GTEST_SKIP() << "gdb is not installed";
  int status = 0;
  const std::string out =
      run(std::string("gdb -nx -batch -ex run -ex 'info program' ") + PROBE_PATH + " </dev/null", status);
  if (out.find("ptrace") != std::string::npos && out.find("not permitted") != std::string::npos)
    GTEST_SKIP() << "gdb may not trace here: " << out;
  EXPECT_NE(out.find("SIGTRAP"), std::string::npos) << out;
  EXPECT_EQ(out.find("after"), std::string::npos) << "stopped before going on\n" << out;
}

}  // namespace
