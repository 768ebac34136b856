// The registry as the client reads it (the engine library's path): a read-only store in INI
// files, one per root key. A section names a key path, its name=value lines the values of that
// key; section and value names ignore ASCII letter case. Lines starting with ";" or "#" are
// comments; blanks around names and values are dropped, and a value in double quotes keeps what
// is between them.
//
//   [Software\Torvane\Folvio\3.0]
//   path=/opt/vellora/lib/libvellora.so
//
// Files: $BRENLOW_REGISTRY_DIR/hkcu.ini and hklm.ini when that variable is set (tests), else
// $XDG_CONFIG_HOME/brenlow/hkcu.ini (~/.config when unset) and /etc/brenlow/hklm.ini. A file
// above kMaxRegistryFileBytes is not read (a line goes to the debug sink). Thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvplatform {

enum class RegistryRoot { kCurrentUser, kLocalMachine };

constexpr std::size_t kMaxRegistryFileBytes = 1u << 20;

// The file that holds a root key.
std::string RegistryFilePath(RegistryRoot root);

// The value's text; false (value cleared) when the file, the key or the value is missing.
bool RegistryReadString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                        std::string* value);

// The lookup on INI text itself: the first value of that name in the first section of that
// name that has it.
bool IniFindValue(std::string_view text, std::string_view section, std::string_view name,
                  std::string* value);

}  // namespace qvplatform
