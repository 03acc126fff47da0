// What sfconv --init shows of a KOLMEX reflection file: the run takes title,
// cell, grid and space group from the file, so --init only names them.
#include <string_view>

#include "run/init_values.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/chars.hpp"

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
}

}  // namespace sfconv
