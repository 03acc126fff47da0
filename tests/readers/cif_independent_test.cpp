// CIF conversions checked against a reading of their own: each real file's
// reflection loop (files joined as a user joins them, and made-up files of
// what no real file shows) is read by blank-separated words (neither through
// sfconv nor through GEMMI), and the file its case expects must hold exactly
// the rows of the phase with a positive observed value, with the values
// computed here in double precision: d from the cell by the reciprocal metric
// written out, multiplicities from the file's operations or from generators
// of the group its name gives. And the FullProf run converted from its .out
// and .fou and from its joined CIF gives the same reflections and phases.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.hpp"

namespace sfconv {
namespace {

using Words = std::vector<std::string>;

std::vector<Words> lines_of(const std::string& path) {
  std::istringstream in(test::read_file(path));
  std::vector<Words> lines;
  for (std::string line; std::getline(in, line);) {
    std::istringstream w(line);
    lines.emplace_back();
    for (std::string s; w >> s;) lines.back().push_back(s);
  }
  return lines;
}

// A loop: its tags (lower case), and its rows, one line each in these files.
struct Loop {
  Words tags;
  std::vector<Words> rows;
  std::size_t at(const std::string& tag) const {
    for (std::size_t c = 0; c < tags.size(); ++c) {
      if (tags[c] == tag) return c;
    }
    return tags.size();
  }
};

// The n-th loop from line `from` on with a tag `tag`; none: no tags.
Loop loop_with(const std::vector<Words>& lines, const std::string& tag, int n,
               std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].empty() || lines[i][0] != "loop_") continue;
    Loop loop;
    std::size_t j = i;
    for (std::size_t w = 1;
         j < lines.size() && (j == i || (!lines[j].empty() && lines[j][0][0] == '_')); ++j, w = 0) {
      for (; w < lines[j].size(); ++w) {
        std::string t = lines[j][w];
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        loop.tags.push_back(t);
      }
    }
    if (loop.at(tag) == loop.tags.size() || --n > 0) continue;
    for (; j < lines.size(); ++j) {
      const Words& w = lines[j];
      if (w.empty() || w[0][0] == '#') continue;
      if (w[0][0] == '_' || w[0] == "loop_" || w[0].starts_with("data_")) break;
      EXPECT_EQ(w.size(), loop.tags.size()) << "row " << j + 1;
      loop.rows.push_back(w);
    }
    return loop;
  }
  return {};
}

constexpr double kRadian = 3.14159265358979323846 / 180.0;

// The rotation of a symmetry operation such as "y-x,+y,+z+1/2", row by row.
using Rotation = std::array<std::array<int, 3>, 3>;

Rotation rotation(const std::string& xyz) {
  Rotation r{};
  int row = 0, sign = 1;
  for (std::size_t i = 0; i < xyz.size(); ++i) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(xyz[i])));
    if (c == ',') ++row, sign = 1;
    if (c == '-' || c == '+') sign = c == '-' ? -1 : 1;
    if (c >= 'x' && c <= 'z') r[row][c - 'x'] += sign, sign = 1;
  }
  return r;
}

// The number of distinct h k l that the rotations and their negatives give.
int multiplicity(const std::vector<Rotation>& ops, const std::array<int, 3>& h) {
  std::set<std::array<int, 3>> images;
  for (const Rotation& r : ops) {
    std::array<int, 3> m{};
    for (int j = 0; j < 3; ++j) m[j] = h[0] * r[0][j] + h[1] * r[1][j] + h[2] * r[2][j];
    images.insert(m);
    images.insert({-m[0], -m[1], -m[2]});
  }
  return static_cast<int>(images.size());
}

// The first line of a block (its data_ heading, the first of that name).
std::size_t block_start(const std::vector<Words>& lines, const std::string& block) {
  std::size_t from = 0;
  while (from < lines.size() && (lines[from].empty() || lines[from][0] != block)) ++from;
  return from;
}

std::vector<Rotation> operations(const std::vector<Words>& lines, const std::string& block) {
  const std::size_t from = block_start(lines, block);
  Loop ops = loop_with(lines, "_symmetry_equiv_pos_as_xyz", 1, from);
  if (ops.tags.empty()) ops = loop_with(lines, "_space_group_symop_operation_xyz", 1, from);
  std::vector<Rotation> rotations;
  for (const Words& row : ops.rows) rotations.push_back(rotation(row.back()));
  return rotations;
}

// The group the generators make: every product of them.
std::vector<Rotation> closure(const std::string& generators) {
  std::vector<Rotation> group = {rotation("x,y,z")};
  std::istringstream in(generators);
  for (std::string g; std::getline(in, g, ';');) group.push_back(rotation(g));
  for (std::size_t i = 0; i < group.size(); ++i) {
    for (std::size_t j = 0; j < group.size(); ++j) {
      Rotation p{};
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
          for (int k = 0; k < 3; ++k) p[r][c] += group[i][r][k] * group[j][k][c];
        }
      }
      if (std::find(group.begin(), group.end(), p) == group.end()) group.push_back(p);
    }
  }
  return group;
}

// The cell a block gives, its standard uncertainties dropped.
std::array<double, 6> cell_of(const std::vector<Words>& lines, const std::string& block) {
  const char* tags[] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                        "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
  std::array<double, 6> cell{};
  for (int i = 0; i < 6; ++i) {
    for (std::size_t j = block_start(lines, block) + 1; j < lines.size(); ++j) {
      if (lines[j].size() > 1 && lines[j][0] == tags[i]) {
        cell[i] = std::stod(lines[j][1]);
        break;
      }
    }
  }
  return cell;
}

// d of h k l in a cell of any symmetry, by the reciprocal metric written out.
double d_of(const std::array<double, 6>& cell, const std::array<int, 3>& h) {
  const double a = cell[0], b = cell[1], c = cell[2];
  const double ca = std::cos(cell[3] * kRadian), cb = std::cos(cell[4] * kRadian),
               cg = std::cos(cell[5] * kRadian);
  const double sa = std::sin(cell[3] * kRadian), sb = std::sin(cell[4] * kRadian),
               sg = std::sin(cell[5] * kRadian);
  const double v2 = a * a * b * b * c * c * (1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg);
  const double x = h[0], y = h[1], z = h[2];
  const double s = x * x * b * b * c * c * sa * sa + y * y * a * a * c * c * sb * sb +
                   z * z * a * a * b * b * sg * sg + 2 * x * y * a * b * c * c * (ca * cb - cg) +
                   2 * y * z * a * a * b * c * (cb * cg - ca) +
                   2 * x * z * a * b * b * c * (ca * cg - cb);
  return std::sqrt(v2 / s);
}

// The records of a structure-factor file, by words.
std::vector<Words> records(const std::string& path) {
  std::vector<Words> lines = lines_of(path), out;
  bool in_records = false;
  for (const Words& w : lines) {
    if (in_records) out.push_back(w);
    if (w.size() > 1 && w[0] == "#" && w[1] == "h") in_records = true;
  }
  return out;
}

// A printed value within half a unit of its last decimal of the exact one,
// give or take the single-precision rounding of the value itself.
void expect_printed(const std::string& printed, double exact, double half_unit, const char* what) {
  EXPECT_LE(std::abs(std::stod(printed) - exact), half_unit + 2e-7 * std::abs(exact))
      << what << ": " << printed << " for " << exact;
}

struct CifRun {
  const char* name;      // the case, under tests/cases/cif/
  const char* files;     // its CIF file, under tests/fixtures/cif/ ("@made.cif": in the
                         // case), or files joined: "a.cif+b.hkl"
  int loop;              // the data set: the n-th reflection loop
  const char* phase_id;  // its _pd_refln_phase_id; "" for a loop without
  char kind;             // 'X', 'N': constant wavelength; 'T' time of flight; 'S' single crystal
  double lambda;         // the file's wavelength (constant wavelength)
  const char* symmetry;  // the block whose operations count multiplicities and whose cell
                         // gives d where the loop has none, "" for none
  const char* generators = "";  // the group's rotations, where that block gives a name only
};

void PrintTo(const CifRun& run, std::ostream* os) {
  *os << run.name;
}

class CifIndependent : public testing::TestWithParam<CifRun> {};

TEST_P(CifIndependent, ConversionIsWhatTheFileHolds) {
  const CifRun& run = GetParam();
  const std::string dir = std::string(SFCONV_CASES "/cif/") + run.name;
  std::vector<Words> file;
  std::istringstream names(run.files);
  for (std::string name; std::getline(names, name, '+');) {
    const std::vector<Words> more =
        lines_of(name[0] == '@' ? dir + "/" + name.substr(1) : SFCONV_FIXTURES "/cif/" + name);
    file.insert(file.end(), more.begin(), more.end());
  }
  std::vector<Words> params;
  for (const Words& w : lines_of(dir + "/params.txt")) {
    if (!w.empty() && w[0][0] != '#') params.push_back(w);
  }
  const double E = std::stod(params[4][0]);
  const Words extra = params.size() > 11 ? params[11] : Words{};
  const int data_set = std::stoi(params[9][0]);

  Loop loop = loop_with(file, "_refln_index_h", run.loop);
  if (loop.tags.empty()) loop = loop_with(file, "_refln.index_h", run.loop);
  const std::vector<Rotation> ops = *run.generators ? closure(run.generators)
                                    : *run.symmetry ? operations(file, run.symmetry)
                                                    : std::vector<Rotation>{};
  ASSERT_EQ(ops.empty(), !*run.symmetry);
  auto column = [&loop](const char* tag) { return loop.at(tag); };
  // F^2 with the sigma of F^2, else F with the sigma of F (DDL1 or mmCIF names).
  const bool squared = column("_refln_f_squared_meas") < loop.tags.size();
  auto either = [&](const char* ddl1, const char* mmcif) {
    return column(ddl1) < loop.tags.size() ? column(ddl1) : column(mmcif);
  };
  const std::size_t id = column("_pd_refln_phase_id"),
                    observed = squared ? column("_refln_f_squared_meas")
                                       : either("_refln_f_meas", "_refln.f_meas_au"),
                    sigma = squared ? column("_refln_f_squared_sigma")
                                    : either("_refln_f_meas_sigma", "_refln.f_meas_sigma_au"),
                    phase = either("_refln_phase_calc", "_refln.phase_calc"),
                    d = column("_refln_d_spacing"), mult = column("_refln_mult");
  const std::size_t h = std::min(column("_refln_index_h"), column("_refln.index_h")),
                    k = std::min(column("_refln_index_k"), column("_refln.index_k")),
                    l = std::min(column("_refln_index_l"), column("_refln.index_l"));
  const std::array<double, 6> cell =
      d < loop.tags.size() ? std::array<double, 6>{} : cell_of(file, run.symmetry);

  const std::vector<Words> sf = records(dir + "/expected.sf");
  std::size_t i = 0;
  for (const Words& row : loop.rows) {
    if (id < row.size() && row[id] != run.phase_id) continue;
    if (row[observed] == "?") continue;
    const double value = std::stod(row[observed]);
    if (!(value > 0.0)) continue;
    ASSERT_LT(i, sf.size()) << "fewer records than rows";
    const Words& out = sf[i++];
    EXPECT_EQ(out[0] + " " + out[1] + " " + out[2], row[h] + " " + row[k] + " " + row[l]);
    const double fo = squared ? std::sqrt(value) : value, phi = std::stod(row[phase]) * kRadian;
    double io = fo * fo, wave = 0.0;
    if (run.kind != 'S') {
      const std::array<int, 3> hkl = {std::stoi(row[h]), std::stoi(row[k]), std::stoi(row[l])};
      const double dd = d < row.size() ? std::stod(row[d]) : d_of(cell, hkl);
      const double m = mult < row.size() ? std::stod(row[mult]) : multiplicity(ops, hkl);
      const double s = run.lambda / (2.0 * dd), c = std::sqrt(1.0 - s * s), c2 = 1.0 - 2.0 * s * s;
      double lp = 1.0 / (2.0 * s * s * c);
      if (run.kind == 'X') {
        const double p = std::stod(extra[0]), mono = std::stod(extra[1]);
        lp = (1.0 - p + p * mono * c2 * c2) / (2.0 * s * s * c);
      } else if (run.kind == 'T') {
        const double bank = std::sin(std::stod(extra[data_set - 1]) / 2.0 * kRadian);
        lp = dd * dd * dd * dd * bank;
        wave = 2.0 * dd * bank;
      }
      io = m * lp * fo * fo;
    }
    const double sig = sigma >= row.size() ? 0.5 * fo / std::sqrt(E * io)
                       : squared           ? std::stod(row[sigma]) / (2.0 * fo)
                                           : std::stod(row[sigma]);
    expect_printed(out[3], fo * std::cos(phi), 5e-4, "Fo(r)");
    expect_printed(out[4], fo * std::sin(phi), 5e-4, "Fo(i)");
    expect_printed(out[5], sig, 5e-4, "sigma(|Fo|)");
    expect_printed(out[6], fo, 5e-4, "|Fo|");
    expect_printed(out[7], io, 5e-4 * std::abs(io), "Io");  // four significant digits
    if (run.kind == 'T') expect_printed(out[8], wave, 5e-5, "wavelength");
  }
  EXPECT_EQ(i, sf.size()) << "more records than rows";
}

INSTANTIATE_TEST_SUITE_P(
    Cif, CifIndependent,
    testing::Values(
        CifRun{"gsas-alumina", "gsas-alumina/ALUMINA.cif", 1, "", 'N', 1.5402, "data_ALUMINA_publ"},
        CifRun{"gsas-nisi-bank-1-phase-1", "gsas-nisi-tof/NISI.cif", 1, "1", 'T', 0.0,
               "data_NISI_phase_1"},
        CifRun{"gsas-nisi-bank-2-phase-2", "gsas-nisi-tof/NISI.cif", 2, "2", 'T', 0.0,
               "data_NISI_phase_2"},
        CifRun{"gsas2-vb5042-phase-1", "gsas2-vb5042/vb5042sup1.cif", 1, "0", 'X', 1.78892,
               "data_QPAPBMXGreaseSuspendedSamplePrep_phase_0"},
        CifRun{"gsas2-vb5042-phase-2", "gsas2-vb5042/vb5042sup1.cif", 1, "1", 'X', 1.78892,
               "data_QPAPBMXGreaseSuspendedSamplePrep_phase_1"},
        CifRun{"gsas2-vb5042-phase-5", "gsas2-vb5042/vb5042sup1.cif", 1, "4", 'X', 1.78892,
               "data_QPAPBMXGreaseSuspendedSamplePrep_phase_4"},
        CifRun{"fullprof-tbbaco-joined", "fullprof-tbbaco/tbbaco_prof.cif", 1, "1", 'X', 1.5406,
               ""},
        CifRun{"shelxl97-list6-max-reflections", "shelxl97-list6/P-1.fcf", 1, "", 'S', 0.0, ""},
        // The COD's .cif and .hkl of one GSAS run, joined: two banks in one block.
        CifRun{"cod-gsas-tof-joined-bank-1",
               "cod-gsas-tof-ja211517h/ja211517h_si_003.cif+cod-gsas-tof-ja211517h/"
               "ja211517h_si_003.hkl",
               1, "", 'T', 0.0, "data_BA3BIIR2O9_80K"},
        CifRun{"cod-gsas-tof-joined-bank-2",
               "cod-gsas-tof-ja211517h/ja211517h_si_003.cif+cod-gsas-tof-ja211517h/"
               "ja211517h_si_003.hkl",
               2, "", 'T', 0.0, "data_BA3BIIR2O9_80K"},
        CifRun{"pdb-sf-5wkd-by-content", "pdb-sf-5wkd/r5wkdsf.ent", 1, "", 'S', 0.0, ""},
        CifRun{"runs-joined-data-set-2", "@runs.cif", 2, "", 'N', 1.5, "data_run_b",
               "-y,x,z;z,x,y;-x,-y,-z;y,x,z"},
        // Made-up files: F, not F^2; d from monoclinic and triclinic cells; two
        // phase blocks that name the pattern.
        CifRun{"powder-f-not-f-squared", "@made.cif", 1, "", 'X', 1.5406, "data_made",
               "-y,x,z;z,x,y;-x,-y,-z;y,x,z"},
        CifRun{"powder-d-from-a-monoclinic-cell", "@made.cif", 1, "", 'N', 1.2, "data_made"},
        CifRun{"powder-d-from-a-triclinic-cell", "@made.cif", 1, "", 'X', 1.5406, "data_made",
               "-x,-y,-z"},
        CifRun{"two-phase-blocks-name-the-pattern-phase-1", "@made.cif", 1, "1", 'N', 1.3,
               "data_made_phase_a", "-y,x,z;-x,-y,-z;x,-y,-z"},
        CifRun{"two-phase-blocks-name-the-pattern-phase-2", "@made.cif", 1, "2", 'N', 1.3,
               "data_made_phase_b", "-y,x,z;z,x,y;-x,-y,-z;y,x,z"}),
    [](const testing::TestParamInfo<CifRun>& info) { return test::param_name(info.param.name); });

// The phase angle of a record, in degrees, and how far the printed parts
// let it be off.
double phase_of(const Words& r) {
  return std::atan2(std::stod(r[4]), std::stod(r[3])) / kRadian;
}
double phase_slack(const Words& r) {
  return 0.0008 / std::stod(r[6]) / kRadian;
}

// The FullProf route writes |Fobs| of the .fou; the CIF route the root of the
// _prof.cif's "F^2", which FullProf writes as |Fobs| |Fcalc| of the .fou. The
// .out route leaves out the reflections whose Iobs prints as 0.0; the CIF
// has their F^2. Phases agree to the CIF's two decimals.
TEST(CifFullProf, OutAndFouAndTheJoinedCifGiveTheSameReflections) {
  const std::string cases = SFCONV_CASES "/cif/";
  const std::vector<Words> fou_route = records(cases + "fullprof-tbbaco-out-and-fou/expected.sf");
  const std::vector<Words> cif_route = records(cases + "fullprof-tbbaco-joined/expected.sf");
  std::set<std::string> zero_iobs;  // h k l of the .out's table lines with Iobs 0.0
  for (const Words& w : lines_of(cases + "fullprof-tbbaco-out-and-fou/tbbaco.out")) {
    if (w.size() == 15 && w[1] == "1" && w[10] == "0.0")
      zero_iobs.insert(w[2] + " " + w[3] + " " + w[4]);
  }
  std::vector<Words> fou;  // h k l |Fobs| |Fcalc| phase, after the phase marker
  for (const Words& w : lines_of(cases + "fullprof-tbbaco-out-and-fou/tbbaco.fou")) {
    if (w.size() == 6 && w[0] != "Phase") fou.push_back(w);
  }
  std::size_t j = 0, k = 0, extra = 0;
  for (const Words& c : cif_route) {
    const std::string hkl = c[0] + " " + c[1] + " " + c[2];
    while (k < fou.size() && fou[k][0] + " " + fou[k][1] + " " + fou[k][2] != hkl) ++k;
    ASSERT_LT(k, fou.size()) << hkl;
    if (j == fou_route.size() ||
        fou_route[j][0] + " " + fou_route[j][1] + " " + fou_route[j][2] != hkl) {
      EXPECT_EQ(zero_iobs.count(hkl), 1u) << hkl << " is in the CIF route only";
      ++extra;
      continue;
    }
    const Words& f = fou_route[j++];
    double dphi = std::remainder(phase_of(c) - phase_of(f), 360.0);
    EXPECT_LE(std::abs(dphi), 0.01 + phase_slack(c) + phase_slack(f)) << hkl;
    const double product = std::stod(fou[k][3]) * std::stod(fou[k][4]);
    EXPECT_NEAR(std::stod(c[6]) * std::stod(c[6]) / product, 1.0, 5e-3) << hkl;
  }
  EXPECT_EQ(j, fou_route.size());
  EXPECT_EQ(extra, zero_iobs.size());
}

}  // namespace
}  // namespace sfconv
