#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "qvplatform/debug_output.h"
#include "qvplatform/file_descriptor.h"
#include "qvplatform/registry.h"
#include "qvplatform/string_list.h"

namespace qvplatform {

namespace {

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return TStringList::CompareText(a, b) == 0;
}

// The next line of text (without its CR, LF or CR LF); false at the end.
bool NextLine(std::string_view& text, std::string_view& line) {
  if (text.empty()) return false;
  const std::size_t end = text.find_first_of("\r\n");
  line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    const std::size_t skip = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    text.remove_prefix(end + skip);
  }
  return true;
}

// The whole file, or false when it is missing, not a regular file or too large.
bool ReadBoundedFile(const std::string& path, std::string& out) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (static_cast<std::size_t>(info.st_size) > kMaxRegistryFileBytes) {
    OutputDebugString("registry: " + path + " is larger than the registry reads; ignored");
    return false;
  }
  out.resize(static_cast<std::size_t>(info.st_size));
  out.resize(ReadAt(fd.Get(), out.data(), out.size(), 0));
  return true;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

}  // namespace

bool IniFindValue(std::string_view text, std::string_view section, std::string_view name,
                  std::string* value) {
  // Values before the first section belong to the root key itself.
  bool inSection = section.empty();
  std::string_view line;
  while (NextLine(text, line)) {
    line = Trimmed(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      inSection = close != std::string_view::npos && SameName(line.substr(1, close - 1), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inSection || equals == std::string_view::npos) continue;
    if (!SameName(Trimmed(line.substr(0, equals)), name)) continue;
    std::string_view found = Trimmed(line.substr(equals + 1));
    if (found.size() >= 2 && found.front() == '"' && found.back() == '"')
      found = found.substr(1, found.size() - 2);
    if (value != nullptr) value->assign(found);
    return true;
  }
  return false;
}

std::string RegistryFilePath(RegistryRoot root) {
  const bool user = root == RegistryRoot::kCurrentUser;
  const char* file = user ? "hkcu.ini" : "hklm.ini";
  if (const char* dir = std::getenv("BRENLOW_REGISTRY_DIR"); dir != nullptr && *dir != '\0')
    return std::string(dir) + "/" + file;
  if (!user) return std::string("/etc/brenlow/") + file;
  const std::string config = EnvOr("XDG_CONFIG_HOME", EnvOr("HOME", "") + "/.config");
  return config + "/brenlow/" + file;
}

bool RegistryReadString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                        std::string* value) {
  if (value != nullptr) value->clear();
  std::string text;
  if (!ReadBoundedFile(RegistryFilePath(root), text)) return false;
  return IniFindValue(text, keyPath, valueName, value);
}

}  // namespace qvplatform
