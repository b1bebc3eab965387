#include "files/data_dirs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

// The folder of the running executable, or "" when the system does not say.
std::string executable_dir() {
  std::string path(PATH_MAX, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return "";
  path.resize(static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> data_dirs() {
  const std::string exe = executable_dir();
  if (exe.empty()) return {};
  return {exe + "/../share/qbn-preset-editor", exe + "/data"};
}

data_lookup_t find_data_file(const std::string& name, const std::vector<std::string>& dirs) {
  data_lookup_t out;
  out.tried.push_back(name);
  for (const std::string& d : dirs) out.tried.push_back(d + "/" + name);
  for (const std::string& candidate : out.tried) {
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      out.path = candidate;
      break;
    }
  }
  return out;
}
