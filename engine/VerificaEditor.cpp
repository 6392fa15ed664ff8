#include "VerificaEditor.h"

#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "LettoreRighe.h"
#include "RecordsetManager.h"
#include "ScQuiva.h"
#include "ValoriBase.h"

#include <QHash>
#include <QStringList>
#include <optional>

namespace {

using Genere = ProblemaDefinizione::Genere;

class Controlli {
public:
    Controlli(ContestoQuiva& contesto, const ScQuiva& motore, std::vector<ProblemaDefinizione>& problemi)
        : m_ctx(contesto), m_motore(motore), m_problemi(problemi)
    {
    }

    void Esegui()
    {
        const auto& campi = m_motore.Campi();
        for (int i = 0; i < static_cast<int>(campi.size()); ++i) {
            const ScQuivaCampi& c = *campi[static_cast<size_t>(i)];
            Origine(i, c);
            Richiesta(i, c);
        }
        Chiavi();
        if (m_motore.Fisso())
            Posizioni();
    }

private:
    void Aggiungi(Genere genere, int slot, int campo, const QString& testo)
    {
        const QString nome = campo >= 0 ? m_motore.Campi()[static_cast<size_t>(campo)]->osTabellaCampo : QString();
        m_problemi.push_back({genere, slot, campo, nome, testo});
    }

    int Slot(const ScQuivaCampi& c) const
    {
        for (int i = 1; i <= ScQuiva::NumSlot; ++i)
            if (m_motore.slot(i).usato() && m_motore.slot(i).codTab.compare(c.osCodTab, Qt::CaseInsensitive) == 0)
                return i;
        return 1;
    }

    static bool Letto(const ScQuivaCampi& c) { return c.osDefault.isEmpty(); }
    static bool Intervallo(const ScQuivaCampi& c) { return c.oiInizio >= 1 && c.oiLunghezza > 0; }

    void Origine(int i, const ScQuivaCampi& c)
    {
        if (!Letto(c) || !c.osNumCampo.trimmed().isEmpty() || (m_motore.Fisso() && Intervallo(c)))
            return;
        Aggiungi(Genere::SenzaOrigine, Slot(c), i,
                 QStringLiteral("Campo \"%1\": non ha posizione nella riga né un valore predefinito").arg(c.osTabellaCampo));
    }

    void Richiesta(int i, const ScQuivaCampi& c)
    {
        if (!c.osDefault.startsWith(QChar(0x00A7)))
            return;
        RichiestaBase richiesta;
        if (AnalizzaRichiesta(c.osDefault, richiesta) && richiesta.etichetta.isEmpty())
            Aggiungi(Genere::RichiestaSenzaNome, Slot(c), i,
                     QStringLiteral("Campo \"%1\": il valore richiesto (§) non ha descrizione").arg(c.osTabellaCampo));
    }

    // Every line but free insertion looks its rows up by key.
    void Chiavi()
    {
        if (m_motore.InsVaria().compare(QLatin1String("I"), Qt::CaseInsensitive) == 0)
            return;
        for (int s = 1; s <= ScQuiva::NumSlot; ++s) {
            if (!m_motore.slot(s).usato())
                continue;
            bool chiave = false;
            for (const auto& c : m_motore.Campi())
                chiave = chiave
                    || (c->osChiave.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
                        && c->osCodTab.compare(m_motore.slot(s).codTab, Qt::CaseInsensitive) == 0);
            if (!chiave)
                Aggiungi(Genere::SenzaChiave, s, -1,
                         QStringLiteral("La tabella %1 non ha campi chiave: senza chiave ogni riga cerca e varia "
                                        "righe a caso; indicare i campi chiave o l'inserimento libero")
                             .arg(m_motore.slot(s).tabella));
        }
    }

    void Posizioni()
    {
        const auto& campi = m_motore.Campi();
        const std::optional<int> lunga = RigaPiuLunga();
        for (int i = 0; i < static_cast<int>(campi.size()); ++i) {
            const ScQuivaCampi& a = *campi[static_cast<size_t>(i)];
            if (!Letto(a) || !Intervallo(a))
                continue;
            const int fine = a.oiInizio + a.oiLunghezza - 1;
            if (lunga && fine > *lunga)
                Aggiungi(Genere::OltreLaRiga, Slot(a), i,
                         QStringLiteral("Campo \"%1\": arriva al carattere %2, oltre la riga più lunga del file (%3)")
                             .arg(a.osTabellaCampo)
                             .arg(fine)
                             .arg(*lunga));
            // The same span read for several tables is a field shared; a
            // span that overlaps another in part is a mistake.
            for (int j = 0; j < i; ++j) {
                const ScQuivaCampi& b = *campi[static_cast<size_t>(j)];
                if (!Letto(b) || !Intervallo(b) || (a.oiInizio == b.oiInizio && a.oiLunghezza == b.oiLunghezza))
                    continue;
                if (a.oiInizio <= b.oiInizio + b.oiLunghezza - 1 && b.oiInizio <= fine) {
                    Aggiungi(Genere::Sovrapposti, Slot(a), i,
                             QStringLiteral("Campo \"%1\" (%2-%3): si sovrappone al campo \"%4\" (%5-%6)")
                                 .arg(a.osTabellaCampo)
                                 .arg(a.oiInizio)
                                 .arg(fine)
                                 .arg(b.osTabellaCampo)
                                 .arg(b.oiInizio)
                                 .arg(b.oiInizio + b.oiLunghezza - 1));
                    break;
                }
            }
        }
    }

    // Of the first thousand lines of the source file; nothing when it cannot be read.
    std::optional<int> RigaPiuLunga() const
    {
        try {
            LettoreRighe file(QString(m_motore.Origine()).replace(QLatin1Char('\\'), QLatin1Char('/')));
            QString riga;
            int lunga = 0;
            for (int n = 0; n < 1000 && file.Leggi(riga); ++n)
                lunga = std::max(lunga, static_cast<int>(riga.size()));
            return lunga > 0 ? std::optional<int>(lunga) : std::nullopt;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    ContestoQuiva& m_ctx;
    const ScQuiva& m_motore;
    std::vector<ProblemaDefinizione>& m_problemi;
};

// Two field rows writing the same column of the same table, and decode rows
// of fields that are not there, from the stored rows: the reader refuses such
// a definition before anything else is seen.
std::vector<ProblemaDefinizione> PrimaDellaLettura(DatabaseLink& db, const QString& codice)
{
    RecordsetManager rs(db);
    std::vector<ProblemaDefinizione> problemi;
    const RecordsetAperto testata(rs, QStringLiteral("Select * from QuivaFile Where Codice = ?"), {codice});
    if (rs.Vuoto(testata))
        return problemi;
    QHash<QString, QString> tabelle;  // by table code, lower case
    tabelle.insert(QString(), rs.Leggi(testata, QStringLiteral("Tabella")));
    for (int i = 2; i <= ScQuiva::NumSlot; ++i)
        tabelle.insert(rs.Leggi(testata, QStringLiteral("CodTab%1").arg(i)).toLower(),
                       rs.Leggi(testata, QStringLiteral("Tabella%1").arg(i)));
    const RecordsetAperto righe(rs, QStringLiteral("Select NomeCampo from QuivaDettaglio Where Codice = ?"), {codice});
    QHash<QString, QString> prima;  // "table.column" -> the row writing it
    for (; !rs.Fine(righe); rs.Successivo(righe)) {
        const QString nome = rs.Leggi(righe, QStringLiteral("NomeCampo"));
        const QString codTab = ScQuiva::LeggiCodTab(nome).toLower();
        const QString tabella = tabelle.contains(codTab) ? tabelle.value(codTab) : tabelle.value(QString());
        const QString chiave = (tabella + QLatin1Char('.') + ScQuiva::LeggiNomeCampo(nome)).toLower();
        if (prima.contains(chiave))
            problemi.push_back({Genere::ColonnaDoppia, 0, -1, nome,
                                QStringLiteral("Campo \"%1\": la colonna è già scritta dal campo \"%2\"")
                                    .arg(nome, prima.value(chiave))});
        else
            prima.insert(chiave, nome);
    }
    const RecordsetAperto decod(rs, QStringLiteral("Select Tabella, NomeCampo from QuivaDecod Where Codice = ?"), {codice});
    for (; !rs.Fine(decod); rs.Successivo(decod)) {
        const QString chiave =
            rs.Leggi(decod, QStringLiteral("Tabella")) + QLatin1Char('.') + rs.Leggi(decod, QStringLiteral("NomeCampo"));
        if (!prima.contains(chiave.toLower()))
            problemi.push_back({Genere::DecodificaOrfana, 0, -1, chiave,
                                QStringLiteral("Decodifica per \"%1\": la definizione non ha questo campo").arg(chiave)});
    }
    return problemi;
}

}  // namespace

EsitoVerifica VerificaCompleta(ContestoQuiva& contesto, const QString& codice)
{
    EsitoVerifica esito;
    esito.problemi = PrimaDellaLettura(contesto.db, codice);
    if (!esito.problemi.empty())
        return esito;
    ScQuiva motore(contesto);
    esito.lettura = motore.LeggiTracciato(codice);
    if (esito.lettura != 0)
        return esito;
    esito.problemi = VerificaDefinizione(motore, contesto.db);
    Controlli(contesto, motore, esito.problemi).Esegui();
    return esito;
}

QString TestoVerifica(const QString& codice, const EsitoVerifica& esito)
{
    if (esito.problemi.empty())
        return QStringLiteral("Verifica %1: nessun problema").arg(codice);
    QStringList righe {QStringLiteral("Verifica %1: %2 problemi").arg(codice).arg(esito.problemi.size())};
    for (const ProblemaDefinizione& p : esito.problemi)
        righe << p.testo;
    return righe.join(QLatin1Char('\n'));
}
