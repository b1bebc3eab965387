// Preset generation: the built-in templates, the shipped factory file for
// every selection the wizard offers, name and lock, the lookup of the file,
// and missing or damaged factory files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

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
  // Loudspeaker bits left from a visit to Step Three do not matter, and no
  // file is read, not even a missing one.
  const wizard_result_t r =
      wizard_generate(0x0001 | 0x0100 | 0x4000, 2, "/no/such/wizards.xml", "Church", true, 1);
  EXPECT_TRUE(r.ok()) << r.problem();
  EXPECT_TRUE(r.from_template);
  EXPECT_EQ(r.input_mode, 3);
  preset_t expected = preset_factory[1];
  std::strcpy(expected.name, "Church");
  expected.lock = 0x3F;
  EXPECT_TRUE(same_preset(r.preset, expected));
  EXPECT_EQ(tree_select, 0x1234) << "the selection word is left as it was";
}

bool in(int v, int lo, int hi) {
  return lo <= v && v <= hi;
}

// Every offered selection reads the shipped file cleanly and sets exactly
// its channels (in SAT the top's block C and D, the bass's block A and B),
// with values the editor's widgets can show, and SAT crossovers that meet.
TEST(WizardFactoryFile, EveryOfferedSelection) {
  std::map<int, std::set<std::string>> eq_per_mode;  // models within a mode differ
  int models = 0;
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    SCOPED_TRACE(s.word);
    const wizard_result_t r = wizard_generate(s.word, 0, shipped, "Show 1", false, 0);
    ASSERT_TRUE(r.ok()) << r.problem();
    EXPECT_FALSE(r.from_template);
    EXPECT_EQ(std::string(r.preset.name), "Show 1");
    EXPECT_EQ(r.preset.lock, 0) << "a factory lock (bit 7) would make the saved file unopenable";
    EXPECT_EQ(r.preset.mute, 0);
    const preset_t& p = r.preset;
    if (s.mode == WIZ_SAT) {
      const preset_t top = read_shipped(0x0005 | wizard_speakers[s.top].bit);
      const preset_t bass = read_shipped(0x0005 | wizard_speakers[s.bass].bit);
      for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(same_channel(top.channel[n], preset_def.channel[n]), n < 2) << n;
        EXPECT_EQ(same_channel(bass.channel[n], preset_def.channel[n]), n >= 2) << n;
        EXPECT_TRUE(same_channel(p.channel[n], (n >= 2 ? top : bass).channel[n])) << n;
      }
      const xo_t &hp = p.channel[2].xo[0], &lp = p.channel[0].xo[1];
      EXPECT_TRUE(hp.config == lp.config && lp.config != 0) << "same slope, low-pass on";
      EXPECT_EQ(hp.freq[xo_slot(hp.config)], lp.freq[xo_slot(lp.config)]);
    } else {
      for (int n = 0; n < 4; ++n) EXPECT_FALSE(same_channel(p.channel[n], preset_def.channel[n]));
      if (!s.quantity) {
        const channel_t& c = p.channel[0];
        eq_per_mode[s.mode].insert(std::string(reinterpret_cast<const char*>(c.peq), sizeof c.peq));
        ++models;
      }
    }
    for (const channel_t& c : p.channel) {  // values the editor's widgets can show
      EXPECT_TRUE(in(c.routing, 0, 10) && in(c.gain, -990, 60) && c.phase <= 1 && c.delay <= 40000);
      EXPECT_TRUE(in(c.groups & 0x0F, 0, 2) && ((c.groups & 0xF0) == 0 || in(c.groups >> 4, 2, 5)));
      for (const xo_t& xo : c.xo)
        EXPECT_TRUE(xo.config <= 2 && in(xo.freq[0], 35, 8000) && xo.freq[0] == xo.freq[1]);
      for (int b = 0; b < 6; ++b) {
        const peq_t& e = c.peq[b];
        EXPECT_TRUE(in(e.freq, 35, 12000) && in(e.q, 7, 125) && in(e.gain, -120, 120)) << b;
        EXPECT_TRUE(e.type == 0 || (e.type == 1 && (b == 0 || b == 5))) << "band " << b;
      }
      const dynamics_t& d = c.dynamics;
      EXPECT_TRUE(d.attack <= 127 && d.release <= 127 && in(d.boost, -99, 0));
      EXPECT_TRUE(in(d.threshold, -24, -1)) << "every channel has its limiter on";
    }
    // The quantity changes only the summary.
    if (s.top >= 0) {
      const wizard_result_t other =
          wizard_generate(s.word ^ SEL_QUANTITY_2X, 0, shipped, "Show 1", false, 0);
      EXPECT_TRUE(same_preset(other.preset, p));
    }
  }
  int distinct = 0;
  for (const auto& m : eq_per_mode) distinct += m.second.size();
  EXPECT_EQ(distinct, models) << "two models of one mode share their EQ";
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

TEST_F(WizardFiles, NameAndLockFromStepFour) {
  const std::string f = write("RS2", "MONITOR",
                              "<NAME>Factory</NAME><LOCK>128</LOCK>"
                              "<CHANNEL ID=\"4\"><GAIN>-2</GAIN></CHANNEL>");
  const uint16_t word = 0x0001 | 0x0020 | 0x0080;
  wizard_result_t r = wizard_generate(word, 0, f, "Wedges", false, 0);
  ASSERT_TRUE(r.ok()) << r.problem();
  EXPECT_EQ(std::string(r.preset.name), "Wedges");
  EXPECT_EQ(r.preset.lock, 0x80) << "without Lock Preset the file's lock survives";
  EXPECT_EQ(r.preset.channel[3].gain, -20);
  r = wizard_generate(word, 0, f, "", true, 0);
  EXPECT_EQ(std::string(r.preset.name), "");
  EXPECT_EQ(r.preset.lock, 0xBF) << "bits 0-5 set, bit 7 kept";
  r = wizard_generate(word, 0, f, "Stage \xE2\x86\x92 B\xC3\xBChne", false, 0);
  EXPECT_EQ(std::string(r.preset.name), "Stage \x82 B\xFChn") << "cut to the 12-byte field";
}

TEST_F(WizardFiles, MissingFactoryFile) {
  tree_select = 0x0001;
  const std::string missing = dir_.file("none.xml");
  wizard_result_t r = wizard_generate(FULLRANGE_RS3, 0, missing, "Hall", true, 0);
  EXPECT_EQ(r.error, XML_ERR_OPEN);
  EXPECT_EQ(r.problem(), missing + ": cannot open (No such file or directory)");
  preset_t expected = preset_def;
  std::strcpy(expected.name, "Hall");
  expected.lock = 0x3F;
  EXPECT_TRUE(same_preset(r.preset, expected)) << "the default preset with name and lock";
  EXPECT_EQ(tree_select, 0x0001);
  r = wizard_generate(FULLRANGE_RS3, 0, "", "Hall", false, 0);
  EXPECT_EQ(r.problem(),
            "wizards.xml: cannot open (not found in the working directory or the data directory)");
}

TEST_F(WizardFiles, DamagedShortOrIncompleteFiles) {
  std::string f = write("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1x</GAIN></CHANNEL>");
  wizard_result_t r = wizard_generate(SAT_RS1_RX1, 0, f, "x", false, 0);
  EXPECT_EQ(r.error, XML_ERR_SYNTAX);
  EXPECT_EQ(
      r.problem().rfind(f + ": reading stopped early (code " + std::to_string(XML_ERR_SYNTAX), 0),
      0u)
      << r.problem();
  // A chosen loudspeaker without a block is named; what the file holds applies.
  f = write("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1</GAIN></CHANNEL>");
  r = wizard_generate(SAT_RS1_RX1, 0, f, "x", false, 0);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.problem(), f + ": holds no preset for RX1/SAT");
  EXPECT_EQ(r.preset.channel[3].gain, -10);
  // Cut inside the RS3 fullrange block: the reader applies what it got and
  // reports nothing; the end tag is missing.
  const std::string whole = read_file(shipped);
  const size_t at = whole.find("<FULLRANGE>", whole.find("<RS3>"));
  ASSERT_NE(at, std::string::npos);
  write_file(f, whole.substr(0, at + 2000));
  r = wizard_generate(FULLRANGE_RS3, 0, f, "x", false, 0);
  EXPECT_TRUE(r.error == 0 && r.cut_short && !r.ok());
  EXPECT_NE(r.problem().find("cut short"), std::string::npos);
}

TEST_F(WizardFiles, LookupPrefersTheWorkingDirectory) {
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  const std::string data = dir_.file("data"), work = dir_.file("work");
  ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(work.c_str(), 0755), 0);
  ASSERT_EQ(chdir(work.c_str()), 0);
  const wizard_file_lookup_t none = find_data_file(WIZARD_FILE_NAME, {data});
  EXPECT_EQ(none.path, "");
  EXPECT_EQ(none.tried, (std::vector<std::string>{"wizards.xml", data + "/wizards.xml"}));
  write_file(data + "/wizards.xml", "<WIZARD></WIZARD>\n");
  ASSERT_EQ(mkdir("wizards.xml", 0755), 0);
  EXPECT_EQ(find_data_file(WIZARD_FILE_NAME, {data}).path, data + "/wizards.xml")
      << "a folder is no file";
  ASSERT_EQ(rmdir("wizards.xml"), 0);
  write_file("wizards.xml", "<WIZARD></WIZARD>\n");
  EXPECT_EQ(find_data_file(WIZARD_FILE_NAME, {data}).path, "wizards.xml");
  std::remove("wizards.xml");
  // Without one here, the data folder beside the executable has it: the
  // installed one (../share/qbn-preset-editor), then the build tree's.
  const std::vector<std::string> dirs = data_dirs();
  ASSERT_EQ(dirs.size(), 2u);
  EXPECT_EQ(dirs[0].substr(dirs[0].size() - 27), "/../share/qbn-preset-editor");
  EXPECT_EQ(read_file(find_wizard_file().path), read_file(shipped));
  ASSERT_EQ(chdir(old), 0);
}

}  // namespace
