// sfconv --init: the parameter file for a refinement file.
#include "driver/init.hpp"

#include <charconv>
#include <cmath>
#include <numeric>

#include "driver/driver.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

namespace {

constexpr int kRefinementUnit = 1;
constexpr std::string_view kUsage = "usage: sfconv --init REFINEMENT-FILE [SECOND-FILE]";
constexpr std::size_t kValueWidth = 24;  // the comments start after it

// The input's name with its extension (from the last '.' of its own name)
// replaced by .sf.
std::string output_name(std::string_view input) {
  std::size_t slash = input.rfind('/');
  std::size_t dot = input.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return cat(input, ".sf");
  }
  return cat(input.substr(0, dot), ".sf");
}

// A name the parameter file can hold: a line of its own, left-adjusted, with
// no '#' (a comment would start there).
void check_name(std::string_view name) {
  const char* why = nullptr;
  if (name.find('#') != std::string_view::npos) why = "holds a '#', which starts a comment";
  if (name.find('\n') != std::string_view::npos) why = "holds a line feed";
  if (name.starts_with(' ')) why = "begins with a blank, which the line reader drops";
  if (why != nullptr) {
    throw IoFailure{std::string(kUsage),
                    cat("File name not fit for a parameter file: ", quoted(name), " ", why), "OPEN",
                    kRefinementUnit};
  }
}

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
  void unknown(std::string_view what, std::string_view why = {}) {
    line("?", cat("to fill in: ", what, why));
  }
  void comment(std::string_view text) { text_ += cat("# ", text, '\n'); }
  std::string text() const { return text_; }

 private:
  std::string text_;
};

std::string kind_text(const InitValues::Pattern& p) {
  std::string text = p.kind;
  if (p.tof) {
    text += text.empty() ? "time of flight" : ", time of flight";
    if (p.bank != 0) text += cat(", bank ", p.bank);
    if (p.angle) text += cat(" at 2theta ", real_text(*p.angle));
  } else if (p.wavelength) {
    text += cat(text.empty() ? "" : ", ", "lambda ", real_text(*p.wavelength));
  }
  return text;
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
      angle = p.angle ? real_text(*p.angle) : "?";
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
                                       : "the KOLMEX reflection file";
  w.line(v.input, what);
  if (v.reader == 'F') {
    if (!v.second.empty()) {
      w.line(v.second, "its second file (Fou=4 in the .pcr): |F| and phase of each reflection");
    } else if (!v.pcr_code.empty()) {
      std::size_t slash = v.input.rfind('/');
      std::string dir = slash == std::string::npos ? "" : v.input.substr(0, slash + 1);
      w.line(cat(dir, v.pcr_code, ".fou"),
             "its second file, named after the .pcr's code (FullProf writes it with Fou=4)");
    } else {
      w.unknown(lines::second_name.belongs);
    }
  }
  w.line(v.output, "the structure-factor file to write");
}

void write_kolmex(Writer& w, const InitValues& v) {
  w.comment(cat(v.input, " holds, and sfconv takes from it:"));
  w.comment(cat("  title ", quoted(clean(v.title))));
  if (v.cell) w.comment(cat("  cell ", cell_text(*v.cell)));
  w.comment(cat("  grid NX NY NZ ", ints(v.kolmex_grid), ", space group ",
                clean(std::string_view(&v.group.letter, 1)), " ", v.group.number, "-",
                v.group.setting));
  write_names(w, v);
  w.line("1.0", "E: scale of the counting statistics in sigma(|Fo|); a default");
  w.line("0", "IAMP: 0 = one total amplitude, 1 = two (b+ and b-); a default");
  w.unknown(lines::lambda0.belongs, " (the file gives none)");
}

void write_gsas_fullprof(Writer& w, const InitValues& v) {
  const bool fullprof = v.reader == 'F';
  const char* pattern = fullprof ? "pattern" : "histogram";
  write_names(w, v);

  std::string title = clean(v.title);
  title = clean(title.substr(0, title.find('#')));
  if (title.empty()) {
    w.unknown(lines::title.belongs);
  } else if (title.size() > 70) {
    w.line(clean(title.substr(0, 70)), "title, cut to the 70 characters sfconv keeps");
  } else {
    w.line(title, "title (at most 70 characters)");
  }

  const SpaceGroup& g = v.group;
  if (g.letter != 0 && g.number != 0) {
    w.line(cat(g.letter, " ", g.number),
           cat("space group ", clean(g.symbol), ", number ", g.number, ", in setting 1 (", g.letter,
               " ", g.number, "-2: setting 2)"));
  } else {
    w.unknown(lines::space_group.belongs);
  }
  w.line("1.0", "E: scale of the counting statistics in sigma(|Fo|); a default");
  if (v.cell) {
    const bool known = g.letter != 0 && g.number != 0;
    w.line(ints(suggested_grid(*v.cell, known ? g.letter : 'P', known ? g.number : 0)),
           cat("NX NY NZ: a suggestion, steps near 0.1 A ",
               known ? cat("that the translations of ", g.letter, " ", g.number, " divide")
                     : std::string("in multiples of 12 (any space group)")));
  } else {
    w.unknown(lines::grid.belongs);
  }
  w.line("0", "IAMP: 0 = one total amplitude, 1 = two (b+ and b-); a default");
  w.unknown(lines::total.belongs, " (IAMP 1: two, b+ and b-)");

  const InitValues::Pattern* first = v.patterns.empty() ? nullptr : &v.patterns.front();
  if (first != nullptr && first->wavelength) {
    w.line(real_text(*first->wavelength),
           cat("lambda0, written to the header: the wavelength of ", pattern, " ", first->number));
  } else {
    w.unknown(lines::lambda0.belongs,
              first != nullptr && first->tof ? " (time of flight: the file gives none)" : "");
  }

  if (first == nullptr) {
    w.unknown(lines::histogram.belongs);
  } else {
    w.comment(cat("the ", pattern, "s of ", v.input, ":"));
    for (const auto& p : v.patterns) w.comment(cat("  ", p.number, "  ", kind_text(p)));
    w.line(cat(first->number), cat(pattern, " number: the first"));
  }

  if (v.phases.empty()) {
    w.unknown(lines::phase.belongs);
  } else {
    w.comment(cat("the phases of ", v.input, ":"));
    for (const auto& p : v.phases) {
      std::string text = clean(p.name);
      if (!p.group.empty()) text += cat(text.empty() ? "" : " ", "(", clean(p.group), ")");
      w.comment(cat("  ", p.number, "  ", text));
    }
    w.line(cat(v.phases.front().number), "phase number: the first");
  }

  // The lines the first histogram's kind adds; for another kind, a comment.
  const InitValues::Pattern* pxc = nullptr;
  bool tof = false;
  for (const auto& p : v.patterns) {
    if (p.pxc && pxc == nullptr) pxc = &p;
    tof = tof || p.tof;
  }
  if (first == nullptr) return;
  if (first->pxc) {
    w.line(cat(first->polarization ? real_text(*first->polarization) : "?", " ?"),
           cat("PXC: the polarization fraction",
               first->polarization ? cat(" (Pola of histogram ", first->number, ")") : "",
               " and the monochromator factor (1.0 without a monochromator)"));
  } else if (pxc != nullptr) {
    w.comment("for a PXC histogram add: the polarization fraction and the monochromator factor");
  }
  const char* banks = fullprof ? "the 2theta of pattern n's bank n, in order, ending with /"
                               : "the 2theta of each bank, in bank order, ending with /";
  if (first->tof) {
    w.line(angle_line(v), cat("detector angles: ", banks));
  } else if (tof) {
    w.comment(cat("for a time-of-flight ", pattern, " add the detector angles: ", angle_line(v)));
  }
}

}  // namespace

std::string real_text(float value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

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
    int n = static_cast<int>(std::ceil(double{cell[i]} * 10.0 - 1e-4));
    if (n < 1) n = 1;
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
    write_gsas_fullprof(w, v);
  }
  return w.text();
}

std::string init_parameter_file(std::string_view input, std::string_view second) {
  InitValues v;
  v.reader = reader_for(input);
  if (v.reader == ' ') {
    stop(format_line("(A)"_fmt, " The extension of a standard output file should be lst or out"),
         "the file name ", quoted(input),
         " holds none of .lst (GSAS), .out (FullProf) and .fos (KOLMEX) in its last part");
  }
  if (!second.empty() && v.reader != 'F') {
    throw IoFailure{std::string(kUsage),
                    cat("Argument after the refinement file: ", second,
                        " (only a FullProf output has a second file)"),
                    "OPEN", kRefinementUnit};
  }
  check_name(input);
  check_name(second);
  v.input = input;
  v.second = second;
  v.output = output_name(input);
  check_name(v.output);

  if (v.reader == 'R') {
    RecordFile fos(input, kRefinementUnit);
    init_kolmex(fos, v);
  } else {
    TextInput text(input, kRefinementUnit);
    if (v.reader == 'G') {
      init_gsas(text, v);
    } else {
      init_fullprof(text, v);
    }
  }
  return parameter_file_text(v);
}

}  // namespace sfconv
