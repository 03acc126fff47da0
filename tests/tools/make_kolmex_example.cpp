// Writes the bundled KOLMEX example file: make_kolmex_example examples/kolmex/nacl.fos
#include <cstdio>
#include <fstream>

#include "support/nacl_example.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_kolmex_example FILE\n", stderr);
    return 2;
  }
  std::ofstream(argv[1], std::ios::binary) << sfconv::test::nacl_example().bytes();
  return 0;
}
