// The editor's notebook pages, in order. Shared by the editor window and
// the Overview diagram's hit-testing (which names the page a press opens);
// no toolkit header is needed.
#pragma once

enum editor_tab_t {
  TAB_OVERVIEW = 0,
  TAB_CHANNEL_SETUP = 1,
  TAB_CROSSOVER = 2,
  TAB_PARAMETRIC_EQ = 3,
  TAB_LIMITER = 4,
  TAB_DELAY = 5,
  TAB_SYSTEM = 6,
};
constexpr int EDITOR_TAB_COUNT = 7;
