// Fuzzes free-form value reading: up to eight integers and reals from a text
// field and from a stream of records.
#include <array>
#include <cstdint>

#include "fuzz_support.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/text_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  if (size < 2) return 0;
  const unsigned reals_mask = data[0];
  const int count = data[1] % 9;
  std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  std::array<std::int32_t, 8> ints{};
  std::array<float, 8> reals{};
  InItems items;
  for (int i = 0; i < count; ++i) {
    if (reals_mask >> i & 1) {
      items.add(reals[i]);
    } else {
      items.add(ints[i]);
    }
  }
  try {
    InternalRecord record(text, Origin{"fuzz", 1, "values"});
    read_free_items(record, items);
  } catch (const IoFailure&) {
  }
  try {
    TextInput stream(fuzz::memory_file(text), "fuzz", 5);
    read_free_items(stream, items);
  } catch (const IoFailure&) {
  }
  return 0;
}
