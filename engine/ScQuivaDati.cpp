// The load driver: preparation, the line loop, the final queries.
#include "BloccoRighe.h"
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "LettoreRighe.h"
#include "LetturaAnticipata.h"
#include "ProgressMonitor.h"
#include "Recordset.h"
#include "ScQuiva.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"

#include <optional>

namespace {

// A line is loaded when, without its blanks, it is neither empty nor a lone tab.
bool RigaDaCaricare(const QString& riga)
{
    qsizetype inizio = 0, fine = riga.size();
    while (inizio < fine && riga[inizio] == u' ')
        ++inizio;
    while (fine > inizio && riga[fine - 1] == u' ')
        --fine;
    const qsizetype lunghezza = fine - inizio;
    return lunghezza > 1 || (lunghezza == 1 && riga[inizio] != u'\t');
}

}  // namespace

void ScQuiva::SvuotaTabella(const Slot& slot)
{
    QString sql = QStringLiteral("Delete ") + slot.tabella + QStringLiteral(".*");
    if (slot.whereAzz.startsWith(QLatin1String("From"), Qt::CaseInsensitive)) {
        sql += QLatin1Char(' ') + slot.whereAzz;
    } else {
        sql += QStringLiteral(" From ") + slot.tabella;
        if (!slot.whereAzz.isEmpty())
            sql += QStringLiteral(" Where ") + slot.whereAzz;
    }
    m_ctx.db.Esegui(sql);
}

int ScQuiva::QuivaDati(long& plErrori)
{
    m_errori = 0;
    std::optional<LettoreRighe> file;
    std::optional<LottoScritture> lotto;
    int risultato = 0;
    ProgressMonitor& progresso = Progresso();

    try {
        progresso.Fase(FaseQuiva::CancellazioneErrori, osCodice);
        progresso.Errori(m_errori);
        lotto.emplace(m_ctx.db);
        m_ctx.db.Esegui(QStringLiteral("Delete * from ErroriQuivamento Where tabella = ")
                        + FormUtility::SqlLiteral(osCodice, TipiDato::String));
        try {
            file.emplace(QString(m_origine).replace(QLatin1Char('\\'), QLatin1Char('/')));
        } catch (const ErroreRun&) {
            lotto->Conferma();  // the old error rows stay deleted
            throw;
        }
        for (int i = 1; i <= NumSlot; ++i) {
            const Slot& s = m_slot[i];
            if (s.usato() && s.azzera) {
                progresso.Fase(FaseQuiva::CancellazioneTabella, s.tabella);
                SvuotaTabella(s);
            }
        }
        Prepara();
        lotto->Conferma();  // old error rows and emptied tables go before any new row
        progresso.Salvate(0);
    } catch (const std::exception& errore) {
        risultato = FormUtility::NumeroErrore(errore);
        if (risultato == CodiciErrore::FileNonTrovato || risultato == CodiciErrore::ErroreAccessoPercorso
            || risultato == CodiciErrore::PercorsoNonTrovato)
            m_ctx.messaggi.msgCom(QStringLiteral("Errore nell'apertura del file: ") + m_origine,
                                  {QStringLiteral("&Ok")});
        else
            m_ctx.messaggi.MsgErrfrm(errore);
    }

    if (risultato == 0) {
        progresso.Fase(FaseQuiva::Caricamento, osCodice);
        long letti = 0, accettati = 0;
        bool interrotto = false, rigaAperta = false;
        BloccoRighe blocco(m_ctx.db, {[this](int posizione) { TrattieniValori(posizione); },
                                      [this](const QString& r, int posizione) { CaricaRiga(r, posizione); },
                                      [this] { return SalvaStato(); },
                                      [this](const QStringList* righe) { AnticipaChiavi(righe); }});
        for (const auto& campo : m_campi)
            campo->CalcolaCache();
        LetturaAnticipata lettura(*file, m_piano.anticipati, PreparazioneRighe());
        m_valoriRiga.resize(static_cast<size_t>(m_piano.anticipati));
        try {
            for (;;) {
                // The end of the file is looked for first: a stop confirmed
                // after the last line still lets the final queries run.
                ValoreAnticipato* valori = nullptr;
                if (!lettura.Leggi(m_rigaAnticipata, valori))
                    break;
                const QString& riga = *m_rigaAnticipata;
                if (StatoElaborazione.load() != Stato::InCorso) {
                    interrotto = true;
                    break;
                }
                ++letti;
                if (letti <= m_saltaInizio || !RigaDaCaricare(riga))
                    continue;
                ++accettati;
                // Moved, not shared: the two threads then never count
                // references to the same texts.
                std::move(valori, valori + m_valoriRiga.size(), m_valoriRiga.begin());
                rigaAperta = true;
                blocco.Riga(riga);
                rigaAperta = false;
                if (lotto->FineRiga())
                    progresso.Salvate(accettati);
                progresso.Posizione(accettati);
            }
            rigaAperta = true;  // a block that runs again runs its lines here
            blocco.Chiudi();
            rigaAperta = false;
            lotto->Conferma();
            progresso.Salvate(accettati);
            if (!interrotto)
                EseguiQueryFinali();
        } catch (const std::exception& errore) {
            // A failed read, the error log itself, a fault that ends the
            // load, or the final queries. A line left half written is not
            // committed: the open batch goes, the committed ones stay. Lines
            // that ran whole are written, the open block's too.
            if (rigaAperta) {
                lotto->Annulla();
            } else {
                try {
                    blocco.Chiudi();
                } catch (const std::exception&) {
                    // the error already caught is the one to report
                }
            }
            risultato = FormUtility::NumeroErrore(errore);
            if (risultato == CodiciErrore::ErroreLetturaFile)
                m_ctx.messaggi.msgCom(FormUtility::DescrizioneErrore(errore), {QStringLiteral("&Ok")});
            else
                m_ctx.messaggi.MsgErrfrm(errore);
        }
    }

    m_rigaAnticipata = nullptr;
    lotto.reset();
    file.reset();
    ChiudiTutto();
    plErrori += m_errori;
    return risultato;
}

// What the reading thread does with every line: the values of the fields
// that depend on the line alone, with a location of its own.
LetturaAnticipata::PreparaRiga ScQuiva::PreparazioneRighe() const
{
    std::vector<const CampoCompilato*> campi;
    for (const CampoCompilato& c : m_piano.campi)
        if (c.anticipato >= 0)
            campi.push_back(&c);
    return [campi = std::move(campi), posizione = m_posizione,
            soloAsci = m_ctx.soloAsci](const QString& riga, ValoreAnticipato* valori) mutable {
        for (const CampoCompilato* campo : campi) {
            ValoreAnticipato& v = valori[campo->anticipato];
            try {
                QString costruito;
                v.letto = LeggiValore(posizione.Testo(riga, *campo, costruito), *campo, soloAsci);
                v.eccezione = nullptr;
            } catch (...) {
                v.letto = {};
                v.eccezione = std::current_exception();
            }
        }
    };
}

void ScQuiva::Prepara()
{
    Progresso().Fase(FaseQuiva::PreparaArchivi, m_slot[1].tabella);
    for (int i = 1; i <= NumSlot; ++i) {
        Slot& s = m_slot[i];
        if (!s.usato())
            continue;
        Apri(s, RecordsetAperto(m_rs, QStringLiteral("Select * from ") + s.tabella + QStringLiteral(" Where 1 = 0")));
        if (!m_inserimentoLibero) {
            QStringList chiave;
            for (int k : m_piano.slot[i].chiave)
                chiave << m_piano.campi[k].campo->osNomeCampo;
            m_ctx.db.IndiceSenzaMaiuscole(s.tabella, chiave);
        }
    }
}

// A line that waits in a block keeps the values read ahead for it.
void ScQuiva::TrattieniValori(int posizione)
{
    if (m_valoriBlocco.size() <= static_cast<size_t>(posizione))
        m_valoriBlocco.resize(static_cast<size_t>(posizione) + 1);
    std::swap(m_valoriBlocco[static_cast<size_t>(posizione)], m_valoriRiga);
    m_valoriRiga.resize(m_valoriBlocco[static_cast<size_t>(posizione)].size());
}

void ScQuiva::CaricaRiga(const QString& riga, int posizione)
{
    if (posizione >= 0) {
        m_rigaAnticipata = &riga;
        m_valoriCorrenti = m_valoriBlocco[static_cast<size_t>(posizione)].data();
    } else {
        m_valoriCorrenti = m_valoriRiga.data();
    }
    m_anticipate.ProssimaRiga();
    try {
        ElaboraRiga(riga);
    } catch (const std::exception& errore) {
        if (CodiciErrore::FermaCaricamento(FormUtility::NumeroErrore(errore)))
            throw;
        ScriviErrore(riga, FormUtility::DescrizioneErrore(errore));
    }
}

std::function<void()> ScQuiva::SalvaStato()
{
    std::optional<ValueStore> valori;
    if (ogValDefault)
        valori = *ogValDefault;
    return [this, errori = m_errori, valori = std::move(valori)] {
        m_errori = errori;
        Progresso().Errori(m_errori);
        if (valori)
            *ogValDefault = *valori;
    };
}

void ScQuiva::ElaboraRiga(const QString& riga)
{
    for (int i = 1; i <= NumSlot; ++i)
        m_slot[i].flag = 0;
    for (int i = 1; i <= NumSlot; ++i) {
        Slot& s = m_slot[i];
        if (!s.usato())
            continue;
        if (m_inserimentoLibero) {
            s.set->AggiungiNuovo();
            continue;
        }
        if (!ApriChiave(i, riga)) {
            s.flag = 1;
            ScriviErrore(riga, QStringLiteral("Impossibile costruire chiave di ricerca"));
            continue;
        }
        if (s.set->Vuoto()) {
            if (m_modo == ModoScrittura::SoloAggiornamento)
                s.flag = 1;
            else
                s.set->AggiungiNuovo();
        } else {
            if (m_modo == ModoScrittura::SoloInserimento)
                s.flag = 1;
            else
                s.set->Modifica();
        }
    }
    if (CompRecord(riga) != -1)
        return;
    if (m_modo != ModoScrittura::InserisciOAggiorna) {
        ScriviErrore(riga, QStringLiteral("Chiave doppia"));
        return;
    }
    RiprovaComeAggiornamento(riga);
}

// An insert hit a duplicate key: write the line again as an update of the
// row that holds the key, on the slots that failed only.
void ScQuiva::RiprovaComeAggiornamento(const QString& riga)
{
    for (int i = 1; i <= NumSlot; ++i) {
        Slot& s = m_slot[i];
        if (!s.usato() || s.flag != -1)
            continue;
        if (!ApriChiave(i, riga)) {
            s.flag = 0;
            ScriviErrore(riga, QStringLiteral("Dati esistenti ma impossibile costruire chiave di ricerca"));
            continue;
        }
        if (s.set->Vuoto())
            s.set->AggiungiNuovo();
        else
            s.set->Modifica();
    }
    for (int i = 1; i <= NumSlot; ++i)
        m_slot[i].flag = m_slot[i].flag != 0 ? 0 : 1;
    // A second duplicate key would otherwise drop the line without a trace.
    if (CompRecord(riga) == -1)
        ScriviErrore(riga, QStringLiteral("Chiave doppia"));
}

void ScQuiva::EseguiQueryFinali()
{
    long daEseguire = 0;
    for (const QString& query : m_queryFin)
        if (!query.isEmpty())
            ++daEseguire;
    Progresso().Fase(FaseQuiva::QueryFinali, osCodice);
    Progresso().Totale(daEseguire);
    long eseguite = 0;
    for (const QString& query : m_queryFin) {
        if (query.isEmpty())
            continue;
        // A stop asked while one query ran keeps the next from starting (a
        // stop after the last line, which no line noticed, lets them start).
        if (eseguite > 0 && StatoElaborazione.load() != Stato::InCorso)
            return;
        ++eseguite;
        Progresso().Posizione(eseguite);
        m_ctx.db.Esegui(query);
    }
}

void ScQuiva::ChiudiTutto()
{
    for (int i = 1; i <= NumSlot; ++i) {
        m_slot[i].recordset.Chiudi();
        m_slot[i].set = nullptr;
    }
}
