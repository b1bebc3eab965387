// qpx sheet FILE -o SHEET.pdf [--paper a4|letter] [--input-mode N]: the
// preset sheet the editor prints, as a PDF document.
#include <CLI/CLI.hpp>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "files/text_input.h"
#include "measure/measurement.h"
#include "model/text_format.h"
#include "sheet/sheet_draw.h"

namespace {

struct sheet_options {
  qpx::file_input in;
  std::string out;
  std::string paper = "a4";
  int input_mode = 0;
  std::vector<std::string> measurements;  // X=FILE
};

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void add_sheet_command(CLI::App& app) {
  auto opt = std::make_shared<sheet_options>();
  CLI::App* cmd = app.add_subcommand(
      "sheet", "Write the preset sheet (every value, the diagrams and the plots) as a PDF.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("-o,--output", opt->out, "PDF file to write ('-' for standard output)")
      ->type_name("SHEET.pdf")
      ->required();
  cmd->add_option("--paper", opt->paper, "Paper size; default a4")
      ->type_name("a4|letter")
      ->check(CLI::IsMember({"a4", "letter"}, CLI::ignore_case));
  cmd->add_option("--input-mode", opt->input_mode,
                  "The device's input mode the routing diagram shows (not stored in the file); "
                  "default 0")
      ->type_name("N");
  cmd->add_option("--measurement", opt->measurements,
                  "X=M.txt: channel X's measured loudspeaker, drawn with its predicted output on "
                  "the channel's plots (may be given for every channel)")
      ->type_name("X=M.txt");
  cmd->footer(
      "The sheet holds the preset's name, device, file name, today's date, the checksum\n"
      "its file holds when the editor saves it and the lock flags; the routing and\n"
      "signal-flow diagrams; then a page per channel with its values, its crossover and\n"
      "EQ filters and its two plots. Texts are text (searchable), pictures are drawings.\n"
      "Input modes as for 'qpx overview'.\n"
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum\n"
      "or the sheet cannot be written, 2 for a usage error (also an input mode the\n"
      "file's device does not have), 3 when reading stopped at a problem (the sheet\n"
      "shows what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("sheet", opt->in, [&](const preset_file_read_t& loaded) {
      qpx::check_input_mode("sheet", opt->input_mode, loaded.device);
      sheet_input_t in;
      in.preset = loaded.preset;
      in.device = loaded.device;
      in.input_mode = opt->input_mode;
      in.file_name = opt->in.file == "-" ? "standard input" : sheet_file_name(opt->in.file);
      in.file_note = loaded.problem();
      in.date = sheet_date(std::time(nullptr));
      std::unique_ptr<grid_measurement_t> grids[4];
      plot_sources_t sources;
      sources.preset = &in.preset;
      for (const std::string& given : opt->measurements) {
        const size_t eq = given.find('=');
        const int ch =
            qpx::channel_of_device("sheet", given.substr(0, eq), loaded.device, "--measurement");
        if (eq == std::string::npos)
          qpx::fail("sheet", "--measurement wants X=FILE", qpx::EXIT_USAGE);
        const std::string file = given.substr(eq + 1);
        grids[ch] = std::make_unique<grid_measurement_t>();
        measurement_on_grid(qpx::load_measurement_or_fail("sheet", file), *grids[ch]);
        sources.measurement[ch] = {file_name_of(file), grids[ch].get()};
      }
      add_measured_curves(in, sources);
      const sheet_t sheet = build_sheet(in);

      const sheet_paper_t paper = upper_ascii(opt->paper) == "LETTER" ? SHEET_LETTER : SHEET_A4;
      std::string pdf;
      const cairo_status_t status = write_sheet_pdf(sheet, paper, append_bytes, &pdf);
      if (status != CAIRO_STATUS_SUCCESS)
        qpx::fail("sheet",
                  std::string("cannot make the PDF (") + cairo_status_to_string(status) + ")");
      qpx::write_output("sheet", opt->out, pdf);
    });
  });
}
