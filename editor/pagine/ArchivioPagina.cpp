#include "ArchivioPagina.h"

#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FormUtility.h"
#include "Recordset.h"
#include "RecordsetManager.h"

namespace {

QVariantMap RigaCorrente(const Recordset& rs)
{
    QVariantMap riga;
    const int inizio = rs.Identita();
    for (int c = inizio; c < rs.Colonne().size(); ++c)
        riga.insert(rs.Colonne()[c], rs.Valore(rs.Posizione(), c));
    return riga;
}

// Sets every column of riga on the row being added or changed.
void ImpostaRiga(RecordsetManager& rs, const QString& nome, const QVariantMap& riga)
{
    for (auto it = riga.cbegin(); it != riga.cend(); ++it)
        rs.Imposta(nome, it.key(), it.value());
}

}  // namespace

ArchivioPagina::ArchivioPagina(DatabaseLink& db, QString tabella, QList<ColonnaChiave> chiave)
    : m_db(db), m_tabella(std::move(tabella)), m_chiave(std::move(chiave))
{
}

QString ArchivioPagina::Letterale(int colonna, const QString& valore) const
{
    const int tipo = m_chiave[colonna].tipo;
    if (TipiDato::IsNumerico(tipo) || tipo == TipiDato::Date)
        return FormUtility::SqlLiteral(FormUtility::ConvertiTesto(valore, tipo), tipo);
    return FormUtility::SqlLiteral(valore, TipiDato::String);
}

QString ArchivioPagina::WhereChiave(const QStringList& chiave) const
{
    QStringList condizioni;
    for (int c = 0; c < m_chiave.size(); ++c)
        condizioni << m_chiave[c].nome + QStringLiteral(" = ") + Letterale(c, chiave.value(c));
    return condizioni.join(QStringLiteral(" and "));
}

QString ArchivioPagina::OrdineChiave(bool discendente) const
{
    QStringList colonne;
    for (const ColonnaChiave& c : m_chiave)
        colonne << c.nome + (discendente ? QStringLiteral(" desc") : QString());
    return QStringLiteral(" order by ") + colonne.join(QStringLiteral(", "));
}

std::optional<QVariantMap> ArchivioPagina::Cerca(const QString& where) { return Cerca(where, false); }

std::optional<QVariantMap> ArchivioPagina::Cerca(const QString& where, bool discendente)
{
    RecordsetManager rs(m_db);
    QString sql = QStringLiteral("Select * from ") + m_tabella;
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    const QString nome = rs.Apri(sql + OrdineChiave(discendente));
    if (rs.Vuoto(nome))
        return std::nullopt;
    return RigaCorrente(rs.Oggetto(nome));
}

std::optional<QVariantMap> ArchivioPagina::Vicino(Verso verso, const QStringList& chiave)
{
    if (verso == Verso::Primo || verso == Verso::Ultimo || chiave.isEmpty())
        return Cerca(QString(), verso == Verso::Ultimo || verso == Verso::Precedente);
    // Rows after (or before) the key in key order: the first k-1 columns
    // equal and the k-th greater (smaller), for any k.
    const QString confronto = verso == Verso::Successivo ? QStringLiteral(" > ") : QStringLiteral(" < ");
    QStringList alternative;
    for (int k = 0; k < m_chiave.size(); ++k) {
        QStringList parti;
        for (int c = 0; c < k; ++c)
            parti << m_chiave[c].nome + QStringLiteral(" = ") + Letterale(c, chiave.value(c));
        parti << m_chiave[k].nome + confronto + Letterale(k, chiave.value(k));
        alternative << QLatin1Char('(') + parti.join(QStringLiteral(" and ")) + QLatin1Char(')');
    }
    return Cerca(alternative.join(QStringLiteral(" or ")), verso == Verso::Precedente);
}

void ArchivioPagina::Scrivi(const QStringList& chiaveVecchia, const QVariantMap& valori)
{
    RecordsetManager rs(m_db);
    if (chiaveVecchia.isEmpty()) {
        const QString nome = rs.Apri(QStringLiteral("Select * from ") + m_tabella + QStringLiteral(" where 1 = 0"));
        rs.AggiungiNuovo(nome);
        ImpostaRiga(rs, nome, valori);
        rs.Aggiorna(nome);
        return;
    }
    const QString nome =
        rs.Apri(QStringLiteral("Select * from ") + m_tabella + QStringLiteral(" where ") + WhereChiave(chiaveVecchia));
    if (rs.Vuoto(nome))
        throw ErroreRun(3021, QStringLiteral("Il dato non esiste più: è stato cancellato da un altro utente"));
    rs.Modifica(nome);
    ImpostaRiga(rs, nome, valori);
    rs.Aggiorna(nome);
}

void ArchivioPagina::Cancella(const QStringList& chiave)
{
    m_db.Esegui(QStringLiteral("Delete * from ") + m_tabella + QStringLiteral(" where ") + WhereChiave(chiave));
}

int CopiaRighe(DatabaseLink& db, const QString& sqlOrigine, const QVariantMap& sostituzioni)
{
    RecordsetManager rs(db);
    const QString origine = rs.Apri(sqlOrigine);
    const Recordset& sorgente = rs.Oggetto(origine);
    if (sorgente.Vuoto())
        return 0;
    const QString destinazione =
        rs.Apri(QStringLiteral("Select * from ") + sorgente.Tabella() + QStringLiteral(" where 1 = 0"));
    int copiate = 0;
    for (; !rs.Fine(origine); rs.Successivo(origine), ++copiate) {
        QVariantMap riga = RigaCorrente(sorgente);
        for (auto it = sostituzioni.cbegin(); it != sostituzioni.cend(); ++it)
            for (auto colonna = riga.begin(); colonna != riga.end(); ++colonna)
                if (colonna.key().compare(it.key(), Qt::CaseInsensitive) == 0)
                    colonna.value() = it.value();
        rs.AggiungiNuovo(destinazione);
        ImpostaRiga(rs, destinazione, riga);
        rs.Aggiorna(destinazione);
    }
    return copiate;
}

TransazioneUnica::TransazioneUnica(DatabaseLink& db) : m_db(db), m_propria(!db.InTransazione())
{
    if (m_propria)
        m_db.IniziaTransazione();
}

TransazioneUnica::~TransazioneUnica()
{
    if (!m_propria || m_confermata)
        return;
    try {
        m_db.AnnullaTransazione();
    } catch (const ErroreRun&) {
        // the connection reports its state at the next statement
    }
}

void TransazioneUnica::Conferma()
{
    if (m_propria)
        m_db.ConfermaTransazione();
    m_confermata = true;
}
