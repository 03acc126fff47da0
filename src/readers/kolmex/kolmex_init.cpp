// What sfconv --init shows of a KOLMEX reflection file: the run takes title,
// cell, grid and space group from the file, so --init only names them, and
// the count of reflections when the run could not hold them.
#include <array>
#include <string_view>

#include "readers/kolmex/kolmex.hpp"
#include "run/init_values.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"

namespace sfconv {

void init_kolmex(RecordFile& fos, InitValues& v) {
  const KolmexHeader header = read_kolmex_header(fos);
  v.title = trim_end(
      std::string_view(reinterpret_cast<const char*>(header.title.data()), header.title.size()));
  v.cell = header.cell;
  v.kolmex_grid = header.grid;
  v.group.number = header.group;
  v.group.setting = header.setting;
  v.group.letter = static_cast<char>(header.vol);
  // Records 5 and 6 (q1 q2, the totals), then the count of reflections, for
  // a comment when the run would hold too few: a file damaged there is the
  // run's to report, not --init's.
  try {
    std::array<unsigned char, 8> skipped;
    fos.read(skipped, "relative variance q1 q2");
    fos.read(skipped, "total amplitudes");
    std::array<unsigned char, 4> count;
    fos.read(count, "number of reflections");
    v.kolmex_count = fos.int_at(count, 0);
  } catch (const IoFailure&) {
    v.kolmex_count.reset();
  }
}

}  // namespace sfconv
