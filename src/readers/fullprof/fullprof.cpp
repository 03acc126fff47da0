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

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "driver/report.hpp"
#include "driver/run_state.hpp"
#include "readers/structure_factor.hpp"
#include "textio/chars.hpp"
#include "textio/det_angle.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"

namespace sfconv {

namespace {

constexpr int kSecondFileUnit = 2;

// Markers of the output file.
constexpr std::string_view kPatternBlock = " ==> CONDITIONS OF THIS RUN FOR PATTERN No.:";
constexpr std::string_view kCycle = " => CYCLE No.:";
constexpr std::string_view kRunFinished = " => Run finished";
constexpr std::string_view kPhase = " => Phase";
constexpr std::string_view kProfile = " ==> PROFILE PARAMETERS FOR PATTERN#";
constexpr std::string_view kCell = " => Cell parameters:";
// FullProf 7.95 heads the cell block so in time-of-flight outputs.
constexpr std::string_view kDirectCell = " => Direct cell parameters:";
constexpr std::string_view kTable = " Pattern#";

// The phase marker of the second file, and the one with a capital N of the
// files that FullProf 6.x writes with Fou=2.
constexpr std::string_view kSecondPhase = " Phase no.:";
constexpr std::string_view kFourierPhase = " Phase No.:";

// Lines of the reflection table. The two headers differ only in the blanks
// before "Hw"; each sets the columns of the reflection lines after it.
// FullProf 6.x writes the whole table two columns further right, its headers
// behind two more blanks.
constexpr std::string_view kWideHeader = " No.  Code     H   K   L  Mult      Hw";
constexpr std::string_view kNarrowHeader = " No.  Code     H   K   L  Mult     Hw";
constexpr std::string_view kWideHeader6 = "   No.  Code     H   K   L  Mult      Hw";
constexpr std::string_view kNarrowHeader6 = "   No.  Code     H   K   L  Mult     Hw";
constexpr std::string_view kTableEnd = "     ---------------";
constexpr std::string_view kTableEndOther = " -------------------";

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
};

// The pattern block of `histogram` and the radiation lines after it.
void find_pattern(TextInput& output, TextInput& parameters) {
  find_numbered(output, kPatternBlock, "(44X,I3)"_fmt, IDATA.histogram, "the pattern number",
                "pattern");

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
    }
  }
}

// Where a line ends: the byte offset and line number of the line after it.
struct Place {
  std::uint64_t offset = 0;
  long line = 0;
};

// First pass: on to " => Run finished", remembering where the last
// " => CYCLE No.:" before it stands. FullProf may print the same cycle number
// twice (a convergence block restarts at "CYCLE No.: 1"), so the place, not
// the number, tells the last cycle. The first line: no cycle marker at all.
Place last_cycle(TextInput& output, Layouts& met) {
  output.set_task(cat("looking for ", quoted(kRunFinished)));
  Place last;
  std::string_view record;
  while (output.find_marker(record, {kCycle, kRunFinished}) == 0) {
    // Decoded all the same: a cycle number that cannot be read is an input failure.
    CDATA.LSTLINE.assign(record);
    number_on_marker_line(output, "(14X,I5)"_fmt, "the cycle number");
    last = Place{output.offset(), output.line()};
    met.cycle_line = output.line();
    met.cycle_text = CDATA.LSTLINE.trimmed();
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

// Second pass: from the first line again to just after the last cycle marker
// (from the first line itself when there was none: the parameters printed
// before any cycle are then the final ones), then phase, profile parameters,
// cell and the table marker of `histogram` and `phase_no`.
void find_table(TextInput& output, const Place& cycle, Layouts& met) {
  // The second pass reads on from just after that marker: what the file
  // holds before it is never looked at again, so it is not read again.
  output.seek(cycle.offset, cycle.line);

  find_numbered(output, kPhase, "(9X,I3)"_fmt, IDATA.phase_no, "the phase number", "phase");
  find_numbered(output, kProfile, "(36X,I3)"_fmt, IDATA.histogram, "the pattern number", "pattern");
  read_cell(output, met);

  output.set_task(cat("looking for ", quoted(kTable), " of pattern ", IDATA.histogram, ", phase ",
                      IDATA.phase_no));
  for (;;) {
    if (seek(output, {kTable}) < 0) output.fail_end_of_file();
    std::int32_t pattern = 0;
    std::int32_t phase = 0;
    // FullProf 6.x writes "Phase No.:": the colon in column 23, the phase
    // number in columns 24-27.
    const Format& layout = CDATA.LSTLINE.c[22] == ':' ? "(9X,I3,11X,I4)"_fmt : "(9X,I3,10X,I4)"_fmt;
    read_internal(CDATA.LSTLINE.view(), line_origin(output, "the pattern and phase numbers"),
                  layout, pattern, phase);
    if (pattern == IDATA.histogram && phase == IDATA.phase_no) {
      met.colon_marker = CDATA.LSTLINE.c[22] == ':';
      break;
    }
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

// Columns first..last of a record, counted from 1, are all blank (columns
// beyond its end count as blanks).
bool blank_columns(std::string_view record, std::size_t first, std::size_t last) {
  for (std::size_t c = first; c <= last && c <= record.size(); ++c) {
    if (record[c - 1] != ' ') return false;
  }
  return true;
}

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

  if (!blank_columns(line, 1, 12)) {
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

  if (blank_columns(line, 37, 48)) {
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
  std::int32_t i = 1;  // the slot of the next reflection stored
  long paired = 0;     // reflection lines paired with a record
  for (;;) {
    CDATA.REFLINE.assign(output.next_required());
    LineKind kind = classify(CDATA.REFLINE, columns);
    if (columns.shift != 0) met.shifted_headers = true;
    if (kind == LineKind::end) return i - 1;
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
  auto add = [&layouts](bool met, const char* what) {
    if (met) layouts += cat(layouts.empty() ? "" : ", ", what);
  };
  add(met.colon_marker, "table marker with \"Phase No.:\"");
  add(met.shifted_headers, "table headers two columns right");
  add(met.cell_16, "cell values in 16 columns");
  add(met.direct_cell, "\" => Direct cell parameters:\"");
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

}  // namespace

void fullprof(TextInput& output, TextInput& parameters) {
  Layouts met;
  find_pattern(output, parameters);
  find_table(output, last_cycle(output, met), met);

  TextInput second(CDATA.FILEIN2.view(), kSecondFileUnit);
  met.second_marker = find_second_phase(second);
  IDATA.NREF1 = read_table(output, second, met);
  if (IDATA.NREF1 == 0) {
    REPORT.no_reflection_why = cat("the table of pattern ", IDATA.histogram, ", phase ",
                                   IDATA.phase_no, " holds no reflection with non-zero intensity");
  }
  sum_up(output, second, met);
}

}  // namespace sfconv
