// KOLMEX reflection files converted end to end: whole output files compared.
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "support/fos_writer.hpp"

namespace sfconv {
namespace {

using test::FosFile;
using test::FosReflection;

const std::string kHeader =
    "# Title\n"
    "cubic test crystal\n"
    "#        a         b         c     alpha      beta     gamma\n"
    "   5.64020   5.64020   5.64020  90.00000  90.00000  90.00000\n"
    "#          POP1           POP2  IPTYP  JPH  JPK  JPL\n"
    "      0.0000000      0.0000000     -1    0    0    0      P\n"
    "#  NX   NY   NZ  SPG  SET  VOL\n"
    "   48   48   48  225    1    F\n";

const std::string kColumns =
    "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io\n";

FosFile crystal() {
  FosFile f;
  f.title = "cubic test crystal";
  f.cell[0] = f.cell[1] = f.cell[2] = 5.6402f;
  f.grid[0] = f.grid[1] = f.grid[2] = 48;
  f.spg = 225;
  f.vol = 'F';
  f.totamp = 1234.5f;
  f.totamp2 = -56.25f;
  f.reflections = {{1, 1, 1, -41.2f, 0.0f, 41.2f, 1697.4f},
                   {2, 0, 0, 85.3f, 0.0f, 85.3f, 21834.0f},
                   {2, 2, 0, 0.0f, -70.5f, 70.5f, 0.0625f}};
  return f;
}

struct Conversion {
  test::RunResult result;
  std::string output;  // "(none)" when no output file was made
};

Conversion convert(const std::string& fos, const std::string& iamp = "0") {
  test::TempDir dir;
  dir.write("params.txt", "crystal.fos\ncrystal.sf\n2.0\n" + iamp + "\n1.5406\n");
  dir.write("crystal.fos", fos);
  Conversion c;
  c.result = test::run_sfconv(dir, "params.txt");
  c.output = dir.exists("crystal.sf") ? test::read_file(dir / "crystal.sf") : "(none)";
  std::string files = dir.listing();
  EXPECT_TRUE(files == "crystal.fos\ncrystal.sf\nparams.txt\n" ||
              files == "crystal.fos\nparams.txt\n")
      << "stray files: " << files;
  return c;
}

const std::string kRecords =
    "    1    1    1        -41.200          0.000          0.354         41.200   1697.    \n"
    "    2    0    0         85.300          0.000          0.204         85.300  2.1834E+04\n"
    "    2    2    0          0.000        -70.500         99.702         70.500  6.2500E-02\n";

TEST(Kolmex, AFileConvertsAsItStands) {
  Conversion c = convert(crystal().bytes());
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kHeader +
                          "# Total amplitudes      lambda0\n"
                          "          1234.500    1.5405999\n"
                          "# E =  2.00000, Phase No. =  1\n"
                          "# NREF1\n"
                          "    3\n" +
                          kColumns + kRecords);
}

TEST(Kolmex, TrailingBytesInEveryRecordAreSkipped) {
  FosFile f = crystal();
  f.extra = std::string("\x01\x02\x03\x04\x05", 5);
  EXPECT_EQ(convert(f.bytes()).output, convert(crystal().bytes()).output);
}

TEST(Kolmex, TheRelativeVarianceEntersEverySigma) {
  FosFile f = crystal();
  f.q1 = 2.0f;
  f.q2 = 0.1f;  // RELVAR = 0.0025
  f.reflections = {{1, 1, 1, 10.0f, 0.0f, 10.0f, 200.0f}};
  // sigma = 5 sqrt(1/(2 x 200) + 0.0025) = 5 sqrt(0.005)
  EXPECT_EQ(convert(f.bytes(), "2").output,
            kHeader + "# NREF1\n    1\n" + kColumns +
                "    1    1    1         10.000          0.000          0.354         10.000"
                "   200.0    \n");
}

TEST(Kolmex, AmplitudeBlockForms) {
  EXPECT_EQ(convert(crystal().bytes(), "1").output,
            kHeader +
                "# Total SA b+ & b-                 lambda0\n"
                "       1234.500        -56.250      1.5405999\n"
                "# E =  2.00000, Phase No. =  1\n"
                "# NREF1\n"
                "    3\n" +
                kColumns + kRecords);
  // IAMP is not checked here: any other value leaves the block out
  EXPECT_EQ(convert(crystal().bytes(), "2").output,
            kHeader + "# NREF1\n    3\n" + kColumns + kRecords);
}

TEST(Kolmex, ZeroAndNegativeCountsWriteNoRecord) {
  FosFile f = crystal();
  f.reflections.clear();
  EXPECT_EQ(convert(f.bytes(), "2").output, kHeader + "# NREF1\n    0\n" + kColumns);
  f.count = -4;
  EXPECT_EQ(convert(f.bytes(), "2").output, kHeader + "# NREF1\n   -4\n" + kColumns);
}

TEST(Kolmex, TwoThousandReflectionsAndNoMore) {
  FosFile f = crystal();
  f.reflections.assign(2000, FosReflection{1, 2, 3, 1.0f, 2.0f, 3.0f, 4.0f});
  Conversion c = convert(f.bytes(), "2");
  EXPECT_EQ(c.result.status, 0);
  const std::string record =
      "    1    2    3          1.000          2.000          0.530          3.000   4.000    \n";
  std::string expected = kHeader + "# NREF1\n 2000\n" + kColumns;
  for (int i = 0; i < 2000; ++i) expected += record;
  EXPECT_EQ(c.output, expected);

  f.reflections.push_back(FosReflection{9, 9, 9, 1.0f, 2.0f, 3.0f, 4.0f});
  c = convert(f.bytes(), "2");
  EXPECT_EQ(c.result.status, 0);
  EXPECT_EQ(c.result.out, " The number of reflections is greater than  2000\n");
  EXPECT_EQ(c.output, "(none)");
}

struct Damage {
  const char* name;
  std::string bytes;
  std::string message;
};

class DamagedFiles : public testing::TestWithParam<Damage> {};

TEST_P(DamagedFiles, EndWithTheReportAndNoOutput) {
  Conversion c = convert(GetParam().bytes);
  EXPECT_EQ(c.result.status, 2);
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(test::report_tail(c.result.err), GetParam().message + "\n? READ(UNIT=1,...\n");
  EXPECT_EQ(c.output, "(none)");
}

std::string without_last(std::size_t n) {
  std::string b = crystal().bytes();
  return b.substr(0, b.size() - n);
}

std::string short_record_4() {
  std::vector<test::Payload> p = crystal().payloads();
  p[3] = test::Payload().i32(225).i32(1);  // no VOL character
  std::string out;
  for (const auto& x : p) out += test::framed(x);
  return out;
}

std::string huge_length_word() {
  // record 1 claims a payload of 4 GB - 1 bytes
  return test::framed(std::string(70, 'x'), 0xFFFFFFFFu);
}

const std::string kEnd = "Attempt to read past end of file";

INSTANTIATE_TEST_SUITE_P(
    Kolmex, DamagedFiles,
    testing::Values(Damage{"InsideTrailingLength", without_last(2), kEnd},
                    Damage{"InsidePayload", without_last(10), kEnd},
                    Damage{"BetweenRecords", without_last(36), kEnd},
                    Damage{"InsideLengthWord", crystal().bytes().substr(0, 2), kEnd},
                    Damage{"Empty", "", kEnd}, Damage{"HugeLengthWord", huge_length_word(), kEnd},
                    Damage{"ShortRecord4", short_record_4(), "Attempt to read past end of record"}),
    [](const testing::TestParamInfo<Damage>& i) { return i.param.name; });

TEST(Kolmex, FewerReflectionRecordsThanCounted) {
  FosFile f = crystal();
  f.count = 3;
  f.reflections.pop_back();
  Conversion c = convert(f.bytes());
  EXPECT_EQ(c.result.status, 2);
  EXPECT_EQ(c.result.err, "sfconv: crystal.fos ended before record 10 (reflection)\n" + kEnd +
                              "\n? READ(UNIT=1,...\n");
}

}  // namespace
}  // namespace sfconv
