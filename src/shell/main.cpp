// QBN - Preset Editor & Wizard: builds the main window and runs the toolkit
// until the close flow ends it.
#include "shell/app.h"

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  build_main_window();
  gtk_main();
  return 0;
}
