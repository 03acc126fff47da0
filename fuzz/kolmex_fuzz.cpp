// Fuzzes the KOLMEX reader on arbitrary bytes, then writes what it stored;
// then the same on the bytes turned little-endian, as a little-endian machine
// writes them, so that both byte orders are explored from every input.
#include <cstdint>
#include <string>

#include "run/run_state.hpp"
#include "run/writer.hpp"
#include "fuzz_support.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/failure.hpp"

namespace {

// The records read big-endian, written again little-endian: each length, and
// each whole 4-byte word of a payload, reversed (a title's bytes too, which
// no reader minds). Bytes that frame no whole record are kept as they are.
std::string little_endian(std::string_view in) {
  std::string out;
  auto reversed = [&out](std::string_view word) { out.append(word.rbegin(), word.rend()); };
  std::size_t pos = 0;
  while (in.size() - pos >= 8) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data() + pos);
    std::size_t length = std::size_t{p[0]} << 24 | std::size_t{p[1]} << 16 |
                         std::size_t{p[2]} << 8 | std::size_t{p[3]};
    if (in.size() - pos - 8 < length) break;
    reversed(in.substr(pos, 4));
    std::size_t i = 0;
    for (; i + 4 <= length; i += 4) reversed(in.substr(pos + 4 + i, 4));
    out.append(in.substr(pos + 4 + i, length - i));
    reversed(in.substr(pos + 4 + length, 4));
    pos += 8 + length;
  }
  out.append(in.substr(pos));
  return out;
}

void convert(std::string_view bytes) {
  using namespace sfconv;
  fuzz::new_run();
  RDATA.E = 1.0f;
  IDATA.IAMP = static_cast<std::int32_t>(bytes.size() % 3);
  try {
    float relvar = 0.0f;
    {
      RecordFile fos(fuzz::memory_file(bytes), "fuzz.fos", 1);
      kolmex(fos, relvar);
    }
    TextOutput out(fuzz::null_file(), "fuzz.sf", 4);
    write_structure_factors(out, relvar);
    out.commit();
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  convert(bytes);
  convert(little_endian(bytes));
  return 0;
}
