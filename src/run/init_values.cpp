// sfconv --init: the parameter file written from the values a reader took
// from a refinement file.
#include "run/init_values.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "run/run_state.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"

namespace sfconv {

namespace {

constexpr std::size_t kValueWidth = 24;  // the comments start after it

// Text from a file for a line of the parameter file: control characters as
// blanks, trailing blanks dropped.
std::string clean(std::string_view text) {
  std::string out(trim_end(trim_start(text)));
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

std::string ints(const std::array<int, 3>& n) {
  return cat(n[0], " ", n[1], " ", n[2]);
}

std::string cell_text(const Cell& cell) {
  std::string out;
  for (float x : cell) out += cat(out.empty() ? "" : " ", real_text(x));
  return out;
}

// One line of the parameter file: the value, then its comment.
class Writer {
 public:
  void line(std::string_view value, std::string_view comment) {
    text_ += value;
    text_.append(value.size() < kValueWidth ? kValueWidth - value.size() : 1, ' ');
    text_ += cat("# ", comment, '\n');
  }
  // A value the file does not give: "?", and what belongs there.
  void unknown(std::string_view what) { line("?", what); }
  void comment(std::string_view text) { text_ += cat("# ", text, '\n'); }
  // A longer text as comment lines of at most 78 columns.
  void comments(std::string_view text) {
    std::string line;
    while (!text.empty()) {
      const std::size_t blank = text.find(' ');
      const std::string_view word = text.substr(0, blank);
      text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
      if (!line.empty() && line.size() + 1 + word.size() > 76) {
        comment(line);
        line.clear();
      }
      line += cat(line.empty() ? "" : " ", word);
    }
    if (!line.empty()) comment(line);
  }
  std::string text() const { return text_; }

 private:
  std::string text_;
};

// A value the file gave that a parameter line can hold.
bool usable(const std::optional<float>& x) {
  return x && std::isfinite(*x);
}

std::string kind_text(const InitValues::Pattern& p) {
  std::string text = p.kind;
  if (p.tof) {
    text += text.empty() ? "time of flight" : ", time of flight";
    if (p.bank != 0) text += cat(", bank ", p.bank);
    if (usable(p.angle)) text += cat(" at 2theta ", real_text(*p.angle));
  } else if (usable(p.wavelength)) {
    text += cat(text.empty() ? "" : ", ", "lambda ", real_text(*p.wavelength));
  }
  if (!p.loop.empty()) text += cat("; ", p.loop);
  return text;
}

// The space-group line of a group the file gives, "P 62"; empty when it
// gives none.
std::string group_line(const SpaceGroup& g) {
  if (g.letter == 0 || g.number == 0) return {};
  return cat(g.letter, " ", g.number);
}

// A cell whose lengths make a grid.
bool grid_cell(const std::optional<Cell>& cell) {
  return cell && std::all_of(cell->begin(), cell->begin() + 3,
                             [](float x) { return std::isfinite(x) && x > 0.0f; });
}

// The grid suggested for a cell and a group (letter and number 0 for none).
std::string grid_text(const Cell& cell, const SpaceGroup& g) {
  const bool group = !group_line(g).empty();
  return ints(suggested_grid(cell, group ? g.letter : 'P', group ? g.number : 0));
}

// What a phase's comment line adds: its space-group line and grid, to be
// copied when that phase is converted.
std::string phase_lines(const InitValues::Phase& p) {
  const SpaceGroup& g = p.space_group;
  const std::string group = group_line(g);
  // Another setting than the standard one has the density program's number.
  std::string text = group.empty()    ? ""
                     : g.setting == 1 ? cat("space group ", group)
                                      : cat("space group ", group, "-N (", clean(g.symbol),
                                            ": N is the density program's number of the setting)");
  if (grid_cell(p.cell)) {
    text += cat(text.empty() ? "" : ", ", "NX NY NZ ", grid_text(*p.cell, p.space_group),
                group.empty() ? " (multiples of 12)" : "");
  }
  return text;
}

// Reflections beyond the limit: the run would stop, unless given a higher one.
std::string beyond_limit(long count, std::string_view what) {
  if (count <= MAXREF) return {};
  if (count > kMostMaxReflections) {
    return cat(count, " ", what, ": more than the ", kMostMaxReflections,
               " reflections sfconv can hold");
  }
  return cat(count, " ", what, ": more than the ", MAXREF,
             " reflections sfconv holds unless run as sfconv --max-reflections ", count,
             " params.txt");
}

// The detector-angle line: the 2theta of each bank at its place, a bank no
// time-of-flight histogram uses as 0, one whose angle the file does not give
// as "?".
std::string angle_line(const InitValues& v) {
  int last = 0;
  for (const auto& p : v.patterns) {
    if (p.tof && p.bank > last) last = p.bank;
  }
  if (last > 25) last = 25;
  std::string line;
  for (int bank = 1; bank <= last; ++bank) {
    std::string angle = "0";
    for (const auto& p : v.patterns) {
      if (!p.tof || p.bank != bank) continue;
      angle = usable(p.angle) ? real_text(*p.angle) : "?";
      break;
    }
    line += cat(line.empty() ? "" : " ", angle);
  }
  if (line.empty()) return "?";
  return last < 25 ? line + " /" : line;
}

void write_names(Writer& w, const InitValues& v) {
  const char* what = v.reader == 'G'   ? "the GSAS listing"
                     : v.reader == 'F' ? "the FullProf output"
                     : v.reader == 'C' ? "the CIF file"
                                       : "the KOLMEX reflection file";
  w.line(v.input, what);
  if (v.reader == 'F') {
    std::string name;
    std::string what;
    if (!v.second.empty()) {
      name = v.second;
      what = "its second file";
    } else if (!v.second_found.empty()) {
      name = v.second_found;
      what = "its second file, found beside the output";
    } else if (!v.pcr_code.empty()) {
      std::size_t slash = v.input.rfind('/');
      std::string dir = slash == std::string::npos ? "" : v.input.substr(0, slash + 1);
      name = cat(dir, v.pcr_code, ".fou");
      what = "its second file, named after the .pcr";
    }
    if (name.empty()) {
      w.unknown("FullProf's second file (.fou), written with Fou=4 in the .pcr");
    } else if (!v.second_trouble.empty()) {
      w.line(name, cat(what, "; ", v.second_trouble, ": run FullProf with Fou=4 in the .pcr"));
    } else {
      w.line(name, cat(what, " (Fou=4 in the .pcr)"));
    }
  }
  w.line(v.output, "the structure-factor file to write");
}

void write_E(Writer& w) {
  w.line("1.0", "E, counting-statistics scale (a default)");
}

void write_IAMP(Writer& w) {
  w.line("0", "IAMP: 0 one total, 1 two: b+ b- (a default)");
}

void write_kolmex(Writer& w, const InitValues& v) {
  w.comment(cat(v.input, " holds, and sfconv takes from it:"));
  w.comment(cat("  title ", quoted(clean(v.title))));
  if (v.cell) w.comment(cat("  cell ", cell_text(*v.cell)));
  w.comment(cat("  grid NX NY NZ ", ints(v.kolmex_grid), ", space group ",
                clean(std::string_view(&v.group.letter, 1)), " ", v.group.number, "-",
                v.group.setting));
  if (v.kolmex_count) {
    const std::string beyond = beyond_limit(*v.kolmex_count, "reflections (record 7)");
    if (!beyond.empty()) w.comment(cat("  ", beyond));
  }
  write_names(w, v);
  write_E(w);
  write_IAMP(w);
  w.unknown("lambda0 for the header (the file has none)");
}

// The lines that list what the file holds, under `heading`, and the number of
// the first.
// A second comment line under an item, when `note` gives one.
template <typename List, typename Text, typename Note>
void write_list(Writer& w, std::string_view heading, std::string_view noun, const List& list,
                Text text, Note note) {
  if (list.empty()) {
    w.unknown(cat(noun, " number"));
    return;
  }
  w.comment(heading);
  for (const auto& item : list) {
    w.comment(cat("  ", item.number, "  ", text(item)));
    const std::string more = note(item);
    if (!more.empty()) w.comment(cat("      ", more));
  }
  w.line(cat(list.front().number), cat(noun, " number: the first of those"));
}

// The lines of a GSAS listing's parameter file, which FullProf outputs and CIF
// files share (a FullProf pattern or a CIF data set is the histogram).
void write_gsas_lines(Writer& w, const InitValues& v) {
  const bool fullprof = v.reader == 'F';
  const bool cif = v.reader == 'C';
  const char* pattern = fullprof ? "pattern" : cif ? "data set" : "histogram";
  write_names(w, v);

  std::string title = clean(v.title);
  title = clean(title.substr(0, title.find('#')));
  if (title.empty()) {
    w.unknown("the title, at most 70 characters");
  } else if (title.size() > 70) {
    w.line(clean(title.substr(0, 70)), "title, cut to the 70 characters kept");
  } else {
    w.line(title, "title (at most 70 characters)");
  }

  const SpaceGroup& g = v.group;
  const bool group = !group_line(g).empty();
  const std::string symbol = clean(g.symbol);
  if (group && g.setting == 1) {
    w.line(group_line(g), cat("space group ", symbol, symbol.empty() ? "" : ", ", "number ",
                              g.number, ", setting 1"));
  } else if (group) {
    // Setting 1 is the standard setting; any other's number is the one the
    // density program uses for it, which the file cannot tell.
    w.comments(cat("space group ", symbol.empty() ? "" : cat(symbol, ", "), "number ", g.number,
                   ": ", clean(g.setting_why),
                   ". The line needs the number the density "
                   "program gives this setting (",
                   g.letter, " ", g.number, "-N); its setting 1 is the standard setting"));
    w.unknown("the space group: lattice letter, number, '-' and the setting");
  } else {
    if (!v.group_elsewhere.empty()) w.comments(cat("no space group: ", clean(v.group_elsewhere)));
    w.unknown("the space group: lattice letter, number (F 225)");
  }
  write_E(w);
  if (grid_cell(v.cell)) {
    w.line(grid_text(*v.cell, g),
           cat("NX NY NZ suggested: steps near 0.1 A, ",
               group ? cat("fit for ", g.letter, " ", g.number) : "multiples of 12"));
  } else {
    if (!v.cell_elsewhere.empty()) w.comments(cat("no cell: ", clean(v.cell_elsewhere)));
    w.unknown("NX NY NZ, the grid divisions along a, b, c");
  }
  write_IAMP(w);
  if (usable(v.f000)) {
    w.line(real_text(*v.f000), cif ? cat("F(000): _exptl_crystal_F_000 of ", v.input)
                                   : cat("F(000) as ", v.input, " gives it"));
  } else {
    if (!v.f000_elsewhere.empty()) w.comments(cat("no F(000): ", clean(v.f000_elsewhere)));
    w.unknown(
        "the total amplitude F(000), the sum of the scattering of the cell's contents at zero "
        "angle (IAMP 1: b+ b-)");
  }

  const InitValues::Pattern* first = v.patterns.empty() ? nullptr : &v.patterns.front();
  if (first != nullptr && usable(first->wavelength)) {
    w.line(real_text(*first->wavelength),
           cat("lambda0 for the header: ", pattern, " ", first->number, "'s wavelength"));
  } else if (first != nullptr && first->tof) {
    w.comment("time of flight: each record carries its own wavelength 2 d sin(2theta/2);");
    w.comment("lambda0 only fills the header's lambda0 field (sfconv uses it for nothing");
    w.comment("else): give what the program that reads the file expects there, or 1.0");
    w.unknown("lambda0 for the header (time of flight: see above)");
  } else {
    if (first != nullptr && !first->wavelength_elsewhere.empty()) {
      w.comments(cat("no wavelength for ", pattern, " ", first->number, ": ",
                     clean(first->wavelength_elsewhere)));
    }
    w.unknown("lambda0 for the header (the file has none)");
  }
  write_list(w,
             cif ? cat("the data sets of ", v.input, ", its reflection loops in file order:")
                 : cat("the ", pattern, "s of ", v.input, ":"),
             pattern, v.patterns, kind_text, [&](const InitValues::Pattern& p) {
               return p.rows ? beyond_limit(*p.rows, cif ? "rows" : "reflections") : std::string();
             });
  const bool ids = !v.phases.empty() && !v.phases.front().id.empty();
  // With a choice of phases, what to copy for another.
  const bool copy = v.phases.size() > 1 &&
                    std::any_of(v.phases.begin(), v.phases.end(),
                                [](const InitValues::Phase& p) { return !phase_lines(p).empty(); });
  std::string phases =
      !cif  ? cat("the phases of ", v.input, ":")
      : ids ? std::string("the phases of data set 1, by _pd_refln_phase_id, smallest first:")
            : std::string("the phase of data set 1 (its loop has no _pd_refln_phase_id):");
  if (copy) {
    phases.back() = ';';
    phases += " for another than the first, take the space group and grid under it:";
  }
  write_list(
      w, phases, "phase", v.phases,
      [](const InitValues::Phase& p) {
        std::string text = p.id.empty() ? "" : cat("id ", clean(p.id));
        if (!p.name.empty()) text += cat(text.empty() ? "" : ": ", clean(p.name));
        if (!p.group.empty()) text += cat(text.empty() ? "" : " ", "(", clean(p.group), ")");
        return text.empty() ? std::string("(no name given)") : text;
      },
      [copy](const InitValues::Phase& p) { return copy ? phase_lines(p) : std::string(); });
  if (first == nullptr) return;

  // The lines the first histogram's kind adds; for another kind, a comment.
  bool pxc = false;
  bool tof = false;
  for (const auto& p : v.patterns) {
    pxc = pxc || p.pxc;
    tof = tof || p.tof;
  }
  if (first->pxc && cif) {
    w.comment("X-ray powder data: P and M of the polarization factor (1-P) + P M cos^2 2theta,");
    w.comment("P 0.5 unpolarized (_diffrn_radiation_polarisn_ratio is not P), M 1.0");
    w.comment("without a monochromator");
    w.line("? ?", "polarization fraction, monochromator factor");
  } else if (first->pxc) {
    const bool pola = usable(first->polarization);
    w.comment(
        cat("PXC: the polarization fraction", pola ? " (the listing's Pola)" : "", " and the"));
    w.comment("monochromator factor (1.0 without a monochromator)");
    w.line(cat(pola ? real_text(*first->polarization) : "?", " ?"),
           "polarization fraction, monochromator factor");
  } else if (pxc) {
    w.comment(cat(cif ? "an X-ray powder data set" : "a PXC histogram",
                  " adds a line: the polarization fraction and the"));
    w.comment("monochromator factor");
  }
  const char* banks = fullprof ? "the 2theta of each pattern's bank, pattern n being bank n"
                      : cif    ? "the 2theta of each data set's bank, data set n being bank n"
                               : "the 2theta of each detector bank, in bank order";
  if (first->tof) {
    w.comment(cat("time of flight: ", banks));
    for (const auto& p : v.patterns) {
      if (!p.tof || usable(p.angle) || p.bank < 1 || p.bank > 25) continue;
      w.comments(cat("the file gives no angle for ", pattern, " ", p.number,
                     p.angle_elsewhere.empty() ? "" : cat(": ", clean(p.angle_elsewhere))));
    }
    w.line(angle_line(v), "detector angles, ending with /");
  } else if (tof) {
    w.comment(cat("a time-of-flight ", pattern, " adds a line: ", banks));
    w.comment(cat("  ", angle_line(v)));
  }
}

}  // namespace

std::array<int, 3> suggested_grid(const Cell& cell, char letter, int number) {
  // What the translations need along a, b and c. The centring of the lattice
  // letter: A along b and c, B along a and c, C along a and b, I and F along
  // all by 2; R (hexagonal axes, (2/3,1/3,1/3)) along all by 3. The screw
  // axes and glide planes of the crystal system, taken at their largest:
  // monoclinic and orthorhombic 2 along every axis (Fdd2 and Fddd, whose
  // d-glides translate by 1/4, 4); tetragonal and cubic 4 (4_1 axes,
  // d-glides); trigonal and hexagonal 6 along c (3_1 and 6_1 axes, c-glides).
  std::array<int, 3> need{1, 1, 1};
  if (number < 1 || number > 230) {
    need = {12, 12, 12};
  } else if (number >= 195 || (number >= 75 && number <= 142) || number == 43 || number == 70) {
    need = {4, 4, 4};
  } else if (number >= 143) {
    need = {1, 1, 6};
  } else if (number >= 3) {
    need = {2, 2, 2};
  }
  const std::array<int, 3> centring = letter == 'A'                    ? std::array{1, 2, 2}
                                      : letter == 'B'                  ? std::array{2, 1, 2}
                                      : letter == 'C'                  ? std::array{2, 2, 1}
                                      : letter == 'I' || letter == 'F' ? std::array{2, 2, 2}
                                      : letter == 'R'                  ? std::array{3, 3, 3}
                                                                       : std::array{1, 1, 1};
  std::array<int, 3> grid{};
  for (int i = 0; i < 3; ++i) {
    const int m = std::lcm(need[i], centring[i]);
    // Steps of at most 0.1 A; a length a hair above a multiple of 0.1 A is
    // taken as that multiple.
    const double tenths = double{cell[i]} * 10.0 - 1e-4;
    const int n = tenths > 1.0 ? static_cast<int>(std::ceil(std::min(tenths, 1e6))) : 1;
    grid[i] = (n + m - 1) / m * m;
  }
  return grid;
}

std::string parameter_file_text(const InitValues& v) {
  Writer w;
  w.comment(cat("sfconv parameter file for ", v.input, ", written by sfconv --init."));
  w.comment("Each ? is a value the file does not give: write it in, as the comment says;");
  w.comment("sfconv refuses a file that still holds one. Names are taken relative to");
  w.comment("the directory sfconv runs in.");
  if (v.reader == 'R') {
    write_kolmex(w, v);
  } else {
    write_gsas_lines(w, v);
  }
  return w.text();
}

}  // namespace sfconv
