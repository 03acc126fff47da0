// Test support: the tables of tests/textio/editing/, one example per line: a
// word, a word or a text in double quotes (where \t stands for a tab), and
// the rest of the line (or the text in double quotes that it is).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace sfconv::test {

struct EditingCase {
  int line;
  std::string format, first, rest;
};

inline std::vector<EditingCase> editing_table(const std::string& name) {
  std::ifstream in(std::string(SFCONV_EDITING) + "/" + name);
  std::vector<EditingCase> cases;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    std::size_t at = 0;
    auto item = [&] {
      while (at < text.size() && text[at] == ' ') ++at;
      std::string s;
      if (at < text.size() && text[at] == '"') {
        for (++at; at < text.size() && text[at] != '"'; ++at) {
          if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == 't') {
            s += '\t';
            ++at;
          } else {
            s += text[at];
          }
        }
        ++at;
      } else {
        while (at < text.size() && text[at] != ' ') s += text[at++];
      }
      return s;
    };
    EditingCase c{line, item(), item(), ""};
    while (at < text.size() && text[at] == ' ') ++at;
    c.rest = at < text.size() && text[at] == '"' ? item() : text.substr(at);
    cases.push_back(c);
  }
  return cases;
}

}  // namespace sfconv::test
