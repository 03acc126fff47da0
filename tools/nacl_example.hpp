// The bundled KOLMEX example: rock salt (NaCl, Fm-3m, a = 5.6402 A) with Mo Ka1
// radiation. The structure factors come from a simple model (Gaussian form
// factors, one isotropic temperature factor), so moduli, phases and intensities
// are plausible, not measured.
#pragma once

#include <cmath>
#include <string>

#include "fos_writer.hpp"

namespace sfconv::tools {

inline FosFile nacl_example() {
  FosFile f;
  f.title = "NaCl rock salt, Mo Ka1, model structure factors";
  const float a = 5.6402f;
  for (int i = 0; i < 3; ++i) {
    f.cell[i] = a;
    f.cell[i + 3] = 90.0f;
  }
  f.grid[0] = f.grid[1] = f.grid[2] = 48;
  f.spg = 225;
  f.set = 1;
  f.vol = 'F';
  f.q1 = 1.0f;
  f.q2 = 0.02f;       // 2 % relative error on top of the counting statistics
  f.totamp = 112.0f;  // F(000) = 4 (11 + 17) electrons
  f.totamp2 = 0.0f;

  const float lambda = 0.70930f;  // Mo Ka1
  const int hkl[][4] = {          // h, k, l, multiplicity
                        {1, 1, 1, 8},  {2, 0, 0, 6},  {2, 2, 0, 12}, {3, 1, 1, 24}, {2, 2, 2, 8},
                        {4, 0, 0, 6},  {3, 3, 1, 24}, {4, 2, 0, 24}, {4, 2, 2, 24}, {3, 3, 3, 8},
                        {5, 1, 1, 24}, {4, 4, 0, 12}, {5, 3, 1, 48}, {4, 4, 2, 24}, {6, 0, 0, 6},
                        {6, 2, 0, 24}, {5, 3, 3, 24}, {6, 2, 2, 24}, {4, 4, 4, 8},  {5, 5, 1, 24},
                        {7, 1, 1, 24}, {6, 4, 0, 24}, {6, 4, 2, 48}, {5, 5, 3, 24}, {7, 3, 1, 48},
                        {8, 0, 0, 6},  {7, 3, 3, 24}, {6, 4, 4, 24}, {8, 2, 0, 24}, {6, 6, 0, 12},
                        {8, 2, 2, 24}, {5, 5, 5, 8},  {7, 5, 1, 48}};
  for (const auto& r : hkl) {
    float n2 = static_cast<float>(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    float d = a / std::sqrt(n2);
    float s = 0.5f / d;  // sin(theta)/lambda
    float s2 = s * s;
    float debye = std::exp(-1.2f * s2);
    float f_na = (2.0f + 8.0f * std::exp(-4.0f * s2) + 1.0f * std::exp(-30.0f * s2)) * debye;
    float f_cl = (6.0f + 12.0f * std::exp(-9.0f * s2) - 1.0f * std::exp(-40.0f * s2)) * debye;
    bool even = r[0] % 2 == 0;
    float amplitude = even ? 4.0f * (f_na + f_cl) : 4.0f * (f_na - f_cl);
    float fabs = std::fabs(amplitude);
    float sin_t = lambda * s;
    float cos_t = std::sqrt(1.0f - sin_t * sin_t);
    float cos_2t = 1.0f - 2.0f * sin_t * sin_t;
    float lp = (1.0f + cos_2t * cos_2t) / (sin_t * sin_t * cos_t);
    float io = 0.01f * static_cast<float>(r[3]) * fabs * fabs * lp;
    // Rounded as a refinement program would list them; this also keeps the
    // file independent of the last bit of the math library.
    float fr = std::round(amplitude * 1000.0f) / 1000.0f;
    f.reflections.push_back(
        {r[0], r[1], r[2], fr, 0.0f, std::fabs(fr), std::round(io * 10.0f) / 10.0f});
  }
  return f;
}

}  // namespace sfconv::tools
