#pragma once
// A load definition compiled for the line loop. The reader turns every field
// record into a CampoCompilato (type codes, yes/no flags, decimals, field
// number, target slot) and every slot into the list of its fields and key
// fields, once; the loop then compares no stored text and looks nothing up
// by name. Column positions in a slot's record set are resolved on the
// first line that writes through that statement.
#include "ImpostazioniDitta.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class ScQuivaCampi;

// The currency an amount field is written in ("LireOValuta").
enum class ValutaCampo : quint8 { Nessuna, Lire, Euro, Altra };

struct CampoCompilato {
    const ScQuivaCampi* campo = nullptr;
    int slot = 1;
    int posizioneNelSlot = 0;   // position among the fields of its slot
    int tipoDest = 0;           // type code of the destination (0 unknown: text)
    bool destNumerica = false;  // integer, single, double or currency
    bool chiave = false;        // key field ("S")
    bool obbligatorio = false;  // "Obbligatorio" "S"
    bool zeriVuoti = false;     // "Conv0ToNull" "S": zeros are an empty value
    bool aggiorna = false;      // "Aggiorna" "A": written on updates too
    bool listino = false;       // the field is "Listino" (price list of amounts)
    bool conDefault = false;    // the value comes from "Default", not from the line
    bool conDecimali = false;   // implied decimals / rounding asked
    ValutaCampo valuta = ValutaCampo::Nessuna;
    qint16 decimali = 0;             // decimals of the result (NumDecNonImpostato: none)
    qint16 decMoneta = 2;            // decimals of the company currency for conversions
    std::optional<int> numeroCampo;  // plain field number of a delimited line
    int anticipato = -1;             // place among the values read ahead with the line (-1: read by the load)
    QString nome;                    // "table.column" for the error rows
};

// Compiles one field record with the company's currency settings.
CampoCompilato CompilaCampo(const ScQuivaCampi& campo, const ImpostazioniDitta& ditta, int slot = 1);

struct SlotCompilato {
    std::vector<int> campi;   // the slot's fields, positions in PianoQuiva::campi
    std::vector<int> chiave;  // its key fields, in definition order
    // Column of each of campi in the record set's current statement, and the
    // statement's column list they were resolved against.
    const QStringList* colonneDi = nullptr;
    std::vector<int> colonne;
};

struct PianoQuiva {
    static constexpr int NumSlot = 5;
    std::vector<CampoCompilato> campi;            // in definition order
    std::array<SlotCompilato, NumSlot + 1> slot;  // 1..5
    int anticipati = 0;                           // fields read ahead with the line
};
