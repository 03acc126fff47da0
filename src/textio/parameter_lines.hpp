// The kinds of line a parameter file holds: the name reports give each, and
// what belongs there.
#pragma once

#include <string_view>

namespace sfconv {

// A line of the parameter file: the name reports give it, and what belongs
// there (what the report of a "?" that sfconv --init left there says).
struct ParameterLine {
  std::string_view name;
  std::string_view belongs;
  bool integers = false;  // its values are integers
};

namespace lines {
inline constexpr ParameterLine input_name{
    "input file name",
    "the name of the refinement program's file (.lst, .out, .fos, .cif or .fcf)"};
inline constexpr ParameterLine second_name{
    "second file name", "the name of FullProf's second file of moduli and phase angles (.fou)"};
inline constexpr ParameterLine output_name{"output file name",
                                           "the name of the structure-factor file to write"};
inline constexpr ParameterLine title{"title", "the title, at most 70 characters"};
inline constexpr ParameterLine space_group{
    "space-group",
    "the lattice letter, the space-group number and after a '-' the setting (F 225, P 14-2)"};
inline constexpr ParameterLine E{"E", "E, the scale of the counting statistics in sigma(|Fo|)"};
inline constexpr ParameterLine grid{"NX NY NZ", "NX NY NZ, the grid divisions along a, b and c",
                                    true};
inline constexpr ParameterLine IAMP{"IAMP",
                                    "IAMP: 0 for one total amplitude, 1 for two (b+ and b-)", true};
inline constexpr ParameterLine total{"total amplitude", "the total amplitude"};
inline constexpr ParameterLine totals{"total amplitudes", "the two total amplitudes, b+ and b-"};
inline constexpr ParameterLine lambda0{"lambda0", "lambda0, the wavelength written to the header"};
inline constexpr ParameterLine histogram{
    "histogram", "the number of the histogram (FullProf: the pattern) to convert", true};
inline constexpr ParameterLine data_set{
    "data set", "the number of the data set (the n-th reflection loop of the CIF file) to convert",
    true};
inline constexpr ParameterLine phase{"phase", "the number of the phase to convert", true};
inline constexpr ParameterLine polarization{
    "polarization", "the polarization fraction and the monochromator factor"};
inline constexpr ParameterLine angles{
    "detector-angle",
    "the 2theta of each detector bank in degrees, ended with / when fewer than 25"};

// Every kind, for finding one by its name.
inline constexpr const ParameterLine* all[] = {
    &input_name, &second_name, &output_name,  &title,  &space_group, &E,
    &grid,       &IAMP,        &total,        &totals, &lambda0,     &histogram,
    &data_set,   &phase,       &polarization, &angles};
}  // namespace lines

}  // namespace sfconv
