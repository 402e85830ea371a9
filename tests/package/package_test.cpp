// The Debian package, made with CPack from this build: lintian finds no error
// in it, it holds the installed game's files, and unpacked into a scratch
// root its launcher plays the game under Xvfb in the player's own folder,
// refreshing the asset links there, without writing anything under the root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "asset_pictures.h"
#include "whole_run_log.h"
#include "scratch_folder.h"
#include "files_and_tools.h"

namespace fs = std::filesystem;

namespace {

// Type, size and time of every entry under a folder, by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::ostringstream state;
    const fs::file_status status = entry.symlink_status();
    state << int(status.type()) << ' ' << int(status.permissions());
    if (fs::is_regular_file(status))
      state << ' ' << entry.file_size() << ' ' << entry.last_write_time().time_since_epoch().count();
    entries[fs::relative(entry.path(), root).string()] = state.str();
  }
  return entries;
}

}  // namespace

TEST(DebianPackage, PassesLintianAndPlaysUnpackedThroughItsLauncher) {
  for (const char* tool :
       {CPACK_COMMAND, "dpkg-deb", "dpkg-shlibdeps", "file", "lintian", "xvfb-run", "xdotool"})
    if (!on_path(tool))
      GTEST_SKIP() << tool << " is missing (scripts/setup installs it): package test skipped";
  ScratchFolder scratch("quarrelo-package");
  const fs::path dir = scratch.path();
  auto run = [&](const std::string& command, const std::string& output) {
    return std::system(("cd '" + dir.string() + "' && " + command + " > '" + output + "' 2>&1").c_str());
  };

  // Made in a folder of this test's own, never beside a player's make package.
  ASSERT_EQ(run(std::string("'") + CPACK_COMMAND + "' --config '" + CPACK_CONFIG + "' -B cpack", "cpack.out"),
            0)
      << read_file(dir / "cpack.out");
  fs::path deb;
  for (const auto& entry : fs::directory_iterator(dir / "cpack"))
    if (entry.path().extension() == ".deb") deb = entry.path();
  ASSERT_EQ(deb.filename().string().rfind(std::string("quarrelo_") + QUARRELO_VERSION + "_", 0), 0u) << deb;

  run("lintian '" + deb.string() + "'", "lintian.out");
  const std::string lintian = read_file(dir / "lintian.out");
  std::cout << "lintian:\n" << lintian;
  std::istringstream lines(lintian);
  for (std::string line; std::getline(lines, line);) EXPECT_NE(line.rfind("E: ", 0), 0u) << line;

  ASSERT_EQ(run("dpkg-deb -x '" + deb.string() + "' root", "unpack.out"), 0) << read_file(dir / "unpack.out");
  const fs::path root = fs::canonical(dir / "root");
  std::set<std::string> files, expected = {"usr/games/quarrelo",
                                           "usr/lib/games/quarrelo/Quarrelo",
                                           "usr/share/applications/quarrelo.desktop",
                                           "usr/share/icons/hicolor/48x48/apps/quarrelo.png",
                                           "usr/share/icons/hicolor/128x128/apps/quarrelo.png",
                                           "usr/share/icons/hicolor/256x256/apps/quarrelo.png",
                                           "usr/share/man/man6/quarrelo.6.gz",
                                           "usr/share/doc/quarrelo/copyright",
                                           "usr/share/doc/quarrelo/changelog.gz"};
  for (const std::string& asset : kAssetNames) expected.insert("usr/share/games/quarrelo/" + asset);
  for (const std::string& data : kDataFileNames) expected.insert("usr/share/games/quarrelo/" + data);
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), root).string());
  EXPECT_EQ(files, expected);
  const std::map<std::string, std::string> before = Snapshot(root);

  // The player's folder as an older installation elsewhere left it: a link to
  // an asset that is gone, a link to an asset that moved, and a note of the
  // player's own.
  const fs::path folder = dir / "state" / "quarrelo";
  fs::create_directories(folder);
  fs::create_symlink("/old/usr/share/games/quarrelo/gone.bmp", folder / "gone.bmp");
  fs::create_symlink("/old/usr/share/games/quarrelo/classroom.bmp", folder / "classroom.bmp");
  std::ofstream(folder / "notes.txt") << "mine";
  fs::create_directories(dir / "home");

  // Started from another folder, as a desktop would start it.
  const std::string session = "env XDG_STATE_HOME='" + (dir / "state").string() + "' HOME='" +
                              (dir / "home").string() + "' SDL_AUDIODRIVER=dummy '" + QUARRELO_SOURCE_DIR +
                              "/tests/support/xvfb_run' 800x600 sh '" + QUARRELO_SOURCE_DIR +
                              "/tests/package/launch_session.sh' '" + (root / "usr/games/quarrelo").string() +
                              "' exit_code";
  ASSERT_EQ(run(session, "session.out"), 0) << read_file(dir / "session.out");
  EXPECT_EQ(read_file(dir / "exit_code"), "0\n") << read_file(dir / "session.out");
  EXPECT_EQ(read_file(folder / "Log.txt"), WholeRunLog());
  EXPECT_FALSE(fs::exists(dir / "Log.txt"));

  std::vector<std::string> shipped = kAssetNames;
  shipped.insert(shipped.end(), kDataFileNames.begin(), kDataFileNames.end());
  for (const std::string& asset : shipped) {
    ASSERT_TRUE(fs::is_symlink(folder / asset)) << asset;
    EXPECT_EQ(fs::read_symlink(folder / asset), root / "usr/share/games/quarrelo" / asset);
  }
  EXPECT_FALSE(fs::is_symlink(folder / "gone.bmp"));
  EXPECT_EQ(read_file(folder / "notes.txt"), "mine");
  // The desktop entry's action, "Play against the computer", through the
  // launcher: the game starts with the computer playing (its plate loaded).
  const std::string entry = read_file(root / "usr/share/applications/quarrelo.desktop");
  const size_t action = entry.find("[Desktop Action computer]\nName=Play against the computer\n");
  ASSERT_NE(action, std::string::npos) << entry;
  const size_t exec = entry.find("Exec=quarrelo ", action);
  ASSERT_NE(exec, std::string::npos) << entry;
  const std::string options = entry.substr(exec + 14, entry.find('\n', exec) - exec - 14);
  ASSERT_EQ(run(session + " " + options, "action.out"), 0) << read_file(dir / "action.out");
  EXPECT_EQ(read_file(dir / "exit_code"), "0\n") << read_file(dir / "action.out");
  std::string computer_log = WholeRunLog();
  computer_log.insert(computer_log.find("LoadSound() Successful"), "LoadTexture() Successful\n");
  EXPECT_EQ(read_file(folder / "Log.txt"), computer_log);
  // A wrong option goes through the launcher to the game, which names it and
  // starts nothing.
  const std::string bad = "cd '" + dir.string() + "' && env XDG_STATE_HOME='" + (dir / "state").string() +
                          "' HOME='" + (dir / "home").string() + "' '" +
                          (root / "usr/games/quarrelo").string() +
                          "' --computer sideways > bad.out 2>&1; echo $? > bad_code";
  ASSERT_EQ(std::system(bad.c_str()), 0);
  EXPECT_EQ(read_file(dir / "bad_code"), "2\n");
  EXPECT_EQ(read_file(dir / "bad.out"), "Quarrelo: --computer \"sideways\" is not a side: left or right\n");

  // Every entry under the root that appeared, went or changed.
  std::map<std::string, std::string> after = Snapshot(root);
  std::string changed;
  for (const auto& [path, state] : before)
    if (!after.count(path) || after.at(path) != state) changed += " " + path;
  for (const auto& [path, state] : after)
    if (!before.count(path)) changed += " " + path;
  EXPECT_EQ(changed, "") << "written under the install root";
}
