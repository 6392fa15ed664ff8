#pragma once
// The key look-ups of a block of lines, made ahead in one query per slot and
// served to the lines as they run, each at most once: a line that looks up
// again (a duplicate-key retry) asks the database.
#include "Recordset.h"

#include <QVariantList>
#include <array>
#include <optional>
#include <vector>

class ChiaviAnticipate {
public:
    static constexpr int NumSlot = 5;

    // A new block of righe lines; nothing looked up yet.
    void Inizia(int righe);
    void Dimentica();
    // Rows found for slot's key valori on line riga (0-based in the block).
    void Metti(int slot, int riga, QVariantList valori, Recordset::Righe righe);
    // Called as each line of the block starts.
    void ProssimaRiga() { ++m_riga; }
    // The rows the current line's look-up on slot finds, when they were
    // looked up ahead for these very values; given once.
    std::optional<Recordset::Righe> Prendi(int slot, const QVariantList& valori);

private:
    struct Trovate {
        QVariantList valori;
        Recordset::Righe righe;
        bool pronte = false;
    };
    std::array<std::vector<Trovate>, NumSlot + 1> m_slot;  // per line of the block
    int m_riga = -1;
};
