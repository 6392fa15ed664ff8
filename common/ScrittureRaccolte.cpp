#include "ScrittureRaccolte.h"

#include "Comando.h"

#include <algorithm>

namespace {

// Rows per statement: a power of two, so that a few prepared statements
// cover any count, and few enough markers for any server.
int RighePerIstruzione(int colonne)
{
    int righe = 256;
    while (righe > 1 && righe * colonne > 8192)
        righe /= 2;
    return righe;
}

}  // namespace

ScrittureRaccolte::ScrittureRaccolte(DatabaseLink& db) : m_db(db) {}

ScrittureRaccolte::~ScrittureRaccolte() = default;

void ScrittureRaccolte::Aggiungi(const QString& inserimento, std::vector<QVariant> valori)
{
    auto gruppo = std::find_if(m_gruppi.begin(), m_gruppi.end(),
                               [&](const Gruppo& g) { return g.inserimento == inserimento; });
    if (gruppo == m_gruppi.end()) {
        m_gruppi.push_back({inserimento, static_cast<int>(valori.size()), {}});
        gruppo = m_gruppi.end() - 1;
    }
    std::move(valori.begin(), valori.end(), std::back_inserter(gruppo->valori));
}

Comando& ScrittureRaccolte::Istruzione(const Gruppo& gruppo, int righe)
{
    QString riga = QStringLiteral("(?");
    for (int c = 1; c < gruppo.colonne; ++c)
        riga += QStringLiteral(", ?");
    riga += QLatin1Char(')');
    QStringList righeSql;
    for (int r = 0; r < righe; ++r)
        righeSql << riga;
    const QString sql = gruppo.inserimento + QStringLiteral(" VALUES ") + righeSql.join(QStringLiteral(", "));
    std::shared_ptr<Comando>& istruzione = m_istruzioni[sql];
    if (!istruzione)
        istruzione = Comando::Prepara(m_db, sql);
    return *istruzione;
}

void ScrittureRaccolte::Invia()
{
    std::vector<Gruppo> gruppi;
    gruppi.swap(m_gruppi);
    for (const Gruppo& gruppo : gruppi) {
        const int totale = static_cast<int>(gruppo.valori.size()) / gruppo.colonne;
        const int massimo = RighePerIstruzione(gruppo.colonne);
        for (int fatte = 0; fatte < totale;) {
            int righe = massimo;
            while (righe > totale - fatte)
                righe /= 2;
            Comando& istruzione = Istruzione(gruppo, righe);
            const int primo = fatte * gruppo.colonne;
            for (int i = 0; i < righe * gruppo.colonne; ++i)
                istruzione.Lega(i, gruppo.valori[static_cast<size_t>(primo + i)]);
            istruzione.Esegui();
            istruzione.Termina();
            fatte += righe;
        }
    }
}
