#include "files/document.h"

#include <cstdio>
#include <vector>

#include "files/file_dialogs.h"
#include "model/preset.h"
#include "shell/app.h"

namespace {

open_document_t document;
std::vector<document_path_hook> saved_as_hooks;

// The globals that hold the same facts.
void mirror() {
  mv_selector = static_cast<int8_t>(document.device);
  new_preset = document.is_new ? 1 : 0;
  generated = document.generated ? 1 : 0;
  if (!document.path.empty()) {
    filename = document.path;
    std::snprintf(savename, sizeof savename, "%s", document.path.c_str());
  }
}

}  // namespace

const open_document_t& open_document() {
  return document;
}

void document_started(int device, bool generated_by_wizard) {
  document = open_document_t{};
  document.device = device == MV961 ? MV961 : MV517;
  document.generated = generated_by_wizard;
  mirror();
}

void document_opened(const std::string& path, int device) {
  document = open_document_t{};
  document.path = path;
  document.device = device == MV961 ? MV961 : MV517;
  document.is_new = false;
  mirror();
}

void document_saved(const std::string& path) {
  const std::string before = document.is_new ? std::string() : document.path;
  document.path = path;
  document.is_new = false;
  mirror();
  if (before != path)
    for (const document_path_hook& hook : saved_as_hooks) hook(before, path);
}

void on_document_saved_as(document_path_hook hook) {
  saved_as_hooks.push_back(std::move(hook));
}
