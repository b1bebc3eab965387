// Opening the MV517 editor as the user does: the New command's menu item
// activated, the editor built over the default preset, its window shown
// and its first picture drawn (the X server waited for). The editor is
// closed again outside the measured time.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "editor/preset_verwaltung.h"
#include "shell/app.h"
#include "shell/menu_bar.h"

namespace {

void pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void BM_OpenMv517Editor(benchmark::State& state) {
  for (auto _ : state) {
    gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
    while (!window_preset || !gtk_widget_get_mapped(window_preset)) {
      if (!window_preset) break;
      gtk_main_iteration_do(TRUE);
    }
    pump();
    gdk_window_process_all_updates();
    gdk_display_sync(gdk_display_get_default());
    state.PauseTiming();
    if (!window_preset) state.SkipWithError("New built no editor");
    destroy_editor();
    set_command_state(APP_IDLE);
    pump();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenMv517Editor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
