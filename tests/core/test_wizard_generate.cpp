// Preset generation from the factory file (the presets written: the golden
// files of tests/cli/wizard.sh).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "files/xml.h"
#include "test_util.h"
#include "wizard/selection.h"

namespace {

const std::string shipped = std::string(QBN_DATA_DIR) + "/wizards.xml";
const uint16_t FULLRANGE_RS3 = 0x0001 | 0x0008 | 0x0100;
const uint16_t SAT_RS1_RX1 = 0x0001 | 0x0004 | 0x0040 | 0x0800;

// The shipped file read directly for one selection word.
preset_t read_shipped(uint16_t word) {
  preset_t p;
  const uint16_t saved = tree_select;
  tree_select = word;
  EXPECT_EQ(xml_read(shipped.c_str(), &p, 1), 0);
  tree_select = saved;
  return p;
}

// Every offered selection reads the shipped file and sets its channels (SAT:
// the top's C and D, the bass's A and B), crossovers meeting, EQs its own.
TEST(WizardFactoryFile, EveryOfferedSelection) {
  std::set<std::string> eqs;  // of each mode's models, which differ
  size_t models = 0;
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    SCOPED_TRACE(s.word);
    const wizard_result_t r = wizard_generate(s.word, 0, shipped, "Show 1", false, 0);
    ASSERT_TRUE(r.ok()) << r.problem();
    const preset_t& p = r.preset;
    EXPECT_TRUE(!r.from_template && std::string(p.name) == "Show 1" && p.mute == 0);
    EXPECT_EQ(p.lock, 0) << "a factory lock (bit 7) would make the saved file unopenable";
    if (s.mode == WIZ_SAT) {
      const preset_t top = read_shipped(0x0005 | wizard_speakers[s.top].bit);
      const preset_t bass = read_shipped(0x0005 | wizard_speakers[s.bass].bit);
      for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(bool(same_channel(top.channel[n], preset_def.channel[n])), n < 2) << n;
        EXPECT_EQ(bool(same_channel(bass.channel[n], preset_def.channel[n])), n >= 2) << n;
        EXPECT_TRUE(same_channel(p.channel[n], (n >= 2 ? top : bass).channel[n])) << n;
      }
      const xo_t &hp = p.channel[2].xo[0], &lp = p.channel[0].xo[1];
      EXPECT_TRUE(hp.config == lp.config && lp.config != 0) << "same slope, low-pass on";
      EXPECT_EQ(hp.freq[xo_slot(hp.config)], lp.freq[xo_slot(lp.config)]);
    } else {
      for (int n = 0; n < 4; ++n) EXPECT_FALSE(same_channel(p.channel[n], preset_def.channel[n]));
      const auto* eq = reinterpret_cast<const char*>(p.channel[0].peq);
      if (!s.quantity) eqs.insert(char('0' + s.mode) + std::string(eq, sizeof p.channel[0].peq));
      models += !s.quantity;
    }
    if (s.top >= 0) {  // the quantity changes only the summary
      const wizard_result_t other =
          wizard_generate(s.word ^ SEL_QUANTITY_2X, 0, shipped, "Show 1", false, 0);
      EXPECT_TRUE(same_preset(other.preset, p));
    }
  }
  EXPECT_EQ(eqs.size(), models) << "two models of one mode share their EQ";
}

class WizardFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& speaker, const std::string& mode,
                    const std::string& content) {
    const std::string f = dir_.file("wizards.xml");
    write_file(f, "<WIZARD>\n<" + speaker + "><" + mode + ">" + content + "</" + mode + "></" +
                      speaker + ">\n</WIZARD>\n");
    return f;
  }
  ScratchDir dir_;
};

// Step Four's name replaces the file's; Lock sets bits 0-5, keeps bit 7.
TEST_F(WizardFiles, NameAndLockFromStepFour) {
  const std::string f = write("RS2", "MONITOR",
                              "<NAME>Factory</NAME><LOCK>128</LOCK>"
                              "<CHANNEL ID=\"4\"><GAIN>-2</GAIN></CHANNEL>");
  for (auto [name, lock, stored, lock_bits] :
       {std::tuple{"Wedges", false, "Wedges", 0x80},
        {"", true, "", 0xBF},
        {"Stage \xE2\x86\x92 B\xC3\xBChne", false, "Stage \x82 B\xFChn", 0x80}}) {
    const wizard_result_t r = wizard_generate(0x0001 | 0x0020 | 0x0080, 0, f, name, lock, 0);
    EXPECT_TRUE(r.ok() && r.preset.channel[3].gain == -20) << r.problem();
    EXPECT_TRUE(std::string(r.preset.name) == stored && r.preset.lock == lock_bits) << stored;
  }
}

TEST_F(WizardFiles, MissingDamagedShortOrIncompleteFiles) {
  tree_select = 0x0001;
  const std::string missing = dir_.file("none.xml");
  wizard_result_t r = wizard_generate(FULLRANGE_RS3, 0, missing, "Hall", true, 0);
  EXPECT_EQ(r.problem(), missing + ": cannot open (No such file or directory)");
  preset_t expected = preset_def;  // the default preset with name and lock
  std::strcpy(expected.name, "Hall"), expected.lock = 0x3F;
  EXPECT_TRUE(r.error == XML_ERR_OPEN && same_preset(r.preset, expected) && tree_select == 1);
  r = wizard_generate(FULLRANGE_RS3, 0, "", "Hall", false, 0);
  EXPECT_EQ(r.problem(),
            "wizards.xml: cannot open (not found in the working directory or the data directory)");
  // A chosen loudspeaker without a block is named; what the file holds
  // applies (a damaged file: tests/cli/wizard.sh).
  const std::string f = write("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1</GAIN></CHANNEL>");
  r = wizard_generate(SAT_RS1_RX1, 0, f, "x", false, 0);
  EXPECT_EQ(r.problem(), f + ": holds no preset for RX1/SAT");
  EXPECT_TRUE(r.error == 0 && r.preset.channel[3].gain == -10);
  // Cut inside the RS3 fullrange block: the reader applies what it got and
  // reports nothing; the end tag is missing.
  const std::string whole = read_file(shipped);
  write_file(f, whole.substr(0, whole.find("<FULLRANGE>", whole.find("<RS3>")) + 2000));
  r = wizard_generate(FULLRANGE_RS3, 0, f, "x", false, 0);
  EXPECT_TRUE(r.error == 0 && r.cut_short && !r.ok());
  EXPECT_NE(r.problem().find("cut short"), std::string::npos);
}

}  // namespace
