#include "VerificaDefinizione.h"

#include "DatabaseLink.h"
#include "ScQuiva.h"

namespace {

using Genere = ProblemaDefinizione::Genere;

// A type name is known when it is one of the program's, or not given (text).
bool TipoNoto(const QString& nome, qint16 codice) { return nome.trimmed().isEmpty() || codice != 0; }

class Verifica {
public:
    Verifica(const ScQuiva& motore, DatabaseLink& db) : m_motore(motore), m_db(db) { }

    std::vector<ProblemaDefinizione> Esegui()
    {
        Tabelle();
        if (!m_motore.Fisso() && (m_motore.Separatore().isEmpty() || m_motore.Separatore().contains(QChar(0))))
            Aggiungi(Genere::SenzaSeparatore, 0, -1, QStringLiteral("Manca il separatore dei campi"));
        const auto& campi = m_motore.Campi();
        for (int i = 0; i < static_cast<int>(campi.size()); ++i)
            Campo(i, *campi[static_cast<size_t>(i)]);
        return std::move(m_problemi);
    }

private:
    void Aggiungi(Genere genere, int slot, int campo, const QString& testo)
    {
        const QString nome = campo >= 0 ? m_motore.Campi()[static_cast<size_t>(campo)]->osTabellaCampo : QString();
        m_problemi.push_back({genere, slot, campo, nome, testo});
    }

    void Tabelle()
    {
        if (!m_motore.slot(1).usato())
            Aggiungi(Genere::SenzaTabella, 1, -1, QStringLiteral("Manca la tabella di destinazione"));
        for (int i = 1; i <= ScQuiva::NumSlot; ++i) {
            const QString& tabella = m_motore.slot(i).tabella;
            if (m_motore.slot(i).usato() && !m_db.EsisteTabella(tabella))
                Aggiungi(Genere::TabellaInesistente, i, -1,
                         QStringLiteral("La tabella %1 non esiste nel database").arg(tabella));
        }
    }

    int Slot(const ScQuivaCampi& c) const
    {
        for (int i = 1; i <= ScQuiva::NumSlot; ++i)
            if (m_motore.slot(i).codTab.compare(c.osCodTab, Qt::CaseInsensitive) == 0)
                return i;
        return 1;
    }

    void Campo(int i, const ScQuivaCampi& c)
    {
        if (c.UnioneSenzaOrigine())
            return;
        const QString campo = QStringLiteral("Campo \"%1\": ").arg(c.osTabellaCampo);
        const int slot = Slot(c);
        if (c.osNomeCampo.contains(QLatin1Char('|')))
            Aggiungi(Genere::UnioneNonCaricabile, slot, i,
                     campo + QStringLiteral("un nome che unisce più colonne con \"|\" non si può caricare"));
        else
            Colonna(i, c, slot, campo);
        if (!TipoNoto(c.osTipoOrig, c.oiTipoOrig()))
            Aggiungi(Genere::TipoSconosciuto, slot, i,
                     campo + QStringLiteral("tipo di origine sconosciuto (%1)").arg(c.osTipoOrig));
        if (!TipoNoto(c.osTipoDest, c.oiTipoDest()))
            Aggiungi(Genere::TipoSconosciuto, slot, i,
                     campo + QStringLiteral("tipo di destinazione sconosciuto (%1)").arg(c.osTipoDest));
        if (m_motore.Fisso() && c.osDefault.isEmpty()) {
            if (c.oiInizio < 1)
                Aggiungi(Genere::PosizioneNonValida, slot, i,
                         campo + QStringLiteral("inizio %1 non valido, la prima posizione è 1").arg(c.oiInizio));
            if (c.oiLunghezza < 0)
                Aggiungi(Genere::PosizioneNonValida, slot, i,
                         campo + QStringLiteral("lunghezza %1 non valida").arg(c.oiLunghezza));
        }
    }

    void Colonna(int i, const ScQuivaCampi& c, int slot, const QString& campo)
    {
        if (c.osTabella.isEmpty()) {
            // Without a table of the definition, reported once above.
            if (!c.osCodTab.isEmpty() && m_motore.slot(1).usato())
                Aggiungi(Genere::CodiceSenzaTabella, slot, i,
                         campo + QStringLiteral("il codice tabella %1 non ha una tabella di destinazione")
                                     .arg(c.osCodTab));
            return;
        }
        if (!m_db.EsisteTabella(c.osTabella))
            return;  // reported with the tables
        if (!m_db.Schema(c.osTabella).Colonna(c.osNomeCampo))
            Aggiungi(Genere::ColonnaInesistente, slot, i,
                     campo + QStringLiteral("la colonna %1 non esiste nella tabella %2").arg(c.osNomeCampo, c.osTabella));
    }

    const ScQuiva& m_motore;
    DatabaseLink& m_db;
    std::vector<ProblemaDefinizione> m_problemi;
};

}  // namespace

std::vector<ProblemaDefinizione> VerificaDefinizione(const ScQuiva& motore, DatabaseLink& db)
{
    return Verifica(motore, db).Esegui();
}

QString MessaggioVerifica(const QString& codice, const std::vector<ProblemaDefinizione>& problemi)
{
    QString messaggio = QStringLiteral("La definizione %1 non può essere caricata:").arg(codice);
    for (const ProblemaDefinizione& problema : problemi)
        messaggio += QStringLiteral("\n- ") + problema.testo;
    return messaggio;
}
