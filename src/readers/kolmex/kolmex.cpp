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

KolmexHead kolmex_head(RecordFile& fos) {
  KolmexHead head;
  fos.read(head.title, "title");

  std::array<unsigned char, 24> cell;
  fos.read(cell, "cell");
  for (std::size_t i = 0; i < 6; ++i) head.cell[i] = real_at(cell, 4 * i);

  std::array<unsigned char, 12> grid;
  fos.read(grid, "grid NX NY NZ");
  for (std::size_t i = 0; i < 3; ++i) head.grid[i] = int_at(grid, 4 * i);

  std::array<unsigned char, 9> group;
  fos.read(group, "space group, setting and VOL");
  head.SPG = int_at(group, 0);
  head.SET = int_at(group, 4);
  head.VOL = static_cast<char>(group[8]);
  return head;
}

void kolmex(RecordFile& fos, float& RELVAR) {
  note("read KOLMEX reflection file ", fos.name());
  const KolmexHead head = kolmex_head(fos);
  std::memcpy(CDATA.TITLE.data(), head.title.data(), head.title.size());
  RDATA.CELL = head.cell;
  IDATA.NX = head.grid[0];
  IDATA.NY = head.grid[1];
  IDATA.NZ = head.grid[2];
  IDATA.SPG = head.SPG;
  IDATA.SET = head.SET;
  CDATA.VOL.c[0] = head.VOL;

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
