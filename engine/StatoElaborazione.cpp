#include "StatoElaborazione.h"

std::atomic<int> StatoElaborazione {Stato::Inattivo};
