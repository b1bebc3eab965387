// Entry of the GUI tests: initialises GTK, builds the main window once (the
// editor, the dialogs and the accelerators all hang on it) and runs every
// test. Run under a virtual X server: xvfb-run -a gui_tests
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/app.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // The file choosers record recently used files; keep that out of the
  // user's data folder.
  char data_home[] = "/tmp/qbn-gui-data-XXXXXX";
  if (mkdtemp(data_home)) g_setenv("XDG_DATA_HOME", data_home, TRUE);
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "gui_tests: cannot open a display (run under xvfb-run -a)\n");
    return 1;
  }
  build_main_window();
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  const int result = RUN_ALL_TESTS();
  std::system((std::string("rm -rf '") + data_home + "'").c_str());
  return result;
}
