#pragma once

// The program's string tables as the resource compiler reads them, for the
// simulated desktop and the tests: res/pellucor.rc names the languages'
// files, res/lang/*.rc hold the texts, platform/text_ids.h their numbers.

#include <map>
#include <string>
#include <vector>

namespace pellucor::sim {

struct StringTable {
  std::string file;                  // as pellucor.rc names it, "lang/de.rc"
  std::vector<int> order;            // the ids as the file lists them
  std::map<int, std::string> texts;  // unescaped
  std::vector<std::string> faults;   // lines it could not read
};

// Every language's table, in pellucor.rc's order; English first.
std::vector<StringTable> ReadStringTables(const std::string& resourceFolder);
// The numbers platform/text_ids.h gives the texts, by name.
std::map<std::string, int> ReadTextIds(const std::string& headerPath);
// Where the program's resources are.
std::string ResourceFolder();

}  // namespace pellucor::sim
