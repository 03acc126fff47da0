// What sfconv --init takes from a CIF file: what the conversion would find of
// each data set (cif_contents), the phases of the first, and that phase's cell
// and space group.
#include <algorithm>
#include <string>

#include "readers/cif/cif.hpp"
#include "run/init_values.hpp"
#include "textio/failure.hpp"

namespace sfconv {

void init_cif(std::string_view file, InitValues& v) {
  const std::vector<CifDataSet> sets = cif_contents(file, 1);  // one at least
  // A file that no parameter file converts ends as a run on it ends.
  if (std::all_of(sets.begin(), sets.end(), [](const CifDataSet& s) { return s.refused; })) {
    throw *sets.front().refused;
  }
  auto has_cell = [](const CifPhase& p) { return p.cell.has_value(); };
  if (std::none_of(sets.begin(), sets.end(), [&](const CifDataSet& s) {
        return std::any_of(s.phases.begin(), s.phases.end(), has_cell);
      })) {
    refuse_phase_without_cell(file, 1, sets.front().phases.front(), "phase 1 of data set 1");
  }
  v.title = sets.front().title;
  for (const CifDataSet& s : sets) {
    // As the conversion takes them: X-ray powder data read the polarization
    // line, neutron time of flight the detector-angle line, the bank being
    // the data set's number.
    InitValues::Pattern& p = v.patterns.emplace_back();
    p.number = static_cast<int>(v.patterns.size());
    const bool x_ray = s.radiation == CifRadiation::x_ray;
    const bool neutron = s.radiation == CifRadiation::neutron;
    const std::string radiation = x_ray ? "X-ray" : neutron ? "neutron" : s.radiation_text.text;
    p.kind = cat(radiation, radiation.empty() ? "" : " ", s.powder ? "powder" : "single crystal",
                 s.powder && radiation.empty() ? " (no radiation given)" : "");
    p.pxc = s.powder && x_ray;
    p.tof = s.powder && neutron && s.time_of_flight;
    if (p.tof) {
      p.bank = p.number;
      p.angle = s.twotheta;
    } else {
      p.wavelength = s.wavelength;
    }
    p.rows = s.rows;
    p.loop = cat(s.rows, s.rows == 1 ? " row in " : " rows in ", s.loop.block,
                 s.refused ? cat(" (refused: ", s.refused->message, ")") : "");
  }

  const CifDataSet& first = sets.front();
  for (const CifPhase& phase : first.phases) {
    InitValues::Phase& p = v.phases.emplace_back();
    p.number = static_cast<int>(v.phases.size());
    p.name = phase.name;
    p.group = phase.space_group;
    p.id = phase.id;
  }
  const CifPhase& phase = first.phases.front();
  v.cell = phase.cell;
  const std::int32_t number = phase.space_group_number;
  if (phase.lattice != 0 && number >= 1 && number <= 230) {
    v.group.letter = phase.lattice;
    v.group.number = number;
    v.group.symbol = phase.space_group;
  }
}

}  // namespace sfconv
