// Format texts: the notation, and the walk a statement makes through it (the
// table in editing/format.txt).
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/editing_table.hpp"
#include "textio/format.hpp"

namespace sfconv {
namespace {

// Records the walk: data edits as "I4", X as "x3", "/" and reversions as "|".
struct Trace {
  std::string log;
  void skip(int n) { log.append(" x").append(std::to_string(n)); }
  void end_record() { log += " |"; }
};

std::string walk(std::string_view text, int items) {
  Format f = Format::parse(text);
  Trace t;
  FormatControl<Trace> control(f, t);
  for (int i = 0; i < items; ++i) {
    DataEdit e = control.next();
    t.log.append(" ").append(1, "AIFEG"[static_cast<int>(e.kind)]).append(std::to_string(e.w));
    if (e.kind != EditKind::A && e.kind != EditKind::I)
      t.log.append(".").append(std::to_string(e.d));
    if (e.scale != 0) t.log.append("p").append(std::to_string(e.scale));
  }
  control.finish();
  return t.log.empty() ? t.log : t.log.substr(1);
}

TEST(Format, EveryWalkOfTheTable) {
  auto cases = test::editing_table("format.txt");
  ASSERT_GT(cases.size(), 30u);
  for (const test::EditingCase& c : cases) {
    std::string got;
    try {
      got = walk(c.format, std::stoi(c.first));
    } catch (const std::invalid_argument&) {
      got = "invalid";
    }
    EXPECT_EQ(got, c.rest) << "format.txt line " << c.line << ": " << c.format;
  }
}

}  // namespace
}  // namespace sfconv
