// How an input's reader is chosen: by the first of the texts in its own name,
// which may stand inside it, else by a CIF file's first significant bytes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "driver/driver.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

TEST(ReaderChoice, ByTheNameThenByTheContent) {
  struct Case {
    const char* name;
    const char* content;  // nullptr: no such file
    char reader;
    const char* text;  // of the name, that chose it
    bool inside;
  };
  const Case cases[] = {
      {"run.lst", nullptr, 'G', ".lst", false},
      {"alumina.outer.cif", nullptr, 'F', ".out", true},  // .out is looked for first
      {"a.out.fos", nullptr, 'F', ".out", true},
      {"dir.cif/RUN.CIF", nullptr, 'C', ".cif", false},  // the own name, any case
      {"run.cif.bak", nullptr, 'C', ".cif", true},
      {"r5wkdsf.ent", "data_r5wkdsf\n", 'C', "", false},
      {"entry.hkl", "\n  \t\n# a comment\n#\\#CIF_1.1\ndata_x\n", 'C', "", false},
      {"entry.hkl", "# one comment\n# another\n   DATA_X\n", 'C', "", false},
      {"bom.hkl",
       "\xef\xbb\xbf"
       "data_x\n",
       'C', "", false},
      {"notes.hkl", "# a comment\n1 0 0 100.0\ndata_x\n", ' ', "", false},
      {"notes.hkl", "  loop_\n", ' ', "", false},
      {"empty.hkl", "", ' ', "", false},
      {"missing.hkl", nullptr, ' ', "", false},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    if (c.content != nullptr) dir.write(c.name, c.content);
    const ReaderChoice got = choose_reader(dir / c.name);
    EXPECT_EQ(got.reader, c.reader) << c.name << ": " << (c.content ? c.content : "(none)");
    EXPECT_EQ(got.text, c.text) << c.name;
    EXPECT_EQ(got.inside, c.inside) << c.name;
    EXPECT_EQ(got.content.empty(), c.reader != 'C' || *c.text != '\0') << c.name;
  }
}

// A FIFO is not read ahead of the run that reads it: its name alone decides.
TEST(ReaderChoice, AFifoIsNotRead) {
  test::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe.hkl").c_str(), 0600), 0);
  const ReaderChoice got = choose_reader(dir / "pipe.hkl");
  EXPECT_EQ(got.reader, ' ');
  EXPECT_FALSE(got.content_read);
}

}  // namespace
}  // namespace sfconv
