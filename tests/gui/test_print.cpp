// Print: its menu place and sensitivity, Ctrl+P, and the sheet it exports.
#include <gdk/gdkkeysyms.h>

#include <cstdio>

#include "gui_test_util.h"
#include "sheet/print_sheet.h"

namespace {

using Print = GuiTest;

// What a command writes on standard output; "" when it fails.
std::string output_of(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  return pclose(p) == 0 ? out : "";
}

std::string pdf_line(const std::string& pdf, const std::string& key) {
  const std::string info = output_of("pdfinfo '" + pdf + "'");
  const size_t at = info.find(key + ":");
  return at == std::string::npos ? "" : info.substr(at, info.find('\n', at) - at);
}

TEST_F(Print, FollowsSaveAsInTheMenuAndInSensitivity) {
  GList* items =
      gtk_container_get_children(GTK_CONTAINER(gtk_menu_item_get_submenu(GTK_MENU_ITEM(datei))));
  const int save_as = g_list_index(items, speichern_u);
  EXPECT_EQ(g_list_index(items, drucken), save_as + 1);
  EXPECT_EQ(g_list_index(items, schliessen), save_as + 2);
  g_list_free(items);
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(drucken)), "Print...");

  // Idle, editing, closed again, the wizard.
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
  activate(mv961);
  EXPECT_TRUE(sensitive(drucken) && sensitive(speichern_u));
  {
    DialogScript no("Save Preset?", GTK_RESPONSE_NO);
    activate(schliessen);
    EXPECT_TRUE(no.finished());
  }
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
  activate(generate_preset);
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
}

TEST_F(Print, CtrlPOpensThePrintDialog) {
  activate(mv517);
  DialogScript cancel("Print", GTK_RESPONSE_CANCEL);
  gtk_accel_groups_activate(G_OBJECT(window_preset), GDK_KEY_p, GDK_CONTROL_MASK);
  pump();
  EXPECT_TRUE(cancel.finished());
  EXPECT_TRUE(visible(window_preset) && !unsaved());
}

// Exported on the default paper: the texts of `qpx sheet` on that paper.
TEST_F(Print, ExportsThePagesAndTextsOfQpxSheet) {
  const std::string path = dir.file("live_mv517.qpx"), gui = dir.file("gui.pdf"),
                    cli = dir.file("cli.pdf");
  write_file(path, golden("live_mv517.qpx"));
  DialogScript warning("Warning!", GTK_RESPONSE_OK);  // of a value outside the editor's fields
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  EXPECT_TRUE(warning.finished());
  ASSERT_EQ(print_sheet(GTK_PRINT_OPERATION_ACTION_EXPORT, gui.c_str()),
            GTK_PRINT_OPERATION_RESULT_APPLY);
  const std::string size = pdf_line(gui, "Page size");
  const bool letter = size.find("612 x 792") != std::string::npos;
  ASSERT_TRUE(letter || size.find("595.276 x 841.89") != std::string::npos) << size;
  const std::string paper = letter ? "letter" : "a4";
  ASSERT_EQ(
      std::system((QBN_QPX " sheet '" + path + "' -o '" + cli + "' --paper " + paper).c_str()), 0);
  EXPECT_EQ(pdf_line(gui, "Pages"), "Pages:           5");
  const std::string text = output_of("pdftotext '" + gui + "' -");
  EXPECT_NE(text.find("live_mv517.qpx"), std::string::npos);
  EXPECT_EQ(text, output_of("pdftotext '" + cli + "' -"));
}

}  // namespace
