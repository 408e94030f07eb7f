#include "platform/sim/sim_texts.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {
namespace {

std::vector<std::string> LinesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A resource script's string: "" is a quote; \r, \n, \t and \\ as in C.
std::optional<std::string> Unescape(const std::string& quoted) {
  std::string out;
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    const char c = quoted[i];
    if (c == '"') {
      if (i + 1 < quoted.size() && quoted[i + 1] == '"') {
        out += '"';
        ++i;
        continue;
      }
      return std::nullopt;  // a lone quote inside
    }
    if (c == '\\' && i + 1 < quoted.size()) {
      const char e = quoted[++i];
      out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace

std::string ResourceFolder() { return PELLUCOR_RES_DIR; }

std::map<std::string, int> ReadTextIds(const std::string& headerPath) {
  static const std::regex kDefine(R"(^#define\s+(IDS_\w+)\s+(\d+)\s*$)");
  std::map<std::string, int> ids;
  std::smatch m;
  for (const std::string& line : LinesOf(headerPath)) {
    if (std::regex_match(line, m, kDefine)) ids[m[1]] = std::stoi(m[2]);
  }
  return ids;
}

std::vector<StringTable> ReadStringTables(const std::string& resourceFolder) {
  static const std::regex kInclude(R"rx(^#include\s+"(lang/[^"]+\.rc)"\s*$)rx");
  static const std::regex kEntry(R"rx(^\s*(IDS_\w+)\s+"(.*)"\s*$)rx");
  static const std::regex kSkip(R"(^\s*(//.*|#pragma.*|LANGUAGE\s.*|STRINGTABLE|BEGIN|END)?\s*$)");
  const std::map<std::string, int> ids = ReadTextIds(resourceFolder + "/../src/platform/text_ids.h");
  std::vector<StringTable> tables;
  std::smatch m;
  for (const std::string& line : LinesOf(resourceFolder + "/pellucor.rc")) {
    if (!std::regex_match(line, m, kInclude)) continue;
    StringTable& table = tables.emplace_back();
    table.file = m[1];
    const std::vector<std::string> lines = LinesOf(resourceFolder + "/" + table.file);
    if (lines.empty()) table.faults.push_back("no such file, or empty");
    for (const std::string& entry : lines) {
      if (std::regex_match(entry, kSkip)) continue;
      const auto id = std::regex_match(entry, m, kEntry) ? ids.find(m[1]) : ids.end();
      const std::optional<std::string> text = id != ids.end() ? Unescape(m[2]) : std::nullopt;
      if (!text) {
        table.faults.push_back(entry);
        continue;
      }
      if (!table.texts.emplace(id->second, *text).second) table.faults.push_back("twice: " + entry);
      table.order.push_back(id->second);
    }
  }
  return tables;
}

std::string SimDesktop::textFor(int id) const {
  const auto& tables = stringTables();
  const auto in = [&](const std::string& language) -> const std::string* {
    for (const StringTable& table : tables) {
      const auto tag = table.texts.find(IDS_LANGUAGE_TAG);
      if (tag == table.texts.end() || tag->second != language) continue;
      const auto text = table.texts.find(id);
      return text != table.texts.end() && !text->second.empty() ? &text->second : nullptr;
    }
    return nullptr;
  };
  if (const std::string* text = in(language())) return *text;
  if (const std::string* text = in(kFallbackLanguage)) return *text;
  return {};
}

std::string SimDesktop::language() const {
  std::vector<std::string> available;
  for (const StringTable& table : stringTables()) {
    const auto tag = table.texts.find(IDS_LANGUAGE_TAG);
    if (tag != table.texts.end()) available.push_back(tag->second);
  }
  return ChooseLanguage(preferredLanguages, available);
}

const std::vector<StringTable>& SimDesktop::stringTables() {
  // Read once for every test: the files do not change while they run.
  static const std::vector<StringTable> tables = ReadStringTables(ResourceFolder());
  return tables;
}

}  // namespace pellucor::sim
