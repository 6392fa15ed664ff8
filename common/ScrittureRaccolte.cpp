#include "ScrittureRaccolte.h"

#include "Comando.h"
#include "MotoreDatabase.h"
#include "TestoServer.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <utility>

namespace {

QString TestoRighe(const FormaRighe& forma, int righe)
{
    QString sql = forma.inizio + forma.riga;
    for (int r = 1; r < righe; ++r)
        sql += QStringLiteral(", ") + forma.riga;
    return sql + forma.fine;
}

}  // namespace

ScrittureRaccolte::ScrittureRaccolte(DatabaseLink& db, MotoreDatabase& motore) : m_db(db), m_motore(motore) { }

ScrittureRaccolte::~ScrittureRaccolte() = default;

// The bulk copy takes the rows of one statement: the first one that comes.
bool ScrittureRaccolte::Copia(const FormaRighe& forma, ValoriRiga valori)
{
    if (forma.copia.isEmpty())
        return false;
    if (m_copia.isEmpty() && m_motore.ApriCopia(forma))
        m_copia = forma.copia;
    if (m_copia != forma.copia)
        return false;
    m_motore.AggiungiACopia(valori);
    return true;
}

bool ScrittureRaccolte::Aggiungi(const FormaRighe& forma, ValoriRiga valori, const QString& identita)
{
    if (Copia(forma, valori))
        return true;
    // Callers keep their forms, so the texts are usually the very same.
    auto stesso = [](const QString& a, const QString& b) { return a.constData() == b.constData() || a == b; };
    auto gruppo = std::find_if(m_gruppi.begin(), m_gruppi.end(), [&](const Gruppo& g) {
        return stesso(g.forma.inizio, forma.inizio) && stesso(g.forma.riga, forma.riga)
            && stesso(g.forma.fine, forma.fine) && stesso(g.forma.matrici, forma.matrici);
    });
    if (!identita.isEmpty()) {
        if (m_cambiate.contains(identita))
            return false;
        m_cambiate.insert(identita);
    }
    if (gruppo == m_gruppi.end()) {
        m_gruppi.push_back({forma, {}});
        gruppo = m_gruppi.end() - 1;
    }
    for (const QVariant* valore : valori)
        gruppo->valori.push_back(*valore);
    m_valori += static_cast<int>(valori.size());
    return true;
}

void ScrittureRaccolte::Scarta()
{
    if (!std::exchange(m_copia, {}).isEmpty())
        m_motore.AbbandonaCopia();
    if (std::exchange(m_parteInviata, false))
        m_motore.AbbandonaInviato();
    m_gruppi.clear();
    m_cambiate.clear();
    m_valori = 0;
}

// Several statements go in one: all but the last run as parts of its WITH
// clause. They touch different rows (a changed row was there before the
// block, a new one was not), so their order inside the statement does not
// change what they write; a conflict between them fails the whole statement.
QString ScrittureRaccolte::TestoIstruzione() const
{
    QStringList parti;
    for (const Gruppo& g : m_gruppi)
        parti << (g.forma.matrici.isEmpty() ? TestoRighe(g.forma, static_cast<int>(g.valori.size()) / g.forma.valori)
                                            : g.forma.matrici);
    QString sql = parti.takeLast();
    if (!parti.isEmpty()) {
        QStringList con;
        for (int i = 0; i < parti.size(); ++i)
            con << QStringLiteral("quiva_%1 AS (%2)").arg(i).arg(parti[i]);
        sql = QStringLiteral("WITH ") + con.join(QStringLiteral(", ")) + QLatin1Char(' ') + sql;
    }
    return sql;
}

// The two arrays of each group of changes, in the order of their markers.
std::vector<QByteArray> ScrittureRaccolte::Matrici() const
{
    std::vector<QByteArray> matrici;
    for (const Gruppo& g : m_gruppi)
        if (!g.forma.matrici.isEmpty())
            for (int parte = 0; parte < 2; ++parte)
                matrici.push_back(MatriceRighe(g.valori, g.forma.posti, g.forma.colonne, parte));
    return matrici;
}

Comando& ScrittureRaccolte::Istruzione()
{
    const QString sql = TestoIstruzione();
    auto it = m_istruzioni.find(sql);
    if (it == m_istruzioni.end()) {
        if (m_istruzioni.size() >= 16)  // blocks of many shapes: keep the latest only
            m_istruzioni.clear();
        it = m_istruzioni.insert(sql, Comando::Prepara(m_db, sql));
    }
    return *it.value();
}

void ScrittureRaccolte::InviaParte()
{
    const bool soloModifiche =
        std::all_of(m_gruppi.begin(), m_gruppi.end(), [](const Gruppo& g) { return !g.forma.matrici.isEmpty(); });
    if (!m_copia.isEmpty() || m_gruppi.empty() || !soloModifiche)
        return;
    if (!m_motore.InviaSenzaAttesa(TestoIstruzione(), Matrici()))
        return;
    m_parteInviata = true;
    m_gruppi.clear();
    m_cambiate.clear();  // a later change of the same row comes in a later statement
    m_valori = 0;
}

void ScrittureRaccolte::Invia()
{
    try {
        if (std::exchange(m_parteInviata, false))
            m_motore.AttendiInviato();
        if (!m_copia.isEmpty()) {
            m_copia.clear();
            m_motore.ChiudiCopia();
        }
        // New rows of other tables, each table's in one copy of its own;
        // what is left goes in one statement.
        std::erase_if(m_gruppi, [&](const Gruppo& g) {
            if (!m_motore.ApriCopia(g.forma))
                return false;
            m_copia = g.forma.copia;
            std::vector<const QVariant*> riga(static_cast<size_t>(g.forma.valori));
            for (size_t inizio = 0; inizio + riga.size() <= g.valori.size(); inizio += riga.size()) {
                for (size_t v = 0; v < riga.size(); ++v)
                    riga[v] = &g.valori[inizio + v];
                m_motore.AggiungiACopia(riga);
            }
            m_copia.clear();
            m_motore.ChiudiCopia();
            return true;
        });
        if (!m_gruppi.empty()) {
            Comando& istruzione = Istruzione();
            const std::vector<QByteArray> matrici = Matrici();
            auto matrice = matrici.begin();
            int segno = 0;
            for (const Gruppo& g : m_gruppi) {
                if (!g.forma.matrici.isEmpty()) {
                    for (int parte = 0; parte < 2; ++parte)
                        istruzione.Lega(segno++, QString::fromUtf8(*matrice++));
                    continue;
                }
                for (const QVariant& valore : g.valori)
                    istruzione.Lega(segno++, valore);
            }
            istruzione.Esegui();
            istruzione.Termina();
        }
    } catch (...) {
        Scarta();
        throw;
    }
    Scarta();
}
