// The detector-angle line: the count of angles, the slash, the bank checks
// (the table in editing/det_angle.txt).
#include <charconv>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/det_angle.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

TEST(DetAngle, EveryExampleOfTheTable) {
  auto cases = test::editing_table("det_angle.txt");
  ASSERT_GT(cases.size(), 15u);
  for (const test::EditingCase& c : cases) {
    AngleTable table{};
    test::TempDir dir;
    TextInput in(dir.write("p.txt", "# angles\n" + c.first + "\n"), 5);
    std::int32_t bank = 0;
    std::from_chars(c.format.data(), c.format.data() + c.format.size(), bank);
    std::int32_t count = -1;
    std::string got;
    try {
      float angle = det_angle(in, bank, count, table);
      std::ostringstream out;
      out << "angle " << angle << " of " << count;
      got = out.str();
    } catch (const RecognisedStop& s) {
      got = s.line;
    } catch (const IoFailure& f) {
      got = f.message == msg::end_of_file ? "end-of-file" : "illegal";
      EXPECT_EQ(f.unit, IoFailure::kInternal);
    }
    EXPECT_EQ(got, c.rest) << "det_angle.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
