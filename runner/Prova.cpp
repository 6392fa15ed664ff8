#include "Prova.h"

#include "RecordsetManager.h"

#include <algorithm>

void ProgressoProva::Fase(FaseQuiva fase, const QString& nome)
{
    m_caricamento = fase == FaseQuiva::Caricamento;
    if (fase == FaseQuiva::Preparazione)
        m_righe = 0;
    m_schermo.Fase(fase, nome);
}

void ProgressoProva::Posizione(long posizione)
{
    if (m_caricamento)
        m_righe = std::max(m_righe, posizione);
    m_schermo.Posizione(posizione);
}

QString RapportoProva(DatabaseLink& db, const QString& codice, long righeLette)
{
    RecordsetManager rs(db);
    const QString nome =
        rs.Apri(QStringLiteral("Select Riga, Errore from ErroriQuivamento Where Tabella = ?"), {codice});
    QString dettaglio, precedente;
    long scartate = 0;
    for (; !rs.Fine(nome); rs.Successivo(nome)) {
        // the error rows of one line follow each other
        const QString riga = rs.Leggi(nome, QStringLiteral("Riga"));
        if (scartate == 0 || riga != precedente) {
            ++scartate;
            dettaglio += QStringLiteral("\nScartata: ") + riga;
            precedente = riga;
        }
        dettaglio += QStringLiteral("\n  Motivo: ") + rs.Leggi(nome, QStringLiteral("Errore"));
    }
    rs.Chiudi(nome);
    return QStringLiteral("Prova %1: %2 righe da caricare, %3 righe scartate")
               .arg(codice)
               .arg(std::max(0L, righeLette - scartate))
               .arg(scartate)
        + dettaglio;
}
