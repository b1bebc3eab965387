// A comma-decimal locale for the tests that check a reader or writer under
// the locale a German desktop runs the editor in: de_DE.UTF-8, compiled once
// per process with localedef into a scratch folder (LOCPATH), so the system
// needs none installed.
#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

// The reason the locale cannot be had, empty when it is active. While a
// comma_locale lives, LC_ALL is de_DE.UTF-8 (strtod("63.4") reads 63); it
// restores the C locale when it goes.
class comma_locale {
 public:
  comma_locale() {
    static const std::string made = make();
    if (!made.empty()) {
      problem_ = made;
      return;
    }
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
      problem_ = "setlocale(de_DE.UTF-8) failed";
      return;
    }
    char* end = nullptr;
    if (std::strtod("63.4", &end) != 63.0) problem_ = "de_DE.UTF-8 has no decimal comma";
  }
  ~comma_locale() { std::setlocale(LC_ALL, "C"); }
  comma_locale(const comma_locale&) = delete;
  comma_locale& operator=(const comma_locale&) = delete;

  bool active() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }

 private:
  // Compiles the locale into a folder of its own; returns why it could not.
  static std::string make() {
    char tmpl[] = "/tmp/qbn-locale-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) return "no scratch folder for the locale";
    const std::string command =
        std::string("localedef -i de_DE -f UTF-8 '") + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    static std::string folder = dir;
    std::atexit([] { std::system(("rm -rf '" + folder + "'").c_str()); });
    if (std::system(command.c_str()) != 0) return "localedef cannot make de_DE.UTF-8 here";
    setenv("LOCPATH", dir, 1);
    return "";
  }
  std::string problem_;
};

// In a GoogleTest body: skips the test, saying why, when no comma locale can
// be had.
#define REQUIRE_COMMA_LOCALE(locale) \
  if (!(locale).active()) GTEST_SKIP() << "no comma locale: " << (locale).problem()
