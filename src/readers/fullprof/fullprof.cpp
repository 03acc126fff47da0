// FullProf outputs: not read yet; the conversion stores no reflection.
#include "readers/fullprof/fullprof.hpp"

namespace sfconv {

void fullprof(TextInput& /*output*/, TextInput& /*parameters*/) {}

}  // namespace sfconv
