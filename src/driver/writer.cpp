// The structure-factor file writer.
#include "driver/writer.hpp"

#include <array>
#include <cmath>
#include <span>
#include <string>

#include "driver/run_state.hpp"
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

// A non-finite number in the file is rarely meant: an E or Io of zero, a
// phase fraction of zero, a damaged KOLMEX file.
void warn_nonfinite(const std::array<long, 6>& records) {
  const char* const columns[6] = {"Fo(r)", "Fo(i)", "sigma(|Fo|)", "|Fo|", "Io", "Wavelength"};
  for (std::size_t c = 0; c < 6; ++c) {
    long n = records[c];
    if (n == 0) continue;
    warn(n, n == 1 ? " record has" : " records have", " a non-finite ", columns[c],
         " (written as Infinity or NaN)");
  }
  const auto& R = RDATA;
  long cell = 0;
  for (float v : R.CELL) cell += !std::isfinite(v);
  if (cell > 0) {
    warn("the cell line holds ", cell, cell == 1 ? " non-finite value" : " non-finite values");
  }
  if (IDATA.IAMP == 0 || IDATA.IAMP == 1) {
    std::string which;
    auto check = [&which](float v, const char* name) {
      if (!std::isfinite(v)) which += cat(which.empty() ? "" : ", ", name);
    };
    check(R.TOTAMP, IDATA.IAMP == 0 ? "the total amplitude" : "b+");
    if (IDATA.IAMP == 1) check(R.TOTAMP2, "b-");
    check(R.lambda0, "lambda0");
    check(R.E, "E");
    if (LDATA.TOF) check(R.twotheta, "2theta");
    if (!which.empty()) warn("the header holds a non-finite ", which);
  }
}

}  // namespace

void write_structure_factors(TextOutput& out, float RELVAR) {
  const auto& C = CDATA;
  const auto& I = IDATA;
  const auto& R = RDATA;
  const bool tof = LDATA.TOF;

  write(out, "(A/A)"_fmt, "# Title", C.TITLE.trimmed());
  write(out, "(A/6F10.5)"_fmt, "#        a         b         c     alpha      beta     gamma",
        R.CELL);
  write(out, "(A/2F15.7,I7,3I5,6X,A1)"_fmt, "#          POP1           POP2  IPTYP  JPH  JPK  JPL",
        0.0f, 0.0f, -1, 0, 0, 0, "P");
  write(out, "(A/5I5,4X,A1)"_fmt, "#  NX   NY   NZ  SPG  SET  VOL", I.NX, I.NY, I.NZ, I.SPG, I.SET,
        C.VOL);

  // The text form of E, built in LINE whether or not it is written.
  CDATA.LINE.blank();
  write_internal(CDATA.LINE, "(1P,G13.6,0P)"_fmt, R.E);
  std::string_view e_text = CDATA.LINE.trimmed();

  if (I.IAMP == 0 && !tof) {
    write(out, "(A/F18.3, F13.7/3A, I3)"_fmt, "# Total amplitudes      lambda0", R.TOTAMP,
          R.lambda0, "# E =", e_text, ", Phase No. =", I.phase_no);
  } else if (I.IAMP == 0 && tof) {
    write(out, "(A/F18.3, F13.7/2A, 3(A,I3), A,F7.2)"_fmt, "# Total amplitudes      lambda0",
          R.TOTAMP, R.lambda0, "# E =", e_text, ",  histogram =", I.histogram,
          ",  nbank =", I.nbank, ", Phase No. =", I.phase_no, ",  2theta =", R.twotheta);
  } else if (I.IAMP == 1 && !tof) {
    write(out, "(A/2F15.3, F15.7/3A, I3)"_fmt, "# Total SA b+ & b-                 lambda0",
          R.TOTAMP, R.TOTAMP2, R.lambda0, "# E =", e_text, ", Phase No. =", I.phase_no);
  } else if (I.IAMP == 1 && tof) {
    write(out, "(A/2F15.3, F15.7/2A, 3(A,I3), A,                         F7.2)"_fmt,
          "# Total SA b+ & b-                 lambda0", R.TOTAMP, R.TOTAMP2, R.lambda0,
          "# E =", e_text, ",  histogram =", I.histogram, ",  nbank =", I.nbank,
          ", Phase No. =", I.phase_no, ", 2theta =", R.twotheta);
  }

  write(out, "(A/I5)"_fmt, "# NREF1", I.NREF1);
  if (tof) {
    write(out, "(A)"_fmt,
          "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io"
          "  Wavelength");
  } else {
    write(
        out, "(A)"_fmt,
        "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io");
  }

  // Values written as Infinity or NaN, by column of the records.
  std::array<long, 6> nonfinite{};
  const auto stored = static_cast<int>(R.FOABS.size());
  const auto given = static_cast<int>(R.SIGMA.size());  // the reader's own sigma(|Fo|)
  for (int i = 0; i < I.NREF1 && i < stored; ++i) {
    float sigma = i < given ? R.SIGMA[i] : sigma_fo(R.E, R.IO[i], R.FOABS[i], RELVAR);
    const float values[6] = {R.FOR[i],   R.FOI[i], sigma,
                             R.FOABS[i], R.IO[i],  tof ? R.WAVE[i] : 0.0f};
    for (std::size_t c = 0; c < 6; ++c) nonfinite[c] += !std::isfinite(values[c]);
    if (tof) {
      write(out, "(3I5, 4F15.3, 1P,G12.4,0P, F12.4)"_fmt, I.IH[i], I.IK[i], I.IL[i], R.FOR[i],
            R.FOI[i], sigma, R.FOABS[i], R.IO[i], R.WAVE[i]);
    } else {
      write(out, "(3I5, 4F15.3, 1P,G12.4,0P)"_fmt, I.IH[i], I.IK[i], I.IL[i], R.FOR[i], R.FOI[i],
            sigma, R.FOABS[i], R.IO[i]);
    }
  }
  warn_nonfinite(nonfinite);
}

}  // namespace sfconv
