// Single-precision sine and cosine, correctly rounded: the same bits on every
// machine, whatever the C library and the compiler's flags.
#pragma once

namespace sfconv {

// The float nearest the exact sine or cosine of x (radians), ties to even, for
// every finite x; NaN gives NaN, and so do the infinities.
float sin(float x);
float cos(float x);

namespace trig_detail {

// Which evaluation settled the rounding: the double-precision one, the
// double-double one after it, or neither (the check tool shows that this
// never happens). For the check tool and the tests.
enum class Path { fast, slow, undecided };
Path sin_path(float x);
Path cos_path(float x);

}  // namespace trig_detail

}  // namespace sfconv
