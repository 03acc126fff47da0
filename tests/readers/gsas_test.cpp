// The arithmetic of one GSAS reflection, where the printed digits would hide
// it. Whole listings are converted by the cases in tests/cases/gsas/.
#include <cmath>
#include <limits>
#include <ostream>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "readers/gsas/gsas.hpp"

namespace sfconv {
namespace {

constexpr float kAny = std::numeric_limits<float>::quiet_NaN();  // not looked at

// A reflection stored from the run state and record given; the values it
// must give, exactly unless foi_within says otherwise.
struct Stored {
  const char* name;
  const char* type;
  float lambda = 1.0f, twotheta = 0.0f, phfrac = 0.0f;
  GsasRecord r{};
  GsasWorking w{};
  float lp = kAny, io = kAny, foabs = kAny, fo_r = kAny, fo_i = kAny, wave = kAny;
  float foi_within = 0.0f;
};

void PrintTo(const Stored& s, std::ostream* os) {
  *os << s.name;
}

void expect(const char* what, float actual, float expected, float within = 0.0f) {
  if (!std::isnan(expected)) {
    EXPECT_NEAR(actual, expected, within) << what;
  }
}

class GsasStore : public testing::TestWithParam<Stored> {
 protected:
  void SetUp() override { reset_run_state(); }
  void TearDown() override { reset_run_state(); }
};

TEST_P(GsasStore, GivesTheSinglePrecisionValues) {
  const Stored& s = GetParam();
  CDATA.DIFTYP.assign(s.type);
  RDATA.lambda = s.lambda;
  RDATA.twotheta = s.twotheta;
  RDATA.PHFRAC = s.phfrac;
  expect("LP", gsas_store(0, s.r, s.w), s.lp);
  expect("IO", RDATA.IO[0], s.io);
  expect("FOABS", RDATA.FOABS[0], s.foabs);
  expect("FOR", RDATA.FOR[0], s.fo_r);
  expect("FOI", RDATA.FOI[0], s.fo_i, s.foi_within);
  expect("WAVE", RDATA.WAVE[0], s.wave);
}

// sin(theta) = 0.5 with the lambda of the rows that use them
constexpr GsasRecord kSix{.multiplicity = 6, .d = 1.54056f, .intensity = 10.0f, .amplitude = 1.0f};
constexpr GsasRecord kNeutron{.multiplicity = 1, .d = 1.0f, .intensity = 1.5f, .amplitude = 4.0f};

INSTANTIATE_TEST_SUITE_P(
    Gsas, GsasStore,
    testing::Values(
        Stored{.name = "XRay",
               .type = "PXC",
               .lambda = 1.54056f,
               .r = kSix,
               .w = {.pm = 0.5f * 1.0f, .one_minus_p = 1.0f - 0.5f},
               .lp = 1.4433757f,
               .io = 86.60255f},
        Stored{.name = "Neutron", .type = "PNC", .lambda = 1.54056f, .r = kSix, .lp = 2.3094010f},
        // (sn x sn) x cs: sn x (sn x cs) would give 1.8865787 here
        Stored{.name = "NeutronOrder",
               .type = "PNC",
               .lambda = 1.54056f,
               .r = {.multiplicity = 6, .d = 1.3578f, .intensity = 10.0f, .amplitude = 1.0f},
               .lp = 1.8865784f},
        Stored{.name = "TimeOfFlight",
               .type = "PNT",
               .lambda = 1.54056f,
               .twotheta = 90.0f,
               .r = {.multiplicity = 6, .d = 2.0f, .intensity = 10.0f, .amplitude = 1.0f},
               .lp = 11.313708f,
               .wave = 2.828427f},
        // neutron F^2 in units of 100: |Fo| = sqrt(4.0 x 100), Io from 150
        Stored{.name = "NeutronScaling",
               .type = "PNC",
               .r = kNeutron,
               .lp = 2.3094010f,
               .io = 2.3094010f * 150.0f,
               .foabs = 20.0f},
        // the fraction divides Io's F^2, not the amplitude's
        Stored{.name = "PhaseFraction",
               .type = "PNC",
               .phfrac = 0.5f,
               .r = kNeutron,
               .w = {.fraction_found = true},
               .lp = 2.3094010f,
               .io = 2.3094010f * 300.0f,
               .foabs = 20.0f},
        Stored{.name = "Phase45",
               .type = "PXC",
               .r = {.d = 1.0f, .intensity = 1.0f, .amplitude = 400.0f, .phase = 45.0f},
               .fo_r = 14.142136f,
               .fo_i = 14.142136f},
        // the sine of single-precision pi is not zero
        Stored{.name = "Phase180",
               .type = "PXC",
               .r = {.d = 1.0f, .intensity = 1.0f, .amplitude = 156.25f, .phase = 180.0f},
               .fo_r = -12.5f,
               .fo_i = -1.1e-6f,
               .foi_within = 0.05e-6f}),
    [](const testing::TestParamInfo<Stored>& i) { return i.param.name; });

}  // namespace
}  // namespace sfconv
