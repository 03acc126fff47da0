// What sfconv --init shows of a KOLMEX reflection file: the run takes title,
// cell, grid and space group from the file, so --init only names them.
#include <array>
#include <string_view>

#include "driver/init.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/chars.hpp"

namespace sfconv {

void init_kolmex(RecordFile& fos, InitValues& v) {
  std::array<unsigned char, 70> title;
  fos.read(title, "title");
  v.title = trim_end(std::string_view(reinterpret_cast<const char*>(title.data()), title.size()));

  std::array<unsigned char, 24> cell;
  fos.read(cell, "cell");
  v.cell.emplace();
  for (std::size_t i = 0; i < 6; ++i) (*v.cell)[i] = fos.real_at(cell, 4 * i);

  std::array<unsigned char, 12> grid;
  fos.read(grid, "grid NX NY NZ");
  for (std::size_t i = 0; i < 3; ++i) v.kolmex_grid[i] = fos.int_at(grid, 4 * i);

  std::array<unsigned char, 9> group;
  fos.read(group, "space group, setting and VOL");
  v.group.number = fos.int_at(group, 0);
  v.group.setting = fos.int_at(group, 4);
  v.group.letter = static_cast<char>(group[8]);
}

}  // namespace sfconv
