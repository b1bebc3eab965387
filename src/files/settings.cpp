#include "files/settings.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <memory>
#include <vector>

#include "files/text_input.h"
#include "model/text_format.h"

namespace {

constexpr const char* KEY_PATH = "path";
constexpr const char* KEY_LINKS = "links";
const char* const KEY_MEASUREMENT[4] = {"measurement_A", "measurement_B", "measurement_C",
                                        "measurement_D"};
const char* const LINK_NAMES[2] = {"AB", "CD"};
// The key file is small; a larger one is not ours.
constexpr size_t SETTINGS_MAX_BYTES = size_t{4} << 20;

std::string problem;

struct key_file_deleter {
  void operator()(GKeyFile* k) const { g_key_file_free(k); }
};
using key_file_ptr = std::unique_ptr<GKeyFile, key_file_deleter>;

std::string config_folder() {
  gchar* dir = g_build_filename(g_get_user_config_dir(), "qbn-preset-editor", nullptr);
  std::string result = dir;
  g_free(dir);
  return result;
}

// The key file as it is on disk; empty when there is none, or when it is
// damaged (then `problem` says so).
key_file_ptr load() {
  key_file_ptr k(g_key_file_new());
  const std::string path = settings_file_path();
  if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return k;
  const text_input_t in = read_text_file(path, SETTINGS_MAX_BYTES);
  GError* error = nullptr;
  if (!in.ok) {
    problem = "cannot read " + escaped_text(path) + " (" + in.reason + "): ignored";
  } else if (!g_key_file_load_from_data(k.get(), in.text.data(), in.text.size(),
                                        G_KEY_FILE_KEEP_COMMENTS, &error)) {
    problem = escaped_text(path) + " is damaged (" + text_excerpt(error->message) + "): ignored";
    g_error_free(error);
    k.reset(g_key_file_new());
  }
  return k;
}

// The group that remembers `path`, or empty.
std::string group_of(GKeyFile* k, const std::string& path) {
  gsize count = 0;
  gchar** groups = g_key_file_get_groups(k, &count);
  std::string found;
  for (gsize i = 0; i < count && found.empty(); ++i) {
    gchar* p = g_key_file_get_string(k, groups[i], KEY_PATH, nullptr);
    if (p && path == p) found = groups[i];
    g_free(p);
  }
  g_strfreev(groups);
  return found;
}

// A group name not used yet: "preset 1", "preset 2", ...
std::string new_group(GKeyFile* k) {
  for (int n = 1;; ++n) {
    const std::string name = "preset " + std::to_string(n);
    if (!g_key_file_has_group(k, name.c_str())) return name;
  }
}

bool save(GKeyFile* k) {
  const std::string folder = config_folder();
  if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
    problem = "cannot make " + escaped_text(folder) + ": " + g_strerror(errno);
    return false;
  }
  gsize length = 0;
  gchar* data = g_key_file_to_data(k, &length, nullptr);
  GError* error = nullptr;
  // Written to a temporary file and renamed over the old one.
  const bool ok = g_file_set_contents(settings_file_path().c_str(), data, length, &error);
  g_free(data);
  if (!ok) {
    problem = "cannot write the settings: " + text_excerpt(error->message);
    g_error_free(error);
  }
  return ok;
}

}  // namespace

std::string settings_file_path() {
  gchar* path = g_build_filename(config_folder().c_str(), "settings.ini", nullptr);
  std::string result = path;
  g_free(path);
  return result;
}

file_settings_t settings_of_file(const std::string& path) {
  file_settings_t s;
  problem.clear();
  if (path.empty()) return s;
  key_file_ptr k = load();
  const std::string group = group_of(k.get(), path);
  if (group.empty()) return s;
  for (int ch = 0; ch < 4; ++ch) {
    gchar* m = g_key_file_get_string(k.get(), group.c_str(), KEY_MEASUREMENT[ch], nullptr);
    if (m) s.measurement[ch] = m;
    g_free(m);
  }
  gsize count = 0;
  gchar** links = g_key_file_get_string_list(k.get(), group.c_str(), KEY_LINKS, &count, nullptr);
  for (gsize i = 0; i < count; ++i)
    for (unsigned pair = 0; pair < 2; ++pair)
      if (std::string(links[i]) == LINK_NAMES[pair]) s.links |= 1u << pair;
  g_strfreev(links);
  return s;
}

bool remember_settings_of_file(const std::string& path, const file_settings_t& s) {
  problem.clear();
  if (path.empty()) return true;
  key_file_ptr k = load();
  std::string group = group_of(k.get(), path);
  if (!group.empty()) g_key_file_remove_group(k.get(), group.c_str(), nullptr);
  if (!s.empty()) {
    if (group.empty()) group = new_group(k.get());
    g_key_file_set_string(k.get(), group.c_str(), KEY_PATH, path.c_str());
    for (int ch = 0; ch < 4; ++ch)
      if (!s.measurement[ch].empty())
        g_key_file_set_string(k.get(), group.c_str(), KEY_MEASUREMENT[ch],
                              s.measurement[ch].c_str());
    std::vector<const gchar*> links;
    for (unsigned pair = 0; pair < 2; ++pair)
      if (s.links & (1u << pair)) links.push_back(LINK_NAMES[pair]);
    if (!links.empty())
      g_key_file_set_string_list(k.get(), group.c_str(), KEY_LINKS, links.data(), links.size());
  }
  return save(k.get());
}

std::string settings_problem() {
  return problem;
}
