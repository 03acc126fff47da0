// The structure-factor file writer.
#include "run/writer.hpp"

#include <array>
#include <cmath>
#include <span>
#include <string>

#include "run/run_state.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/report.hpp"

namespace sfconv {

float sigma_fo(float E, float io, float foabs, float RELVAR) {
  float p = E * io;
  float q = 1.0f / p;
  float r = q + RELVAR;
  float t = std::sqrt(r);  // correctly rounded by IEEE 754, the same on every machine
  return (foabs * 0.5f) * t;
}

namespace {

// What can be wrong with a value as written, worth a warning each: the file
// still holds every line, but a reader of it would be misled.
enum Fault { kAsterisks, kNonFinite, kTouching, kNegative, kFaults };

const char* const kFaultText[kFaults] = {
    "is too wide for its field (written as asterisks)",
    "is not a finite number (written as Infinity or NaN)",
    "fills its field, with no blank before it",
    "is negative",
};

// A field of a header line: its name, its place among the write's items, and
// its value when it is a real.
struct HeaderField {
  const char* name;
  int item;
  float value = 0.0f;
};

// Warns of the faults of one header line, `line` of the file, field by field.
void check_header_line(const TextOutput& out, long line, const char* what, FieldFaults faults,
                       std::initializer_list<HeaderField> fields, bool reals) {
  for (const HeaderField& f : fields) {
    const std::uint32_t bit = std::uint32_t{1} << f.item;
    int fault = kFaults;
    if (reals && !std::isfinite(f.value)) {
      fault = kNonFinite;
    } else if (faults.asterisks & bit) {
      fault = kAsterisks;
    } else if (faults.touching & bit) {
      fault = kTouching;
    }
    if (fault != kFaults) {
      warn(f.name, " ", kFaultText[fault], " in ", out.name(), ", line ", line, " (", what, ")");
    }
  }
}

// The columns of a record, in the order of its items.
constexpr int kColumns = 9;
const char* const kColumnName[kColumns] = {"h",           "k",    "l",  "Fo(r)",     "Fo(i)",
                                           "sigma(|Fo|)", "|Fo|", "Io", "Wavelength"};

// How many records have a fault in a column, and the first of them.
struct ColumnFault {
  long count = 0;
  int first = 0;  // index of the reflection
  long line = 0;  // its line in the file
};

class RecordFaults {
 public:
  void tally(int fault, int column, int i, long line) {
    ColumnFault& c = faults_[fault][column];
    if (c.count++ == 0) {
      c.first = i;
      c.line = line;
    }
  }
  // A warning for each fault and column met, naming the first reflection.
  void warn_all(const std::string& file) const {
    for (int fault = 0; fault < kFaults; ++fault) {
      for (int column = 0; column < kColumns; ++column) {
        const ColumnFault& c = faults_[fault][column];
        if (c.count == 0) continue;
        const int i = c.first;
        warn(kColumnName[column], " ", kFaultText[fault], " in ", c.count,
             c.count == 1 ? " record of " : " records of ", file,
             c.count == 1 ? ", " : ", the first ", "h k l = ", IDATA.IH[i], " ", IDATA.IK[i], " ",
             IDATA.IL[i], " (line ", c.line, ")");
      }
    }
  }

 private:
  std::array<std::array<ColumnFault, kColumns>, kFaults> faults_{};
};

}  // namespace

void write_structure_factors(TextOutput& out, float RELVAR) {
  const auto& C = CDATA;
  const auto& I = IDATA;
  const auto& R = RDATA;
  const bool tof = LDATA.TOF;

  write(out, "(A/A)"_fmt, "# Title", C.TITLE.trimmed());
  FieldFaults f = write(out, "(A/6F10.5)"_fmt,
                        "#        a         b         c     alpha      beta     gamma", R.CELL);
  check_header_line(out, out.records(), "the cell", f,
                    {{"a", 1, R.CELL[0]},
                     {"b", 2, R.CELL[1]},
                     {"c", 3, R.CELL[2]},
                     {"alpha", 4, R.CELL[3]},
                     {"beta", 5, R.CELL[4]},
                     {"gamma", 6, R.CELL[5]}},
                    true);
  write(out, "(A/2F15.7,I7,3I5,6X,A1)"_fmt, "#          POP1           POP2  IPTYP  JPH  JPK  JPL",
        0.0f, 0.0f, -1, 0, 0, 0, "P");
  f = write(out, "(A/5I5,4X,A1)"_fmt, "#  NX   NY   NZ  SPG  SET  VOL", I.NX, I.NY, I.NZ, I.SPG,
            I.SET, C.VOL);
  check_header_line(out, out.records(), "the grid line", f,
                    {{"NX", 1}, {"NY", 2}, {"NZ", 3}, {"SPG", 4}, {"SET", 5}}, false);

  // The text form of E, built in LINE whether or not it is written.
  CDATA.LINE.blank();
  write_internal(CDATA.LINE, "(1P,G13.6,0P)"_fmt, R.E);
  std::string_view e_text = CDATA.LINE.trimmed();

  if (I.IAMP == 0 && !tof) {
    f = write(out, "(A/F18.3, F13.7/3A, I3)"_fmt, "# Total amplitudes      lambda0", R.TOTAMP,
              R.lambda0, "# E =", e_text, ", Phase No. =", I.phase_no);
    check_header_line(out, out.records() - 1, "the amplitude line", f,
                      {{"the total amplitude", 1, R.TOTAMP}, {"lambda0", 2, R.lambda0}}, true);
    check_header_line(out, out.records(), "the E line", f, {{"E", 4, R.E}}, true);
    check_header_line(out, out.records(), "the E line", f, {{"the phase number", 6}}, false);
  } else if (I.IAMP == 0 && tof) {
    f = write(out, "(A/F18.3, F13.7/2A, 3(A,I3), A,F7.2)"_fmt, "# Total amplitudes      lambda0",
              R.TOTAMP, R.lambda0, "# E =", e_text, ",  histogram =", I.histogram,
              ",  nbank =", I.nbank, ", Phase No. =", I.phase_no, ",  2theta =", R.twotheta);
    check_header_line(out, out.records() - 1, "the amplitude line", f,
                      {{"the total amplitude", 1, R.TOTAMP}, {"lambda0", 2, R.lambda0}}, true);
    check_header_line(out, out.records(), "the E line", f,
                      {{"E", 4, R.E}, {"2theta", 12, R.twotheta}}, true);
    check_header_line(out, out.records(), "the E line", f,
                      {{"the histogram", 6}, {"nbank", 8}, {"the phase number", 10}}, false);
  } else if (I.IAMP == 1 && !tof) {
    f = write(out, "(A/2F15.3, F15.7/3A, I3)"_fmt, "# Total SA b+ & b-                 lambda0",
              R.TOTAMP, R.TOTAMP2, R.lambda0, "# E =", e_text, ", Phase No. =", I.phase_no);
    check_header_line(out, out.records() - 1, "the amplitude line", f,
                      {{"b+", 1, R.TOTAMP}, {"b-", 2, R.TOTAMP2}, {"lambda0", 3, R.lambda0}}, true);
    check_header_line(out, out.records(), "the E line", f, {{"E", 5, R.E}}, true);
    check_header_line(out, out.records(), "the E line", f, {{"the phase number", 7}}, false);
  } else if (I.IAMP == 1 && tof) {
    f = write(out, "(A/2F15.3, F15.7/2A, 3(A,I3), A,                         F7.2)"_fmt,
              "# Total SA b+ & b-                 lambda0", R.TOTAMP, R.TOTAMP2, R.lambda0,
              "# E =", e_text, ",  histogram =", I.histogram, ",  nbank =", I.nbank,
              ", Phase No. =", I.phase_no, ", 2theta =", R.twotheta);
    check_header_line(out, out.records() - 1, "the amplitude line", f,
                      {{"b+", 1, R.TOTAMP}, {"b-", 2, R.TOTAMP2}, {"lambda0", 3, R.lambda0}}, true);
    check_header_line(out, out.records(), "the E line", f,
                      {{"E", 5, R.E}, {"2theta", 13, R.twotheta}}, true);
    check_header_line(out, out.records(), "the E line", f,
                      {{"the histogram", 7}, {"nbank", 9}, {"the phase number", 11}}, false);
  }

  f = write(out, "(A/I5)"_fmt, "# NREF1", I.NREF1);
  check_header_line(out, out.records(), "the count", f, {{"NREF1", 1}}, false);
  if (tof) {
    write(out, "(A)"_fmt,
          "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io"
          "  Wavelength");
  } else {
    write(
        out, "(A)"_fmt,
        "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io");
  }

  RecordFaults faults;
  const auto stored = static_cast<int>(R.FOABS.size());
  const auto given = static_cast<int>(R.SIGMA.size());  // the reader's own sigma(|Fo|)
  for (int i = 0; i < I.NREF1 && i < stored; ++i) {
    float sigma = i < given ? R.SIGMA[i] : sigma_fo(R.E, R.IO[i], R.FOABS[i], RELVAR);
    if (tof) {
      f = write(out, "(3I5, 4F15.3, 1P,G12.4,0P, F12.4)"_fmt, I.IH[i], I.IK[i], I.IL[i], R.FOR[i],
                R.FOI[i], sigma, R.FOABS[i], R.IO[i], R.WAVE[i]);
    } else {
      f = write(out, "(3I5, 4F15.3, 1P,G12.4,0P)"_fmt, I.IH[i], I.IK[i], I.IL[i], R.FOR[i],
                R.FOI[i], sigma, R.FOABS[i], R.IO[i]);
    }
    // The reals of the record, columns 3 on.
    const float reals[6] = {R.FOR[i], R.FOI[i], sigma, R.FOABS[i], R.IO[i], R.WAVE[i]};
    const long line = out.records();
    for (int c = 0; c < (tof ? kColumns : kColumns - 1); ++c) {
      const std::uint32_t bit = std::uint32_t{1} << c;
      if (c >= 3 && !std::isfinite(reals[c - 3])) {
        faults.tally(kNonFinite, c, i, line);
      } else if (f.asterisks & bit) {
        faults.tally(kAsterisks, c, i, line);
      } else if (f.touching & bit) {
        faults.tally(kTouching, c, i, line);
      }
    }
    if (R.FOABS[i] < 0.0f) faults.tally(kNegative, 6, i, line);
    if (R.IO[i] < 0.0f) faults.tally(kNegative, 7, i, line);
  }
  faults.warn_all(out.name());
}

}  // namespace sfconv
