// What a FullProf output prints, for the reader and for sfconv --init alike:
// the marker texts each looks for, and which pattern a wavelength or a bank
// angle printed before the first refinement cycle belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/chars.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv::fullprof_output {

// Markers of the output file. Each stands at the very start of a line,
// leading blank included, case and blanks exact.
constexpr std::string_view kPatternBlock = " ==> CONDITIONS OF THIS RUN FOR PATTERN No.:";
constexpr std::string_view kCycle = " => CYCLE No.:";
constexpr std::string_view kRunFinished = " => Run finished";
constexpr std::string_view kPhase = " => Phase";
constexpr std::string_view kProfile = " ==> PROFILE PARAMETERS FOR PATTERN#";
constexpr std::string_view kCell = " => Cell parameters:";
// FullProf 7.95 heads the cell block so in time-of-flight outputs; the first
// one, before any cycle, holds the starting cell.
constexpr std::string_view kDirectCell = " => Direct cell parameters:";
constexpr std::string_view kTable = " Pattern#";

// Lines before the first cycle that tell what the output holds and what it
// printed for each pattern (as FullProf 5.40 to 7.95 write them): the title
// and the .pcr's code, the list of phases (" => Phase  No. 1", the phase's
// name on the next line) with their space groups, the block of each
// pattern's global parameters with, for time of flight, the bank's angle
// (" => T.O.F. 2theta average detector angle      :    144.845"), and for
// constant wavelength the wavelengths (" => Wavelengths:  1.91200 1.91200")
// among the input options, after the line " => Data ... for pattern:  1".
// The values are read as the first word after the text, so that a column
// more or less changes nothing.
constexpr std::string_view kTitle = " => Title:";
constexpr std::string_view kPcrCode = " => PCR file code:";
constexpr std::string_view kPhaseList = " => Phase  No.";
constexpr std::string_view kSymmetry = " => Symmetry information on space group:";
constexpr std::string_view kGroupNumber = "Number of Space group:";  // after " =>" and blanks
constexpr std::string_view kPatternNumber = " =>------->  PATTERN number:";
constexpr std::string_view kBankAngle = " => T.O.F. 2theta average detector angle";
constexpr std::string_view kWavelengths = " => Wavelengths:";
constexpr std::string_view kOption = " => ";
constexpr std::string_view kForPattern = "for pattern:";  // inside an option line

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

// Whose the wavelengths and bank angles printed before the first cycle are:
// a wavelength is the pattern's whose " => Data ... for pattern:" line it
// follows among the input options, which come before the first pattern's
// global parameters; a bank angle is the pattern's in whose " =>------->
// PATTERN number:" block it stands. Before any such line, in an output of
// one pattern, a value is that pattern's. Fed the lines as they come.
class Owners {
 public:
  // Until the first " =>------->  PATTERN number:" line: the input options.
  bool in_options() const { return block_ == 0; }

  // A line that begins with kPatternNumber.
  void block_line(std::string_view line) {
    if (!number_after(line, kPatternNumber, block_)) block_ = -1;
  }
  // A line that begins with kOption: one with "for pattern:" names the
  // pattern of the wavelengths after it.
  void option_line(std::string_view line) {
    const std::size_t at = line.find(kForPattern);
    if (at != std::string_view::npos &&
        !number_in(rest_of(line, at + kForPattern.size()), for_pattern_)) {
      for_pattern_ = -1;
    }
  }

  // Whether a kWavelengths line, or a kBankAngle line, read now is that of
  // pattern `number`, in an output whose pattern blocks so far are `patterns`.
  bool wavelength_of(std::int32_t number, std::size_t patterns) const {
    return in_options() && is(for_pattern_, number, patterns);
  }
  bool angle_of(std::int32_t number, std::size_t patterns) const {
    return is(block_, number, patterns);
  }

 private:
  static bool is(std::int32_t told, std::int32_t number, std::size_t patterns) {
    return told == number || (told == 0 && patterns == 1);
  }

  std::int32_t block_ = 0;        // the last block, 0 before the first, -1 unreadable
  std::int32_t for_pattern_ = 0;  // the last "for pattern:" line, likewise
};

// The first wavelength a kWavelengths line prints.
constexpr std::string_view wavelength_word(std::string_view line) {
  return first_word(rest_of(line, kWavelengths.size()));
}

// The angle a kBankAngle line prints after its colon; empty without one.
constexpr std::string_view angle_word(std::string_view line) {
  const std::size_t colon = line.find(':', kBankAngle.size());
  return colon == std::string_view::npos ? std::string_view{} : first_word(line.substr(colon + 1));
}

}  // namespace sfconv::fullprof_output
