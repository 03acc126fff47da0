// Writes every KOLMEX file of the repository: the bundled example, the inputs
// of the KOLMEX test cases and the fuzz seeds, each built from what it holds.
//   make_kolmex_files ROOT     (ROOT: the repository, or a scratch copy to compare)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
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
  FosFile nacl = nacl_example();
  nacl.little_endian = true;
  put("fuzz/corpus/kolmex/nacl-little-endian.fos", nacl.bytes());
  std::vector<Payload> p;

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
  put(cases + "fail-count-negative/crystal.fos", f.bytes());
  f.count = -1;  // the first count below zero
  put(cases + "fail-count-minus-one/crystal.fos", f.bytes());

  // record 7 counts 1 of the three reflections
  f = crystal();
  f.count = 1;
  put(cases + "records-after-the-count/crystal.fos", f.bytes());
  put(cases + "records-after-the-count-last-damaged/crystal.fos",
      f.bytes().substr(0, f.bytes().size() - 3));

  f = crystal();
  f.little_endian = true;
  put(cases + "little-endian/crystal.fos", f.bytes());
  // record 1 frames in neither byte order: its trailing length differs
  p = crystal().payloads();
  std::string neither = framed(p[0], 71);
  for (std::size_t i = 1; i < p.size(); ++i) neither += framed(p[i]);
  put(cases + "fail-first-length-frames-in-neither-byte-order/crystal.fos", neither);
  // record 3 ends with the length 13 after a payload of 12 bytes
  p = crystal().payloads();
  std::string differ;
  for (std::size_t i = 0; i < p.size(); ++i) differ += i == 2 ? framed(p[i], 13) : framed(p[i]);
  put(cases + "fail-trailing-length-differs/crystal.fos", differ);

  // text bytes that would break the output's header lines
  f = crystal();
  f.title = std::string("cubic\ntest\r\x1b[2J crystal") + std::string(40, '\0');
  f.vol = '\n';
  put(cases + "control-bytes-in-the-title-and-vol/crystal.fos", f.bytes());

  // values a reader of the output would be misled by
  f = crystal();
  f.cell[1] = 1234.5679f;  // 10 columns of F10.5: runs into a
  f.cell[2] = 1.0e6f;      // too wide
  f.cell[4] = std::numeric_limits<float>::quiet_NaN();
  f.grid[0] = 100000;  // too wide
  f.grid[1] = -4;
  f.grid[2] = 99999;  // runs into NY
  f.vol = 'X';
  f.totamp = 1.0e38f;
  const float inf = std::numeric_limits<float>::infinity();
  f.reflections = {{1, 1, 1, 1.0e30f, 0.0f, 41.2f, 1697.4f},
                   {-1000, 10000, 0, -1234567900.0f, 0.0f, 20.0f, 100.0f},
                   {2, 2, 0, 0.0f, 0.0f, -70.5f, -5.0f},
                   {3, 1, 1, inf, std::numeric_limits<float>::quiet_NaN(), 10.0f, 0.0f},
                   {2, 0, 0, -1.0e30f, 0.0f, 85.3f, 21834.0f}};
  for (const char* name : {"warn-values-that-do-not-fit", "stop-strict-values-that-do-not-fit"}) {
    put(cases + name + "/crystal.fos", f.bytes());
  }

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
  p = crystal().payloads();
  p[3] = Payload().i32(225).i32(1);  // no VOL character
  put(cases + "damaged-short-record-4/crystal.fos", records(p));
  // the framing is checked before the items: record 4, short of its VOL,
  // with the file ending inside its trailing length, or another one there
  using Payloads = std::vector<Payload>;
  const std::string short4 = records(Payloads(p.begin(), p.begin() + 4));
  put(cases + "damaged-short-record-4-inside-trailing-length/crystal.fos",
      short4.substr(0, short4.size() - 2));
  put(cases + "fail-short-record-4-trailing-length-differs/crystal.fos",
      records(Payloads(p.begin(), p.begin() + 3)) + framed(p[3], 9) +
          records(Payloads(p.begin() + 4, p.end())));
  // the four header records whole, the file ending inside record 5
  p = crystal().payloads();
  const std::string head5 = records(Payloads(p.begin(), p.begin() + 5));
  put(cases + "damaged-inside-record-5/crystal.fos", head5.substr(0, head5.size() - 6));
  f = crystal();
  f.count = 3;
  f.reflections.pop_back();
  put(cases + "damaged-fewer-reflections-than-counted/crystal.fos", f.bytes());
  return 0;
}
