// Table routing, key fields, key queries and the writing of one line.
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "ScQuiva.h"

namespace {

bool Uguale(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool SecondoCarattereSpazio(const QString& nomeCampo)
{
    return nomeCampo.size() >= 2 && nomeCampo[1] == u' ';
}

}  // namespace

QString ScQuiva::LeggiNomeTabella(const QString& psNomeCampo) const
{
    if (SecondoCarattereSpazio(psNomeCampo)) {
        const QString codice = psNomeCampo.left(1);
        for (int i = 2; i <= NumSlot; ++i)
            if (m_slot[i].codTab.compare(codice, Qt::CaseInsensitive) == 0)
                return m_slot[i].tabella;
    }
    return m_slot[1].tabella;
}

QString ScQuiva::LeggiNomeCampo(const QString& psNomeCampo)
{
    return SecondoCarattereSpazio(psNomeCampo) ? psNomeCampo.mid(2) : psNomeCampo;
}

QString ScQuiva::LeggiCodTab(const QString& psNomeCampo)
{
    return SecondoCarattereSpazio(psNomeCampo) ? psNomeCampo.left(1) : QString();
}

qint16 ScQuiva::QualeTab(const QString& psCodTab) const
{
    for (int i = 1; i <= NumSlot; ++i)
        if (m_slot[i].codTab.compare(psCodTab, Qt::CaseInsensitive) == 0)
            return static_cast<qint16>(i);
    return 1;
}

void ScQuiva::ImpCampiKey()
{
    for (int i = 1; i <= NumSlot; ++i) {
        const Slot& s = m_slot[i];
        if (!s.usato())
            continue;
        bool marcati = false;
        for (auto& campo : m_campi) {
            if (campo->osCodTab.compare(s.codTab, Qt::CaseInsensitive) != 0)
                continue;
            if (campo->osNumCampo.startsWith(QLatin1Char('K'), Qt::CaseInsensitive)) {
                campo->osNumCampo.remove(0, 1);
                campo->osChiave = QStringLiteral("S");
                marcati = true;
            }
        }
        if (!marcati) {
            for (const QString& colonna : m_ctx.db.ColonnePrimarie(s.tabella))
                if (ScQuivaCampi* campo = Campo(s.tabella + QLatin1Char('.') + colonna))
                    campo->osChiave = QStringLiteral("S");
        }
    }
    m_infoCampi.clear();
    for (auto& campo : m_campi)
        m_infoCampi.push_back({QualeTab(campo->osCodTab), Uguale(campo->osAggiorna, "A"),
                               Uguale(campo->osNomeCampo, "Listino")});
    for (int i = 1; i <= NumSlot; ++i) {
        m_campiChiave[i].clear();
        m_sqlChiave[i].clear();
        if (!m_slot[i].usato())
            continue;
        for (auto& campo : m_campi)
            if (campo->osCodTab.compare(m_slot[i].codTab, Qt::CaseInsensitive) == 0 && Uguale(campo->osChiave, "S"))
                m_campiChiave[i].push_back(campo.get());
    }
}

bool ScQuiva::ValoriChiave(const QString& riga, int i, QVariantList& valori)
{
    valori.clear();
    for (const ScQuivaCampi* campo : m_campiChiave[i]) {
        QVariant valore;
        if (LeggiVal(riga, *campo, valore, i) != 0)
            return false;
        valori.append(valore);
    }
    return true;
}

const QString& ScQuiva::SqlChiave(int i)
{
    QString& sql = m_sqlChiave[i];
    if (sql.isEmpty()) {
        sql = QStringLiteral("Select ") + m_slot[i].campi + QStringLiteral(" from ") + m_slot[i].tabella;
        bool primo = true;
        for (const ScQuivaCampi* campo : m_campiChiave[i]) {
            sql += (primo ? QStringLiteral(" Where ") : QStringLiteral(" And ")) + campo->osNomeCampo
                   + QStringLiteral(" = ?");
            primo = false;
        }
    }
    return sql;
}

QString ScQuiva::CompSqlKey(const QString& psRiga, int piCodTab)
{
    QVariantList valori;
    if (!ValoriChiave(psRiga, piCodTab, valori))
        return {};
    QString sql = QStringLiteral("Select ") + m_slot[piCodTab].campi + QStringLiteral(" from ")
                  + m_slot[piCodTab].tabella;
    for (int k = 0; k < valori.size(); ++k) {
        const ScQuivaCampi* campo = m_campiChiave[piCodTab][k];
        sql += (k == 0 ? QStringLiteral(" Where ") : QStringLiteral(" And ")) + campo->osNomeCampo
               + QStringLiteral(" = ") + FormUtility::SqlLiteral(valori[k], campo->oiTipoDest());
    }
    return sql;
}

// The key query runs prepared with the key values bound: the same rows as
// CompSqlKey's text, without building and parsing a statement per line.
bool ScQuiva::ApriChiave(int i, const QString& riga)
{
    QVariantList valori;
    if (!ValoriChiave(riga, i, valori))
        return false;
    Slot& s = m_slot[i];
    if (!s.recordset.Aperto())
        s.recordset = RecordsetAperto(m_rs, SqlChiave(i), valori);
    else
        m_rs.Riapri(s.recordset, SqlChiave(i), valori);
    return true;
}

int ScQuiva::CompRecord(const QString& psRiga)
{
    std::array<bool, NumSlot + 1> nuovo{};
    for (int t = 1; t <= NumSlot; ++t) {
        m_slot[t].listino.clear();
        nuovo[t] = m_slot[t].usato() && m_slot[t].recordset.Aperto() && m_rs.InAggiunta(m_slot[t].recordset);
    }
    const ScQuivaCampi* campo = nullptr;
    QVariant valore;
    int t = 1;
    try {
        for (size_t k = 0; k < m_campi.size(); ++k) {
            const InfoCampo& info = m_infoCampi[k];
            t = info.slot;
            if (!(info.aggiorna || info.listino || nuovo[t]) || m_slot[t].flag != 0)
                continue;
            campo = m_campi[k].get();
            valore = QVariant();
            const int stato = LeggiVal(psRiga, *campo, valore, t);
            if (stato != 0)
                return stato;
            if (info.aggiorna || nuovo[t])
                m_rs.Imposta(m_slot[t].recordset, campo->osNomeCampo, valore);
            if (info.listino)
                m_slot[t].listino = valore.toString();
            campo = nullptr;
        }
        for (t = 1; t <= NumSlot; ++t)
            if (m_slot[t].usato() && m_slot[t].flag == 0)
                m_rs.Aggiorna(m_slot[t].recordset);
        return 0;
    } catch (const std::exception& errore) {
        const int numero = FormUtility::NumeroErrore(errore);
        if (CodiciErrore::FermaCaricamento(numero))
            throw;
        const QString suffisso =
            campo ? QStringLiteral(": campo ") + campo->osTabella + QLatin1Char('.') + campo->osNomeCampo : QString();
        if (numero == CodiciErrore::ChiaveDoppia || numero == CodiciErrore::ErroreOdbc) {
            m_slot[t].flag = -1;
            if (numero == CodiciErrore::ErroreOdbc)
                ScriviErrore(psRiga, FormUtility::DescrizioneErrore(errore) + suffisso);
            SalvaSlotDopo(t, psRiga);
            return -1;
        }
        QString messaggio;
        if (numero == CodiciErrore::CampoInesistente)
            messaggio = QStringLiteral("Campo inesistente");
        else if (numero == CodiciErrore::ValoreTroppoGrande)
            messaggio = QStringLiteral("Valore troppo grande (") + FormUtility::TestoValore(valore) + QLatin1Char(')');
        else
            messaggio = FormUtility::DescrizioneErrore(errore);
        ScriviErrore(psRiga, messaggio + suffisso);
        return numero;
    }
}

// After a duplicate key on slot t the slots after it are still saved.
void ScQuiva::SalvaSlotDopo(int t, const QString& psRiga)
{
    for (int u = t + 1; u <= NumSlot; ++u) {
        if (!m_slot[u].usato() || m_slot[u].flag != 0)
            continue;
        try {
            m_rs.Aggiorna(m_slot[u].recordset);
        } catch (const std::exception& errore) {
            const int numero = FormUtility::NumeroErrore(errore);
            if (numero != CodiciErrore::ChiaveDoppia && numero != CodiciErrore::ErroreOdbc)
                throw;
            m_slot[u].flag = -1;
            if (numero == CodiciErrore::ErroreOdbc)
                ScriviErrore(psRiga, FormUtility::DescrizioneErrore(errore));
        }
    }
}

QString ScQuiva::QuivaPathCompleta(const QString& psFile) const
{
    const QString& d = m_ctx.driveDB;
    const QString& l = m_ctx.dirQuiva;
    auto unisci = [](const QString& cartella, const QString& nome) {
        if (cartella.endsWith(QLatin1Char('\\')) || cartella.endsWith(QLatin1Char('/')))
            return cartella + nome;
        return cartella + QLatin1Char('\\') + nome;
    };
    if (psFile.startsWith(QLatin1String("\\\\")) || (psFile.size() >= 2 && psFile[1] == u':')
        || psFile.startsWith(QLatin1Char('/')))
        return psFile;
    if (psFile.startsWith(QLatin1Char('\\')))
        return d.endsWith(QLatin1Char('\\')) || d.endsWith(QLatin1Char('/')) ? d + psFile.mid(1) : d + psFile;
    return unisci(l, psFile);
}
