// Whose a wavelength or a bank angle printed before the first cycle of a
// FullProf output is, as both the reader's cross-check and sfconv --init
// take it: the lines of the head that name a pattern, as FullProf writes
// them, then the patterns the value is taken for.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "readers/fullprof/fullprof_output.hpp"

namespace sfconv {
namespace {

using namespace fullprof_output;

TEST(FullProfOutput, WhoseTheWavelengthsAndAnglesAre) {
  const std::string data = " => Data in GENERAL FORMAT for TWO AXIS instrument for pattern:  ";
  const std::string block = " =>------->  PATTERN number:  ";
  struct Case {
    std::size_t patterns;  // pattern blocks of the output
    std::vector<std::string> head;
    const char* wavelength;  // the patterns (1, 2...) whose a wavelength printed now is
    const char* angle;       // likewise a bank angle
  };
  const Case cases[] = {
      // before any line says, a value is the only pattern's, or no one's
      {1, {}, "1", "1"},
      {2, {}, "", ""},
      {2, {data + "2"}, "2", ""},
      {3, {data + "1", data + "3"}, "3", ""},
      // a number that cannot be read: no one's, not the pattern named before
      {2, {data + "1", data + "x"}, "", ""},
      {1, {data + "1", block + "?"}, "", ""},
      // the blocks of global parameters end the input options, and with them
      // the wavelengths: a later "for pattern:" line names nothing
      {2, {data + "1", block + "2"}, "", "2"},
      {2, {block + "1", data + "2"}, "", "1"},
      {1, {block + "1"}, "", "1"},
  };
  for (const Case& c : cases) {
    Owners owners;
    for (const std::string& line : c.head) {
      if (line.starts_with(kPatternNumber)) owners.block_line(line);
      if (line.starts_with(kOption)) owners.option_line(line);
    }
    std::string wavelength, angle;
    for (std::int32_t n = 1; n <= static_cast<std::int32_t>(c.patterns); ++n) {
      if (owners.wavelength_of(n, c.patterns)) wavelength += std::to_string(n);
      if (owners.angle_of(n, c.patterns)) angle += std::to_string(n);
    }
    std::string head;
    for (const std::string& line : c.head) head += line + "\n";
    EXPECT_EQ(wavelength, c.wavelength) << head;
    EXPECT_EQ(angle, c.angle) << head;
  }
}

}  // namespace
}  // namespace sfconv
