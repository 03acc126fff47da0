// GSAS listings: not read yet; the conversion stores no reflection.
#include "readers/gsas/gsas.hpp"

namespace sfconv {

void gsas(TextInput& /*listing*/, TextInput& /*parameters*/) {}

}  // namespace sfconv
