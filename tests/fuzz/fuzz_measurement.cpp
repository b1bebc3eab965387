// The measurement reader on any bytes: a text read holds a measurement, reads
// back the same written out again, stays finite on the grid and predicted;
// CR LF and a byte order mark change nothing; a refusal names a line and why
// in one short UTF-8 line.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "../support/utf8_check.h"
#include "fuzz_check.h"
#include "measure/measurement.h"
#include "model/text_format.h"

namespace {

size_t count_lines(std::string_view text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines + (!text.empty() && text.back() != '\n');
}

bool same_outcome(const measurement_read_t& a, const measurement_read_t& b) {
  return a.ok == b.ok && a.line == b.line && a.reason == b.reason && a.data.hz == b.data.hz &&
         a.data.db == b.data.db && a.data.phase_deg == b.data.phase_deg;
}

// Every LF that has no CR before it gets one.
std::string with_crlf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// The rows again, with 17 significant digits and each kind of separator.
std::string rewritten(const measurement_t& m) {
  static const char* const separators[] = {" ", "\t", ", ", ";", " ;\t,"};
  std::string out = "Frequency Level Phase\n";
  for (size_t i = 0; i < m.hz.size(); ++i) {
    const char* sep = separators[i % 5];
    out += format_general(m.hz[i], 17) + sep + format_general(m.db[i], 17);
    if (m.has_phase()) out += sep + format_general(m.phase_deg[i], 17);
    out += '\n';
  }
  return out;
}

void check_read(const measurement_t& m) {
  check(m.hz.size() >= 2 && m.db.size() == m.hz.size(), "two rows or more, a level each");
  check(m.phase_deg.empty() || m.phase_deg.size() == m.hz.size(), "a phase for all rows or none");
  for (size_t i = 0; i < m.hz.size(); ++i)
    check(std::isfinite(m.hz[i]) && m.hz[i] > 0 && (i == 0 || m.hz[i] > m.hz[i - 1]) &&
              std::isfinite(m.db[i]) && (!m.has_phase() || std::isfinite(m.phase_deg[i])),
          "frequencies positive and rising, every value finite");
}

// The grid and a prediction for a typical channel stay finite.
void check_on_grid(const measurement_t& m) {
  static const auto response = [] {
    auto r = std::make_unique<channel_response_t>();
    channel_t ch = preset_def.channel[0];  // a crossover, a band, polarity and delay
    ch.xo[1] = {1, {2500, 2500}, {7, 7}};
    ch.peq[2] = {1000, 20, -45, 0};
    ch.phase = 1, ch.delay = 120;
    channel_response(ch, *r);
    return r;
  }();
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  auto p = std::make_unique<prediction_t>();
  predict_output(*response, *g, *p);
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    if (!g->has[c]) continue;
    check(std::isfinite(g->db[c]) && std::isfinite(g->phase_deg[c]), "grid values finite");
    check(std::isfinite(p->db[c]) && std::isfinite(p->phase_deg[c]), "prediction finite");
    check(column_to_freq(c) >= m.hz.front() && column_to_freq(c) <= m.hz.back(),
          "a grid value only within the rows");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const measurement_read_t r = parse_measurement(text);
  check(same_outcome(r, parse_measurement(with_crlf(text))), "CR LF changes nothing");
  if (text.substr(0, 3) != "\xEF\xBB\xBF")
    check(same_outcome(r, parse_measurement("\xEF\xBB\xBF" + std::string(text))),
          "a byte order mark changes nothing");
  const std::string message = r.message("m.txt");
  check(is_valid_utf8(message) && message.find('\n') == std::string::npos,
        "message one UTF-8 line");
  if (!r.ok) {
    check(!r.reason.empty() && message.size() <= 600, "a short reason");
    check(r.line >= 0 && static_cast<size_t>(r.line) <= count_lines(text), "a line of the text");
    check(r.data.hz.empty() && r.data.db.empty() && r.data.phase_deg.empty(), "nothing kept");
    return 0;
  }
  check_read(r.data);
  const measurement_read_t again = parse_measurement(rewritten(r.data));
  check(again.ok && again.data.hz == r.data.hz && again.data.db == r.data.db &&
            again.data.phase_deg == r.data.phase_deg,
        "rows written out read back the same");
  check_on_grid(r.data);
  return 0;
}
