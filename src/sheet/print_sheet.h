// The editor's Print command: the preset sheet of the open preset through
// GTK's print operation (printers, page setup, preview, "Print to File").
#pragma once

#include <gtk/gtk.h>

#include "sheet/preset_sheet.h"

// What the sheet of the open preset is made of: the record, the editor's
// device and input mode, the file Save writes to (or none yet), whether
// there are unsaved changes, today's date.
sheet_input_t open_preset_sheet_input();

// Runs the print operation over the open preset's sheet: with
// GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG the print dialog, with
// GTK_PRINT_OPERATION_ACTION_EXPORT straight into the PDF `export_path`.
// The settings the user printed with are kept for the next time. A failure
// is reported in a message dialog.
GtkPrintOperationResult print_sheet(GtkPrintOperationAction action,
                                    const char* export_path = nullptr);

// "activate" of Print...: print_sheet with the print dialog.
void print_preset(GtkWidget* widget, gpointer data);
