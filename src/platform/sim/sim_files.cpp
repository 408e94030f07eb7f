// The simulated desktop's file system, and starting programs.

#include "platform/failure.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_text.h"

namespace pellucor::sim {
namespace {

// Windows folds repeated separators and a trailing one (but not a root's).
std::string Normalise(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  if (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

bool Malformed(const std::string& path) {
  if (path.empty()) return true;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c < 32 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') return true;
    if (c == ':' && i != 1) return true;
  }
  return false;
}

bool WildcardMatch(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') return WildcardMatch(pattern + 1, name) || (*name && WildcardMatch(pattern, name + 1));
  if (*name == '\0') return false;
  if (*pattern == '?' ||
      std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*name)))
    return WildcardMatch(pattern + 1, name + 1);
  return false;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {};
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

}  // namespace

void SimDesktop::addFolder(const std::string& path) {
  const std::string normal = Normalise(path);
  if (normal.size() > 3) addFolder(Folder(normal));
  File& f = files_[Lower(normal)];
  f.folder = true;
  f.content = normal;
}

void SimDesktop::addFile(const std::string& path, std::string content, bool hidden) {
  const std::string normal = Normalise(path);
  addFolder(Folder(normal));
  File& f = files_[Lower(normal)];
  f = File{std::move(content), false, hidden};
  names_[Lower(normal)] = normal;
}

CursorHandle SimDesktop::loadCursorFile(const std::string& path) {
  log.push_back("loadCursorFile " + path);
  const File* f = findFile(path);
  if (!f || f->folder) throw Failure(failure_text::kFileNotFound);
  // A cursor file starts with reserved 0 and resource type 2.
  const std::string& b = f->content;
  if (b.size() < 6 || b[0] != 0 || b[1] != 0 || b[2] != 2 || b[3] != 0 || (b[4] == 0 && b[5] == 0))
    throw Failure(failure_text::kInvalidPicture);
  return nextCursor_++;
}

std::string SimDesktop::programFolder() { return folder; }

const SimDesktop::File* SimDesktop::findFile(const std::string& path) const {
  const auto it = files_.find(Lower(Normalise(path)));
  return it == files_.end() ? nullptr : &it->second;
}

std::int64_t SimDesktop::fileDateTime(const std::string& path) {
  log.push_back("fileDateTime " + path);
  if (Malformed(path)) throw Failure(failure_text::kBadFileName);
  if (!findFile(path)) throw Failure(failure_text::kFileNotFound);
  return 1700000000;
}

std::vector<std::string> SimDesktop::listFiles(const std::string& pattern) {
  log.push_back("listFiles " + pattern);
  std::vector<std::string> out;
  const std::string normal = Normalise(pattern);
  const std::size_t slash = normal.rfind('\\');
  const std::string folderKey = Lower(Folder(normal));
  const std::string namePattern = slash == std::string::npos ? normal : normal.substr(slash + 1);
  for (const auto& [key, file] : files_) {
    if (file.folder || file.hidden || Lower(Folder(key)) != folderKey) continue;
    const std::string& original = names_.at(key);
    const std::string fileName = original.substr(original.rfind('\\') + 1);
    if (WildcardMatch(namePattern.c_str(), fileName.c_str())) out.push_back(fileName);
  }
  return out;
}

std::string SimDesktop::readTextFile(const std::string& path) {
  log.push_back("readTextFile " + path);
  const File* f = findFile(path);
  if (!f || f->folder) throw Failure(failure_text::kFileNotFound);
  return f->content;
}

std::string SimDesktop::windowsFolder() { return "C:\\Windows"; }

void SimDesktop::startProcess(const std::string& commandLine, ShowMode) {
  log.push_back("startProcess " + commandLine);
  if (failStartProcess) throw Failure(failure_text::kFileNotFound);
  startedCommands.push_back(commandLine);
}

std::string SimDesktop::modulePath() { return exePath; }

bool SimDesktop::sameFileName(std::string_view a, std::string_view b) {
  return FoldedCodePoints(a) == FoldedCodePoints(b);
}

std::string SimDesktop::programVersion() { return version; }

}  // namespace pellucor::sim
