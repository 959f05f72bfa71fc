// A temporary folder for one test, removed with everything in it afterwards.
#pragma once
#include <string>

class TempDir
{
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::string &Path() const { return path_; }
  // Writes bytes to a path relative to the folder, creating folders as needed; returns the full path.
  std::string Write(const std::string &relative, const std::string &bytes) const;

private:
  std::string path_;
};

std::string ReadWholeFile(const std::string &path);
