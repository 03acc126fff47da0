// CIF and FCF reflection files (.cif, .fcf): a reflection loop with its cell,
// space group and radiation, as refinement programs export them; read with GEMMI.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textio/failure.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// Where a value of a CIF file stands.
struct CifPlace {
  std::string block;  // its data block, "data_" and the name
  long line = 0;
  int index = -1;  // of the block among the file's blocks (two may share a name)
};

// Why an item was not taken, when it was not: where it was sought, and
// whether other blocks give one (`elsewhere`) that the data set may not take
// (blocks not linked to its own, in a file of several runs), naming them.
struct CifMissing {
  bool elsewhere = false;
  std::string why;     // empty when the item was taken
  std::string advice;  // what to do, where the file joins several runs' files
  std::string text() const { return advice.empty() ? why : why + "; " + advice; }
};

// A value of a CIF file as it stands there ("1.5406"), and where.
struct CifText {
  std::string text;
  CifPlace at;
};

// A phase of a reflection loop and what the file says of it.
struct CifPhase {
  std::string id;    // _pd_refln_phase_id of its rows; empty when the loop has none
  long rows = 0;     // rows of the loop with this id
  std::string name;  // _pd_phase_name; empty when not given
  std::optional<std::array<float, 6>> cell;  // a, b, c, alpha, beta, gamma
  CifPlace cell_at;
  // The report for a cell given but not usable (an item missing or no
  // number, a length not positive, an angle not between 0 and 180 degrees,
  // no volume): a conversion of the phase ends with it.
  std::optional<IoFailure> bad_cell;
  std::string space_group;              // the H-M name, blanks collapsed; empty when not given
  std::int32_t space_group_number = 0;  // as given, or as GEMMI finds it; 0 when unknown
  char lattice = 0;                     // the lattice letter: the name's or GEMMI's group's
  bool space_group_given = false;       // a block gives the name, number or operations
  CifPlace space_group_at;
  bool standard_setting = false;  // the name or operations give the group's standard setting
  std::string setting_why;        // when not: why not, or why it is not known
  std::optional<float> f000;      // _exptl_crystal_F_000
  CifMissing no_cell, no_space_group, no_f000;  // when not taken: why
};

enum class CifRadiation { none, x_ray, neutron, other };

// A reflection loop: one data set of the file.
struct CifDataSet {
  CifPlace loop;  // the line of its loop_
  long rows = 0;
  bool powder = false;  // _pd_ items in its block, or a d-spacing column
  CifRadiation radiation = CifRadiation::none;
  CifText radiation_text;  // "x-rays", "neutron", ...
  bool time_of_flight = false;
  std::optional<float> wavelength;  // the first of a wavelength loop
  CifText wavelength_text;
  std::optional<float> twotheta;  // _pd_meas_2theta_fixed
  CifText twotheta_text;
  CifMissing no_radiation, no_wavelength, no_twotheta;  // when not taken: why
  std::vector<CifPhase> phases;  // by id, the smallest first: phase 1 is phases[0]
  // A title for it: the file's _publ_section_title, else SHELXL's
  // _shelx_title, else the name of the loop's block.
  std::string title;
  // The report of a loop that no parameter file converts: one without Miller
  // indices, observed values or calculated phases (SHELXL's LIST 4).
  std::optional<IoFailure> refused;
};

// What a CIF file holds, read without converting it: its reflection loops in
// file order, each with its phases, radiation, wavelength, cell and space
// group, taken as the conversion takes them. Failures to read the file, and a
// file without a reflection loop, are the reports for `unit`.
std::vector<CifDataSet> cif_contents(std::string_view file, int unit);

// Refuses `phase` (of `file`, read on `unit`), which has no usable cell: the
// report of a cell that is no cell, or one that tells where the cell was
// sought, which blocks give one it may not take, and what to do. `what` names
// the phase ("phase 1 of data set 1").
[[noreturn]] void refuse_phase_without_cell(std::string_view file, int unit, const CifPhase& phase,
                                            std::string_view what);

// Reads data set `histogram` (the n-th reflection loop) and its phase
// `phase_no` (the n-th smallest phase id) of a CIF file into the run state;
// reads the polarization line (X-ray powder data) or the detector-angle line
// (time of flight, the bank being the data set) of the parameter file.
void cif(std::string_view file, TextInput& parameters);

struct InitValues;

// What sfconv --init takes from a CIF file: every data set, the phases of the
// first with their names and ids, and that phase's cell and space group.
void init_cif(std::string_view file, InitValues& v);

}  // namespace sfconv
