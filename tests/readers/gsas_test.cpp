// The Lorentz-polarization factors of GSAS reflections in single precision,
// computed in the order written: an order changes last bits that the printed
// digits would hide. Whole listings are converted by the cases in tests/cases/gsas/.
#include <gtest/gtest.h>

#include "run/run_state.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/gsas/gsas_listing.hpp"
#include "textio/editing_table.hpp"

namespace sfconv {
namespace {

TEST(Gsas, LorentzPolarizationFactorsInSinglePrecision) {
  struct Case {
    const char* type;
    float d;
    float lp, wave;
  };
  // lambda 1.54056 (sin theta = 0.5 at d = 1.54056), polarization 0.5, and
  // for time of flight 2theta = 90
  for (Case c :
       {Case{"PXC", 1.54056f, 1.4433757f, 0.0f}, Case{"PNC", 1.54056f, 2.3094010f, 0.0f},
        // (sn x sn) x cs: sn x (sn x cs) would give 1.8865787
        Case{"PNC", 1.3578f, 1.8865784f, 0.0f}, Case{"PNT", 2.0f, 11.313708f, 2.828427f}}) {
    reset_run_state();
    CDATA.DIFTYP.assign(c.type);
    RDATA.lambda = 1.54056f;
    RDATA.twotheta = 90.0f;
    GsasRecord r{.multiplicity = 6, .d = c.d, .intensity = 10.0f, .amplitude = 1.0f};
    EXPECT_EQ(gsas_store(0, r, {.pm = 0.5f, .one_minus_p = 0.5f}), c.lp) << c.type << " " << c.d;
    EXPECT_EQ(RDATA.WAVE[0], c.wave) << c.type;
  }
}

// The values under the " Hstgm" tables' captions (the table in
// editing/hstgm_columns.txt).
TEST(Gsas, HstgmColumnsOfEveryRowOfTheTable) {
  auto cases = test::editing_table("hstgm_columns.txt");
  ASSERT_GE(cases.size(), 8u);
  for (const test::EditingCase& c : cases) {
    gsas_listing::HstgmColumns columns;
    columns.caption(c.format);
    auto word = [](std::string_view w) { return w.empty() ? std::string("-") : std::string(w); };
    EXPECT_EQ(word(columns.angle(c.first)) + " " + word(columns.polarization(c.first)), c.rest)
        << "hstgm_columns.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
