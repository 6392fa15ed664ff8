#pragma once
// Program-wide run state shared by the load dialog and the load engine:
// 0 no load, 1 a load is running, 2 the user confirmed the stop.
// Atomic so that a terminal's interrupt handler may set it.
#include <atomic>

namespace Stato {
constexpr int Inattivo = 0;
constexpr int InCorso = 1;
constexpr int Interrotto = 2;
}  // namespace Stato

extern std::atomic<int> StatoElaborazione;
