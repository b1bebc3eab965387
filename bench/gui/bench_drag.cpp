// One drag step on a response plot of the real editor, in-process: a
// motion event through the toolkit's dispatch (the plot sets the spin
// buttons, their operations store the values and recompute the curves),
// then the plot's expose drawn and the X server waited for. Also the undo
// and the redo of a whole drag: the record restored and shown in every
// widget, curve and diagram, the plot drawn. Run under a virtual X server:
// xvfb-run -a gui_benchmarks
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>

#include "editor/preset_verwaltung.h"
#include "measure/measurement_menus.h"
#include "model/editor_undo.h"
#include "model/preset.h"
#include "response/plots.h"
#include "shell/app.h"
#include "shell/heap_tuning.h"

namespace {

void pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// An MV517 editor over a preset with both crossover filters and four EQ
// bands (a low shelf among them) on, showing `tab`.
void open_editor_on(int tab) {
  if (window_preset) gtk_widget_destroy(window_preset);
  pump();
  Create_Default_Preset(&preset);
  channel_t& a = preset.channel[0];
  a.xo[0] = xo_t{2, {80, 80}, {7, 7}};
  a.xo[1] = xo_t{1, {2500, 2500}, {7, 7}};
  a.peq[0] = peq_t{100, 7, 40, 1};
  a.peq[1] = peq_t{250, 20, -30, 0};
  a.peq[3] = peq_t{2000, 40, 60, 0};
  a.peq[4] = peq_t{6000, 10, -20, 0};
  mv_selector = MV517;
  mv_start_preset(MV517);
  gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), tab);
  const gint64 end = g_get_monotonic_time() + 300 * 1000;
  while (g_get_monotonic_time() < end) pump();
}

// A motion with button 1 held, or a press or release of button 1.
void pointer(GtkWidget* area, GdkEventType type, double x, double y) {
  GdkEvent* event = gdk_event_new(type);
  event->any.window = GDK_WINDOW(g_object_ref(area->window));
  event->any.send_event = TRUE;
  if (type == GDK_MOTION_NOTIFY) {
    event->motion.x = x;
    event->motion.y = y;
    event->motion.state = GDK_BUTTON1_MASK;
  } else {
    event->button.x = x;
    event->button.y = y;
    event->button.button = 1;
  }
  gtk_widget_event(area, event);
  gdk_event_free(event);
}

void motion(GtkWidget* area, double x, double y) {
  pointer(area, GDK_MOTION_NOTIFY, x, y);
}

void drawn(GtkWidget* area) {
  gdk_window_process_updates(area->window, FALSE);
  gdk_display_sync(gdk_display_get_default());
}

// Motion to a new point, the redraw it asked for, and the X server done.
void drag_steps(benchmark::State& state, int tab, GtkWidget* const* areas,
                gboolean (*press)(GtkWidget*, GdkEventButton*, gpointer)) {
  open_editor_on(tab);
  GtkWidget* area = areas[0];
  GdkEventButton first{};
  first.x = 300;
  first.y = 60;
  press(area, &first, GINT_TO_POINTER(0));
  int i = 0;
  for (auto _ : state) {
    // Every step moves the pointer, so every step stores a new value.
    motion(area, 200 + (i % 300), 40 + (i % 120));
    drawn(area);
    ++i;
  }
}

// The EQ plot redrawn in the editor as an expose does (its double buffer an
// X pixmap, the ground painted from the cache), the X server waited for.
void BM_RedrawEqPlot(benchmark::State& state) {
  open_editor_on(TAB_PARAMETRIC_EQ);
  GtkWidget* area = drawing_area_peq[0];
  for (auto _ : state) {
    gtk_widget_queue_draw(area);
    gdk_window_process_updates(area->window, FALSE);
    gdk_display_sync(gdk_display_get_default());
  }
}
BENCHMARK(BM_RedrawEqPlot)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DragEqHandle(benchmark::State& state) {
  drag_steps(state, TAB_PARAMETRIC_EQ, drawing_area_peq, change_curve_first_press);
}
BENCHMARK(BM_DragEqHandle)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same drag while the plot shows channel A's measured top, its
// prediction and the predicted sum with C's measured sub.
void BM_DragEqHandleWithMeasurementAndSum(benchmark::State& state) {
  open_editor_on(TAB_PARAMETRIC_EQ);
  const std::string path = "/tmp/qbn-bench-drag-measurement.txt";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    for (int k = 0; 20.0 * std::pow(2.0, k / 96.0) <= 20000.0; ++k) {
      const double hz = 20.0 * std::pow(2.0, k / 96.0);
      std::fprintf(f, "%.6f\t%.3f\t%.2f\n", hz, 95.0 + 3.0 * std::sin(k * 0.05),
                   std::remainder(-0.09 * hz, 360.0));
    }
    std::fclose(f);
  }
  if (!load_channel_measurement(0, path) || !load_channel_measurement(2, path))
    state.SkipWithError("the measurement was not loaded");
  plot_choice_t choice = plot_choice(true, 0);
  choice.sum_with = 2;
  set_plot_choice(true, 0, choice);
  pump();
  GtkWidget* area = drawing_area_peq[0];
  GdkEventButton first{};
  first.x = 300;
  first.y = 60;
  change_curve_first_press(area, &first, GINT_TO_POINTER(0));
  int i = 0;
  for (auto _ : state) {
    motion(area, 200 + (i % 300), 40 + (i % 120));
    drawn(area);
    ++i;
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_DragEqHandleWithMeasurementAndSum)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DragCrossoverHandle(benchmark::State& state) {
  drag_steps(state, TAB_CROSSOVER, drawing_area_xo, change_curve_first_press_xo);
}
BENCHMARK(BM_DragCrossoverHandle)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A whole drag of band 2 on channel A's EQ plot (press, twenty motions,
// release: one step), then `measured` (undo or redo) timed and `other`
// not, in turn.
void undo_redo_drag(benchmark::State& state, void (*measured)(), void (*other)()) {
  open_editor_on(TAB_PARAMETRIC_EQ);
  GtkWidget* area = drawing_area_peq[0];
  pointer(area, GDK_BUTTON_PRESS, 250, 120);
  for (int i = 1; i <= 20; ++i) motion(area, 250 + 10 * i, 120 - 3 * i);
  pointer(area, GDK_BUTTON_RELEASE, 450, 60);
  pump();
  if (!editor_can_undo()) state.SkipWithError("the drag made no step");
  if (measured == editor_redo) editor_undo();
  drawn(area);
  for (auto _ : state) {
    measured();
    drawn(area);
    state.PauseTiming();
    other();
    drawn(area);
    state.ResumeTiming();
  }
}

void BM_UndoEqDrag(benchmark::State& state) {
  undo_redo_drag(state, editor_undo, editor_redo);
}
BENCHMARK(BM_UndoEqDrag)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RedoEqDrag(benchmark::State& state) {
  undo_redo_drag(state, editor_redo, editor_undo);
}
BENCHMARK(BM_RedoEqDrag)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  keep_freed_memory_for_redraws();  // as the editor's main does
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "gui_benchmarks: cannot open a display (run under xvfb-run -a)\n");
    return 1;
  }
  build_main_window();
  pump();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
