// Every text the editor reads or writes, produced in the locale of a German
// desktop (a decimal comma): the same bytes as in the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/preset_file.h"
#include "files/xml.h"
#include "measure/measurement.h"
#include "model/editing.h"
#include "model/editor_findings.h"
#include "model/filter_text.h"
#include "model/preset_diff.h"
#include "response/plot_input.h"
#include "test_util.h"
#include "wizard/selection.h"

namespace {

// Each text made from the tuned file.
std::vector<std::string> texts(const preset_t& p, const std::string& scratch) {
  std::vector<std::string> out;
  out.push_back(export_filter_text(p.channel[0], "title"));
  preset_t changed = p;
  changed.channel[2].gain = -15, changed.channel[0].delay = 250;
  for (const value_difference_t& d : preset_differences(p, MV517, changed, MV517))
    out.push_back(difference_line(d, p));
  out.push_back(peq_readout(2, p.channel[0].peq[2]) + "|" + pointer_readout(400, 90) + "|" +
                xo_readout(0, p.channel[0].xo[0]));
  preset_t low = p;
  low.channel[3].gain = -999;
  out.push_back(findings_summary(editor_findings(low, MV517)));
  overview_values_t v{};
  compute_overview_values(p, 4, v);
  for (int ch = 0; ch < 4; ++ch)
    out.push_back(std::string(v.level_values[ch]) + "|" + v.delay_values[ch]);
  out.push_back(
      import_filter_text("Preamp: -2.5 dB\nFilter 2: ON PK Fc 63.4 Hz Gain 1.25 dB Q 2.04",
                         p.channel[1], true)
          .message());
  out.push_back(selection_html(0x4000 | SEL_SAT | SEL_RS1 << 2 | SEL_RX1 << 1));
  out.push_back(parse_measurement("63.4 85.25 -10.5\n125.5 86.75 12.25\n").message("m.txt") + "|" +
                parse_measurement("63,4;85,25\n125,5;86,75\n").message("m.txt"));
  const std::string file = scratch + "/written.qpx";
  EXPECT_EQ(xml_write(file.c_str(), &p, MV517), XML_OK);
  out.push_back(read_file(file));
  const preset_file_read_t back = read_preset_file(file);
  out.push_back(back.problem() + "|" + first_difference(back.preset, p));
  return out;
}

// Makes de_DE.UTF-8 the locale (compiled by localedef into `dir`, so the
// system needs none installed); "" or why it cannot be had.
std::string use_comma_locale(const ScratchDir& dir) {
  const std::string make =
      "localedef -i de_DE -f UTF-8 '" + dir.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) return "localedef cannot make de_DE.UTF-8 here";
  setenv("LOCPATH", dir.path().c_str(), 1);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) return "setlocale(de_DE.UTF-8) failed";
  return std::strtod("63.4", nullptr) == 63.0 ? "" : "de_DE.UTF-8 has no decimal comma";
}

TEST(Locale, EveryTextIsTheSameUnderADecimalComma) {
  ScratchDir dir;
  const preset_t p = live_preset();
  const std::vector<std::string> in_c = texts(p, dir.path());
  // A few of them as they must read.
  EXPECT_NE(in_c[0].find("Gain -2.5 dB Q 2.00"), std::string::npos) << in_c[0];
  EXPECT_EQ(in_c[1], "Out A \"Top L\"  delay  1.15 m -> 2.50 m");
  EXPECT_EQ(in_c[5], " -3.5 dB|  1.15 m");
  EXPECT_EQ(in_c[11],
            "m.txt: 2 rows from 63.4 to 125.5 Hz, level and phase|m.txt: line 1: \"63,4\" "
            "has a decimal comma: the decimal separator must be a point");
  EXPECT_EQ(in_c[12], read_file(data_file("live_mv517.qpx")));
  EXPECT_EQ(in_c[13], "|");  // read back whole, the same values
  ScratchDir locale;
  const std::string problem = use_comma_locale(locale);
  if (!problem.empty()) GTEST_SKIP() << "no comma locale: " << problem;
  const std::vector<std::string> in_de = texts(p, dir.path());
  std::setlocale(LC_ALL, "C");
  ASSERT_EQ(in_de.size(), in_c.size());
  for (size_t i = 0; i < in_c.size(); ++i) EXPECT_EQ(in_de[i], in_c[i]) << "text " << i;
}

}  // namespace
