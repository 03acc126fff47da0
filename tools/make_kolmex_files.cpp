// Writes every KOLMEX file of the repository: the bundled example and the
// inputs of the KOLMEX test cases, each built from what it holds.
//   make_kolmex_files ROOT     (ROOT: the repository, or a scratch copy to compare)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fos_writer.hpp"
#include "nacl_example.hpp"

namespace {

using namespace sfconv::tools;

// A face-centred cubic crystal with three reflections of every kind of Io
// field (fixed point, exponent form above and below).
FosFile crystal() {
  FosFile f;
  f.title = "cubic test crystal";
  f.cell[0] = f.cell[1] = f.cell[2] = 5.6402f;
  f.grid[0] = f.grid[1] = f.grid[2] = 48;
  f.spg = 225;
  f.vol = 'F';
  f.totamp = 1234.5f;
  f.totamp2 = -56.25f;
  f.reflections = {{1, 1, 1, -41.2f, 0.0f, 41.2f, 1697.4f},
                   {2, 0, 0, 85.3f, 0.0f, 85.3f, 21834.0f},
                   {2, 2, 0, 0.0f, -70.5f, 70.5f, 0.0625f}};
  return f;
}

std::string records(const std::vector<Payload>& payloads) {
  std::string out;
  for (const Payload& p : payloads) out += framed(p);
  return out;
}

std::string without_last(std::size_t n) {
  std::string b = crystal().bytes();
  return b.substr(0, b.size() - n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_kolmex_files ROOT\n", stderr);
    return 2;
  }
  const std::filesystem::path root = argv[1];
  auto put = [&](const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories((root / path).parent_path());
    std::ofstream(root / path, std::ios::binary) << bytes;
  };

  put("examples/kolmex/nacl.fos", nacl_example().bytes());

  const std::string cases = "tests/cases/kolmex/";
  for (const char* name : {"as-it-stands", "two-totals", "no-amplitude-block"}) {
    put(cases + name + "/crystal.fos", crystal().bytes());
  }
  FosFile f = crystal();
  f.extra = std::string("\x01\x02\x03\x04\x05", 5);
  put(cases + "trailing-bytes-in-every-record/crystal.fos", f.bytes());

  f = crystal();
  f.q1 = 2.0f;
  f.q2 = 0.1f;  // (q2/q1)^2 = 0.0025
  f.reflections = {{1, 1, 1, 10.0f, 0.0f, 10.0f, 200.0f}};
  put(cases + "relative-variance/crystal.fos", f.bytes());

  f = crystal();
  f.reflections.clear();
  put(cases + "count-zero/crystal.fos", f.bytes());
  f.count = -4;
  put(cases + "count-negative/crystal.fos", f.bytes());

  f = crystal();
  f.reflections.assign(2000, FosReflection{1, 2, 3, 1.0f, 2.0f, 3.0f, 4.0f});
  put(cases + "2000-reflections/crystal.fos", f.bytes());
  f.reflections.push_back(FosReflection{9, 9, 9, 1.0f, 2.0f, 3.0f, 4.0f});
  put(cases + "2001-reflections/crystal.fos", f.bytes());

  put(cases + "damaged-inside-trailing-length/crystal.fos", without_last(2));
  put(cases + "damaged-inside-payload/crystal.fos", without_last(10));
  put(cases + "damaged-between-records/crystal.fos", without_last(36));
  put(cases + "damaged-inside-length-word/crystal.fos", crystal().bytes().substr(0, 2));
  put(cases + "damaged-empty/crystal.fos", "");
  // record 1 claims a payload of 4 GB - 1 bytes
  put(cases + "damaged-huge-length-word/crystal.fos", framed(std::string(70, 'x'), 0xFFFFFFFFu));
  std::vector<Payload> p = crystal().payloads();
  p[3] = Payload().i32(225).i32(1);  // no VOL character
  put(cases + "damaged-short-record-4/crystal.fos", records(p));
  f = crystal();
  f.count = 3;
  f.reflections.pop_back();
  put(cases + "damaged-fewer-reflections-than-counted/crystal.fos", f.bytes());
  return 0;
}
