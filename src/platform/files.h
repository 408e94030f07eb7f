#pragma once

// Files beside the program, and starting other programs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace pellucor {

class Files {
 public:
  // The program's folder as the process reports it: no trailing backslash
  // except at a drive's root.
  virtual std::string programFolder() = 0;
  // The full path of the program's own executable.
  virtual std::string modulePath() = 0;
  // Last-modified time of a file or folder; throws Failure when it cannot be read.
  virtual std::int64_t fileDateTime(const std::string& path) = 0;
  // Names (without folder) of ordinary files matching a pattern with wildcards
  // in its last component; hidden and system files and folders are left out.
  virtual std::vector<std::string> listFiles(const std::string& pattern) = 0;
  // Throws Failure(File not found) when the file cannot be read.
  virtual std::string readTextFile(const std::string& path) = 0;
  // Starts a command line without waiting; throws Failure(File not found).
  // Name the program by full path: a bare name is searched for in the
  // program's folder and the current folder first.
  virtual void startProcess(const std::string& commandLine, ShowMode mode) = 0;
  // The shared Windows folder, where the system's own programs are.
  virtual std::string windowsFolder() = 0;
  // Whether two file names name the same file, compared as Windows compares
  // them (without case, in every script).
  virtual bool sameFileName(std::string_view a, std::string_view b) = 0;
  // The program's version, as its version resource gives it ("1.2.3").
  virtual std::string programVersion() = 0;

 protected:
  ~Files() = default;
};

}  // namespace pellucor
