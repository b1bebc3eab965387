#include "model/selection_word.h"

const mode_info_t wizard_modes[WIZ_MODE_COUNT] = {
    {"SAT", "SAT", SEL_SAT},
    {"Fullrange", "FULLRANGE", SEL_FULLRANGE},
    {"Bass-Array", "BASSARRAY", SEL_BASSARRAY},
    {"Monitor", "MONITOR", SEL_MONITOR},
};

const speaker_info_t wizard_speakers[WIZ_SPEAKER_COUNT] = {
    {"RS 1", "RS1", SEL_RS1, true},       {"RS 2", "RS2", SEL_RS1 << 1, true},
    {"RS 3", "RS3", SEL_RS1 << 2, true},  {"RS 4", "RS4", SEL_RS1 << 3, true},
    {"RS 5", "RS5", SEL_RS1 << 4, true},  {"RX 1", "RX1", SEL_RX1, false},
    {"RX 2", "RX2", SEL_RX1 << 1, false}, {"RX 3", "RX3", SEL_RX1 << 2, false},
};
