// Free-form values: numbers separated by blanks or commas, as a hand-written
// parameter line holds them ("64 64 64", "1.5406, 0.5", "90.0 145.0 /").
#pragma once

#include <string_view>

#include "textio/edit.hpp"
#include "textio/record_source.hpp"

namespace sfconv {

// Fills the items in order. Blanks, tabs, a comma and the end of a record
// separate values; two commas give a null value (the item keeps its value);
// r*c is r copies of c and r* r null values; "/" ends the statement, the items
// left keep their values. Items left at the end of a record are read from the
// next one. Returns whether the record holds further values than were read
// (they are ignored).
bool read_free_items(RecordSource& source, const InItems& items);

template <typename... T>
bool read_free(RecordSource& source, T&&... items) {
  InItems list;
  (list.add(items), ...);
  return read_free_items(source, list);
}

// Reads a text (a line held in a field) as a one-record text.
template <typename... T>
bool read_free(std::string_view record, const Origin& origin, T&&... items) {
  InternalRecord source(record, origin);
  return read_free(source, std::forward<T>(items)...);
}

}  // namespace sfconv
