// A scratch working folder holding copies of the game's assets, as the game
// expects to find them.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

inline std::string MakeRunFolder(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / ("quarrelo-bench-" + std::to_string(::getpid()) + "-" + name);
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
    fs::copy_file(entry.path(), folder / entry.path().filename(), fs::copy_options::overwrite_existing);
  return folder.string();
}
