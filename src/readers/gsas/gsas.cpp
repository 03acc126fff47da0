// GSAS listings. The reader walks the listing once, forward, from section to
// section: the histogram's line under the diffractometer constants (and for
// time of flight its " Hstgm" bank line), the end of the refinement, the phase
// fraction, the lattice parameters, and then the histogram's reflection list.
// Each section is found by fixed text in fixed columns; everything between the
// sections (cycles, shift tables, statistics) is read and passed over.
#include "readers/gsas/gsas.hpp"

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "driver/report.hpp"
#include "driver/run_state.hpp"
#include "readers/structure_factor.hpp"
#include "textio/det_angle.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"

namespace sfconv {

namespace {

constexpr std::string_view kConstants = " Diffractometer constants for powder data:";
constexpr std::string_view kBankLine = " Hstgm";
constexpr std::string_view kChiSquared = " Reduced CHI**2 =";
constexpr std::string_view kScaleFactors = " Histogram scale factors:";
constexpr std::string_view kFractions = " Phase/element fractions for phase no.";
constexpr std::string_view kLattice =
    "                 a         b         c       alpha     beta      gamma";
constexpr std::string_view kDataHeading = " Histogram";  // and "data" in columns 15-18

// The fraction line gives 15 columns to each histogram, from column 15 on;
// histogram 33's field is the last inside the 512-column line.
constexpr std::int32_t kLastFractionColumn = 33;

// The next listing line into a field, cut or blank-padded to its width: what
// the read "(A)" does, without the format machinery (listings are long). The
// end of the listing is the end-of-file report, naming the stream's task.
template <std::size_t N>
void read_line(TextInput& listing, Text<N>& field) {
  field.assign(listing.next_required());
}

// The next line, read and ignored: the read "()".
void skip_line(TextInput& listing) {
  listing.next_required();
}

// Reads on to the line that begins with `marker` and leaves it in LSTLINE.
// Only that line is copied: the searches pass over whole refinement cycles and
// the lists of other histograms. (No marker ends in a blank, so comparing the
// line is comparing LSTLINE.)
void find(TextInput& listing, std::string_view marker) {
  listing.set_task(cat("looking for ", quoted(marker)));
  std::string_view record;
  listing.find_marker(record, {marker});
  CDATA.LSTLINE.assign(record);
}

// Columns first..last of a line, as a field padded with blanks would hold them.
bool columns_are(std::string_view line, std::size_t first, std::string_view text) {
  return line.size() >= first - 1 + text.size() && line.substr(first - 1, text.size()) == text;
}

// GSAS marks a time-of-flight histogram's detector bank on a line such as
// " Hstgm  2 PNT  3 ...": the histogram in columns 8-9, the bank in 16-17.
long bank_line(TextInput& listing) {
  listing.set_task(
      cat("looking for the ", quoted(kBankLine), " line of PNT histogram ", IDATA.histogram));
  const Text<50>& line = CDATA.LSTLINE;
  std::string_view record;
  for (;;) {
    listing.find_marker(record, {kBankLine});
    if (!columns_are(record, 11, "PNT")) continue;
    CDATA.LSTLINE.assign(record);
    std::int32_t number = 0;
    read_internal(line.view(), line_origin(listing, "histogram number"), "(7X,I2)"_fmt, number);
    if (number != IDATA.histogram) continue;
    read_internal(line.view(), line_origin(listing, "bank number"), "(15X,I2)"_fmt, IDATA.nbank);
    return listing.line();
  }
}

// The histogram's line in the diffractometer constants: its type, and its
// wavelength or detector bank. Under the heading the lines come in pairs
// (a blank or caption line, then the histogram's line); only the second line
// of each pair carries a histogram number in columns 1-3.
void diffractometer_constants(TextInput& listing, TextInput& parameters, GsasWorking& w) {
  find(listing, kConstants);
  listing.set_task(
      cat("looking for the line of histogram ", IDATA.histogram, " after ", quoted(kConstants)));
  for (;;) {
    skip_line(listing);
    read_line(listing, CDATA.LSTLINE);
    std::int32_t number = 0;
    read_internal(CDATA.LSTLINE.view(), line_origin(listing, "histogram number"), "(I3)"_fmt,
                  number);
    if (number == IDATA.histogram) break;
  }
  CDATA.DIFTYP.assign(CDATA.LSTLINE.cols(6, 8));
  const std::string_view type = CDATA.DIFTYP.view();

  // Only these three types have a Lorentz-polarization factor; any other,
  // constant wavelength or not, stops here, before a parameter line is read.
  if (type != "PXC" && type != "PNC" && type != "PNT") {
    stop_at(format_line("(2A)"_fmt, " Invalid diffraction type: ", CDATA.DIFTYP), listing.name(),
            listing.line(), "histogram ", IDATA.histogram, " has the diffraction type ",
            quote_line(CDATA.DIFTYP.view()), "; sfconv converts PXC, PNC and PNT histograms");
  }
  if (type[2] == 'C') {
    LDATA.TOF = false;
    read_internal(CDATA.LSTLINE.view(), line_origin(listing, "wavelength"), "(9X,F10.7)"_fmt,
                  RDATA.lambda);
    if (type == "PXC") {
      float polarization = 0.0f;
      float monochromator = 0.0f;
      value_line(parameters, CDATA.LINE, "polarization", polarization, monochromator);
      w.pm = polarization * monochromator;
      w.one_minus_p = 1.0f - polarization;
    }
  } else {
    LDATA.TOF = true;
    const long bank_line_number = bank_line(listing);
    RDATA.twotheta = det_angle(parameters, IDATA.nbank, IDATA.nangles, RDATA.angles,
                               cat("histogram ", IDATA.histogram, " of ", listing.name(), " (line ",
                                   bank_line_number, ")"));
  }
}

// After the refinement GSAS prints either the histogram scale factors or the
// phase fractions, three lines below their heading, 15 columns per histogram.
void phase_fraction(TextInput& listing, GsasWorking& w) {
  listing.set_task(cat("looking for ", quoted(kScaleFactors), " or ", quoted(kFractions)));
  std::string_view record;
  const int which = listing.find_marker(record, {kScaleFactors, kFractions});
  CDATA.LSTLINE.assign(record);
  if (which == 0) {
    w.fraction_found = false;
    return;
  }
  listing.set_task(cat("reading the phase fractions under ", quoted(kFractions)));
  skip_line(listing);
  skip_line(listing);
  read_line(listing, CDATA.LINE);
  const std::int32_t n = IDATA.histogram;
  if (n < 1 || n > kLastFractionColumn) {
    // No fraction column of this histogram inside the line: no fraction.
    w.fraction_found = false;
    return;
  }
  const std::size_t first = static_cast<std::size_t>(15 * n);
  read_internal(CDATA.LINE.cols(first, first + 7), line_origin(listing, "phase fraction"),
                "(F8.6)"_fmt, RDATA.PHFRAC);
  w.fraction_found = true;
}

void lattice_parameters(TextInput& listing) {
  listing.set_task(cat("looking for the lattice heading ", quoted(kLattice)));
  std::string_view record;
  listing.find_marker(record, {kLattice});
  CDATA.LINE.assign(record);
  listing.set_task("reading the lattice parameters under the lattice heading");
  read(listing, "(11X,3F10.6,3F10.3)"_fmt, RDATA.CELL);
}

// Finds the data heading (" Histogram  2 data ...") that opens the
// histogram's reflection list and leaves the listing at the list's first
// record. False when the listing ends first.
//
// For constant wavelength the first heading is taken. For time of flight the
// heading must name the histogram; GSAS prints the column caption under the
// first heading of the list only, so a line is skipped only when no other
// histogram's heading came before.
bool data_block(TextInput& listing) {
  listing.set_task(cat("reading the line under the data heading of histogram ", IDATA.histogram));
  const Text<50>& line = CDATA.LSTLINE;
  bool other_seen = false;
  std::string_view record;
  for (;;) {
    if (listing.seek_marker(record, {kDataHeading}) < 0) return false;
    if (!columns_are(record, 15, "data")) continue;
    CDATA.LSTLINE.assign(record);
    if (!LDATA.TOF) break;
    std::int32_t number = 0;
    read_internal(line.view(), line_origin(listing, "histogram number"), "(11X,I2)"_fmt, number);
    if (number != IDATA.histogram) {
      other_seen = true;
      continue;
    }
    if (other_seen) return true;
    break;
  }
  skip_line(listing);
  return true;
}

// The reflection list: records up to a blank line, the end of the listing, or
// a page header after which the list does not go on. GSAS breaks the list
// with a page header ("1" in column 1, "REFLIST" in columns 69-75) and a title
// line; the third line is the column caption when the list goes on, or begins
// with six blanks when the list has ended.
void reflection_list(TextInput& listing, const GsasWorking& w) {
  listing.set_task("reading a page header of the reflection list");
  // In 64 bits: a phase number whose code lies outside 32 bits matches nothing.
  const std::int64_t wanted = std::int64_t{IDATA.phase_no} * 1000 + 21;
  const Text<128>& line = CDATA.REFLINE;
  int n = 0;
  std::string_view record;
  while (listing.next(record)) {
    CDATA.REFLINE.assign(record);

    if (line.c[0] == '1' && line.cols(69, 75) == "REFLIST") {
      skip_line(listing);
      read_line(listing, CDATA.LSTLINE);
      if (CDATA.LSTLINE.cols(1, 6) == "      ") {
        skip_line(listing);
        break;
      }
      continue;
    }
    if (line.is_blank()) break;

    GsasRecord r;
    float unused_e1 = 0.0f;
    float unused_e2 = 0.0f;
    std::array<float, 4> unused_f{};
    read_internal(line.view(), line_origin(listing, "reflection record"),
                  "(6X,3I3,I4,I5,F8.5,4E10.3,F6.1,4F10.4)"_fmt, r.h, r.k, r.l, r.multiplicity,
                  r.code, r.d, r.intensity, unused_e1, r.amplitude, unused_e2, r.phase, unused_f);
    if (r.code != wanted) {
      ++REPORT.dropped_code;
      continue;
    }
    if (!(r.intensity > 0.0f) || !(r.amplitude > 0.0f)) {
      ++REPORT.dropped_f2;
      continue;
    }
    if (!room_for(n + 1)) {
      stop_too_many_reflections(cat(
          place(listing.name(), listing.line()), "histogram ", IDATA.histogram, " has more than ",
          MAXREF, " reflections of phase ", IDATA.phase_no, ", the most sfconv holds"));
    }
    gsas_store(n, r, w);
    ++n;
  }
  IDATA.NREF1 = n;
}

}  // namespace

float gsas_store(int i, const GsasRecord& r, const GsasWorking& w) {
  const std::string_view type = CDATA.DIFTYP.view();
  float intensity = r.intensity;
  float amplitude = r.amplitude;
  if (type[1] == 'N') {  // neutron F^2 are listed in units of 100
    intensity = intensity * 100.0f;
    amplitude = amplitude * 100.0f;
    if (w.fraction_found) intensity = intensity / RDATA.PHFRAC;
  }

  Reflection stored{r.h, r.k, r.l};
  const float lp =
      lorentz_polarization(type, r.d, RDATA.lambda, RDATA.twotheta, w.pm, w.one_minus_p);
  if (type == "PNT") stored.WAVE = tof_wavelength(r.d, RDATA.twotheta);
  set_structure_factor(stored, std::sqrt(amplitude), r.phase);
  stored.IO = (static_cast<float>(r.multiplicity) * lp) * intensity;
  store_reflection(i, stored);
  return lp;
}

void gsas(TextInput& listing, TextInput& parameters) {
  GsasWorking w;
  note("read GSAS listing ", listing.name());
  diffractometer_constants(listing, parameters, w);
  std::string histogram = cat("histogram ", IDATA.histogram, " (", CDATA.DIFTYP.view(), ")");
  if (LDATA.TOF)
    histogram += cat(", bank ", IDATA.nbank, " at 2theta ", angle_text(RDATA.twotheta));
  note(histogram, ", phase ", IDATA.phase_no);
  find(listing, kChiSquared);
  note("end of the refinement: line ", listing.line(), " ", quote_line(CDATA.LSTLINE.view()));
  phase_fraction(listing, w);
  if (CDATA.DIFTYP.view()[1] == 'N') {
    if (w.fraction_found) {
      note("phase fraction ", format_line("(F8.6)"_fmt, RDATA.PHFRAC));
    } else {
      note("no phase fraction: the neutron F^2 are not divided");
    }
  }
  lattice_parameters(listing);
  if (!data_block(listing)) {
    IDATA.NREF1 = 0;  // no list for the histogram: a file without reflections
    REPORT.no_reflection_why =
        cat(listing.name(), " has no reflection list for histogram ", IDATA.histogram);
    return;
  }
  reflection_list(listing, w);
  if (IDATA.NREF1 == 0) {
    REPORT.no_reflection_why =
        cat("the list of histogram ", IDATA.histogram, " holds no reflection of phase ",
            IDATA.phase_no, " with positive F^2 values");
  }
}

}  // namespace sfconv
