// What sfconv --init shows of a KOLMEX reflection file: the run takes title,
// cell, grid and space group from the file, so --init only names them.
#include "driver/init.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/chars.hpp"

namespace sfconv {

void init_kolmex(RecordFile& fos, InitValues& v) {
  const KolmexHead head = kolmex_head(fos);
  v.title = trim_end(
      std::string_view(reinterpret_cast<const char*>(head.title.data()), head.title.size()));
  v.cell = head.cell;
  v.kolmex_grid = {head.grid[0], head.grid[1], head.grid[2]};
  v.group.letter = head.VOL;
  v.group.number = head.SPG;
  v.group.setting = head.SET;
}

}  // namespace sfconv
