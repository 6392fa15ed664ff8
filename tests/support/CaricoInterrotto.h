#pragma once
// A load that takes a few seconds, for the tests that kill a program in the
// middle of it: 60,000 generated lines into two tables, every 97th line with
// a bad quantity that becomes an error row; and the checks of what a killed
// load may leave.
#include "AmbienteProva.h"

#include <QStringList>
#include <QVariantMap>
#include <ostream>
#include <vector>

namespace CaricoInterrotto {

constexpr int Righe = 200000;
constexpr int OgniErrore = 97;
inline constexpr const char* Codice = "ART";

// A write mode of the definition, with its header columns.
struct Modo {
    const char* nome;
    QVariantMap definizione;
    bool parteDaVuoto;  // every run empties the tables first
};
// Emptying the tables first, insert-or-update, insert-only: the modes where
// running the load again reaches the state of a run never killed.
std::vector<Modo> ModiRipetibili();
inline void PrintTo(const Modo& modo, std::ostream* os) { *os << modo.nome; }

// The tables Articoli and Giacenze and the definition "ART" that fills them
// from the generated file; definizione adds header columns (write mode...).
void Prepara(AmbienteProva& ambiente, const QVariantMap& definizione);

struct Contenuto {
    QStringList articoli, giacenze, errori;
    bool operator==(const Contenuto&) const = default;
};
Contenuto Leggi(AmbienteProva& ambiente);
void Svuota(AmbienteProva& ambiente);

// Checks the sound database a killed load must leave: integrity, rows each
// equal to the finished run's row, both tables holding the same lines,
// error rows a whole prefix of the finished run's. When every run empties
// the tables first, the rows are exactly those of the first lines.
void VerificaDopoUccisione(AmbienteProva& ambiente, const Contenuto& finale, bool parteDaVuoto);

// quiva-load run to the end (exit 0 expected); gives how long it took.
qint64 CaricaFinoInFondo(const QString& quivaLoad, const QStringList& argomenti);

// QUIVA_SEME when set, otherwise a fresh random seed.
unsigned Seme();

}  // namespace CaricoInterrotto
