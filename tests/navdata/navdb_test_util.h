// Helpers for the navigation database tests: a temporary folder per test and
// short builders for lines of the host's navaid format.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace navtest {

class TempDir {
 public:
  TempDir() {
    static int serial = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("corvane_navdb_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  // Writes `content` byte for byte (NULs included) and returns the full path.
  std::string write(const std::string& name, const std::string& content) const {
    std::filesystem::path p = dir_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return p.string();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

// Three header lines as the host's files carry them.
inline std::string host_header() { return "I\n1100 Version - data cycle 2101\n\n"; }

}  // namespace navtest
