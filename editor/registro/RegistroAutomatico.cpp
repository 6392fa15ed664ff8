// Compiled into every program that links the definition editor, so that its
// screens are in the screen registry before the start-up looks for them.
#include "RegistroEditor.h"

namespace {
const bool registrati = (RegistraSchermiEditor(), true);
}
