// What a CIF file holds, as read without converting it: the data sets, their
// radiation, phases and title, whether a parameter file could convert them,
// and for each phase the cell and space group (with its lattice letter) that
// the links between blocks lead to.
#include <gtest/gtest.h>

#include "run/run_state.hpp"
#include "readers/cif/cif.hpp"
#include "support/files.hpp"
#include "textio/editing_table.hpp"

namespace sfconv {
namespace {

// One line per data set and phase, the way a parameter file would use them.
std::string summary(const std::vector<CifDataSet>& sets) {
  std::string out;
  for (const CifDataSet& s : sets) {
    const char* radiation[] = {"none", "X-ray", "neutron", "other"};
    out += cat(s.loop.block, " line ", s.loop.line, ": ", s.rows, " rows, ",
               s.powder ? "powder " : "single crystal ", radiation[static_cast<int>(s.radiation)],
               s.time_of_flight ? " TOF" : "",
               s.wavelength ? cat(" lambda ", s.wavelength_text.text) : "",
               s.twotheta ? cat(" 2theta ", s.twotheta_text.text) : "", " title '", s.title, "'",
               s.refused ? cat(" refused: ", s.refused->message) : "", "\n");
    for (const CifPhase& p : s.phases) {
      out += cat("  id '", p.id, "' ", p.rows, " rows '", p.name, "' cell ",
                 p.cell ? p.cell_at.block : "none", " group '", p.space_group, "' ",
                 p.space_group_number, " ", p.lattice == 0 ? '-' : p.lattice, "\n");
    }
  }
  return out;
}

TEST(CifContents, DataSetsAndPhasesWithoutConverting) {
  struct Case {
    const char* file;
    const char* holds;
  };
  const Case cases[] = {
      {"gsas-nisi-tof/NISI.cif",
       "data_NISI_p_01 line 7117: 60 rows, powder neutron TOF 2theta 148.29 title 'NISI_p_01'\n"
       "  id '1' 17 rows 'i' cell data_NISI_phase_1 group 'F m 3 m' 225 F\n"
       "  id '2' 43 rows 'Silicon' cell data_NISI_phase_2 group 'F d 3 m' 227 F\n"
       "data_NISI_p_02 line 13968: 83 rows, powder neutron TOF 2theta 88.05 title 'NISI_p_02'\n"
       "  id '1' 24 rows 'i' cell data_NISI_phase_1 group 'F m 3 m' 225 F\n"
       "  id '2' 59 rows 'Silicon' cell data_NISI_phase_2 group 'F d 3 m' 227 F\n"},
      {"shelxl97-list6/P-1.fcf",
       "data_p-1 line 23: 3174 rows, single crystal none title 'P-1 in P-1'\n"
       "  id '' 3174 rows '' cell data_p-1 group '' 2 P\n"},
      {"shelxl2016-list4/NaCl.fcf",
       "data_NaCl line 215: 111 rows, single crystal none title 'CF solution in Fm-3m' refused: "
       "No phase angle in the reflection loop\n"
       "  id '' 111 rows '' cell data_NaCl group '' 225 F\n"},
      {"fullprof-tbbaco/tbbaco_prof.cif",
       "data_tbbaco line 5408: 262 rows, powder X-ray lambda 1.5406 title 'tbbaco'\n"
       "  id '1' 262 rows '' cell none group '' 0 -\n"},
  };
  for (const Case& c : cases) {
    reset_run_state();
    EXPECT_EQ(summary(cif_contents(std::string(SFCONV_FIXTURES "/cif/") + c.file, 1)), c.holds)
        << c.file;
  }
}

// The numbers of a CIF file, as its reader takes a wavelength (the table in
// editing/cif_numbers.txt).
TEST(CifContents, NumbersOfTheTable) {
  auto cases = test::editing_table("cif_numbers.txt");
  ASSERT_GE(cases.size(), 20u);
  for (const test::EditingCase& c : cases) {
    test::TempDir dir;
    const std::string file =
        dir.write("t.cif", cat("data_t\n_diffrn_radiation_wavelength ", c.format,
                               "\nloop_\n_refln_index_h\n_refln_index_k\n_refln_index_l\n"
                               "_refln_F_squared_meas\n1 1 1 10.0\n"));
    std::string got;
    try {
      reset_run_state();
      const std::vector<CifDataSet> sets = cif_contents(file, 1);
      got = sets.at(0).wavelength ? real_text(*sets[0].wavelength) : "none";
    } catch (const IoFailure& failure) {
      got = failure.message == msg::illegal_character ? "illegal" : failure.message;
    }
    EXPECT_EQ(got, c.first) << "cif_numbers.txt line " << c.line << ": " << c.format;
  }
}

}  // namespace
}  // namespace sfconv
