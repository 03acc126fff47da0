// KOLMEX reflection files: seven header records, then one record per reflection.
#include "readers/kolmex/kolmex.hpp"

#include <array>
#include <cstring>

#include "driver/run_state.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/report.hpp"

namespace sfconv {

void kolmex(RecordFile& fos, float& RELVAR) {
  note("read KOLMEX reflection file ", fos.name());
  std::array<unsigned char, 70> title;
  fos.read(title, "title");
  std::memcpy(CDATA.TITLE.data(), title.data(), title.size());

  std::array<unsigned char, 24> cell;
  fos.read(cell, "cell");
  for (std::size_t i = 0; i < 6; ++i) RDATA.CELL[i] = real_at(cell, 4 * i);

  std::array<unsigned char, 12> grid;
  fos.read(grid, "grid NX NY NZ");
  IDATA.NX = int_at(grid, 0);
  IDATA.NY = int_at(grid, 4);
  IDATA.NZ = int_at(grid, 8);

  std::array<unsigned char, 9> group;
  fos.read(group, "space group, setting and VOL");
  IDATA.SPG = int_at(group, 0);
  IDATA.SET = int_at(group, 4);
  CDATA.VOL.c[0] = static_cast<char>(group[8]);

  std::array<unsigned char, 8> q;
  fos.read(q, "relative variance q1 q2");
  float r = real_at(q, 4) / real_at(q, 0);
  RELVAR = r * r;
  note("relative variance (q2/q1)^2 = ", trim_start(format_line("(1P,G13.6,0P)"_fmt, RELVAR)));

  std::array<unsigned char, 8> totals;
  fos.read(totals, "total amplitudes");
  RDATA.TOTAMP = real_at(totals, 0);
  RDATA.TOTAMP2 = real_at(totals, 4);

  std::array<unsigned char, 4> count;
  fos.read(count, "number of reflections");
  IDATA.NREF1 = int_at(count, 0);
  if (!room_for(IDATA.NREF1)) {
    stop_too_many_reflections(cat(fos.name(), ", record ", fos.records(), ": the file counts ",
                                  IDATA.NREF1, " reflections; sfconv holds at most ", MAXREF));
  }

  if (IDATA.NREF1 <= 0) {
    REPORT.no_reflection_why = cat(fos.name(), " counts ", IDATA.NREF1, " reflections");
  }

  std::array<unsigned char, 28> reflection;
  for (int i = 0; i < IDATA.NREF1; ++i) {
    fos.read(reflection, "reflection");
    store_reflection(
        i, Reflection{int_at(reflection, 0), int_at(reflection, 4), int_at(reflection, 8),
                      real_at(reflection, 12), real_at(reflection, 16), real_at(reflection, 20),
                      real_at(reflection, 24)});
  }
}

}  // namespace sfconv
