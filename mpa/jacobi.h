// The Jacobi symbol on values, shared by the exported MPA_Jacobi and the
// Solovay-Strassen test so that neither goes through the byte interface.
#pragma once

#include "mpa/natural.h"

namespace mpa {

// (a/n) for odd n: -1, 0 or 1, by the reciprocity rules.
int JacobiSymbol(Natural a, Natural n);

} // namespace mpa
