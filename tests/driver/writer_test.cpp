// The structure-factor file: the header forms, the records and sigma.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "driver/writer.hpp"
#include "support/files.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

class Writer : public testing::Test {
 protected:
  // The state of the example run: a cubic cell, two reflections.
  void SetUp() override {
    reset_run_state();
    CDATA.TITLE.assign("Sample data set");
    RDATA.CELL = {5.4307f, 5.4307f, 5.4307f, 90.0f, 90.0f, 90.0f};
    IDATA.NX = IDATA.NY = IDATA.NZ = 48;
    IDATA.SPG = 221;
    IDATA.SET = 1;
    CDATA.VOL.assign("P");
    RDATA.TOTAMP = 1234.567f;
    RDATA.lambda0 = 1.540598f;
    RDATA.E = 1.0f;
    IDATA.phase_no = 1;
    IDATA.NREF1 = 2;
    set_reflection(0, 1, 0, 0, 12.345f, 0.0f, 12.345f, 523.7f);
    set_reflection(1, 1, 1, 0, -45.678f, 0.0f, 45.678f, 12345.6f);
  }
  static void set_reflection(int i, int h, int k, int l, float fr, float fi, float fa, float io) {
    IDATA.IH[i] = h;
    IDATA.IK[i] = k;
    IDATA.IL[i] = l;
    RDATA.FOR[i] = fr;
    RDATA.FOI[i] = fi;
    RDATA.FOABS[i] = fa;
    RDATA.IO[i] = io;
  }
  std::string written(float relvar = 0.0f) {
    {
      TextOutput out(dir_ / "out.fos", 4);
      write_structure_factors(out, relvar);
      out.commit();
    }
    return test::read_file(dir_ / "out.fos");
  }
  // Line n (from 1) of the file.
  std::string line(const std::string& file, int n) {
    std::size_t at = 0;
    for (int i = 1; i < n; ++i) at = file.find('\n', at) + 1;
    return file.substr(at, file.find('\n', at) - at);
  }

  test::TempDir dir_;
};

const std::string kHead =
    "# Title\n"
    "Sample data set\n"
    "#        a         b         c     alpha      beta     gamma\n"
    "   5.43070   5.43070   5.43070  90.00000  90.00000  90.00000\n"
    "#          POP1           POP2  IPTYP  JPH  JPK  JPL\n"
    "      0.0000000      0.0000000     -1    0    0    0      P\n"
    "#  NX   NY   NZ  SPG  SET  VOL\n"
    "   48   48   48  221    1    P\n";

TEST_F(Writer, TheExampleFileByteForByte) {
  EXPECT_EQ(written(),
            kHead +
                "# Total amplitudes      lambda0\n"
                "          1234.567    1.5405980\n"
                "# E =  1.00000, Phase No. =  1\n"
                "# NREF1\n"
                "    2\n"
                "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|"
                "          Io\n"
                "    1    0    0         12.345          0.000          0.270         12.345"
                "   523.7    \n"
                "    1    1    0        -45.678          0.000          0.206         45.678"
                "  1.2346E+04\n");
}

TEST_F(Writer, TimeOfFlightELinesAndRecords) {
  LDATA.TOF = true;
  IDATA.histogram = 1;
  IDATA.nbank = 2;
  RDATA.twotheta = 90.0f;
  RDATA.WAVE[0] = 2.828427f;
  RDATA.WAVE[1] = 1.4142135f;
  std::string f = written();
  EXPECT_EQ(line(f, 11),
            "# E =  1.00000,  histogram =  1,  nbank =  2, Phase No. =  1,  2theta =  90.00");
  EXPECT_EQ(line(f, 14),
            "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|"
            "          Io  Wavelength");
  EXPECT_EQ(line(f, 15),
            "    1    0    0         12.345          0.000          0.270         12.345"
            "   523.7          2.8284");
  EXPECT_EQ(line(f, 16).size(), 99u);

  IDATA.IAMP = 1;
  RDATA.TOTAMP2 = -17.5f;
  f = written();
  EXPECT_EQ(line(f, 9), "# Total SA b+ & b-                 lambda0");
  EXPECT_EQ(line(f, 10), "       1234.567        -17.500      1.5405980");
  EXPECT_EQ(line(f, 11),
            "# E =  1.00000,  histogram =  1,  nbank =  2, Phase No. =  1, 2theta =  90.00");
}

// One and two totals without time of flight, no amplitude block and no
// reflection: tests/cases/kolmex/.

TEST_F(Writer, TheETextInBothForms) {
  struct Case {
    float e;
    const char* line;
  };
  for (Case c : {Case{0.5f, "# E = 0.500000, Phase No. =  1"},
                 Case{1.0e6f, "# E = 1.000000E+06, Phase No. =  1"}}) {
    RDATA.E = c.e;
    std::string f = written();
    EXPECT_EQ(line(f, 11), c.line);
    // LINE keeps the E text
    EXPECT_EQ(CDATA.LINE.trimmed(),
              std::string(c.line).substr(5, std::string(c.line).find(',') - 5));
  }
}

TEST_F(Writer, AnEmptyTitleGivesAnEmptyLine) {
  CDATA.TITLE.assign("");
  EXPECT_EQ(line(written(), 2), "");
}

TEST(Sigma, SinglePrecisionInTheWrittenOrder) {
  EXPECT_EQ(sigma_fo(1.0f, 523.7f, 12.345f, 0.0f), (12.345f * 0.5f) * std::sqrt(1.0f / 523.7f));
  // the extra relative variance of a KOLMEX file
  float relvar = (0.1f / 2.0f) * (0.1f / 2.0f);
  EXPECT_FLOAT_EQ(relvar, 0.0025f);
  EXPECT_EQ(sigma_fo(2.0f, 100.0f, 10.0f, relvar), 5.0f * std::sqrt(0.005f + 0.0025f));
  // no guard: zero and negative products
  EXPECT_TRUE(std::isinf(sigma_fo(0.0f, 100.0f, 10.0f, 0.0f)));
  EXPECT_TRUE(std::isnan(sigma_fo(1.0f, -100.0f, 10.0f, 0.0f)));
}

TEST_F(Writer, NonFiniteSigmaIsWrittenAsText) {
  RDATA.E = 0.0f;
  IDATA.NREF1 = 1;
  std::string f = written();
  EXPECT_EQ(line(f, 15),
            "    1    0    0         12.345          0.000       Infinity         12.345"
            "   523.7    ");
}

}  // namespace
}  // namespace sfconv
