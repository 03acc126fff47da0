// FullProf outputs: the pattern block, the last refinement cycle, the phase,
// the cell and the reflection table, paired with the second file's moduli and
// phase angles.
//
// Every place the reader needs is recognised by a marker text at the very start
// of a line (leading blank included, case and blanks exact), and numbers are
// taken from fixed columns of that line. Lines are compared as they come;
// only a line that carries a marker is copied into LSTLINE and decoded, so the
// two passes over outputs of hundreds of megabytes cost little per line.
#include "readers/fullprof/fullprof.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/report.hpp"
#include "run/run_state.hpp"
#include "readers/cross_check.hpp"
#include "readers/fullprof/fullprof_output.hpp"
#include "readers/structure_factor.hpp"
#include "textio/chars.hpp"
#include "textio/det_angle.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

using namespace fullprof_output;

namespace {

constexpr int kSecondFileUnit = 2;

// Reads on to the next line that begins with one of `markers` and leaves its
// first 50 columns in LSTLINE; the marker's index, -1 at the end of the file.
// (Every marker ends in a character other than a blank, so comparing the line
// itself is comparing LSTLINE.)
int seek(TextInput& in, std::initializer_list<std::string_view> markers) {
  std::string_view record;
  const int which = in.seek_marker(record, markers);
  if (which >= 0) CDATA.LSTLINE.assign(record);
  return which;
}

// The number a marker line of LSTLINE carries in the columns of `layout`.
std::int32_t number_on_marker_line(const TextInput& in, const Format& layout,
                                   std::string_view what) {
  std::int32_t n = 0;
  read_internal(CDATA.LSTLINE.view(), line_origin(in, what), layout, n);
  return n;
}

// Reads on to the next line that begins with `marker` and carries `wanted` in
// the columns of `layout`; lines with another number are passed over. False at
// the end of the file.
bool seek_numbered(TextInput& in, std::string_view marker, const Format& layout,
                   std::int32_t wanted, std::string_view what) {
  while (seek(in, {marker}) >= 0) {
    if (number_on_marker_line(in, layout, what) == wanted) return true;
  }
  return false;
}

void find_numbered(TextInput& in, std::string_view marker, const Format& layout,
                   std::int32_t wanted, std::string_view what, std::string_view noun) {
  in.set_task(cat("looking for ", quoted(marker), " of ", noun, " ", wanted));
  if (!seek_numbered(in, marker, layout, wanted, what)) in.fail_end_of_file();
}

// The layouts a file showed, for the run's summary.
struct Layouts {
  bool colon_marker = false;     // the table marker " Phase No.:"
  bool shifted_headers = false;  // headers and table two columns right
  bool cell_16 = false;          // cell values in 16 columns
  bool direct_cell = false;      // " => Direct cell parameters:"
  std::string_view second_marker;
  long cycle_line = 0;  // the last cycle marker, 0 for none
  std::string cycle_text;
  long table_line = 0;       // the table marker of the pattern and phase
  bool empty_table = false;  // the marker followed by the end of the table
};

// A value the output prints for the chosen pattern, to compare with the
// parameter file's.
struct Printed {
  long line = 0;  // 0: not printed
  float value = 0.0f;
  std::string text;  // the value as printed
};

// What the output holds, gathered from marker lines on the way, so that a
// search that fails can say what the file has instead of what was asked for.
struct Holdings {
  std::vector<std::int32_t> patterns;  // pattern blocks
  std::vector<std::int32_t> phases;    // the phase list before the first cycle
  std::vector<std::pair<std::int32_t, std::int32_t>> tables;  // table markers passed
  Printed angle;                                              // time of flight
  Printed wavelength;                                         // constant wavelength
  long angle_line = 0;  // the detector-angle line of the parameter file
};

bool holds(const std::vector<std::int32_t>& numbers, std::int32_t n) {
  return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

// A value printed on line `at`, as the word `word` of the line.
bool printed(std::string_view word, long at, Printed& value) {
  if (!number_in(word, 0, value.value)) return false;
  value.line = at;
  value.text = word;
  return true;
}

// "pattern 1", "patterns 1 and 2", "patterns 1, 2 and 5", "patterns 1 to 5";
// `only` after a single one.
std::string numbers_text(std::string_view noun, std::vector<std::int32_t> n, const char* only) {
  std::sort(n.begin(), n.end());
  n.erase(std::unique(n.begin(), n.end()), n.end());
  if (n.size() == 1) return cat(noun, " ", n[0], only);
  if (n.size() > 2 && static_cast<std::size_t>(n.back() - n.front()) == n.size() - 1) {
    return cat(noun, "s ", n.front(), " to ", n.back());
  }
  std::vector<std::string> items;
  for (std::int32_t k : n) items.push_back(cat(k));
  return cat(noun, "s ", and_list(items));
}

// "run.out has pattern 1 only, with phase 1": the header of a search for a
// pattern or phase that the output does not hold.
std::string holdings_text(const TextInput& output, const Holdings& h) {
  std::string text = cat(output.name(), " has ", numbers_text("pattern", h.patterns, " only"));
  if (!h.phases.empty()) text += cat(", with ", numbers_text("phase", h.phases, ""));
  return text;
}

// Ends the run when the output does not hold what the parameter file asks
// for: the header says both; `message` and the stream are those of the read
// that failed.
[[noreturn]] void not_held(std::string header, const char* message, int unit) {
  throw IoFailure{cat("sfconv: ", header), message, "READ", unit};
}

// The pattern block of `histogram` and the radiation lines after it. Blocks of
// other patterns, and the phase list, are noted on the way.
void find_pattern(TextInput& output, TextInput& parameters, Holdings& h) {
  output.set_task(cat("looking for ", quoted(kPatternBlock), " of pattern ", IDATA.histogram));
  for (;;) {
    const int which = seek(output, {kPatternBlock, kPhaseList});
    if (which < 0) {
      // No pattern block at all (an empty file, say): the end-of-file report says what it is.
      if (h.patterns.empty()) output.fail_end_of_file();
      not_held(cat(holdings_text(output, h), "; the parameter file (line ", PARLINES.histogram,
                   ") asks for pattern ", IDATA.histogram),
               msg::end_of_file, output.unit());
    }
    std::int32_t n = 0;
    if (which == 1) {
      if (number_after(CDATA.LSTLINE.view(), kPhaseList, n)) h.phases.push_back(n);
      continue;
    }
    n = number_on_marker_line(output, "(44X,I3)"_fmt, "the pattern number");
    h.patterns.push_back(n);
    if (n == IDATA.histogram) break;
  }

  output.set_task(cat("reading the radiation lines after ", quoted(kPatternBlock)));
  read(output, "()"_fmt);
  read(output, "(A)"_fmt, CDATA.LSTLINE);
  LDATA.TOF = false;
  if (CDATA.LSTLINE.cols(26, 32) == "neutron") {
    read(output, "(A)"_fmt, CDATA.LSTLINE);
    if (CDATA.LSTLINE.cols(13, 26) == "Time-Of-Flight") {
      LDATA.TOF = true;
      IDATA.nbank = IDATA.histogram;
      RDATA.twotheta = det_angle(
          parameters, IDATA.nbank, IDATA.nangles, RDATA.angles,
          cat("pattern ", IDATA.histogram, " of ", output.name(), " (a time-of-flight pattern)"));
      h.angle_line = parameters.line();
    }
  }
}

// Where a line ends: the byte offset and line number of the line after it.
struct Place {
  std::uint64_t offset = 0;
  long line = 0;
};

// The lines from the pattern block to the first cycle marker (or
// " => Run finished"), which it leaves in `record`: the other pattern blocks,
// the phase list, and the wavelength or bank angle printed for `histogram`.
// Returns 0 at a cycle marker, 1 at the end of the run. A pattern's value is
// taken only where the file says whose it is (see Owners).
int scan_head(TextInput& output, Holdings& h, std::string_view& record) {
  Owners owners;
  for (;;) {
    // The input options, where the wavelengths stand, come before the first
    // pattern's global parameters; only there is every " => " line looked at.
    const int which =
        owners.in_options()
            ? output.find_marker(record, {kCycle, kRunFinished, kPatternBlock, kPhaseList,
                                          kPatternNumber, kBankAngle, kWavelengths, kOption})
            : output.find_marker(record, {kCycle, kRunFinished, kPatternBlock, kPhaseList,
                                          kPatternNumber, kBankAngle});
    std::int32_t n = 0;
    switch (which) {
      case 0:
      case 1:
        return which;
      case 2:
        if (number_after(record, kPatternBlock, n)) h.patterns.push_back(n);
        break;
      case 3:
        if (number_after(record, kPhaseList, n)) h.phases.push_back(n);
        break;
      case 4:
        owners.block_line(record);
        break;
      case 5:
        if (h.angle.line == 0 && owners.angle_of(IDATA.histogram, h.patterns.size())) {
          printed(angle_word(record), output.line(), h.angle);
        }
        break;
      case 6:
        if (h.wavelength.line == 0 && owners.wavelength_of(IDATA.histogram, h.patterns.size())) {
          printed(wavelength_word(record), output.line(), h.wavelength);
        }
        break;
      default:
        owners.option_line(record);
    }
  }
}

// First pass: on to " => Run finished", remembering where the last
// " => CYCLE No.:" before it stands. FullProf may print the same cycle number
// twice (a convergence block restarts at "CYCLE No.: 1"), so the place, not
// the number, tells the last cycle. The first line: no cycle marker at all.
Place last_cycle(TextInput& output, Layouts& met, Holdings& h) {
  output.set_task(cat("looking for ", quoted(kRunFinished)));
  Place last;
  std::string_view record;
  int which = scan_head(output, h, record);
  while (which == 0) {
    // Decoded all the same: a cycle number that cannot be read is an input failure.
    CDATA.LSTLINE.assign(record);
    number_on_marker_line(output, "(14X,I5)"_fmt, "the cycle number");
    last = Place{output.offset(), output.line()};
    met.cycle_line = output.line();
    met.cycle_text = CDATA.LSTLINE.trimmed();
    which = output.find_marker(record, {kCycle, kRunFinished});
  }
  return last;
}

bool digit_at(std::string_view record, std::size_t column) {
  return column <= record.size() && is_digit(record[column - 1]);
}

// The six cell lines after the first cell marker, of either kind: one value
// per line, from columns 1-15. FullProf 5.60 and later write each value in 16
// columns (8 blanks, then 8.478844), so a line whose columns 15 and 16 both
// hold digits is read again from all 16.
void read_cell(TextInput& output, Layouts& met) {
  output.set_task(cat("looking for ", quoted(kCell), " or ", quoted(kDirectCell)));
  const int which = seek(output, {kCell, kDirectCell});
  if (which < 0) output.fail_end_of_file();
  met.direct_cell = which == 1;
  const std::string_view marker = met.direct_cell ? kDirectCell : kCell;
  output.set_task(cat("reading the six lines after ", quoted(marker)));
  for (std::size_t k = 0; k < 6; ++k) {
    std::string_view record = output.next_required();
    read_internal(record, record_origin(output), "(F15.6)"_fmt, RDATA.CELL[k]);
    if (digit_at(record, 15) && digit_at(record, 16)) {
      read_internal(record, record_origin(output), "(F16.6)"_fmt, RDATA.CELL[k]);
      met.cell_16 = true;
    }
  }
}

// The phase block of `phase_no` after the last cycle marker. The phase blocks
// of the cycle are followed by the R-factors of each phase, " => Phase:  1",
// whose number the phase layout cannot read: a search that gets there, or to
// the end of the file, for a phase the file does not list has asked for a
// phase the file does not hold, and the header says so. (Outputs without the
// phase list are known by the phases passed.)
void find_phase(TextInput& output, Holdings& h) {
  output.set_task(cat("looking for ", quoted(kPhase), " of phase ", IDATA.phase_no));
  const bool listed = holds(h.phases, IDATA.phase_no);
  auto asked = [&] {
    return cat(holdings_text(output, h), "; the parameter file (line ", PARLINES.phase_no,
               ") asks for phase ", IDATA.phase_no);
  };
  for (;;) {
    if (seek(output, {kPhase}) < 0) {
      if (!listed) not_held(asked(), msg::end_of_file, output.unit());
      output.fail_end_of_file();
    }
    std::int32_t n = 0;
    if (!listed && read_integer(CDATA.LSTLINE.cols(10, 12), n) != NumResult::ok) {
      not_held(cat(asked(), " (the search ended at line ", output.line(), ")"),
               msg::illegal_character, IoFailure::kInternal);
    }
    n = number_on_marker_line(output, "(9X,I3)"_fmt, "the phase number");
    if (n == IDATA.phase_no) return;
    if (!holds(h.phases, n)) h.phases.push_back(n);
  }
}

// Second pass: from the first line again to just after the last cycle marker
// (from the first line itself when there was none: the parameters printed
// before any cycle are then the final ones), then phase, profile parameters,
// cell and the table marker of `histogram` and `phase_no`.
void find_table(TextInput& output, const Place& cycle, Layouts& met, Holdings& h) {
  // The second pass reads on from just after that marker: what the file
  // holds before it is never looked at again, so it is not read again.
  output.seek(cycle.offset, cycle.line);

  find_phase(output, h);
  find_numbered(output, kProfile, "(36X,I3)"_fmt, IDATA.histogram, "the pattern number", "pattern");
  read_cell(output, met);

  output.set_task(cat("looking for ", quoted(kTable), " of pattern ", IDATA.histogram, ", phase ",
                      IDATA.phase_no));
  for (;;) {
    if (seek(output, {kTable}) < 0) {
      std::vector<std::string> tables;
      for (auto [pattern, phase] : h.tables)
        tables.push_back(cat("pattern ", pattern, ", phase ", phase));
      not_held(cat(output.name(),
                   tables.empty() ? std::string(" lists no reflection table")
                                  : cat(" lists the tables of ", and_list(tables), " only"),
                   " after the last cycle; the parameter file (lines ", PARLINES.histogram, " and ",
                   PARLINES.phase_no, ") asks for pattern ", IDATA.histogram, ", phase ",
                   IDATA.phase_no),
               msg::end_of_file, output.unit());
    }
    std::int32_t pattern = 0;
    std::int32_t phase = 0;
    // FullProf 6.x writes "Phase No.:": the colon in column 23, the phase
    // number in columns 24-27.
    const Format& layout = CDATA.LSTLINE.c[22] == ':' ? "(9X,I3,11X,I4)"_fmt : "(9X,I3,10X,I4)"_fmt;
    read_internal(CDATA.LSTLINE.view(), line_origin(output, "the pattern and phase numbers"),
                  layout, pattern, phase);
    if (pattern == IDATA.histogram && phase == IDATA.phase_no) {
      met.colon_marker = CDATA.LSTLINE.c[22] == ':';
      met.table_line = output.line();
      break;
    }
    h.tables.emplace_back(pattern, phase);
  }
  output.set_task(cat("reading the line after ", quoted(kTable)));
  read(output, "()"_fmt);
}

// Where the columns of the reflection lines stand, as the last header set them.
struct Columns {
  enum Kind { unset, wide, narrow } kind = unset;
  int shift = 0;  // 2 behind a FullProf 6.x header
  // Time of flight reads the same columns under every header but a FullProf
  // 6.x one, which moves them too.
  int tof_shift = 0;

  void set(Kind k, int s) {
    kind = k;
    shift = s;
    if (s != 0) tof_shift = s;
  }
};

enum class LineKind { blank, header, end, reflection };

// Classifies a table line; a header sets `columns`.
LineKind classify(const Text<128>& line, Columns& columns) {
  if (line.is_blank()) return LineKind::blank;
  if (line.starts_with(kWideHeader)) {
    columns.set(Columns::wide, 0);
  } else if (line.starts_with(kNarrowHeader)) {
    columns.set(Columns::narrow, 0);
  } else if (line.starts_with(kWideHeader6)) {
    columns.set(Columns::wide, 2);
  } else if (line.starts_with(kNarrowHeader6)) {
    columns.set(Columns::narrow, 2);
  } else if (line.starts_with(kTableEnd) || line.starts_with(kTableEndOther)) {
    return LineKind::end;
  } else {
    return LineKind::reflection;
  }
  return LineKind::header;
}

// One reflection line as decoded, before it is paired and stored.
struct TableLine {
  std::int32_t h = 0, k = 0, l = 0;
  float io = 0.0f;
  float d = 0.0f;  // d-spacing, time of flight only
};

TableLine decode(const TextInput& output, const Columns& columns) {
  const Origin origin = line_origin(output, "a reflection line");
  std::string_view line = CDATA.REFLINE.view();
  TableLine r;
  if (LDATA.TOF) {
    read_internal(line, origin,
                  columns.tof_shift == 0 ? "(12X,3I4,39X,F11.1,35X,F10.6)"_fmt
                                         : "(14X,3I4,39X,F11.1,35X,F10.6)"_fmt,
                  r.h, r.k, r.l, r.io, r.d);
  } else if (columns.kind == Columns::wide) {
    read_internal(line, origin,
                  columns.shift == 0 ? "(12X,3I4,49X,F11.1)"_fmt : "(14X,3I4,49X,F11.1)"_fmt, r.h,
                  r.k, r.l, r.io);
  } else if (columns.kind == Columns::narrow) {
    read_internal(line, origin,
                  columns.shift == 0 ? "(12X,3I4,39X,F11.1)"_fmt : "(14X,3I4,39X,F11.1)"_fmt, r.h,
                  r.k, r.l, r.io);
  } else {
    // No header has said where the columns stand; a guess could take any
    // number for the intensity.
    fail_at(output, "Reflection line before the table header",
            ": no table header before this line");
  }
  return r;
}

// The second file: the records of `phase_no` follow its phase marker. Files
// that FullProf 6.x writes with Fou=2 have a capital N (and no phase angle),
// so that marker is sought too, but only where the usual one is missing.
std::string_view find_second_phase(TextInput& second) {
  std::string of_phase = cat(" of phase ", IDATA.phase_no);
  second.set_task(cat("looking for ", quoted(kSecondPhase), of_phase));
  if (seek_numbered(second, kSecondPhase, "(11X,I4)"_fmt, IDATA.phase_no, "the phase number")) {
    return kSecondPhase;
  }
  second.rewind();
  second.set_task(
      cat("looking for ", quoted(kSecondPhase), " or ", quoted(kFourierPhase), of_phase));
  if (!seek_numbered(second, kFourierPhase, "(11X,I4)"_fmt, IDATA.phase_no, "the phase number")) {
    second.fail_end_of_file();
  }
  return kFourierPhase;
}

// What a record of the second file gives.
struct Record {
  float modulus = 0.0f;
  float phi = 0.0f;  // phase angle, degrees
};

std::string hkl(std::int32_t h, std::int32_t k, std::int32_t l) {
  return cat(h, " ", k, " ", l);
}

// Reads the record paired with the reflection line `r`; false at the end of
// the second file. FullProf writes h, k, l in columns 1-12 (older files may
// leave them blank): they must be the line's, since a record missing or added
// on either side, or a file of another run, would pair every later reflection
// with the wrong modulus and phase. A record without a phase angle in columns
// 37-48 is one of the file FullProf writes with Fou=2 (h, k, l, F, sigma(F)):
// no Fo(r) or Fo(i) can be made from it.
bool read_record(TextInput& second, const TextInput& output, const TableLine& r, Record& rec) {
  std::string_view line;
  if (!second.next(line)) return false;
  read_internal(line, record_origin(second), "(2(12X,F12.4))"_fmt, rec.modulus, rec.phi);

  if (!trim_end(columns(line, 1, 12)).empty()) {
    std::int32_t h = 0, k = 0, l = 0;
    read_internal(line, record_origin(second), "(3I4)"_fmt, h, k, l);
    if (h != r.h || k != r.k || l != r.l) {
      throw IoFailure{cat("sfconv: reflection ", hkl(r.h, r.k, r.l), " on line ", output.line(),
                          " of ", output.name(), ", but ", hkl(h, k, l), " on line ", second.line(),
                          " of ", second.name()),
                      "Reflection mismatch between the output file and the second file", "READ",
                      second.unit()};
    }
  }

  if (trim_end(columns(line, 37, 48)).empty()) {
    fail_at(second, "No phase angle in the second file",
            ": no phase angle in columns 37-48; FullProf writes the phases into the .fou file "
            "when the .pcr has Fou=4");
  }
  return true;
}

// The table read in step with the second file; returns the number stored.
std::int32_t read_table(TextInput& output, TextInput& second, Layouts& met) {
  output.set_task("reading the reflection table, which ends with a dashed line");
  Columns columns;
  Record rec;
  std::int32_t i = 1;   // the slot of the next reflection stored
  long paired = 0;      // reflection lines paired with a record
  bool listed = false;  // a header or reflection line met
  for (;;) {
    CDATA.REFLINE.assign(output.next_required());
    LineKind kind = classify(CDATA.REFLINE, columns);
    if (columns.shift != 0) met.shifted_headers = true;
    if (kind == LineKind::end) {
      met.empty_table = !listed;
      return i - 1;
    }
    if (kind != LineKind::blank) listed = true;
    if (kind != LineKind::reflection) continue;
    TableLine r = decode(output, columns);

    // The record of this line: modulus and phase angle in degrees. The end
    // of the second file ends the table; this line is not stored.
    if (!read_record(second, output, r, rec)) {
      warn("the second file ", second.name(), " ended after ", paired,
           paired == 1 ? " reflection line" : " reflection lines", " of the table; line ",
           output.line(), " of ", output.name(), " and those after it are not converted");
      return i - 1;
    }
    ++paired;

    // A zero intensity drops the reflection; its record is used up all the
    // same, so later lines stay paired with later records.
    if (r.io == 0.0f) {
      ++REPORT.dropped_zero_intensity;
      continue;
    }

    if (!room_for(i)) {
      stop_too_many_reflections(cat(place(output.name(), output.line()), "the table of pattern ",
                                    IDATA.histogram, ", phase ", IDATA.phase_no, " has more than ",
                                    MAXREF,
                                    " reflections with non-zero intensity, the most sfconv holds"));
    }
    Reflection stored{r.h, r.k, r.l};
    stored.IO = r.io;
    if (LDATA.TOF) stored.WAVE = tof_wavelength(r.d, RDATA.twotheta);
    set_structure_factor(stored, rec.modulus, rec.phi);
    store_reflection(i - 1, stored);
    ++i;
  }
}

// The summary of what the run met: the layouts, the pattern and phase, and
// the cycle whose results were taken.
void sum_up(const TextInput& output, const TextInput& second, const Layouts& met) {
  std::string layouts;
  auto add = [&layouts](bool met, std::string_view what) {
    if (met) layouts += cat(layouts.empty() ? "" : ", ", what);
  };
  add(met.colon_marker, "table marker with \"Phase No.:\"");
  add(met.shifted_headers, "table headers two columns right");
  add(met.cell_16, "cell values in 16 columns");
  add(met.direct_cell, quoted(kDirectCell));
  note("read FullProf output ", output.name(), " (",
       layouts.empty() ? std::string("the older layouts") : layouts, ")");
  note("second file ", second.name(), ", its records after ", quoted(met.second_marker));
  std::string pattern = cat("pattern ", IDATA.histogram);
  if (LDATA.TOF) {
    pattern +=
        cat(" (time of flight, bank ", IDATA.nbank, " at 2theta ", angle_text(RDATA.twotheta), ")");
  }
  note(pattern, ", phase ", IDATA.phase_no);
  if (met.cycle_line == 0) {
    note("no cycle marker: results taken from the first line on");
  } else {
    note("last cycle: line ", met.cycle_line, " ", quote_line(met.cycle_text));
  }
}

// The values typed into the parameter file against those the output prints
// for the pattern: a bank angle or a wavelength typed wrong changes every
// wavelength or the header written, and nothing else would show it.
void cross_check(const TextInput& output, const TextInput& parameters, const Holdings& h) {
  if (LDATA.TOF && h.angle.line != 0 && angle_apart(RDATA.twotheta, h.angle.value)) {
    warn(place(parameters.name(), h.angle_line), "the detector-angle line gives bank ", IDATA.nbank,
         " 2theta = ", real_text(RDATA.twotheta), ", but ", output.name(), " prints ", h.angle.text,
         " on line ", h.angle.line, " (", quoted(kBankAngle), "); the output uses ",
         real_text(RDATA.twotheta), " for 2theta and every wavelength");
  }
  if (!LDATA.TOF && h.wavelength.line != 0 && wavelength_apart(RDATA.lambda0, h.wavelength.value)) {
    warn(place(parameters.name(), PARLINES.lambda0), "lambda0 is ", real_text(RDATA.lambda0),
         ", but ", output.name(), " prints the wavelength ", h.wavelength.text, " on line ",
         h.wavelength.line, " (", quoted(kWavelengths), "); the output header uses ",
         real_text(RDATA.lambda0));
  }
}

}  // namespace

void fullprof(TextInput& output, TextInput& parameters) {
  Layouts met;
  Holdings holdings;
  find_pattern(output, parameters, holdings);
  find_table(output, last_cycle(output, met, holdings), met, holdings);

  TextInput second(CDATA.FILEIN2.view(), kSecondFileUnit);
  met.second_marker = find_second_phase(second);
  IDATA.NREF1 = read_table(output, second, met);
  if (met.empty_table) {
    // FullProf lists the reflections only when the .pcr asks for the
    // integrated intensities (Ioc=1; the output then says " => Output
    // Integrated Intensities").
    REPORT.no_reflection_why =
        cat(output.name(), " lists no reflection for pattern ", IDATA.histogram, ", phase ",
            IDATA.phase_no, " (the table at line ", met.table_line,
            " is empty): FullProf lists them when the .pcr asks for the full listing (Ioc=1)");
  } else if (IDATA.NREF1 == 0) {
    REPORT.no_reflection_why = cat("the table of pattern ", IDATA.histogram, ", phase ",
                                   IDATA.phase_no, " holds no reflection with non-zero intensity");
  }
  cross_check(output, parameters, holdings);
  sum_up(output, second, met);
}

}  // namespace sfconv
