// What sfconv --init takes from a GSAS listing: the title of its page headers,
// the histograms under the diffractometer constants, what the " Hstgm" tables
// print of each histogram, the phases and the first lattice parameters.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "readers/gsas/gsas.hpp"
#include "readers/gsas/gsas_listing.hpp"
#include "run/init_values.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

using namespace gsas_listing;

namespace {

InitValues::Pattern* histogram(InitValues& v, int number) {
  for (auto& p : v.patterns) {
    if (p.number == number) return &p;
  }
  return nullptr;
}

// A " Hstgm" line: a caption, or a histogram's line, " Hstgm  1 PNT  1 ...",
// with the histogram in columns 8-9 and, on a PNT line, the bank in 16-17.
void table_line(InitValues& v, HstgmColumns& captions, std::string_view line) {
  int number = 0;
  InitValues::Pattern* p = nullptr;
  if (!number_in(columns(line, 8, 9), number) || (p = histogram(v, number)) == nullptr) {
    captions.caption(line);
    return;
  }
  float x = 0.0f;
  const bool pnt = columns(line, 11, 13) == "PNT";
  if (p->tof && pnt && p->bank == 0) number_in(columns(line, 16, 17), p->bank);
  if (p->tof && pnt && !p->angle && number_in(captions.angle(line), 0, x)) p->angle = x;
  if (p->pxc && !p->polarization && number_in(captions.polarization(line), 0, x)) {
    p->polarization = x;
  }
}

// " Phase  1: NaCl": the phase's number and name.
bool phase_line(std::string_view line, InitValues::Phase& phase) {
  if (!line.starts_with(" Phase ")) return false;
  std::string_view rest = trim_start(line.substr(7));
  std::size_t digits = 0;
  while (digits < rest.size() && is_digit(rest[digits])) ++digits;
  if (digits == 0 || digits >= rest.size() || rest[digits] != ':') return false;
  number_in(rest.substr(0, digits), phase.number);
  phase.name = trim(rest.substr(digits + 1));
  return true;
}

}  // namespace

void init_gsas(TextInput& listing, InitValues& v) {
  listing.set_task(cat("looking for ", quoted(kConstants)));
  long gsas2 = 0;             // a first line that names GSAS-II
  bool constants = false;     // the heading was met
  int pair = 0;               // under the heading: 1 the first line of a pair, 2 the second
  bool lattice_next = false;  // the line after the lattice heading
  HstgmColumns captions;      // of the " Hstgm" tables
  std::size_t named = std::size_t(-1);  // the phase of the last " Phase  N:" line
  std::string_view line;
  while (listing.next(line)) {
    if (listing.line() == 1 && line.starts_with('1')) v.title = trim_end(columns(line, 2, 68));
    if (listing.line() <= kHeadLines && gsas2 == 0 && names_gsas2(line)) gsas2 = listing.line();

    // The histograms come in pairs of lines, the second "  1  PXC  1.5405600 ...".
    if (pair == 1) {
      pair = 2;
      continue;
    }
    if (pair == 2) {
      int number = 0;
      const std::string_view type = columns(line, 6, 8);
      if (number_in(columns(line, 1, 3), number) && number > 0 && type.size() == 3 &&
          std::all_of(type.begin(), type.end(), is_letter)) {
        InitValues::Pattern p;
        p.number = number;
        p.kind = type;
        p.pxc = type == "PXC";
        p.tof = type == "PNT";
        float lambda = 0.0f;
        if (type[2] == 'C' && number_in(columns(line, 10, 19), 7, lambda)) p.wavelength = lambda;
        v.patterns.push_back(p);
        pair = 1;
        continue;
      }
      pair = 0;
    }
    if (!constants && line.starts_with(kConstants)) {
      constants = true;
      pair = 1;
      continue;
    }

    if (line.starts_with(kBankLine)) {
      table_line(v, captions, line);
      continue;
    }

    InitValues::Phase phase;
    if (phase_line(line, phase)) {
      // The lattice constants printed after " Phase  2: Si" are that phase's.
      auto same = [&](const auto& p) { return p.number == phase.number; };
      auto known = std::find_if(v.phases.begin(), v.phases.end(), same);
      if (known == v.phases.end()) known = v.phases.insert(v.phases.end(), phase);
      named = static_cast<std::size_t>(known - v.phases.begin());
    }
    if (lattice_next) {
      // "(11X,3F10.6,3F10.3)", as the reader takes it.
      Cell cell{};
      bool all = true;
      for (std::size_t i = 0; i < 6; ++i) {
        all = all && number_in(columns(line, 12 + 10 * i, 21 + 10 * i), i < 3 ? 6 : 3, cell[i]);
      }
      if (all && !v.cell) v.cell = cell;
      if (all && named < v.phases.size() && !v.phases[named].cell) v.phases[named].cell = cell;
      lattice_next = false;
    }
    if (line.starts_with(kLattice)) lattice_next = true;
  }
  if (!constants) {
    if (gsas2 != 0) refuse_gsas2_listing(listing, gsas2);
    listing.fail_end_of_file();
  }
}

}  // namespace sfconv
