#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
  std::string pattern = (fs::temp_directory_path() / "zeltrix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create temporary folder");
  path_ = pattern;
}

TempDir::~TempDir()
{
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string &relative, const std::string &bytes) const
{
  fs::path full = fs::path(path_) / relative;
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << bytes;
  return full.string();
}

std::string ReadWholeFile(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
