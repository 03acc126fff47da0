// What a GSAS listing prints, for the reader and for sfconv --init alike: the
// texts of its sections, the columns of its " Hstgm" tables, and how a
// GSAS-II listing of the same name is told apart.
#pragma once

#include <cstddef>
#include <string_view>

#include "textio/text_input.hpp"

namespace sfconv::gsas_listing {

// Each section is found by a text at the very start of a line.
constexpr std::string_view kConstants = " Diffractometer constants for powder data:";
constexpr std::string_view kBankLine = " Hstgm";  // the " Hstgm" tables' lines
constexpr std::string_view kChiSquared = " Reduced CHI**2 =";
constexpr std::string_view kScaleFactors = " Histogram scale factors:";
constexpr std::string_view kFractions = " Phase/element fractions for phase no.";
constexpr std::string_view kLattice =
    "                 a         b         c       alpha     beta      gamma";
constexpr std::string_view kDataHeading = " Histogram";  // and "data" in columns 15-18

// The columns of the " Hstgm" tables that are read, as the last caption line
// above a histogram's line (" Hstgm   Type Bank  2-theta ...") names them: a
// caption's word, matched in any case and beginning after a blank, and the
// value under it, the blank-delimited word of the histogram's line that
// covers the caption word's first columns.
class HstgmColumns {
 public:
  // A caption line: the columns it names.
  void caption(std::string_view line);
  // The values a histogram's line prints under "2-theta" and "Pola"; empty
  // when no caption named the column, or the line is blank there.
  std::string_view angle(std::string_view line) const;
  std::string_view polarization(std::string_view line) const;

 private:
  std::size_t angle_ = std::string_view::npos;
  std::size_t polarization_ = std::string_view::npos;
};

// GSAS-II also writes listings named .lst, with none of GSAS's sections; its
// name stands in one of their first kHeadLines lines.
constexpr long kHeadLines = 10;
bool names_gsas2(std::string_view line);
// What a GSAS-II user does instead: its reflections exported as CIF are read.
constexpr std::string_view kGsas2Advice =
    "export a CIF of the reflections from GSAS-II and convert that";
// The end-of-file report of a GSAS-II listing, whose line `line` names
// GSAS-II, with kGsas2Advice for its hint.
[[noreturn]] void refuse_gsas2_listing(const TextInput& listing, long line);

}  // namespace sfconv::gsas_listing
