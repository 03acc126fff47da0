// The run state: the one record every routine of a run shares, by field name.
// Four records by element type, all zero at process start.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "textio/det_angle.hpp"
#include "textio/text_field.hpp"

namespace sfconv {

// The most reflections a reader stores: 2000 unless --max-reflections sets
// another limit, from 1 to 99,999: the output's count NREF1 is a field of
// five digits (I5), and a larger count could not be written truthfully. The
// reflection arrays grow as reflections are stored; entry i of every array
// describes the same reflection (index 0 is the first reflection).
inline constexpr std::int32_t kDefaultMaxReflections = 2000;
inline constexpr std::int32_t kMostMaxReflections = 99999;
extern std::int32_t MAXREF;

struct CharData {
  Text<512> FILEIN;   // the refinement program's file; its extension picks the reader
  Text<512> FILEIN2;  // FullProf's second file (moduli and phase angles)
  Text<512> FILEOUT;  // the structure-factor file
  Text<512> FILEPAR;  // the parameter file, from the command line
  Text<512> LINE;     // parameter line being decoded; scratch for readers and writer
  Text<70> TITLE;
  Text<1> VOL;        // code written under the label VOL
  Text<50> LSTLINE;   // first 50 columns of the listing line being examined
  Text<3> DIFTYP;     // GSAS diffraction type: PXC, PNC or PNT
  Text<128> REFLINE;  // first 128 columns of a reflection-table line
  Text<1> PROG;       // reader: 'G' GSAS, 'F' FullProf, 'R' KOLMEX
};

struct IntData {
  std::vector<std::int32_t> IH, IK, IL;
  std::int32_t histogram;  // histogram (pattern) to convert
  std::int32_t IAMP;       // 0: one total amplitude; 1: two (b+ and b-)
  std::int32_t NREF1;      // reflections held (a KOLMEX file may give a negative count)
  std::int32_t NX, NY, NZ;
  std::int32_t SPG, SET;
  std::int32_t nbank;    // detector bank (time of flight)
  std::int32_t nangles;  // angles on the detector-angle line
  std::int32_t phase_no;
};

struct LogData {
  bool TOF;  // neutron time-of-flight data
};

struct RealData {
  float lambda;   // GSAS wavelength (constant wavelength)
  float lambda0;  // wavelength written to the header
  std::vector<float> FOR, FOI, FOABS, IO, WAVE;
  // sigma(|Fo|) of every reflection, when the reader takes it from the file
  // (CIF); empty otherwise, and the writer computes it from E and Io.
  std::vector<float> SIGMA;
  float twotheta;     // 2theta of the detector bank, degrees (time of flight)
  AngleTable angles;  // the detector-angle line: 2theta of banks 1 to 25
  float TOTAMP, TOTAMP2;
  float E;
  std::array<float, 6> CELL;  // a, b, c, alpha, beta, gamma
  float PHFRAC;               // GSAS phase fraction
};

// The parameter-file lines that gave the values a reader checks against its
// file, so that a message can name them (0 until read).
struct ParameterLines {
  long lambda0;
  long histogram;
  long phase_no;
};

extern CharData CDATA;
extern IntData IDATA;
extern LogData LDATA;
extern RealData RDATA;
extern ParameterLines PARLINES;

// A reflection as a reader hands it over.
struct Reflection {
  std::int32_t h = 0, k = 0, l = 0;
  float FOR = 0.0f, FOI = 0.0f, FOABS = 0.0f, IO = 0.0f;
  float WAVE = 0.0f;  // time of flight only
};

// Whether `count` reflections are within the limit.
inline bool room_for(std::int64_t count) {
  return count <= MAXREF;
}

// Stops the run when a reader has more reflections than the limit; `where`
// (without "sfconv: ") says where they were met and whose they are, and the
// standard-error line goes on to name --max-reflections.
[[noreturn]] void stop_too_many_reflections(const std::string& where);

// Room for n reflections (the limit at most), for a reader that knows how
// many may come: the arrays then grow without being moved.
void reserve_reflections(std::int64_t n);

// Stores reflection i (0 = the first), for which room_for(i + 1) holds.
void store_reflection(std::int32_t i, const Reflection& r);
// The same with its sigma(|Fo|), for a reader that gives it for every
// reflection it stores.
void store_reflection(std::int32_t i, const Reflection& r, float sigma);

// Back to the state of a new process (a run performs one conversion; tools
// that run several in one process reset between them).
void reset_run_state();

}  // namespace sfconv
