// Compiled into every program that links the load screens, so that they are
// in the screen registry before the start-up looks for them.
#include "RegistroSchermi.h"

namespace {
const bool registrati = (RegistraSchermiQuivamento(), true);
}
