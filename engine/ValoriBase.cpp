#include "ValoriBase.h"

#include "FormUtility.h"
#include "RecordsetManager.h"
#include "ValueStore.h"

#include <QRegularExpression>

namespace {
const QChar Paragrafo(0x00A7);  // "§"
}

bool AnalizzaRichiesta(const QString& descrizione, RichiestaBase& richiesta)
{
    const QString& d = descrizione;
    qsizetype inizio = 1;  // the label starts after the marker
    richiesta.contatore = false;
    richiesta.rottura.clear();
    if (d.size() > 1 && d[1] == QLatin1Char('#')) {
        const qsizetype chiusura = d.indexOf(QLatin1Char('#'), 2);
        if (chiusura < 0)
            return false;
        richiesta.contatore = true;
        richiesta.rottura = d.mid(2, chiusura - 2).trimmed();
        inizio = chiusura + 1;
    }
    const qsizetype separatore = d.indexOf(Paragrafo, inizio);
    if (separatore >= 0) {
        richiesta.etichetta = d.mid(inizio, separatore - inizio).trimmed();
        richiesta.proposta = d.mid(separatore + 1).trimmed();
    } else {
        richiesta.etichetta = d.mid(inizio).trimmed();
        richiesta.proposta.clear();
    }
    return true;
}

int RaccoltaValBase::RicValDefault(RecordsetManager& rs, const QString& codice, QString& errore)
{
    const QString sql = QStringLiteral("Select * from QuivaDettaglio Where Codice = ")
        + FormUtility::SqlLiteral(codice, TipiDato::String) + QStringLiteral(" And left([Default],1) = ")
        + FormUtility::SqlLiteral(QString(Paragrafo), TipiDato::String)
        + QStringLiteral(" Order by IIf(IsNull([OrdCampo]),999999,Val([OrdCampo]))");
    const RecordsetAperto nome(rs, sql);
    for (; !rs.Fine(nome); rs.Successivo(nome)) {
        RichiestaBase r;
        r.codice = rs.Leggi(nome, QStringLiteral("Codice"));
        r.nomeCampo = rs.Leggi(nome, QStringLiteral("NomeCampo"));
        r.costBatch = rs.Leggi(nome, QStringLiteral("CostBatch"));
        const QString descrizione = rs.Leggi(nome, QStringLiteral("Default"));
        if (!AnalizzaRichiesta(descrizione, r)) {
            errore = QStringLiteral("Definizione ") + codice + QStringLiteral(", campo ") + r.nomeCampo
                + QStringLiteral(": manca il \"#\" che chiude il contatore nel default \"") + descrizione
                + QLatin1Char('"');
            return -1;
        }
        m_richieste.push_back(std::move(r));
    }
    return 0;
}

int RaccoltaValBase::Indice(const QString& chiave) const
{
    for (size_t n = 0; n < m_richieste.size(); ++n)
        if (m_richieste[n].Chiave().compare(chiave, Qt::CaseInsensitive) == 0)
            return static_cast<int>(n);
    return -1;
}

QString RaccoltaValBase::ControllaContatori(const QStringList& risposte, int* indice) const
{
    static const QRegularExpression intero(QStringLiteral("^[+-]?[0-9]{1,18}$"));
    for (size_t n = 0; n < m_richieste.size(); ++n) {
        const QString risposta = risposte.value(static_cast<qsizetype>(n)).trimmed();
        if (!m_richieste[n].contatore || intero.match(risposta).hasMatch())
            continue;
        if (indice)
            *indice = static_cast<int>(n);
        return QStringLiteral("Il valore di partenza di \"") + m_richieste[n].etichetta
            + QStringLiteral("\" deve essere un numero intero: \"") + risposta + QLatin1Char('"');
    }
    return {};
}

void RaccoltaValBase::Memorizza(const QStringList& risposte, ValueStore& store) const
{
    for (size_t n = 0; n < m_richieste.size(); ++n) {
        const RichiestaBase& r = m_richieste[n];
        const QString risposta =
            n < static_cast<size_t>(risposte.size()) ? risposte[static_cast<qsizetype>(n)] : QString();
        VoceValore& voce = store.Voce(r.Chiave());
        if (r.contatore) {
            voce.contatore = static_cast<long>(FormUtility::TestoAIntero(risposta));
            voce.contatoreIniziale = static_cast<double>(voce.contatore);
            voce.valore = ValueStore::ValoreMai;
            voce.rottura = r.rottura;
            voce.segnoContatore = ValueStore::SegnoContatoreAttivo;
        } else {
            voce.valore = risposta;
        }
    }
}
