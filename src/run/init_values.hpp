// sfconv --init: a parameter file written from what a refinement file holds,
// every value the file gives filled in and a "?" where the user must give one.
//
// Each format has one function that scans its file into InitValues (beside its
// reader: init_gsas, init_fullprof, init_kolmex, init_cif); one writer makes the
// parameter file from them. No conversion is made and the readers are not run.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sfconv {

using Cell = std::array<float, 6>;  // a, b, c, alpha, beta, gamma

struct SpaceGroup {
  char letter = 0;  // the lattice letter, 0 when the file does not give it
  int number = 0;   // 1 to 230, 0 when the file does not give it
  // KOLMEX: the setting of the file. Else 1 where the file names the standard
  // setting of its group, 0 where it names another or does not tell: the
  // number of another setting is the density program's, never guessed.
  int setting = 0;
  std::string setting_why;  // when 0: why, for the comment
  std::string symbol;       // as the file writes it ("P n m a"), for the comments
};

// What a refinement file holds that its parameter file needs. Strings are
// empty, numbers zero and optionals absent where the file does not tell.
struct InitValues {
  // From the command line.
  char reader = ' ';   // 'G', 'F', 'R' or 'C', chosen as a run chooses it
  std::string input;   // the refinement file, as given
  std::string second;  // FullProf's second file, as given; empty when not
  std::string output;  // the input's name with the extension .sf

  // From the file.
  std::string title;
  std::string pcr_code;  // FullProf: the code of the .pcr, which names the .fou
  SpaceGroup group;      // of the first phase
  std::optional<Cell> cell;
  std::array<int, 3> kolmex_grid{};  // KOLMEX: NX NY NZ of the file
  std::optional<float> f000;         // F(000), the total amplitude, where the file gives it
  std::optional<long> kolmex_count;  // KOLMEX: the reflections record 7 counts
  // FullProf: the second file as looked for beside the output.
  std::string second_found;    // the name of the file on disk (the .pcr code's in any case)
  std::string second_trouble;  // why the second file will not do, "not found"; empty when it will
  // CIF: why the first phase has no space group, cell or F(000) where a block
  // of the file gives one that is not linked to the data set's block.
  std::string group_elsewhere, cell_elsewhere, f000_elsewhere;

  // The histograms (FullProf: the patterns; CIF: the data sets), in file order.
  struct Pattern {
    int number = 0;
    std::string kind;  // "X-ray", "neutron"; GSAS: the type, "PXC"
    bool tof = false;  // time of flight: the run reads a detector-angle line
    bool pxc = false;  // GSAS PXC: the run reads a polarization line
    std::optional<float> wavelength;
    int bank = 0;                       // time of flight: the detector bank, 0 when not known
    std::optional<float> angle;         // and its 2theta in degrees
    std::optional<float> polarization;  // PXC: the polarization fraction printed
    std::string loop;                   // CIF: its reflection loop, "60 rows in data_x"
    std::optional<long> rows;           // the reflections it holds (CIF: its loop's rows)
    // CIF: why no wavelength or angle was taken where a block of the file
    // gives one that is not the data set's.
    std::string wavelength_elsewhere, angle_elsewhere;
  };
  std::vector<Pattern> patterns;

  struct Phase {
    int number = 0;
    std::string name;
    std::string group;  // the space-group symbol, when the file names one
    std::string id;     // CIF: its _pd_refln_phase_id; empty when the loop has none
    SpaceGroup space_group;
    std::optional<Cell> cell;
  };
  std::vector<Phase> phases;
};

// The parameter file made of what `v` holds, in the order the run reads it.
std::string parameter_file_text(const InitValues& v);

// NX NY NZ for a cell: grid steps near 0.1 A, rounded up to multiples of what
// the space group's translations need along each axis (space-group number 0:
// a multiple of 12, which serves every group).
std::array<int, 3> suggested_grid(const Cell& cell, char letter, int number);

}  // namespace sfconv
