// The run state: the one record every routine of a run shares, by field name.
// Four records by element type, all zero at process start.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "textio/det_angle.hpp"
#include "textio/text_field.hpp"

namespace sfconv {

// The reflection arrays hold this many entries; entry i of every array
// describes the same reflection (index 0 is the first reflection).
inline constexpr int MAXREF = 2000;

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
  std::array<std::int32_t, MAXREF> IH, IK, IL;
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
  std::array<float, MAXREF> FOR, FOI, FOABS, IO, WAVE;
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

// Whether the reflection arrays hold `count` reflections.
constexpr bool room_for(std::int64_t count) {
  return count <= MAXREF;
}

// Stops the run when a reader has more reflections than the arrays hold;
// `where` (without "sfconv: ") says where they were met and whose they are.
[[noreturn]] void stop_too_many_reflections(const std::string& where);

// Stores reflection i (0 = the first), for which room_for(i + 1) holds.
void store_reflection(std::int32_t i, const Reflection& r);

// Back to the state of a new process (a run performs one conversion; tools
// that run several in one process reset between them).
void reset_run_state();

}  // namespace sfconv
