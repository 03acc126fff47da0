// What sfconv --init takes from a GSAS listing: the title of its page headers,
// the histograms under the diffractometer constants, what the " Hstgm" tables
// print of each histogram, the phases and the first lattice parameters.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/init.hpp"
#include "readers/gsas/gsas.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

namespace {

// The reader's section texts.
constexpr std::string_view kConstants = " Diffractometer constants for powder data:";
constexpr std::string_view kLattice =
    "                 a         b         c       alpha     beta      gamma";
constexpr std::string_view kTable = " Hstgm";

std::vector<std::string> words(std::string_view line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) out.emplace_back(line.substr(start, i - start));
  }
  return out;
}

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

InitValues::Pattern* histogram(InitValues& v, int number) {
  for (auto& p : v.patterns) {
    if (p.number == number) return &p;
  }
  return nullptr;
}

// A line of a " Hstgm" table, under its heading (" Hstgm  Zero  Pola ..."):
// the histogram's number, then a value under each word of the heading.
void table_line(InitValues& v, const std::vector<std::string>& heading, std::string_view line) {
  const std::vector<std::string> values = words(line);
  int number = 0;
  if (values.size() < 2 || !number_in(values[1], number)) return;
  InitValues::Pattern* p = histogram(v, number);
  if (p == nullptr) return;
  for (std::size_t i = 1; i < heading.size() && i + 1 < values.size(); ++i) {
    const std::string name = lower(heading[i]);
    float x = 0.0f;
    if (!number_in(values[i + 1], 0, x)) continue;
    if (name == "pola" && p->pxc && !p->polarization) p->polarization = x;
    if ((name == "2-theta" || name == "2theta") && p->tof && !p->angle) p->angle = x;
  }
  // The bank as the reader takes it: "PNT" in columns 11-13, the histogram
  // in 8-9, the bank in 16-17.
  int bank = 0;
  if (p->tof && p->bank == 0 && columns(line, 11, 13) == "PNT" &&
      number_in(columns(line, 16, 17), bank)) {
    p->bank = bank;
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
  phase.name = trim_end(trim_start(rest.substr(digits + 1)));
  return true;
}

}  // namespace

void init_gsas(TextInput& listing, InitValues& v) {
  listing.set_task(cat("looking for ", quoted(kConstants)));
  long gsas2 = 0;                    // a first line that names GSAS-II
  bool constants = false;            // the heading was met
  int pair = 0;                      // under the heading: 1 the first line of a pair, 2 the second
  bool lattice_next = false;         // the line after the lattice heading
  std::vector<std::string> heading;  // of the " Hstgm" table the lines are in
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

    if (line.starts_with(kTable)) {
      const std::vector<std::string> w = words(line);
      int number = 0;
      if (w.size() >= 2 && !number_in(w[1], number)) {
        heading = w;
      } else if (!heading.empty()) {
        table_line(v, heading, line);
      }
      continue;
    }
    heading.clear();

    InitValues::Phase phase;
    if (phase_line(line, phase) &&
        std::none_of(v.phases.begin(), v.phases.end(),
                     [&](const auto& p) { return p.number == phase.number; })) {
      v.phases.push_back(phase);
    }
    if (lattice_next) {
      // "(11X,3F10.6,3F10.3)", as the reader takes it.
      Cell cell{};
      bool all = true;
      for (std::size_t i = 0; i < 6; ++i) {
        all = all && number_in(columns(line, 12 + 10 * i, 21 + 10 * i), i < 3 ? 6 : 3, cell[i]);
      }
      if (all) v.cell = cell;
      lattice_next = false;
    }
    if (!v.cell && line.starts_with(kLattice)) lattice_next = true;
  }
  if (!constants) {
    if (gsas2 != 0) refuse_gsas2_listing(listing, gsas2);
    listing.fail_end_of_file();
  }
}

}  // namespace sfconv
