// Preset generation: the built-in templates, the shipped factory file for
// every selection the wizard offers, name and lock, the lookup of the file,
// and missing or damaged factory files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "files/xml.h"
#include "test_util.h"
#include "wizard/selection.h"

namespace {

const std::string shipped = std::string(QBN_DATA_DIR) + "/wizards.xml";

// same_channel and same_preset come from test_util.h.

// The shipped file read directly for one selection word.
preset_t read_shipped(uint16_t word, uint8_t* error = nullptr) {
  preset_t p;
  const uint16_t saved = tree_select;
  tree_select = word;
  EXPECT_EQ(xml_read(shipped.c_str(), &p, 1), 0);
  if (error) *error = xml_error;
  tree_select = saved;
  return p;
}

std::string describe(const wizard_selection_t& s) {
  std::string d = mode_key(s.mode);
  if (s.top >= 0) d += std::string(" ") + wizard_speakers[s.top].key + (s.quantity ? " 2x" : "");
  if (s.bass >= 0) d += std::string(" ") + wizard_speakers[s.bass].key;
  return d;
}

// The templates, channel by channel: name, routing, high-pass and low-pass
// (type, frequency, Q slots), the non-neutral EQ band. Everything else
// holds neutral values.
TEST(WizardTemplates, BothFactoryPresetsHoldTheDocumentedValues) {
  EXPECT_TRUE(same_preset(preset_factory[0], preset_factory[1]));
  preset_t expected{};
  std::strcpy(expected.name, "Preset      ");
  const char* names[4] = {"Bass     ", "Bass     ", "Top L    ", "Top R    "};
  const uint8_t routing[4] = {6, 6, 0, 2};
  for (int n = 0; n < 4; ++n) {
    channel_t& c = expected.channel[n];
    const bool bass = n < 2;
    std::strcpy(c.name, names[n]);
    c.routing = routing[n];
    c.xo[0] = bass ? xo_t{0, {35, 35}, {12, 7}} : xo_t{2, {110, 110}, {7, 7}};
    c.xo[1] = bass ? xo_t{2, {110, 110}, {7, 7}} : xo_t{0, {120, 120}, {7, 7}};
    for (peq_t& e : c.peq) e = peq_t{1000, 7, 0, 0};
    if (bass) c.peq[0] = peq_t{80, 12, 30, 0};
    if (!bass) c.peq[5] = peq_t{10000, 12, 15, 0};
    c.dynamics = dynamics_t{1, 10, 0, 0};
  }
  EXPECT_TRUE(same_preset(preset_factory[0], expected));
}

TEST(WizardTemplates, FactoryPathTakesTheTemplateAndTheStepFourChoices) {
  tree_select = 0x1234;
  for (int index = 1; index <= 2; ++index) {
    // The factory path reads no file, not even a missing one.
    const wizard_result_t r =
        wizard_generate(0x0001, index, "/no/such/wizards.xml", "Church", true, 1);
    EXPECT_TRUE(r.ok()) << r.problem();
    EXPECT_TRUE(r.from_template);
    EXPECT_EQ(r.file, "");
    EXPECT_EQ(std::string(r.preset.name), "Church");
    EXPECT_EQ(r.preset.lock, 0x3F);
    EXPECT_EQ(r.input_mode, 3);
    preset_t expected = preset_factory[index - 1];
    std::strcpy(expected.name, "Church");
    expected.lock = 0x3F;
    EXPECT_TRUE(same_preset(r.preset, expected));
  }
  // Loudspeaker bits left from an earlier visit to Step Three do not matter.
  const wizard_result_t r = wizard_generate(0x0001 | 0x0100 | 0x4000, 1, shipped, "P", false, 0);
  EXPECT_TRUE(r.from_template);
  EXPECT_EQ(r.input_mode, 0);
  EXPECT_EQ(tree_select, 0x1234) << "the selection word is left as it was";
}

// Every offered selection reads the shipped file without a problem and sets
// exactly the channels it should; in SAT the top's block sets C and D and
// the bass's block A and B, so both apply together.
TEST(WizardFactoryFile, EveryOfferedSelectionSetsItsChannelsAndNothingElse) {
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    SCOPED_TRACE(describe(s));
    const wizard_result_t r = wizard_generate(s.word, 0, shipped, "Show 1", false, 0);
    ASSERT_TRUE(r.ok()) << r.problem();
    EXPECT_FALSE(r.from_template);
    EXPECT_EQ(r.file, shipped);
    EXPECT_EQ(std::string(r.preset.name), "Show 1");
    EXPECT_EQ(r.preset.lock, 0) << "a factory lock (bit 7) would make the saved file unopenable";
    EXPECT_EQ(r.preset.mute, 0);
    if (s.mode == WIZ_SAT) {
      const preset_t top = read_shipped(0x0005 | wizard_speakers[s.top].bit);
      const preset_t bass = read_shipped(0x0005 | wizard_speakers[s.bass].bit);
      for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        const bool top_channel = n >= 2;
        EXPECT_EQ(same_channel(top.channel[n], preset_def.channel[n]), !top_channel);
        EXPECT_EQ(same_channel(bass.channel[n], preset_def.channel[n]), top_channel);
        EXPECT_TRUE(same_channel(r.preset.channel[n], (top_channel ? top : bass).channel[n]));
      }
    } else {
      for (int n = 0; n < 4; ++n) {
        EXPECT_FALSE(same_channel(r.preset.channel[n], preset_def.channel[n])) << n;
      }
    }
    // The quantity changes only the summary.
    if (s.top >= 0) {
      const wizard_result_t other =
          wizard_generate(s.word ^ SEL_QUANTITY_2X, 0, shipped, "Show 1", false, 0);
      EXPECT_TRUE(same_preset(other.preset, r.preset));
    }
  }
}

// Values the editor can show and set: inside its widgets' ranges, not only
// the reader's wider ones.
TEST(WizardFactoryFile, EveryValueIsInsideTheEditorsRanges) {
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    SCOPED_TRACE(describe(s));
    const preset_t p = wizard_generate(s.word, 0, shipped, "x", false, 0).preset;
    for (int n = 0; n < 4; ++n) {
      SCOPED_TRACE(n);
      const channel_t& c = p.channel[n];
      EXPECT_LE(c.routing, 10);
      EXPECT_GE(c.gain, -990);
      EXPECT_LE(c.gain, 60);
      EXPECT_LE(c.groups & 0x0F, 2);
      const int mute_nibble = c.groups & 0xF0;
      EXPECT_TRUE(mute_nibble == 0 || (mute_nibble >= 0x20 && mute_nibble <= 0x50));
      EXPECT_LE(c.phase, 1);
      EXPECT_LE(c.delay, 40000);
      for (int f = 0; f < 2; ++f) {
        EXPECT_LE(c.xo[f].config, 2);
        for (int slot = 0; slot < 2; ++slot) {
          EXPECT_GE(c.xo[f].freq[slot], 35);
          EXPECT_LE(c.xo[f].freq[slot], 8000);
        }
        EXPECT_EQ(c.xo[f].freq[0], c.xo[f].freq[1]) << "both slots hold the corner frequency";
      }
      for (int b = 0; b < 6; ++b) {
        const peq_t& e = c.peq[b];
        EXPECT_GE(e.freq, 35);
        EXPECT_LE(e.freq, 12000);
        EXPECT_GE(e.q, 7);
        EXPECT_LE(e.q, 125);
        EXPECT_GE(e.gain, -120);
        EXPECT_LE(e.gain, 120);
        EXPECT_TRUE(e.type == 0 || (e.type == 1 && (b == 0 || b == 5))) << "band " << b;
      }
      EXPECT_LE(c.dynamics.attack, 127);
      EXPECT_LE(c.dynamics.release, 127);
      EXPECT_GE(c.dynamics.threshold, -24);
      EXPECT_LT(c.dynamics.threshold, 0) << "every factory channel is protected by its limiter";
      EXPECT_GE(c.dynamics.boost, -99);
      EXPECT_LE(c.dynamics.boost, 0);
    }
  }
}

// Sound engineering checks: SAT crossovers meet, small tops get higher
// high-passes, and models differ.
TEST(WizardFactoryFile, CrossoversMeetAndSmallCabinetsAreProtected) {
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    if (s.mode != WIZ_SAT || s.quantity) continue;
    SCOPED_TRACE(describe(s));
    const preset_t p = wizard_generate(s.word, 0, shipped, "x", false, 0).preset;
    for (int bass = 0; bass < 2; ++bass) {
      for (int top = 2; top < 4; ++top) {
        const xo_t& hp = p.channel[top].xo[0];
        const xo_t& lp = p.channel[bass].xo[1];
        EXPECT_EQ(hp.config, lp.config) << "same slope on both sides";
        EXPECT_NE(lp.config, 0) << "the bass needs a low-pass";
        EXPECT_EQ(hp.freq[xo_slot(hp.config)], lp.freq[xo_slot(lp.config)]);
      }
    }
  }
  // Fullrange: the smaller the top, the higher its high-pass.
  int previous = 100000;
  for (int top = 0; top < 4; ++top) {
    const preset_t p = read_shipped(0x0009 | wizard_speakers[top].bit);
    const xo_t& hp = p.channel[0].xo[0];
    const int f = hp.freq[xo_slot(hp.config)];
    EXPECT_LT(f, previous) << wizard_speakers[top].key;
    previous = f;
  }
  // Within a mode no two models share their EQ and limiter.
  for (int mode = 0; mode < 4; ++mode) {
    for (int a = 0; a < 8; ++a) {
      for (int b = a + 1; b < 8; ++b) {
        if (!speaker_offered(mode, a) || !speaker_offered(mode, b)) continue;
        const int n = (mode == WIZ_SAT && a < WIZ_FIRST_BASS) ? 2 : 0;
        const uint16_t m = mode_bit(mode) | 0x0001;
        const channel_t x = read_shipped(m | wizard_speakers[a].bit).channel[n];
        const channel_t y = read_shipped(m | wizard_speakers[b].bit).channel[n];
        EXPECT_NE(std::memcmp(&x.dynamics, &y.dynamics, sizeof x.dynamics), 0)
            << mode_key(mode) << " " << wizard_speakers[a].key << " " << wizard_speakers[b].key;
        bool eq_differs = false;
        for (int e = 0; e < 6; ++e) {
          eq_differs |= x.peq[e].freq != y.peq[e].freq || x.peq[e].gain != y.peq[e].gain;
        }
        EXPECT_TRUE(eq_differs) << mode_key(mode) << " " << wizard_speakers[a].key << " "
                                << wizard_speakers[b].key;
      }
    }
  }
}

class WizardFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& body) {
    const std::string f = dir_.file("wizards.xml");
    write_file(f, body);
    return f;
  }
  static std::string block(const char* speaker, const char* mode, const std::string& content) {
    return std::string("<") + speaker + "><" + mode + ">" + content + "</" + mode + "></" +
           speaker + ">\n";
  }
  ScratchDir dir_;
};

TEST_F(WizardFiles, NameAndLockFromStepFour) {
  const std::string f = write(
      "<WIZARD>\n" +
      block("RS2", "MONITOR",
            "<NAME>Factory</NAME><LOCK>128</LOCK><CHANNEL ID=\"4\"><GAIN>-2</GAIN></CHANNEL>") +
      "</WIZARD>\n");
  const uint16_t word = 0x0001 | 0x0020 | 0x0080;
  wizard_result_t r = wizard_generate(word, 0, f, "Wedges", false, 0);
  ASSERT_TRUE(r.ok()) << r.problem();
  EXPECT_EQ(std::string(r.preset.name), "Wedges");
  EXPECT_EQ(r.preset.lock, 0x80) << "without Lock Preset the file's lock survives";
  EXPECT_EQ(r.preset.channel[3].gain, -20);
  r = wizard_generate(word, 0, f, "", true, 0);
  EXPECT_EQ(std::string(r.preset.name), "") << "an empty entry gives an empty name";
  EXPECT_EQ(r.preset.lock, 0xBF) << "bits 0-5 set, bit 7 kept";
  r = wizard_generate(word, 0, f, "Stage \xE2\x86\x92 B\xC3\xBChne", false, 0);
  EXPECT_EQ(std::string(r.preset.name), "Stage \x82 B\xFChn") << "cut to the 12-byte field";
}

TEST_F(WizardFiles, MissingFactoryFile) {
  tree_select = 0x0001;
  const std::string missing = dir_.file("none.xml");
  wizard_result_t r = wizard_generate(0x0001 | 0x0008 | 0x0100, 0, missing, "Hall", true, 0);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, XML_ERR_OPEN);
  EXPECT_EQ(r.problem(), missing + ": cannot open (No such file or directory)");
  preset_t expected = preset_def;
  std::strcpy(expected.name, "Hall");
  expected.lock = 0x3F;
  EXPECT_TRUE(same_preset(r.preset, expected)) << "the default preset with name and lock";
  EXPECT_EQ(tree_select, 0x0001);

  r = wizard_generate(0x0001 | 0x0008 | 0x0100, 0, "", "Hall", false, 0);
  EXPECT_EQ(r.error, XML_ERR_OPEN);
  EXPECT_EQ(r.problem(),
            "wizards.xml: cannot open (not found in the working directory or the data directory)");
  EXPECT_EQ(std::string(r.preset.name), "Hall");

  ASSERT_EQ(mkdir(dir_.file("folder.xml").c_str(), 0755), 0);
  r = wizard_generate(0x0001 | 0x0008 | 0x0100, 0, dir_.file("folder.xml"), "Hall", false, 0);
  EXPECT_EQ(r.error, XML_ERR_OPEN);
  EXPECT_NE(r.problem().find("Is a directory"), std::string::npos) << r.problem();
}

TEST_F(WizardFiles, DamagedFactoryFiles) {
  const uint16_t word = 0x0001 | 0x0004 | 0x0040 | 0x0800;  // SAT RS1 + RX1
  struct {
    const char* what;
    std::string body;
    uint8_t code;
  } cases[] = {
      {"a block without CHANNEL 4",
       "<WIZARD>\n" + block("RS1", "SAT", "<CHANNEL ID=\"3\"><GAIN>-1</GAIN></CHANNEL>") +
           "</WIZARD>\n",
       XML_ERR_END_TAG},
      {"a bad number",
       "<WIZARD>\n" + block("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1x</GAIN></CHANNEL>") +
           "</WIZARD>\n",
       XML_ERR_SYNTAX},
      {"an over-long text",
       "<WIZARD>\n" + block("RS1", "SAT", "<NAME>" + std::string(64, 'n') + "</NAME>") +
           "</WIZARD>\n",
       XML_ERR_TOO_LONG},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string f = write(c.body);
    const wizard_result_t r = wizard_generate(word, 0, f, "x", false, 0);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, c.code);
    EXPECT_EQ(r.problem().rfind(f + ": reading stopped early (code " + std::to_string(c.code), 0),
              0u)
        << r.problem();
  }
}

TEST_F(WizardFiles, BlocksTheFileLacksAreNamed) {
  const std::string f =
      write("<WIZARD>\n" + block("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1</GAIN></CHANNEL>") +
            "</WIZARD>\n");
  wizard_result_t r = wizard_generate(0x0001 | 0x0004 | 0x0040 | 0x0800, 0, f, "x", false, 0);
  EXPECT_EQ(r.error, 0);
  ASSERT_EQ(r.missing.size(), 1u);
  EXPECT_EQ(r.missing[0], "RX1/SAT");
  EXPECT_EQ(r.problem(), f + ": holds no preset for RX1/SAT");
  EXPECT_EQ(r.preset.channel[3].gain, -10) << "what the file holds is still applied";
  r = wizard_generate(0x0001 | 0x0008 | 0x0100, 0, f, "x", false, 0);
  ASSERT_EQ(r.missing.size(), 1u);
  EXPECT_EQ(r.missing[0], "RS3/FULLRANGE");
}

TEST_F(WizardFiles, AFileCutShortIsReported) {
  const std::string whole = read_file(shipped);
  // Cut inside the RS3 fullrange block: the reader applies what it got
  // and reports nothing.
  const size_t at = whole.find("<FULLRANGE>", whole.find("<RS3>"));
  ASSERT_NE(at, std::string::npos);
  const std::string f = write(whole.substr(0, at + 2000));
  const wizard_result_t r = wizard_generate(0x0001 | 0x0008 | 0x0100, 0, f, "x", false, 0);
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(r.cut_short);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.problem().find("cut short"), std::string::npos);
}

TEST_F(WizardFiles, LookupPrefersTheWorkingDirectory) {
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  const std::string data = dir_.file("data");
  const std::string work = dir_.file("work");
  ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(work.c_str(), 0755), 0);
  ASSERT_EQ(chdir(work.c_str()), 0);

  wizard_file_lookup_t l = find_wizard_file(data);
  EXPECT_EQ(l.path, "");
  ASSERT_EQ(l.tried.size(), 2u);
  EXPECT_EQ(l.tried[0], "wizards.xml");
  EXPECT_EQ(l.tried[1], data + "/wizards.xml");

  write_file(data + "/wizards.xml", "<WIZARD></WIZARD>\n");
  EXPECT_EQ(find_wizard_file(data).path, data + "/wizards.xml");
  ASSERT_EQ(mkdir("wizards.xml", 0755), 0);
  EXPECT_EQ(find_wizard_file(data).path, data + "/wizards.xml") << "a folder is no file";
  ASSERT_EQ(rmdir("wizards.xml"), 0);
  write_file("wizards.xml", "<WIZARD></WIZARD>\n");
  EXPECT_EQ(find_wizard_file(data).path, "wizards.xml");
  EXPECT_EQ(find_wizard_file("").path, "wizards.xml");
  std::remove("wizards.xml");
  EXPECT_EQ(find_wizard_file("").tried.size(), 1u);

  ASSERT_EQ(chdir(old), 0);
}

}  // namespace
