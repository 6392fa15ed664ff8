#include "ChiaviAnticipate.h"

void ChiaviAnticipate::Inizia(int righe)
{
    for (auto& slot : m_slot) {
        slot.clear();
        slot.resize(static_cast<size_t>(righe));
    }
    m_riga = -1;
}

void ChiaviAnticipate::Dimentica() { Inizia(0); }

void ChiaviAnticipate::Metti(int slot, int riga, QVariantList valori, Recordset::Righe righe)
{
    m_slot[slot][riga] = {std::move(valori), std::move(righe), true};
}

std::optional<Recordset::Righe> ChiaviAnticipate::Prendi(int slot, const QVariantList& valori)
{
    std::vector<Trovate>& righe = m_slot[slot];
    if (m_riga < 0 || m_riga >= static_cast<int>(righe.size()))
        return std::nullopt;
    Trovate& trovate = righe[m_riga];
    if (!trovate.pronte || trovate.valori != valori)
        return std::nullopt;
    trovate.pronte = false;
    return std::move(trovate.righe);
}
