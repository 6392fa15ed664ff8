// Table routing, key fields, key queries and the writing of one line.
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "OsservatoreRighe.h"
#include "Recordset.h"
#include "ScQuiva.h"
#include "ValoreColonna.h"

namespace {

bool SecondoCarattereSpazio(const QString& nomeCampo) { return nomeCampo.size() >= 2 && nomeCampo[1] == u' '; }

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
        // A table that does not exist is reported by the definition's check.
        if (!marcati && m_ctx.db.EsisteTabella(s.tabella)) {
            for (const QString& colonna : m_ctx.db.ColonnePrimarie(s.tabella))
                if (ScQuivaCampi* campo = Campo(s.tabella + QLatin1Char('.') + colonna))
                    campo->osChiave = QStringLiteral("S");
        }
    }
    Compila();
}

void ScQuiva::Compila()
{
    m_piano = PianoQuiva();
    for (const auto& campo : m_campi) {
        if (campo->UnioneSenzaOrigine())
            continue;
        const int slot = QualeTab(campo->osCodTab);
        CampoCompilato compilato = CompilaCampo(*campo, m_ctx.ditta, slot);
        // A value that depends on the line alone is read ahead with it; a
        // default or a currency amount depends on the load's state.
        if (!compilato.conDefault && compilato.valuta == ValutaCampo::Nessuna)
            compilato.anticipato = m_piano.anticipati++;
        SlotCompilato& s = m_piano.slot[slot];
        compilato.posizioneNelSlot = static_cast<int>(s.campi.size());
        s.campi.push_back(static_cast<int>(m_piano.campi.size()));
        // A key field keys every used slot of its table code (a field whose
        // code names no slot is written into slot 1 but keys nothing).
        if (compilato.chiave)
            for (int i = 1; i <= NumSlot; ++i)
                if (m_slot[i].usato() && campo->osCodTab.compare(m_slot[i].codTab, Qt::CaseInsensitive) == 0)
                    m_piano.slot[i].chiave.push_back(static_cast<int>(m_piano.campi.size()));
        m_piano.campi.push_back(std::move(compilato));
    }
    for (QString& sql : m_sqlChiave)
        sql.clear();
}

bool ScQuiva::ValoriChiave(const QString& riga, int i, QVariantList& valori)
{
    valori.clear();
    for (int k : m_piano.slot[i].chiave) {
        QVariant valore;
        if (LeggiVal(riga, m_piano.campi[k], valore) != 0)
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
        for (int k : m_piano.slot[i].chiave) {
            sql += (primo ? QStringLiteral(" Where ") : QStringLiteral(" And ")) + m_piano.campi[k].campo->osNomeCampo
                + QStringLiteral(" = ?");
            primo = false;
        }
    }
    return sql;
}

void ScQuiva::Apri(Slot& s, RecordsetAperto recordset)
{
    s.recordset = std::move(recordset);
    s.set = &m_rs.Oggetto(s.recordset);
    m_piano.slot[&s - m_slot.data()].colonneDi = nullptr;
}

const std::vector<int>& ScQuiva::Colonne(int i)
{
    SlotCompilato& piano = m_piano.slot[i];
    Recordset& set = *m_slot[i].set;
    const QStringList& colonne = set.Colonne();
    if (piano.colonneDi != &colonne) {
        piano.colonne.clear();
        for (int k : piano.campi)
            piano.colonne.push_back(set.IndiceColonna(m_piano.campi[k].campo->osNomeCampo));
        piano.colonneDi = &colonne;
    }
    return piano.colonne;
}

// The key query runs prepared with the key values bound, so a statement is
// neither built nor parsed per line; in a block on a server its answer was
// usually fetched ahead with the other lines'.
bool ScQuiva::ApriChiave(int i, const QString& riga)
{
    if (!ValoriChiave(riga, i, m_valoriChiave))
        return false;
    Slot& s = m_slot[i];
    if (!s.recordset.Aperto()) {
        Apri(s, RecordsetAperto(m_rs, SqlChiave(i), m_valoriChiave));
    } else if (std::optional<Recordset::Righe> righe = m_anticipate.Prendi(i, m_valoriChiave)) {
        s.set->ApriCon(SqlChiave(i), std::move(*righe));
    } else {
        s.set->Apri(SqlChiave(i), m_valoriChiave);
    }
    return true;
}

int ScQuiva::CompRecord(const QString& psRiga)
{
    std::array<bool, NumSlot + 1> nuovo {};
    for (int t = 1; t <= NumSlot; ++t) {
        Slot& s = m_slot[t];
        s.listino.clear();
        nuovo[t] = s.usato() && s.set && s.set->StatoModifica() == Recordset::Stato::Aggiunta;
    }
    const CampoCompilato* campo = nullptr;
    // The field's value, where the reading thread left it when it can stay
    // there until the write (a value is copied only when read or made here).
    const QVariant nessuno;  // of a field whose reading failed
    QVariant calcolato;
    QVariant adattato;
    const QVariant* valore = &nessuno;
    int t = 1;
    std::array<const std::vector<int>*, NumSlot + 1> colonne {};  // of each slot, resolved at its first field
    try {
        for (const CampoCompilato& c : m_piano.campi) {
            t = c.slot;
            Slot& s = m_slot[t];
            if (!(c.aggiorna || c.listino || nuovo[t]) || s.flag != 0)
                continue;
            campo = &c;
            valore = &nessuno;
            const int stato = LeggiVal(psRiga, c, valore, calcolato);
            if (stato != 0)
                return stato;
            if (c.aggiorna || nuovo[t]) {
                if (!s.set)
                    m_rs.Oggetto(s.recordset);  // a code naming a slot without a table: raises 3420
                if (!colonne[t])
                    colonne[t] = &Colonne(t);
                const int colonna = (*colonne[t])[c.posizioneNelSlot];
                if (colonna < 0)
                    s.set->Imposta(c.campo->osNomeCampo, *valore);  // raises "no such column"
                // What reaches a column is of its declared type.
                if (const ColonnaSchema* dichiarata = s.set->SchemaColonna(colonna)) {
                    const QVariant* adatto = ValorePerColonna(*valore, *dichiarata, adattato);
                    if (!adatto) {
                        ScriviErrore(psRiga,
                                     c.nome + QStringLiteral(": Tipo non valido (") + FormUtility::TestoValore(*valore)
                                         + QLatin1Char(')'));
                        return CodiciErrore::TipoNonCorrispondente;
                    }
                    valore = adatto;
                }
                // A value made here is copied; one the reading thread left is lent.
                if (valore == &calcolato || valore == &adattato)
                    s.set->Imposta(colonna, *valore);
                else
                    s.set->ImpostaPrestato(colonna, *valore);
                if (ogOsservatore)
                    ogOsservatore->Valore(*c.campo, *valore);
            }
            if (c.listino)
                s.listino = valore->toString();
            campo = nullptr;
        }
        for (t = 1; t <= NumSlot; ++t)
            if (m_slot[t].usato() && m_slot[t].flag == 0) {
                m_slot[t].set->Aggiorna();
                ++(nuovo[t] ? m_conteggi.inserite : m_conteggi.modificate)[t];
                if (ogOsservatore)
                    ogOsservatore->Scritta(t, nuovo[t]);
            }
        return 0;
    } catch (const std::exception& errore) {
        const int numero = FormUtility::NumeroErrore(errore);
        if (CodiciErrore::FermaCaricamento(numero))
            throw;
        const QString suffisso = campo ? QStringLiteral(": campo ") + campo->nome : QString();
        m_campoInLettura = campo ? campo->campo : nullptr;
        struct Dimentica {
            const ScQuivaCampi*& campo;
            ~Dimentica() { campo = nullptr; }
        } dimentica {m_campoInLettura};
        if (numero == CodiciErrore::ChiaveDoppia || numero == CodiciErrore::ErroreOdbc) {
            m_slot[t].flag = -1;
            if (ogOsservatore)
                ogOsservatore->Respinta(t);
            if (numero == CodiciErrore::ErroreOdbc)
                ScriviErrore(psRiga, FormUtility::DescrizioneErrore(errore) + suffisso);
            SalvaSlotDopo(t, psRiga);
            return -1;
        }
        QString messaggio;
        if (numero == CodiciErrore::CampoInesistente)
            messaggio = QStringLiteral("Campo inesistente");
        else if (numero == CodiciErrore::ValoreTroppoGrande)
            messaggio = QStringLiteral("Valore troppo grande (") + FormUtility::TestoValore(*valore) + QLatin1Char(')');
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
            const bool nuova = m_slot[u].set->StatoModifica() == Recordset::Stato::Aggiunta;
            m_slot[u].set->Aggiorna();
            ++(nuova ? m_conteggi.inserite : m_conteggi.modificate)[u];
            if (ogOsservatore)
                ogOsservatore->Scritta(u, nuova);
        } catch (const std::exception& errore) {
            const int numero = FormUtility::NumeroErrore(errore);
            if (numero != CodiciErrore::ChiaveDoppia && numero != CodiciErrore::ErroreOdbc)
                throw;
            m_slot[u].flag = -1;
            if (ogOsservatore)
                ogOsservatore->Respinta(u);
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
