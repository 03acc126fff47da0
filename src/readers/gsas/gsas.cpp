// GSAS listings. The reader walks the listing once, forward, from section to
// section: the histogram's line under the diffractometer constants (and for
// time of flight its " Hstgm" bank line), the end of the refinement, the phase
// fraction, the lattice parameters, and then the histogram's reflection list.
// Each section is found by fixed text in fixed columns; everything between the
// sections (cycles, shift tables, statistics) is read and passed over.
#include "readers/gsas/gsas.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "readers/cross_check.hpp"
#include "readers/gsas/gsas_listing.hpp"
#include "readers/structure_factor.hpp"
#include "run/report.hpp"
#include "run/run_state.hpp"
#include "textio/det_angle.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/numeric_input.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"

namespace sfconv {

using namespace gsas_listing;

namespace {

// The fraction line gives 15 columns to each histogram, from column 15 on;
// histogram 33's field is the last inside the 512-column line.
constexpr std::int32_t kLastFractionColumn = 33;

// A line of the listing that a warning or a report names.
struct Line {
  long number = 0;
  std::string text;
};

Line line_at(const TextInput& listing, std::string_view record) {
  return Line{listing.line(), std::string(trim_end(record))};
}

std::string where(const Line& l) {
  return cat("line ", l.number, " ", quoted(l.text));
}

// What the reader met on its way besides the run state: the lines the
// warnings at the end name.
struct Seen {
  Line chi;                              // the " Reduced CHI**2 =" line of the refinement converted
  Line cell;                             // the lattice line the cell was taken from
  std::vector<Line> other_cells;         // lattice lines after it, before the list (phase 2 on)
  std::vector<std::string> other_lists;  // histograms of the data headings passed over
  Line later_chi;                        // the first " Reduced CHI**2 =" after `chi`
  long list_line = 0;                    // the data heading of the histogram's list
};

// "the parameter file (line 11) asks for histogram 3"
std::string asked_for(long line, std::string_view what, std::int32_t number) {
  return cat("the parameter file (line ", line, ") asks for ", what, " ", number);
}

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

// Where a caption line has the column `word` (lower case), npos if not.
std::size_t caption_column(std::string_view caption, std::string_view word) {
  for (std::size_t i = 0; i + word.size() <= caption.size(); ++i) {
    if (i > 0 && caption[i - 1] != ' ') continue;
    std::size_t k = 0;
    while (k < word.size() && (caption[i + k] | 0x20) == word[k]) ++k;
    if (k == word.size()) return i;
  }
  return std::string_view::npos;
}

// The blank-delimited word of `line` that covers columns at..at+width-1 (from
// 0), empty when those columns are blank or `at` is npos.
std::string_view word_under(std::string_view line, std::size_t at, std::size_t width) {
  if (at == std::string_view::npos) return {};
  std::size_t i = at;
  while (i < at + width && i < line.size() && line[i] == ' ') ++i;
  if (i >= at + width || i >= line.size()) return {};
  std::size_t first = i;
  while (first > 0 && line[first - 1] != ' ') --first;
  std::size_t last = i;
  while (last < line.size() && line[last] != ' ') ++last;
  return line.substr(first, last - first);
}

}  // namespace

void HstgmColumns::caption(std::string_view line) {
  if (std::size_t at = caption_column(line, "2-theta"); at != std::string_view::npos) angle_ = at;
  if (std::size_t at = caption_column(line, "pola"); at != std::string_view::npos) {
    polarization_ = at;
  }
}

std::string_view HstgmColumns::angle(std::string_view line) const {
  return word_under(line, angle_, 7);
}

std::string_view HstgmColumns::polarization(std::string_view line) const {
  return word_under(line, polarization_, 4);
}

namespace {

// A time-of-flight histogram's " Hstgm" bank line, and the 2theta it prints
// when a caption line above it names that column "2-theta".
struct BankLine {
  Line line;
  std::string printed;  // the angle as printed; empty when the listing prints none
  float angle = 0.0f;   // its value
};

// GSAS marks a time-of-flight histogram's detector bank on a line such as
// " Hstgm  2 PNT  3 ...": the histogram in columns 8-9, the bank in 16-17.
BankLine bank_line(TextInput& listing) {
  listing.set_task(
      cat("looking for the ", quoted(kBankLine), " line of PNT histogram ", IDATA.histogram));
  const Text<50>& line = CDATA.LSTLINE;
  std::vector<std::string> held;  // the PNT histograms whose bank lines were passed over
  HstgmColumns captions;
  std::string_view record;
  for (;;) {
    if (listing.seek_marker(record, {kBankLine}) < 0) {
      if (held.empty()) listing.fail_end_of_file();
      throw IoFailure{cat("sfconv: ", listing.name(), " ended (line ", listing.line(), ") with ",
                          quoted(kBankLine), " bank lines for PNT histogram",
                          held.size() == 1 ? " " : "s ", and_list(held), " only; ",
                          asked_for(PARLINES.histogram, "histogram", IDATA.histogram)),
                      msg::end_of_file, "READ", listing.unit()};
    }
    if (columns(record, 11, 13) != "PNT") {
      captions.caption(record);
      continue;
    }
    CDATA.LSTLINE.assign(record);
    std::int32_t number = 0;
    read_internal(line.view(), line_origin(listing, "histogram number"), "(7X,I2)"_fmt, number);
    if (number != IDATA.histogram) {
      held.push_back(cat(number));
      continue;
    }
    read_internal(line.view(), line_origin(listing, "bank number"), "(15X,I2)"_fmt, IDATA.nbank);
    BankLine bank{line_at(listing, record), {}, 0.0f};
    const std::string_view printed = captions.angle(record);
    if (number_in(printed, 0, bank.angle)) bank.printed = printed;
    return bank;
  }
}

// The heading of the diffractometer constants, the first section. A GSAS-II
// listing has the same extension and none of the sections: a file that ends
// before the heading and names GSAS-II in its first lines is said to be one.
void find_constants(TextInput& listing) {
  listing.set_task(cat("looking for ", quoted(kConstants)));
  long gsas2 = 0;
  std::string_view record;
  while (listing.next(record)) {
    if (starts_with_marker(record, kConstants)) {
      CDATA.LSTLINE.assign(record);
      return;
    }
    if (gsas2 == 0 && listing.line() <= kHeadLines && names_gsas2(record)) gsas2 = listing.line();
  }
  if (gsas2 != 0) refuse_gsas2_listing(listing, gsas2);
  listing.fail_end_of_file();
}

// A histogram line under the diffractometer constants, as the search met it.
struct HistogramLine {
  std::string number;
  std::string type;
};

// The first line of the report when the histogram's line is not among those
// under the diffractometer constants: what the listing has, where the search
// ended (`end`), and what the parameter file asks for.
std::string no_histogram_line(const TextInput& listing, const std::vector<HistogramLine>& held,
                              const std::string& end, long odd_pair) {
  std::string text = cat("sfconv: ", listing.name());
  if (held.empty()) {
    text += cat(" has no histogram line under ", quoted(kConstants));
  } else {
    std::vector<std::string> numbers;
    std::string types;
    for (const HistogramLine& h : held) {
      numbers.push_back(h.number);
      types += cat(types.empty() ? "" : ", ", h.type);
    }
    text +=
        cat(" has histogram", held.size() == 1 ? " " : "s ", and_list(numbers), " (", types, ")");
  }
  text += cat(end, "; ", asked_for(PARLINES.histogram, "histogram", IDATA.histogram));
  if (odd_pair != 0) {
    text += cat(" (line ", odd_pair, ", passed over as the blank line of a pair, is not blank)");
  }
  return text;
}

// The histogram's line in the diffractometer constants: its type, and its
// wavelength or detector bank. Under the heading the lines come in pairs
// (a blank or caption line, then the histogram's line); only the second line
// of each pair carries a histogram number in columns 1-3.
void diffractometer_constants(TextInput& listing, TextInput& parameters, GsasWorking& w) {
  find_constants(listing);
  std::vector<HistogramLine> held;
  long odd_pair = 0;  // the first line of a pair that was not blank
  std::string_view record;
  auto ended = [&] {
    throw IoFailure{
        no_histogram_line(listing, held, cat(", then ends (line ", listing.line(), ")"), odd_pair),
        msg::end_of_file, "READ", listing.unit()};
  };
  for (;;) {
    if (!listing.next(record)) ended();
    if (odd_pair == 0 && !trim_end(record).empty()) odd_pair = listing.line();
    if (!listing.next(record)) ended();
    CDATA.LSTLINE.assign(record);
    std::int32_t number = 0;
    // A line without a number in columns 1-3 (the caption of the next
    // section, say) ends the search: the histogram is not among the lines.
    if (read_integer(CDATA.LSTLINE.cols(1, 3), number) != NumResult::ok) {
      throw IoFailure{
          no_histogram_line(listing, held,
                            cat(", then ", where(line_at(listing, record)), ", no histogram line"),
                            odd_pair),
          msg::illegal_character, "READ", IoFailure::kInternal};
    }
    read_internal(CDATA.LSTLINE.view(), line_origin(listing, "histogram number"), "(I3)"_fmt,
                  number);
    if (number == IDATA.histogram) break;
    if (!CDATA.LSTLINE.is_blank()) {
      held.push_back({cat(number), std::string(CDATA.LSTLINE.cols(6, 8))});
    }
  }
  const Line histogram_line = line_at(listing, record);
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
    if (wavelength_apart(RDATA.lambda0, RDATA.lambda)) {
      warn(place(parameters.name(), PARLINES.lambda0), "lambda0 ", real_text(RDATA.lambda0),
           " differs by more than 1 part in 10^4 from the wavelength ", real_text(RDATA.lambda),
           " of histogram ", IDATA.histogram, " (", listing.name(), ", ", where(histogram_line),
           "); the header gets lambda0, the Lorentz-polarization factors the listing's wavelength");
    }
    if (type == "PXC") {
      float polarization = 0.0f;
      float monochromator = 0.0f;
      value_line(parameters, CDATA.LINE, lines::polarization, polarization, monochromator);
      w.pm = polarization * monochromator;
      w.one_minus_p = 1.0f - polarization;
    }
  } else {
    LDATA.TOF = true;
    const BankLine bank = bank_line(listing);
    RDATA.twotheta = det_angle(parameters, IDATA.nbank, IDATA.nangles, RDATA.angles,
                               cat("histogram ", IDATA.histogram, " of ", listing.name(), " (line ",
                                   bank.line.number, ")"));
    if (!bank.printed.empty() && angle_apart(RDATA.twotheta, bank.angle)) {
      warn(place(parameters.name(), parameters.line()), "the detector-angle line gives bank ",
           IDATA.nbank, " the angle ", real_text(RDATA.twotheta), ", but ", listing.name(),
           " prints 2-theta ", bank.printed, " for histogram ", IDATA.histogram, " (",
           where(bank.line), "); the output uses the parameter file's angle");
    }
  }
}

// The phase number a fraction heading names after its text; a heading with
// no readable number is phase 1's.
std::int64_t fraction_phase(std::string_view heading) {
  std::string_view rest = trim_start(heading.substr(kFractions.size()));
  std::int64_t n = 0;
  auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), n);
  if (ec == std::errc::invalid_argument) return 1;
  if (ec != std::errc()) return std::int64_t{1} << 40;  // beyond every phase number
  return n;
}

// After the refinement GSAS prints either the histogram scale factors or the
// phase fractions, a table for each phase with the fraction line three lines
// below its heading, 15 columns per histogram. The heading of another phase
// is passed over; after one, the lattice heading also ends the search (the
// phase has no fraction table), and true tells that the listing stands there.
bool phase_fraction(TextInput& listing, GsasWorking& w) {
  listing.set_task(cat("looking for ", quoted(kScaleFactors), " or ", quoted(kFractions)));
  std::vector<std::string> others;  // "phase 1 (line 69)"
  std::string_view record;
  for (;;) {
    const int which = others.empty()
                          ? listing.seek_marker(record, {kScaleFactors, kFractions})
                          : listing.seek_marker(record, {kScaleFactors, kFractions, kLattice});
    if (which < 0) {
      if (others.empty()) listing.fail_end_of_file();
      throw IoFailure{cat("sfconv: ", listing.name(), " ended (line ", listing.line(),
                          ") with phase fractions for ", and_list(others), " only; ",
                          asked_for(PARLINES.phase_no, "phase", IDATA.phase_no)),
                      msg::end_of_file, "READ", listing.unit()};
    }
    CDATA.LSTLINE.assign(record);
    w.fraction_found = false;
    if (which == 0) return false;
    if (which == 2) {
      if (CDATA.DIFTYP.view()[1] == 'N') {
        warn(place(listing.name(), listing.line()), "the listing has phase fractions for ",
             and_list(others), " but none for phase ", IDATA.phase_no,
             " before the lattice constants: the neutron F^2 are not divided by a phase fraction");
      }
      CDATA.LINE.assign(record);
      return true;
    }
    std::int64_t phase = fraction_phase(record);
    if (phase == IDATA.phase_no) break;
    others.push_back(cat("phase ", phase, " (line ", listing.line(), ")"));
  }
  listing.set_task(cat("reading the phase fractions under ", quoted(kFractions)));
  skip_line(listing);
  skip_line(listing);
  read_line(listing, CDATA.LINE);
  const std::int32_t n = IDATA.histogram;
  if (n < 1 || n > kLastFractionColumn) {
    // No fraction column of this histogram inside the line: no fraction.
    if (CDATA.DIFTYP.view()[1] == 'N') {
      warn(place(listing.name(), listing.line()), "the phase-fraction line has no column for ",
           "histogram ", n, " (its columns are for histograms 1 to ", kLastFractionColumn,
           "): the neutron F^2 are not divided by a phase fraction");
    }
    return false;
  }
  const std::size_t first = static_cast<std::size_t>(15 * n);
  read_internal(CDATA.LINE.cols(first, first + 7), line_origin(listing, "phase fraction"),
                "(F8.6)"_fmt, RDATA.PHFRAC);
  w.fraction_found = true;
  return false;
}

// The cell, from the line under the lattice heading; `at_heading` when the
// listing stands on the heading already.
void lattice_parameters(TextInput& listing, bool at_heading, Seen& seen) {
  if (!at_heading) {
    listing.set_task(cat("looking for the lattice heading ", quoted(kLattice)));
    std::string_view record;
    listing.find_marker(record, {kLattice});
    CDATA.LINE.assign(record);
  }
  listing.set_task("reading the lattice parameters under the lattice heading");
  const std::string_view record = listing.next_required();
  seen.cell = line_at(listing, record);
  read_internal(record, record_origin(listing), "(11X,3F10.6,3F10.3)"_fmt, RDATA.CELL);
}

// Finds the data heading (" Histogram  2 data ...") of the histogram's
// reflection list, passing over those of other histograms, and leaves the
// listing at the list's first record. False when the listing ends first.
//
// GSAS prints the column caption under the first heading of a time-of-flight
// list only, so there a line is skipped only when no other histogram's
// heading came before; under a constant-wavelength heading it always is.
//
// On the way it notes a later refinement's " Reduced CHI**2 =" and, for a
// phase other than 1, the lattice lines of the phases after the first, which
// GSAS prints before any reflection list.
bool data_block(TextInput& listing, Seen& seen) {
  listing.set_task(cat("reading the line under the data heading of histogram ", IDATA.histogram));
  const Text<50>& line = CDATA.LSTLINE;
  bool other_cells = IDATA.phase_no != 1;
  bool other_seen = false;
  std::string_view record;
  for (;;) {
    const int which = other_cells
                          ? listing.seek_marker(record, {kDataHeading, kChiSquared, kLattice})
                          : listing.seek_marker(record, {kDataHeading, kChiSquared});
    if (which < 0) return false;
    if (which == 1) {
      if (seen.later_chi.number == 0) seen.later_chi = line_at(listing, record);
      other_cells = false;  // the cells after it are a later refinement's
      continue;
    }
    if (which == 2) {
      if (!listing.next(record)) return false;
      seen.other_cells.push_back(line_at(listing, record));
      continue;
    }
    if (columns(record, 15, 18) != "data") continue;
    other_cells = false;
    CDATA.LSTLINE.assign(record);
    std::int32_t number = 0;
    read_internal(line.view(), line_origin(listing, "histogram number"), "(11X,I2)"_fmt, number);
    if (number != IDATA.histogram) {
      other_seen = true;
      std::string held = cat(number);
      if (std::find(seen.other_lists.begin(), seen.other_lists.end(), held) ==
          seen.other_lists.end()) {
        seen.other_lists.push_back(std::move(held));
      }
      continue;
    }
    seen.list_line = listing.line();
    if (LDATA.TOF && other_seen) return true;
    break;
  }
  skip_line(listing);
  return true;
}

// The reflection list: records up to a blank line, the end of the listing, or
// a page header after which the list does not go on. GSAS breaks the list
// with a page header ("1" in column 1, "REFLIST" in columns 69-75) and a title
// line; the third line is the column caption when the list goes on, or begins
// with six blanks when the list has ended. False when the listing ends inside
// the list.
bool reflection_list(TextInput& listing, const GsasWorking& w) {
  listing.set_task("reading a page header of the reflection list");
  // In 64 bits: a phase number whose code lies outside 32 bits matches nothing.
  const std::int64_t wanted = std::int64_t{IDATA.phase_no} * 1000 + 21;
  const Text<128>& line = CDATA.REFLINE;
  int n = 0;
  long records = 0;
  bool last_in_reflist = true;  // the last line read is in REFLINE, else in `after_header`
  std::string after_header;     // the line after the last page header's title
  bool cut = false;
  std::string_view record;
  for (;;) {
    if (!listing.next(record)) {
      cut = true;
      break;
    }
    CDATA.REFLINE.assign(record);
    last_in_reflist = true;

    if (line.c[0] == '1' && line.cols(69, 75) == "REFLIST") {
      skip_line(listing);
      after_header = listing.next_required();
      CDATA.LSTLINE.assign(after_header);
      last_in_reflist = false;
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
    ++records;
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
  if (cut) {
    warn(place(listing.name(), listing.line()), "the listing ends inside the reflection list of ",
         "histogram ", IDATA.histogram, ", after ", records, records == 1 ? " record" : " records",
         " (the last line is ", quote_line(last_in_reflist ? line.view() : after_header),
         "): a cut listing? The reflections after it are missing");
  }
  return !cut;
}

// GSAS appends every run to its listing: a " Reduced CHI**2 =" after the one
// converted ends a later refinement, whose numbers the output does not hold.
void later_refinement(const TextInput& listing, const Seen& seen) {
  if (seen.later_chi.number == 0) return;
  std::string what;
  if (seen.list_line > seen.later_chi.number) {
    what = cat(", and the reflection list of histogram ", IDATA.histogram, " (line ",
               seen.list_line, ") follows it: the cell and phase fraction written are the earlier",
               " run's, the reflections the later one's");
  } else {
    what = ": GSAS appends each run to its listing, and the numbers written are the earlier run's";
  }
  warn(place(listing.name(), seen.later_chi.number), "a later refinement ends here (",
       quote_line(seen.later_chi.text), "), after the one converted (", where(seen.chi), ")", what,
       "; to convert the later one, remove the earlier runs from a copy of the listing");
}

// A phase after the first: the listing prints the phases' cells one after
// the other, and nothing in their lines ties a cell to its phase number.
void cells_of_other_phases(const TextInput& listing, const Seen& seen) {
  if (seen.other_cells.empty()) return;
  std::string others;
  for (const Line& l : seen.other_cells) others += cat(others.empty() ? "" : ", ", where(l));
  warn(place(listing.name(), seen.cell.number), "phase ", IDATA.phase_no,
       " is converted with the cell of the first lattice heading after the phase fractions (",
       where(seen.cell), "), but the listing has other lattice lines before the reflection list (",
       others, "); which is phase ", IDATA.phase_no,
       "'s cannot be told from the listing alone: a CIF written by GSAS2CIF carries each "
       "phase's cell");
}

}  // namespace

bool gsas_listing::names_gsas2(std::string_view line) {
  return line.find("GSAS-II") != std::string_view::npos ||
         line.find("Structure Analysis System-II") != std::string_view::npos;
}

void gsas_listing::refuse_gsas2_listing(const TextInput& listing, long line) {
  throw IoFailure{cat("sfconv: ", listing.name(), " is a GSAS-II listing (line ", line,
                      " names GSAS-II): sfconv reads the listings of GSAS, not those of GSAS-II"),
                  msg::end_of_file, "READ", listing.unit(),
                  cat(kGsas2Advice,
                      ": sfconv --init EXPORTED.cif > params.txt, then sfconv "
                      "params.txt")};
}

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
  Seen seen;
  note("read GSAS listing ", listing.name());
  diffractometer_constants(listing, parameters, w);
  std::string histogram = cat("histogram ", IDATA.histogram, " (", CDATA.DIFTYP.view(), ")");
  if (LDATA.TOF)
    histogram += cat(", bank ", IDATA.nbank, " at 2theta ", angle_text(RDATA.twotheta));
  note(histogram, ", phase ", IDATA.phase_no);
  find(listing, kChiSquared);
  seen.chi = line_at(listing, CDATA.LSTLINE.view());
  note("end of the refinement: line ", listing.line(), " ", quote_line(CDATA.LSTLINE.view()));
  const bool at_lattice = phase_fraction(listing, w);
  if (CDATA.DIFTYP.view()[1] == 'N') {
    if (w.fraction_found) {
      note("phase fraction ", format_line("(F8.6)"_fmt, RDATA.PHFRAC));
    } else {
      note("no phase fraction: the neutron F^2 are not divided");
    }
  }
  lattice_parameters(listing, at_lattice, seen);
  const bool list = data_block(listing, seen);
  cells_of_other_phases(listing, seen);
  if (!list) {
    IDATA.NREF1 = 0;  // no list for the histogram: a file without reflections
    REPORT.no_reflection_why =
        cat(listing.name(), " has no reflection list for histogram ", IDATA.histogram);
    if (!seen.other_lists.empty()) {
      REPORT.no_reflection_why +=
          cat(" (its lists are for histogram", seen.other_lists.size() == 1 ? " " : "s ",
              and_list(seen.other_lists), ")");
    }
    later_refinement(listing, seen);
    return;
  }
  if (reflection_list(listing, w) && seen.later_chi.number == 0) {
    // On to the end of the listing, for a later run appended to it.
    std::string_view record;
    if (listing.seek_marker(record, {kChiSquared}) >= 0) seen.later_chi = line_at(listing, record);
  }
  later_refinement(listing, seen);
  if (IDATA.NREF1 == 0) {
    REPORT.no_reflection_why =
        cat("the list of histogram ", IDATA.histogram, " holds no reflection of phase ",
            IDATA.phase_no, " with positive F^2 values");
  }
}

}  // namespace sfconv
