// Switches the process to a locale whose decimal separator is a comma for one scope, to show
// that output does not depend on the host's locale. Inactive when no such locale exists.
#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace vellora_test {

class ScopedCommaLocale {
 public:
  ScopedCommaLocale() : saved_global_(std::locale()) {
    const char* current = std::setlocale(LC_ALL, nullptr);
    saved_c_ = current ? current : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8",
                             "ru_RU.UTF-8", "de_DE", "fr_FR"}) {
      if (std::setlocale(LC_ALL, name) != nullptr &&
          std::string(std::localeconv()->decimal_point) == ",") {
        std::locale::global(std::locale(name));
        active_ = true;
        return;
      }
    }
    std::setlocale(LC_ALL, saved_c_.c_str());
  }
  ~ScopedCommaLocale() {
    if (!active_) return;
    std::locale::global(saved_global_);
    std::setlocale(LC_ALL, saved_c_.c_str());
  }
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  bool active() const { return active_; }

 private:
  std::locale saved_global_;
  std::string saved_c_;
  bool active_ = false;
};

}  // namespace vellora_test
