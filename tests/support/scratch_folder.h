// A folder of this process's own for the files a test, benchmark or fuzz
// target writes: made with mkdtemp under the system's temporary folder,
// removed with everything in it when the object goes (unless kept). Test
// processes run side by side, so no file they write may have a fixed name.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "quarrelo") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("ScratchFolder: mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!kept_) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Leaves the folder and what it holds in place when the object goes, for
  // a look at what a failed test left.
  void keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};
