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

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/run_state.hpp"
#include "readers/trig.hpp"
#include "textio/det_angle.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"

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
constexpr std::string_view kTable = " Pattern#";

// The phase marker of the second file, and that of the Fourier file which
// FullProf 6.x writes as the second file (capital N).
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

constexpr float kDegree = 0.017453292f;  // pi / 180 in single precision

// Reads on to the next line that begins with `marker` and leaves its first 50
// columns in LSTLINE; false at the end of the file. (Every marker ends in a
// character other than a blank, so comparing the line itself is comparing
// LSTLINE.)
bool seek(TextInput& in, std::string_view marker) {
  std::string_view record;
  while (in.next(record)) {
    if (record.starts_with(marker)) {
      CDATA.LSTLINE.assign(record);
      return true;
    }
  }
  return false;
}

void find(TextInput& in, std::string_view marker) {
  if (!seek(in, marker)) in.fail_end_of_file();
}

// The number a marker line of LSTLINE carries in the columns of `layout`.
std::int32_t number_on_marker_line(const TextInput& in, const Format& layout,
                                   std::string_view what) {
  std::int32_t n = 0;
  read_internal(CDATA.LSTLINE.view(), Origin{in.name(), in.line(), what}, layout, n);
  return n;
}

// Reads on to the next line that begins with `marker` and carries `wanted` in
// the columns of `layout`; lines with another number are passed over. False at
// the end of the file.
bool seek_numbered(TextInput& in, std::string_view marker, const Format& layout,
                   std::int32_t wanted, std::string_view what) {
  while (seek(in, marker)) {
    if (number_on_marker_line(in, layout, what) == wanted) return true;
  }
  return false;
}

void find_numbered(TextInput& in, std::string_view marker, const Format& layout,
                   std::int32_t wanted, std::string_view what, std::string_view noun) {
  in.set_task("looking for " + quoted(marker) + " of " + std::string(noun) + " " +
              std::to_string(wanted));
  if (!seek_numbered(in, marker, layout, wanted, what)) in.fail_end_of_file();
}

// The pattern block of `histogram` and the radiation lines after it.
void find_pattern(TextInput& output, TextInput& parameters) {
  find_numbered(output, kPatternBlock, "(44X,I3)"_fmt, IDATA.histogram, "the pattern number",
                "pattern");

  output.set_task("reading the radiation lines after " + quoted(kPatternBlock));
  read(output, "()"_fmt);
  read(output, "(A)"_fmt, CDATA.LSTLINE);
  LDATA.TOF = false;
  if (CDATA.LSTLINE.cols(26, 32) == "neutron") {
    read(output, "(A)"_fmt, CDATA.LSTLINE);
    if (CDATA.LSTLINE.cols(13, 26) == "Time-Of-Flight") {
      LDATA.TOF = true;
      IDATA.nbank = IDATA.histogram;
      RDATA.twotheta = det_angle(parameters, IDATA.nbank, IDATA.nangles);
    }
  }
}

// First pass: on to " => Run finished", remembering where the last
// " => CYCLE No.:" before it stands. FullProf may print the same cycle number
// twice (a convergence block restarts at "CYCLE No.: 1"), so the place, not
// the number, tells the last cycle. 0: no cycle marker at all.
long last_cycle_line(TextInput& output) {
  output.set_task("looking for " + quoted(kRunFinished));
  long last = 0;
  for (;;) {
    std::string_view record = output.next_required();
    if (record.starts_with(kCycle)) {
      // Decoded all the same: a cycle number that cannot be read is an input failure.
      CDATA.LSTLINE.assign(record);
      number_on_marker_line(output, "(14X,I5)"_fmt, "the cycle number");
      last = output.line();
    }
    if (record.starts_with(kRunFinished)) return last;
  }
}

// A FullProf 6.x cell: each of the six values in columns 1-16 of its line.
void read_whole_cell(const TextInput& output, const std::array<Text<16>, 6>& lines, long first) {
  for (std::size_t k = 0; k < 6; ++k) {
    read_internal(lines[k].view(), Origin{output.name(), first + static_cast<long>(k), "the cell"},
                  "(F16.6)"_fmt, RDATA.CELL[k]);
  }
}

// Second pass: from the first line again to just after the last cycle marker
// (from the first line itself when there was none: the parameters printed
// before any cycle are then the final ones), then phase, profile parameters,
// cell and the table marker of `histogram` and `phase_no`.
void find_table(TextInput& output, long cycle_line) {
  output.rewind();
  output.set_task("returning to the last " + quoted(kCycle) + " marker, line " +
                  std::to_string(cycle_line));
  for (long n = 0; n < cycle_line; ++n) output.next_required();

  find_numbered(output, kPhase, "(9X,I3)"_fmt, IDATA.phase_no, "the phase number", "phase");
  find_numbered(output, kProfile, "(36X,I3)"_fmt, IDATA.histogram, "the pattern number", "pattern");
  output.set_task("looking for " + quoted(kCell));
  find(output, kCell);
  output.set_task("reading the six lines after " + quoted(kCell));
  // One value per line, from columns 1-15. FullProf 6.x writes each value in
  // 16 columns (8 blanks, then 8.478844); its lines are kept to be read again
  // once the table marker shows the file is of that version.
  std::array<Text<16>, 6> cell_lines;
  long first_cell_line = output.line() + 1;
  for (std::size_t k = 0; k < 6; ++k) {
    std::string_view record = output.next_required();
    cell_lines[k].assign(record);
    RecordOf line(output, record);
    read(line, "(F15.6)"_fmt, RDATA.CELL[k]);
  }

  output.set_task("looking for " + quoted(kTable) + " of pattern " +
                  std::to_string(IDATA.histogram) + ", phase " + std::to_string(IDATA.phase_no));
  for (;;) {
    find(output, kTable);
    std::int32_t pattern = 0;
    std::int32_t phase = 0;
    // FullProf 6.x writes "Phase No.:": the colon in column 23, the phase
    // number in columns 24-27.
    const Format& layout = CDATA.LSTLINE.c[22] == ':' ? "(9X,I3,11X,I4)"_fmt : "(9X,I3,10X,I4)"_fmt;
    read_internal(CDATA.LSTLINE.view(),
                  Origin{output.name(), output.line(), "the pattern and phase numbers"}, layout,
                  pattern, phase);
    if (pattern == IDATA.histogram && phase == IDATA.phase_no) {
      if (CDATA.LSTLINE.c[22] == ':') read_whole_cell(output, cell_lines, first_cell_line);
      break;
    }
  }
  output.set_task("reading the line after " + quoted(kTable));
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
struct Reflection {
  std::int32_t h = 0, k = 0, l = 0;
  float io = 0.0f;
  float d = 0.0f;  // d-spacing, time of flight only
};

Reflection decode(const TextInput& output, const Columns& columns) {
  Origin origin{output.name(), output.line(), "a reflection line"};
  std::string_view line = CDATA.REFLINE.view();
  Reflection r;
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
    throw IoFailure{"sfconv: error in " + output.name() + ", line " +
                        std::to_string(output.line()) + ": no table header before this line",
                    "Reflection line before the table header", "READ",
                    std::to_string(output.unit())};
  }
  return r;
}

// The second file: its phase marker found, the form of its records.
enum class Records {
  fixed_columns,  // modulus in columns 13-24, phase angle in 37-48
  fourier,        // FullProf 6.x: h k l modulus phase, blank-separated
};

Records find_second_phase(TextInput& second) {
  std::string of_phase = " of phase " + std::to_string(IDATA.phase_no);
  second.set_task("looking for " + quoted(kSecondPhase) + of_phase);
  if (seek_numbered(second, kSecondPhase, "(11X,I4)"_fmt, IDATA.phase_no, "the phase number")) {
    return Records::fixed_columns;
  }
  second.rewind();
  second.set_task("looking for " + quoted(kSecondPhase) + " or " + quoted(kFourierPhase) +
                  of_phase);
  if (!seek_numbered(second, kFourierPhase, "(11X,I4)"_fmt, IDATA.phase_no, "the phase number")) {
    second.fail_end_of_file();
  }
  return Records::fourier;
}

// What a record of the second file gives. A Fourier file's free-form record
// may end its values with "/": the values it leaves out keep those of the
// record before.
struct Record {
  std::int32_t h = 0, k = 0, l = 0;  // Fourier files only
  float modulus = 0.0f;
  float phi = 0.0f;  // phase angle, degrees
};

std::string hkl(std::int32_t h, std::int32_t k, std::int32_t l) {
  return std::to_string(h) + " " + std::to_string(k) + " " + std::to_string(l);
}

// Reads the record paired with the reflection line `r`; false at the end of
// the second file. A Fourier file's record must carry the line's h, k, l: a
// record missing or added on either side would pair every later reflection
// with the wrong modulus and phase.
bool read_record(TextInput& second, Records form, const TextInput& output, const Reflection& r,
                 Record& rec) {
  if (form == Records::fixed_columns) {
    return read_or_end(second, "(2(12X,F12.4))"_fmt, rec.modulus, rec.phi);
  }
  std::string_view line;
  if (!second.next(line)) return false;
  RecordOf one(second, line);
  read_free(one, rec.h, rec.k, rec.l, rec.modulus, rec.phi);
  if (rec.h != r.h || rec.k != r.k || rec.l != r.l) {
    throw IoFailure{"sfconv: reflection " + hkl(r.h, r.k, r.l) + " on line " +
                        std::to_string(output.line()) + " of " + output.name() + ", but " +
                        hkl(rec.h, rec.k, rec.l) + " on line " + std::to_string(second.line()) +
                        " of " + second.name(),
                    "Reflection mismatch between the output file and the second file", "READ",
                    std::to_string(second.unit())};
  }
  return true;
}

// The table read in step with the second file; returns the number stored.
std::int32_t read_table(TextInput& output, TextInput& second, Records form) {
  output.set_task("reading the reflection table, which ends with a dashed line");
  Columns columns;
  Record rec;
  std::int32_t i = 1;  // the slot of the next reflection stored
  for (;;) {
    CDATA.REFLINE.assign(output.next_required());
    LineKind kind = classify(CDATA.REFLINE, columns);
    if (kind == LineKind::end) return i - 1;
    if (kind != LineKind::reflection) continue;
    Reflection r = decode(output, columns);

    // The record of this line: modulus and phase angle in degrees. The end
    // of the second file ends the table; this line is not stored.
    if (!read_record(second, form, output, r, rec)) return i - 1;

    // A zero intensity drops the reflection; its record is used up all the
    // same, so later lines stay paired with later records.
    if (r.io == 0.0f) continue;

    if (i > MAXREF) {
      throw RecognisedStop{
          format_line("(A,I6)"_fmt, " The number of reflections is greater than", MAXREF)};
    }
    std::size_t s = static_cast<std::size_t>(i - 1);
    IDATA.IH[s] = r.h;
    IDATA.IK[s] = r.k;
    IDATA.IL[s] = r.l;
    RDATA.IO[s] = r.io;
    if (LDATA.TOF) RDATA.WAVE[s] = (r.d + r.d) * sfconv::sin((RDATA.twotheta * 0.5f) * kDegree);
    RDATA.FOABS[s] = rec.modulus;
    float rad = rec.phi * kDegree;
    RDATA.FOR[s] = RDATA.FOABS[s] * sfconv::cos(rad);
    RDATA.FOI[s] = RDATA.FOABS[s] * sfconv::sin(rad);
    ++i;
  }
}

}  // namespace

void fullprof(TextInput& output, TextInput& parameters) {
  find_pattern(output, parameters);
  find_table(output, last_cycle_line(output));

  TextInput second(CDATA.FILEIN2.view(), kSecondFileUnit);
  Records form = find_second_phase(second);
  IDATA.NREF1 = read_table(output, second, form);
  second.close();
}

}  // namespace sfconv
