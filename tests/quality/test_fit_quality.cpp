// The EQ fit against its yardstick (the better of differential evolution
// and placement with Levenberg-Marquardt, both rounded and polished) on
// generated loudspeakers in rooms: tops and subs, with the default largest
// boost, cutting only and a limited boost. The fit must come within 15 %
// (or 0.15 dB) of the yardstick. Prints the comparison.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "measure/eq_fit.h"
#include "support/fit_yardstick.h"
#include "support/loudspeaker_model.h"

namespace {

// A top behind a fourth-order high-pass, or a sub between a high-pass and a
// low-pass, with its EQ off.
channel_t tuned_channel(uint64_t seed, bool sub) {
  seeded_random r(seed ^ 0x5eed);
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = {2, {35, uint16_t(sub ? r.integer(28, 38) : r.integer(75, 120))}, {7, 7}};
  ch.xo[1] =
      sub ? xo_t{2, {120, uint16_t(r.integer(80, 120))}, {7, 7}} : xo_t{0, {120, 120}, {7, 7}};
  for (peq_t& b : ch.peq) b = {1000, 10, 0, 0};
  return ch;
}

TEST(FitQuality, WithinFifteenPercentOfTheYardstick) {
  std::printf("%-5s %-4s %6s %5s %8s %8s %8s %8s %7s %7s\n", "seed", "kind", "boost", "cols",
              "before", "DE", "placed", "fit", "ratio", "cpu ms");
  double worst = 0.0, total_ms = 0.0;
  int runs = 0;
  for (uint64_t seed = 1; seed <= 9; ++seed) {
    const bool sub = seed % 3 == 0;
    const channel_t ch = tuned_channel(seed, sub);
    const pass_band_t range = default_fit_range(ch);
    const measurement_t m = measure(random_loudspeaker(seed, sub, range.lo_hz, range.hi_hz));
    auto g = std::make_unique<grid_measurement_t>();
    measurement_on_grid(m, *g);
    for (int boost : {60, 0, 30}) {
      eq_fit_request_t req;
      req.max_boost = boost;
      const std::clock_t start = std::clock();
      const eq_fit_result_t fit = fit_eq(ch, *g, req);
      const double ms = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
      ASSERT_TRUE(fit.ok) << fit.reason;
      const std::vector<int> cols = fit_columns(*g, nullptr, fit.lo_hz, fit.hi_hz);
      const yardstick_t y = fit_yardstick(ch, *g, nullptr, cols, boost, seed);
      const double ratio = fit.error_after_db / y.error_db;
      std::printf("%-5llu %-4s %+6.1f %5d %8.3f %8.3f %8.3f %8.3f %7.3f %7.1f\n",
                  (unsigned long long)seed, sub ? "sub" : "top", boost / 10.0, fit.columns,
                  fit.error_before_db, y.evolution_error_db, y.placement_error_db,
                  fit.error_after_db, ratio, ms);
      EXPECT_LE(fit.error_after_db, std::max(y.error_db * 1.15, y.error_db + 0.15))
          << "seed " << seed << " largest boost " << boost;
      worst = std::max(worst, ratio);
      total_ms += ms;
      ++runs;
    }
  }
  std::printf("worst ratio fit / yardstick %.3f; the fit took %.0f ms CPU on average\n", worst,
              total_ms / runs);
}

}  // namespace
