// The editor's dialogs over the EQ fit and the alignment of two channels
// (eq_fit.h, alignment.h). Each shows its result on the plots while it is
// open; OK keeps it as one undo step, Cancel puts back what was there.
#pragma once

#include <gtk/gtk.h>

// Whether channel ch of the open editor has a measurement (the fit can run)
// and whether it and another channel have one with phase (an alignment can).
bool can_fit_eq(int ch);
bool can_align(int ch);

// Where a dialog of dw x dh pixels goes on a screen of sw x sh so that the
// plot it previews on stays visible: right of the editor, left, above or
// below it (each moved onto the screen where it does not fit), whichever
// covers the least of the plot, then of the editor; on a tie the first
// (above covers the tabs, below the fields that show the result).
GdkPoint dialog_position_beside(const GdkRectangle& editor, const GdkRectangle& plot, int dw,
                                int dh, int sw, int sh);

// "Fit EQ to Measurement": the range (the channel's pass band within
// 35 Hz-12 kHz at first), the target (flat or a target curve file), the
// largest boost (+6 dB at first, 0 cuts only), the bands it may use (all at
// first); "Fit" fits the channel's six EQ bands and shows them at once, with
// the error before and after and what changed. A fit that takes longer than
// 0.3 s shows its progress; the dialog's Cancel stops it.
void fit_eq_dialog(int ch);

// "Align With": channel ch is aligned to the channel chosen: the delay of
// either (whole centimetres up to the largest delay, 10 m at first) and the
// polarity of ch, over the range where both play (their predicted levels
// within 10 dB) or the one given; "Align" shows the summation loss before and
// after and the change.
void align_dialog(int ch);
