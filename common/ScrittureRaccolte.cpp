#include "ScrittureRaccolte.h"

#include "Comando.h"

#include <algorithm>

namespace {

// "INSERT INTO t (a, b) VALUES (?, ?), (?, ?)..." for the rows of a group.
QString Inserimento(const QString& inizio, int colonne, int righe)
{
    QString riga = QStringLiteral("(?");
    for (int c = 1; c < colonne; ++c)
        riga += QStringLiteral(", ?");
    riga += QLatin1Char(')');
    QString sql = inizio + QStringLiteral(" VALUES ") + riga;
    for (int r = 1; r < righe; ++r)
        sql += QStringLiteral(", ") + riga;
    return sql;
}

}  // namespace

ScrittureRaccolte::ScrittureRaccolte(DatabaseLink& db) : m_db(db) { }

ScrittureRaccolte::~ScrittureRaccolte() = default;

void ScrittureRaccolte::Aggiungi(const QString& inserimento, const std::vector<QVariant>& valori)
{
    auto gruppo =
        std::find_if(m_gruppi.begin(), m_gruppi.end(), [&](const Gruppo& g) { return g.inserimento == inserimento; });
    if (gruppo == m_gruppi.end()) {
        m_gruppi.push_back({inserimento, static_cast<int>(valori.size()), {}});
        gruppo = m_gruppi.end() - 1;
    }
    gruppo->valori.insert(gruppo->valori.end(), valori.begin(), valori.end());
    m_valori += static_cast<int>(valori.size());
}

void ScrittureRaccolte::Scarta()
{
    m_gruppi.clear();
    m_valori = 0;
}

// Several tables go in one statement too: all but the last insert run as
// parts of its WITH clause.
Comando& ScrittureRaccolte::Istruzione()
{
    QStringList parti;
    for (const Gruppo& g : m_gruppi)
        parti << Inserimento(g.inserimento, g.colonne, static_cast<int>(g.valori.size()) / g.colonne);
    QString sql = parti.takeLast();
    if (!parti.isEmpty()) {
        QStringList con;
        for (int i = 0; i < parti.size(); ++i)
            con << QStringLiteral("quiva_%1 AS (%2)").arg(i).arg(parti[i]);
        sql = QStringLiteral("WITH ") + con.join(QStringLiteral(", ")) + QLatin1Char(' ') + sql;
    }
    auto it = m_istruzioni.find(sql);
    if (it == m_istruzioni.end()) {
        if (m_istruzioni.size() >= 16)  // blocks of many shapes: keep the latest only
            m_istruzioni.clear();
        it = m_istruzioni.insert(sql, Comando::Prepara(m_db, sql));
    }
    return *it.value();
}

void ScrittureRaccolte::Invia()
{
    if (m_gruppi.empty())
        return;
    try {
        Comando& istruzione = Istruzione();
        int segno = 0;
        for (const Gruppo& g : m_gruppi)
            for (const QVariant& valore : g.valori)
                istruzione.Lega(segno++, valore);
        istruzione.Esegui();
        istruzione.Termina();
    } catch (...) {
        Scarta();
        throw;
    }
    Scarta();
}
