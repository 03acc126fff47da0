// What sfconv --init takes from a CIF file: what the conversion would find of
// each data set (cif_contents), the phases of the first, and that phase's cell
// and space group.
#include <algorithm>
#include <string>

#include "readers/cif/cif.hpp"
#include "run/init_values.hpp"
#include "textio/failure.hpp"

namespace sfconv {

namespace {

// A phase's space group as the parameter file's line needs it: the lattice
// letter and number, and whether the file names the standard setting.
SpaceGroup space_group(const CifPhase& phase) {
  SpaceGroup g;
  const std::int32_t number = phase.space_group_number;
  if (phase.lattice != 0 && number >= 1 && number <= 230) {
    g.letter = phase.lattice;
    g.number = number;
    g.symbol = phase.space_group;
    g.setting = phase.standard_setting ? 1 : 0;
    g.setting_why = phase.setting_why;
  }
  return g;
}

}  // namespace

void init_cif(std::string_view file, InitValues& v) {
  const std::vector<CifDataSet> sets = cif_contents(file, 1);  // one at least
  // A file that no parameter file converts ends as a run on it ends.
  if (std::all_of(sets.begin(), sets.end(), [](const CifDataSet& s) { return s.refused; })) {
    throw *sets.front().refused;
  }
  auto has_cell = [](const CifPhase& p) { return p.cell.has_value(); };
  const CifPhase& phase = sets.front().phases.front();
  if (phase.bad_cell || std::none_of(sets.begin(), sets.end(), [&](const CifDataSet& s) {
        return std::any_of(s.phases.begin(), s.phases.end(), has_cell);
      })) {
    refuse_phase_without_cell(file, 1, phase, "phase 1 of data set 1");
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
      p.angle_elsewhere = s.no_twotheta.elsewhere ? s.no_twotheta.text() : "";
    } else {
      p.wavelength = s.wavelength;
      p.wavelength_elsewhere = s.no_wavelength.elsewhere ? s.no_wavelength.why : "";
    }
    p.rows = s.rows;
    p.loop = cat(s.rows, s.rows == 1 ? " row in " : " rows in ", s.loop.block,
                 s.refused ? cat(" (refused: ", s.refused->message, ")") : "");
  }

  for (const CifPhase& each : sets.front().phases) {
    InitValues::Phase& p = v.phases.emplace_back();
    p.number = static_cast<int>(v.phases.size());
    p.name = each.name;
    p.group = each.space_group;
    p.id = each.id;
    p.space_group = space_group(each);
    p.cell = each.cell;
  }
  v.cell = phase.cell;
  v.group = space_group(phase);
  v.f000 = phase.f000;
  // The advice of a file of several runs joined, with the first value left
  // "?" for it (in the order of the parameter file's lines).
  std::string advice;
  auto elsewhere = [&advice](const CifMissing& m) {
    if (!m.elsewhere) return std::string();
    if (advice.empty() && !m.advice.empty()) {
      advice = m.advice;
      return m.text();
    }
    return m.why;
  };
  v.group_elsewhere = elsewhere(phase.no_space_group);
  v.cell_elsewhere = elsewhere(phase.no_cell);
  v.f000_elsewhere = elsewhere(phase.no_f000);
  InitValues::Pattern& first = v.patterns.front();
  if (!sets.front().no_wavelength.advice.empty() && !first.wavelength_elsewhere.empty()) {
    first.wavelength_elsewhere = elsewhere(sets.front().no_wavelength);
  }
}

}  // namespace sfconv
