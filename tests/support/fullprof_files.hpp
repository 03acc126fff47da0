// Test support: FullProf outputs and second files built line by line in the
// layouts older FullProf versions write, so that fixtures read like what they
// hold: pattern blocks, refinement cycles, the reflection table, the records
// of moduli and phase angles.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace sfconv::test::fullprof {

// One line made by printf, with its line feed.
template <typename... A>
std::string line(const char* format, A... values) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, values...);
  return std::string(buf) + "\n";
}

inline const std::string kRule =
    " ------------------------------------------------------------------------------------------\n";

inline std::string preamble() {
  return " => PCR file code: run\n"
         " => DAT file code: run.dat            -> Relative contribution: 1.0000\n"
         "\n";
}

// The pattern block: its marker, a line passed over, the radiation line and
// the line after it ("neutron" in columns 26-32, "Time-Of-Flight" in 13-26).
inline std::string pattern_block(int pattern, const char* radiation = "X-ray",
                                 bool time_of_flight = false) {
  return line(" ==> CONDITIONS OF THIS RUN FOR PATTERN No.:%3d", pattern) + "\n" +
         " => Global Refinement of " + radiation + " powder data\n" +
         (time_of_flight ? " => Neutron Time-Of-Flight data\n" : " => Title: Silicon standard\n") +
         " => Number of phases:    1\n\n";
}

inline std::string cycle_marker(int cycle) {
  std::string s = "\n";
  return s.append(line(" => CYCLE No.:%5d", cycle));
}

inline std::string phase_block(int phase) {
  return kRule + line(" => Phase%3d Name: Silicon", phase) + kRule +
         " => New parameters, shifts, and standard deviations\n\n"
         " Si       0.12500 0.00000 0.00000  0.12500 0.00000 0.00000  0.12500 0.00000 0.00000\n\n";
}

// The profile parameters of a pattern with a cubic cell of edge a; each cell
// value stands in columns 1-15.
inline std::string profile(int pattern, double a) {
  std::string s = line(" ==> PROFILE PARAMETERS FOR PATTERN#%3d", pattern) + "\n" +
                  " => Overall scale factor:      1.234567   0.000000   0.001234\n" +
                  " => Cell parameters: \n";
  for (double v : {a, a, a, 90.0, 90.0, 90.0}) s += line("%15.6f%12.6f%12.6f", v, 0.0, 0.00015);
  return s + " => Preferred orientation: \n\n";
}

inline std::string cycle(int number, double a, int phase = 1, int pattern = 1) {
  return cycle_marker(number) + phase_block(phase) + profile(pattern, a);
}

// " Pattern#" with the pattern in columns 10-12 and the phase in 23-26.
inline std::string table_marker(int pattern, int phase) {
  return kRule + line(" Pattern#%3d Phase No.%4d Phase name: Silicon", pattern, phase) + kRule;
}

inline const std::string kNarrowHeader =
    " No.  Code     H   K   L  Mult     Hw         2theta      Icalc       Iobs      Sigma"
    "      HwG     HwL       ETA       d-hkl        CORR\n";
inline const std::string kWideHeader =
    " No.  Code     H   K   L  Mult      Hw         2theta      Fcalc     Icalc       Iobs"
    "      Sigma\n";
inline const std::string kTofHeader =
    " No.  Code     H   K   L  Mult     Hw     2theta/TOF      Icalc       Iobs      Sigma"
    "    HwG     HwL     ETA     d-hkl  TOF_alpha  TOF_beta     CORR\n";

// Reflection lines: h, k, l in columns 13-24; Iobs in 64-74 (narrow and time
// of flight) or 74-84 (wide); d-hkl in 110-119 (time of flight). Icalc differs
// from Iobs, so that a line read in the wrong columns gives another intensity.
inline std::string narrow(int no, int h, int k, int l, double iobs) {
  return line("%5d%4d%7d%4d%4d%6d%10.6f%12.3f%11.1f%11.1f%11.3f%10.6f%10.6f%10.6f%10.6f%14.6f", no,
              1, h, k, l, 8, 0.634867, 20.0 + no, iobs * 1.25 + 3.0, iobs, 9.087, 0.584689,
              0.093224, 0.190651, 2.5, 64.338913);
}

inline std::string wide(int no, int h, int k, int l, double iobs) {
  return line("%5d%4d%7d%4d%4d%6d%11.6f%12.3f%10.4f%10.1f%11.1f%11.3f", no, 1, h, k, l, 8, 0.634867,
              20.0 + no, 12.3456, iobs * 1.25 + 3.0, iobs, 9.087);
}

inline std::string tof(int no, int h, int k, int l, double iobs, double d) {
  return line("%5d%4d%7d%4d%4d%6d%10.3f%12.3f%11.1f%11.1f%11.3f%8.3f%8.3f%8.3f%10.6f%10.6f%10.6f",
              no, 1, h, k, l, 16, 10.895, 3000.0 + no, iobs * 1.25 + 3.0, iobs, 832.239, 10.738,
              0.294, 0.036, d, 0.610707, 0.081844);
}

inline std::string table_end() {
  return "\n"
         "     -----------------------------------------------------\n"
         "     BRAGG R-Factors and weight fractions for Pattern #  1\n"
         "     -----------------------------------------------------\n"
         "\n"
         " => Phase:  1     Silicon\n"
         " => Bragg R-factor:   4.12       Vol:  160.190( 0.010)  Fract(%):  100.00( 0.50)\n";
}

inline std::string run_finished() {
  return "\n => Run finished at:     Date: 12/03/2024  Time: 10:28:47.659\n";
}

// A record of the second file: modulus in columns 13-24, phase angle in 37-48.
struct Record {
  int h, k, l;
  double modulus, phase;
};

inline std::string second_file(int phase, const std::vector<Record>& records) {
  std::string s = " Structure factors of run\n" + line(" Phase no.:%4d Silicon", phase);
  for (const Record& r : records) {
    s += line("%4d%4d%4d%12.4f%12.4f%12.4f", r.h, r.k, r.l, r.modulus, r.modulus * 0.98, r.phase);
  }
  return s;
}

// FullProf 6.x: the table marker reads "Phase No.:", its colon in column 23
// and the phase number in columns 24-27; the whole table, headers included,
// stands two columns further right.
inline std::string table_marker6(int pattern, int phase) {
  return kRule + line(" Pattern#%3d Phase No.:%4d Phase name: Silicon", pattern, phase) + kRule;
}

inline std::string shifted(const std::string& table_line) {
  return "  " + table_line;
}

// The Fourier file FullProf 6.x writes as the second file: " Phase No.:"
// with a capital N, then h, k, l, modulus and phase angle per line.
inline std::string fourier_file(int phase, const std::vector<Record>& records) {
  std::string s = line(" Phase No.:%4d Silicon", phase);
  for (const Record& r : records) {
    s += line("%4d%4d%4d%8.2f%8.2f", r.h, r.k, r.l, r.modulus, r.phase);
  }
  return s;
}

}  // namespace sfconv::test::fullprof
