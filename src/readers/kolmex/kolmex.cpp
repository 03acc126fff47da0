// KOLMEX reflection files: seven header records, then one record per reflection.
#include "readers/kolmex/kolmex.hpp"

#include <array>
#include <cstring>

#include "run/run_state.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/report.hpp"

namespace sfconv {

namespace {

// Text bytes from the file go into the output's header lines: a line feed
// would split a line and shift every line after it, a NUL or an escape would
// land in the file as it is. Each such byte becomes a blank; returns how many
// there were and where the first stood (column from 1, 0 for none).
int blank_controls(std::span<unsigned char> text, std::size_t& first) {
  int n = 0;
  first = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 0x20 || text[i] == 0x7F) {
      if (n++ == 0) first = i + 1;
      text[i] = ' ';
    }
  }
  return n;
}

}  // namespace

KolmexHeader read_kolmex_header(RecordFile& fos) {
  KolmexHeader header;
  fos.read(header.title, "title");

  std::array<unsigned char, 24> cell;
  fos.read(cell, "cell");
  for (std::size_t i = 0; i < 6; ++i) header.cell[i] = fos.real_at(cell, 4 * i);

  std::array<unsigned char, 12> grid;
  fos.read(grid, "grid NX NY NZ");
  for (std::size_t i = 0; i < 3; ++i) header.grid[i] = fos.int_at(grid, 4 * i);

  std::array<unsigned char, 9> group;
  fos.read(group, "space group, setting and VOL");
  header.group = fos.int_at(group, 0);
  header.setting = fos.int_at(group, 4);
  header.vol = group[8];
  return header;
}

void kolmex(RecordFile& fos, float& RELVAR) {
  KolmexHeader header = read_kolmex_header(fos);
  note("read KOLMEX reflection file ", fos.name(),
       fos.little_endian() ? " (little-endian records)" : " (big-endian records)");
  std::size_t first = 0;
  if (int n = blank_controls(header.title, first); n > 0) {
    warn(fos.name(), ", record 1: the title holds ", n, n == 1 ? " control byte" : " control bytes",
         " (a line feed, a NUL...), the first in column ", first, "; written as blanks");
  }
  std::memcpy(CDATA.TITLE.data(), header.title.data(), header.title.size());
  RDATA.CELL = header.cell;
  IDATA.NX = header.grid[0];
  IDATA.NY = header.grid[1];
  IDATA.NZ = header.grid[2];
  IDATA.SPG = header.group;
  IDATA.SET = header.setting;
  const unsigned char vol = header.vol;
  if (blank_controls(std::span(&header.vol, 1), first) > 0) {
    warn(fos.name(), ", record 4: VOL is a control byte (code ", int{vol}, "); written as a blank");
  } else if (!is_lattice_letter(static_cast<char>(vol))) {
    warn(fos.name(), ", record 4: the lattice letter (VOL) ", static_cast<char>(vol),
         " is none of P, A, B, C, F, I, R");
  }
  CDATA.VOL.c[0] = static_cast<char>(header.vol);

  std::array<unsigned char, 8> q;
  fos.read(q, "relative variance q1 q2");
  float r = fos.real_at(q, 4) / fos.real_at(q, 0);
  RELVAR = r * r;
  note("relative variance (q2/q1)^2 = ", trim_start(format_line("(1P,G13.6,0P)"_fmt, RELVAR)));

  std::array<unsigned char, 8> totals;
  fos.read(totals, "total amplitudes");
  RDATA.TOTAMP = fos.real_at(totals, 0);
  RDATA.TOTAMP2 = fos.real_at(totals, 4);

  std::array<unsigned char, 4> count;
  fos.read(count, "number of reflections");
  IDATA.NREF1 = fos.int_at(count, 0);
  if (IDATA.NREF1 < 0) {
    throw IoFailure{
        cat("sfconv: ", fos.name(), ", record 7: the file counts ", IDATA.NREF1, " reflections"),
        "Negative number of reflections in the file", "READ", fos.unit()};
  }
  if (!room_for(IDATA.NREF1)) {
    stop_too_many_reflections(cat(fos.name(), ", record ", fos.records(), ": the file counts ",
                                  IDATA.NREF1, " reflections; sfconv holds at most ", MAXREF));
  }

  if (IDATA.NREF1 == 0) {
    REPORT.no_reflection_why = cat(fos.name(), " counts ", IDATA.NREF1, " reflections");
  }

  std::array<unsigned char, 28> reflection;
  for (int i = 0; i < IDATA.NREF1; ++i) {
    fos.read(reflection, "reflection");
    store_reflection(i, Reflection{fos.int_at(reflection, 0), fos.int_at(reflection, 4),
                                   fos.int_at(reflection, 8), fos.real_at(reflection, 12),
                                   fos.real_at(reflection, 16), fos.real_at(reflection, 20),
                                   fos.real_at(reflection, 24)});
  }

  // Records after the counted ones are not converted: a count too low would
  // otherwise lose reflections without a word.
  bool whole = true;
  if (long left = fos.count_rest(whole); left > 0) {
    warn(fos.name(), " holds ", left, left == 1 ? " record" : " records", " after the ",
         IDATA.NREF1, IDATA.NREF1 == 1 ? " reflection" : " reflections", " that record 7 counts",
         whole ? "" : (left == 1 ? " (a damaged one)" : " (the last of them damaged)"),
         "; not converted");
  }
}

}  // namespace sfconv
