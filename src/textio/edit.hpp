// Formatted reads and writes: a record source or destination, a prepared
// format text and a list of items, e.g.
//   read(listing, "(11X,3F10.6,3F10.3)"_fmt, std::span(RDATA.CELL));
//   write(out, "(A/5I5,4X,A1)"_fmt, "#  NX ...", NX, NY, NZ, SPG, SET, VOL);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "textio/format.hpp"
#include "textio/record_source.hpp"
#include "textio/text_field.hpp"

namespace sfconv {

class TextOutput;

// Items of a read: where each value goes.
struct InItem {
  enum Kind : std::uint8_t { integer, real, text } kind;
  void* place;
  std::size_t length;  // text items
};

class InItems {
 public:
  void add(std::int32_t& v) { push({InItem::integer, &v, 0}); }
  void add(float& v) { push({InItem::real, &v, 0}); }
  template <std::size_t N>
  void add(Text<N>& t) {
    push({InItem::text, t.data(), N});
  }
  void add(std::span<std::int32_t> s) {
    for (auto& v : s) add(v);
  }
  void add(std::span<float> s) {
    for (auto& v : s) add(v);
  }
  template <typename T, std::size_t N>
  void add(std::array<T, N>& a) {
    add(std::span<T>(a));
  }

  const InItem* begin() const { return items_.data(); }
  const InItem* end() const { return items_.data() + count_; }
  std::size_t size() const { return count_; }

 private:
  void push(InItem item);
  std::array<InItem, 32> items_{};
  std::size_t count_ = 0;
};

// Items of a write: the values themselves.
struct OutItem {
  enum Kind : std::uint8_t { integer, real, text } kind;
  std::int32_t i;
  float f;
  std::string_view s;
};

class OutItems {
 public:
  void add(std::int32_t v) { push({OutItem::integer, v, 0.0f, {}}); }
  void add(float v) { push({OutItem::real, 0, v, {}}); }
  void add(double) = delete;  // every real is single precision
  void add(std::string_view s) { push({OutItem::text, 0, 0.0f, s}); }
  void add(const char* s) { add(std::string_view(s)); }
  template <std::size_t N>
  void add(const Text<N>& t) {
    add(t.view());
  }
  void add(std::span<const float> s) {
    for (float v : s) add(v);
  }
  template <std::size_t N>
  void add(const std::array<float, N>& a) {
    add(std::span<const float>(a));
  }

  const OutItem* begin() const { return items_.data(); }
  const OutItem* end() const { return items_.data() + count_; }

 private:
  void push(OutItem item);
  std::array<OutItem, 32> items_;  // only the first count_ are set and read
  std::size_t count_ = 0;
};

// What a write noticed of its numeric fields, one bit per item in the order
// written (bit i for the i-th value): a field of asterisks, whose value did
// not fit, and a field that touches: its first column is not blank and the
// column before it on its line is not blank either, so the value runs into
// the one before (a field of asterisks is not counted as touching). The bytes
// written are the same whatever is noticed.
struct FieldFaults {
  std::uint32_t asterisks = 0;
  std::uint32_t touching = 0;
};

// The statements themselves, on item lists.
bool read_items(RecordSource& source, const Format& f, const InItems& items, bool end_branch);
FieldFaults write_items(TextOutput& out, const Format& f, const OutItems& items);
void write_items(std::string& out, const Format& f, const OutItems& items);
void write_items(char* field, std::size_t length, const Format& f, const OutItems& items);

// Reads one statement; the end of the file is a failure.
template <typename... T>
void read(RecordSource& source, const Format& f, T&&... items) {
  InItems list;
  (list.add(items), ...);
  read_items(source, f, list, false);
}

// Reads one statement with an end-of-file branch: false at the end of the file
// (the items not yet set keep their values).
template <typename... T>
[[nodiscard]] bool read_or_end(RecordSource& source, const Format& f, T&&... items) {
  InItems list;
  (list.add(items), ...);
  return read_items(source, f, list, true);
}

// Reads a text (a line held in a field) as a one-record text.
template <typename... T>
void read_internal(std::string_view record, const Origin& origin, const Format& f, T&&... items) {
  InternalRecord source(record, origin);
  read(source, f, std::forward<T>(items)...);
}

template <typename... T>
FieldFaults write(TextOutput& out, const Format& f, const T&... items) {
  OutItems list;
  (list.add(items), ...);
  return write_items(out, f, list);
}

// The records a write makes, joined by line feeds (no final one): a message.
template <typename... T>
std::string format_line(const Format& f, const T&... items) {
  OutItems list;
  (list.add(items), ...);
  std::string out;
  write_items(out, f, list);
  return out;
}

// Writes into a text field used as a one-record text, blank-padded.
template <std::size_t N, typename... T>
void write_internal(Text<N>& field, const Format& f, const T&... items) {
  OutItems list;
  (list.add(items), ...);
  write_items(field.data(), N, f, list);
}

}  // namespace sfconv
