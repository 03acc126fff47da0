// The arithmetic of one GSAS reflection, where the printed digits would hide
// it. Whole listings are converted by the cases in tests/cases/gsas/.
#include <cmath>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "readers/gsas/gsas.hpp"

namespace sfconv {
namespace {

class GsasStore : public testing::Test {
 protected:
  void SetUp() override { reset_run_state(); }
  void TearDown() override { reset_run_state(); }
  static void type(const char* t) { CDATA.DIFTYP.assign(t); }
};

TEST_F(GsasStore, LorentzPolarizationFactors) {
  GsasRecord r;
  r.multiplicity = 6;
  r.intensity = 10.0f;
  r.amplitude = 1.0f;
  r.d = 1.54056f;
  RDATA.lambda = 1.54056f;  // sin(theta) = 0.5
  GsasWorking xray;
  xray.pm = 0.5f * 1.0f;
  xray.one_minus_p = 1.0f - 0.5f;

  type("PXC");
  EXPECT_EQ(gsas_store(0, r, xray), 1.4433757f);
  EXPECT_EQ(RDATA.IO[0], 86.60255f);

  type("PNC");
  EXPECT_EQ(gsas_store(1, r, GsasWorking{}), 2.3094010f);
  // (sn x sn) x cs: sn x (sn x cs) would give 1.8865787 here
  r.d = 1.3578f;
  EXPECT_EQ(gsas_store(1, r, GsasWorking{}), 1.8865784f);

  type("PNT");
  RDATA.twotheta = 90.0f;
  r.d = 2.0f;
  EXPECT_EQ(gsas_store(2, r, GsasWorking{}), 11.313708f);
  EXPECT_EQ(RDATA.WAVE[2], 2.828427f);
}

TEST_F(GsasStore, NeutronScalingAndThePhaseFraction) {
  type("PNC");
  RDATA.lambda = 1.0f;
  GsasRecord r;
  r.multiplicity = 1;
  r.d = 1.0f;
  r.intensity = 1.5f;
  r.amplitude = 4.0f;
  float lp = gsas_store(0, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOABS[0], 20.0f);  // sqrt(4.0 x 100)
  EXPECT_EQ(RDATA.IO[0], lp * 150.0f);

  RDATA.PHFRAC = 0.5f;
  GsasWorking fraction;
  fraction.fraction_found = true;
  gsas_store(1, r, fraction);
  EXPECT_EQ(RDATA.FOABS[1], 20.0f);  // the amplitude is not divided
  EXPECT_EQ(RDATA.IO[1], lp * 300.0f);
}

TEST_F(GsasStore, PhaseAngles) {
  type("PXC");
  RDATA.lambda = 1.0f;
  GsasRecord r;
  r.d = 1.0f;
  r.intensity = 1.0f;
  r.amplitude = 400.0f;  // |Fo| 20
  r.phase = 45.0f;
  gsas_store(0, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOR[0], 14.142136f);
  EXPECT_EQ(RDATA.FOI[0], 14.142136f);

  r.amplitude = 156.25f;  // |Fo| 12.5
  r.phase = 180.0f;
  gsas_store(1, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOR[1], -12.5f);
  // the sine of single-precision pi is not zero
  EXPECT_NE(RDATA.FOI[1], 0.0f);
  EXPECT_NEAR(RDATA.FOI[1], -1.1e-6f, 0.05e-6f);
}

}  // namespace
}  // namespace sfconv
