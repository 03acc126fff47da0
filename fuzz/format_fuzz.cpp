// Fuzzes the format interpreter: the system's format texts over arbitrary
// records, read from a stream and from a text field, then written back.
#include <array>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/text_input.hpp"

namespace {

using namespace sfconv;

constexpr const char* kFormats[] = {
    "(a)",
    "()",
    "(A1)",
    "(I3)",
    "(F8.6)",
    "(9X,F10.7)",
    "(7X,I2)",
    "(15X,I2)",
    "(11X,I2)",
    "(11X,3F10.6,3F10.3)",
    "(6X,3I3,I4,I5,F8.5,4E10.3,F6.1,4F10.4)",
    "(44X,I3)",
    "(14X,I5)",
    "(9X,I3)",
    "(36X,I3)",
    "(F15.6)",
    "(9X,I3,10X,I4)",
    "(11X,I4)",
    "(12X,3I4,39X,F11.1,35X,F10.6)",
    "(12X,3I4,49X,F11.1)",
    "(12X,3I4,39X,F11.1)",
    "(2(12X,F12.4))",
    "(2A)",
    "(A,I6)",
    "(A,I4)",
    "(A/A)",
    "(A/6F10.5)",
    "(A/2F15.7,I7,3I5,6X,A1)",
    "(A/5I5,4X,A1)",
    "(A/F18.3, F13.7/2A, 3(A,I3), A,F7.2)",
    "(A/F18.3, F13.7/3A, I3)",
    "(A/2F15.3, F15.7/2A, 3(A,I3), A,                         F7.2)",
    "(A/2F15.3, F15.7/3A, I3)",
    "(A/I5)",
    "(3I5, 4F15.3, 1P,G12.4,0P, F12.4)",
    "(3I5, 4F15.3, 1P,G12.4,0P)",
    "(1P,G13.6,0P)",
    "(1P,E10.3)",
    "(G12.4)"};
constexpr std::size_t kCount = sizeof kFormats / sizeof kFormats[0];

struct Kinds {
  std::string log;
  void skip(int) {}
  void end_record() {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const Format f = Format::parse(kFormats[data[0] % kCount]);
  const int items = data[1] % 16;
  std::string_view records(reinterpret_cast<const char*>(data + 2), size - 2);

  // The kinds of the first `items` data edits.
  std::array<EditKind, 16> kind{};
  if (items > 0 && !f.has_data) return 0;
  {
    Kinds k;
    FormatControl<Kinds> control(f, k);
    for (int i = 0; i < items; ++i) kind[i] = control.next().kind;
  }
  std::array<std::int32_t, 16> ints{};
  std::array<float, 16> reals{};
  std::array<Text<40>, 16> texts{};
  InItems in;
  OutItems out;
  for (int i = 0; i < items; ++i) {
    if (kind[i] == EditKind::A) {
      in.add(texts[i]);
    } else if (kind[i] == EditKind::I) {
      in.add(ints[i]);
    } else {
      in.add(reals[i]);
    }
  }
  try {
    TextInput stream(fuzz::memory_file(records), "fuzz", 1);
    while (read_items(stream, f, in, true)) {
    }
  } catch (const IoFailure&) {
  }
  try {
    InternalRecord record(records, Origin{"fuzz", 1, ""});
    read_items(record, f, in, false);
  } catch (const IoFailure&) {
  }
  for (int i = 0; i < items; ++i) {
    if (kind[i] == EditKind::A) {
      out.add(texts[i].view());
    } else if (kind[i] == EditKind::I) {
      out.add(ints[i]);
    } else {
      out.add(reals[i]);
    }
  }
  std::string written;
  write_items(written, f, out);
  return 0;
}
