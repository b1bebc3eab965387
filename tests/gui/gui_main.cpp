// The GUI tests under xvfb-run: the main window built once, then every test.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "../core/test_util.h"
#include "gui_test_util.h"
#include "shell/app.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  ScratchDir data_home;  // the file choosers record recently used files here
  g_setenv("XDG_DATA_HOME", data_home.path().c_str(), TRUE);
  ScratchDir config_home;  // the editor's settings (measurements, links) go here
  g_setenv("XDG_CONFIG_HOME", config_home.path().c_str(), TRUE);
  gtk_init(&argc, &argv);  // ends the program when there is no display
  build_main_window();
  // A dialog nobody scripted fails its test at once.
  g_timeout_add(50, DialogScript::watch_unexpected_dialogs, nullptr);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return RUN_ALL_TESTS();
}
