// The stereo links of the open editor (stereo_link.h): the "Link" check
// boxes between the channels of each pair on the Channel Setup page, the
// question before linking a pair whose channels differ, and what is
// remembered of the links per preset file (settings.h). A link is no part
// of the record: linking and unlinking make no undo step and leave Save as
// it is (the copy that makes an unequal pair equal is a change of its own).
// New and the wizard start unlinked; Open restores the links remembered
// for the file, and offers the others in the status bar.
#pragma once

#include <gtk/gtk.h>

#include <string>

// The check box of each pair (A+B, C+D); null where the editor has none.
extern GtkWidget* check_link[2];

// The pairs linked now (bit 0 A+B, bit 1 C+D); 0 without an editor.
unsigned editor_links();

// `frames` (the row of channel frames, equally wide and spaced) with the
// check box of each pair the device has laid over the middle of the gap
// between the pair's frames: the frames keep their size and place. Returns
// the widget to pack in place of `frames`.
GtkWidget* with_link_boxes(GtkWidget* frames, int mv_x);

// Links or unlinks a pair as its check box does, and shows it. Linking a
// pair whose channels differ asks which channel's settings both should
// have ("Link Channels": "Copy A to B", "Copy B to A", Cancel); the copy is
// one change of the record. Returns whether the pair is linked afterwards.
bool set_pair_linked(unsigned pair, bool linked);
// The question's answers besides Cancel: copy from the pair's first
// channel (A, C) or from its second (B, D).
constexpr gint LINK_COPY_FIRST = 1;
constexpr gint LINK_COPY_SECOND = 2;

// A new editor: nothing linked.
void forget_links();
// Open: the links remembered for `preset_path` whose channels still agree
// are linked again; a status-bar line says which were not, and offers the
// pairs whose channels agree but are not linked.
void restore_links(const std::string& preset_path);
