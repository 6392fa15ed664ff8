// The load driver: preparation, the line loop, the final queries.
#include "BloccoRighe.h"
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "LettoreRighe.h"
#include "LetturaAnticipata.h"
#include "OsservatoreRighe.h"
#include "ProgressMonitor.h"
#include "Recordset.h"
#include "ScQuiva.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"
#include "VerificaDefinizione.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <utility>

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
    m_conteggi = {};
    m_salvati = {};
    std::optional<LettoreRighe> file;
    std::optional<LottoScritture> lotto;
    int risultato = 0;
    ProgressMonitor& progresso = Progresso();
    const QString origine = QString(m_origine).replace(QLatin1Char('\\'), QLatin1Char('/'));

    // A pipe with no writer or a device would hold the company's lock for
    // ever: only files are loaded, and that is known before the lock.
    if (const QFileInfo info(origine); info.exists() && !info.isFile()) {
        m_ctx.messaggi.msgCom(QStringLiteral("Il file da caricare non è un file normale: ") + m_origine,
                              {QStringLiteral("&Ok")});
        return CodiciErrore::ErroreAccessoPercorso;
    }
    struct Scrittura {
        DatabaseLink& db;
        const QString& codice;
        bool presa = false;
        ~Scrittura()
        {
            if (presa)
                db.LasciaScrittura(codice);
        }
    } scrittura {m_ctx.db, osCodice};
    auto salvate = [&] {
        m_salvati = m_conteggi;
        progresso.Salvate(m_conteggi.accettate);
    };

    try {
        // A definition that cannot load deletes nothing.
        if (const auto problemi = VerificaDefinizione(*this, m_ctx.db); !problemi.empty()) {
            m_ctx.messaggi.msgCom(MessaggioVerifica(osCodice, problemi), {QStringLiteral("&Ok")});
            ChiudiTutto();
            return CodiciErrore::DefinizioneNonValida;
        }
        if (!AttendiScrittura())
            return 0;  // stopped while waiting: nothing was changed
        scrittura.presa = true;
        progresso.Fase(FaseQuiva::CancellazioneErrori, osCodice);
        progresso.Errori(0);
        lotto.emplace(m_ctx.db);
        m_ctx.db.Esegui(QStringLiteral("Delete * from ErroriQuivamento Where tabella = ")
                        + FormUtility::SqlLiteral(osCodice, TipiDato::String));
        try {
            file.emplace(origine, Fisso() ? QString() : m_separatore);
        } catch (const ErroreRun&) {
            lotto->Conferma();  // the old error rows stay deleted
            throw;
        }
        for (int i = 1; i <= NumSlot; ++i) {
            const Slot& s = m_slot[i];
            if (s.usato() && s.azzera) {
                progresso.Fase(FaseQuiva::CancellazioneTabella, s.tabella);
                try {
                    SvuotaTabella(s);
                } catch (const std::exception& errore) {
                    throw ErroreIstruzione(
                        errore, i == 1 ? QStringLiteral("WhereAzz") : QStringLiteral("WhereAzz%1").arg(i), s.tabella);
                }
            }
        }
        Prepara();
        lotto->Conferma();  // old error rows and emptied tables go before any new row
        salvate();
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
        const qint64 dimensione = QFileInfo(origine).size();
        qint64 byteLetti = 0;
        bool interrotto = false, rigaAperta = false, confermaFallita = false, limitato = false;
        BloccoRighe blocco(m_ctx.db,
                           {[this](int posizione) { TrattieniValori(posizione); },
                            [this](const QString& r, int posizione) { CaricaRiga(r, posizione); },
                            [this] { return SalvaStato(); },
                            [this](const QStringList* righe) { AnticipaChiavi(righe); }});
        for (const auto& campo : m_campi)
            campo->CalcolaCache();
        LetturaAnticipata lettura(*file, m_piano.anticipati, PreparazioneRighe());
        // A commit that fails loses its batch: the counts go back to the last one.
        auto conferma = [&](auto&& commit) {
            try {
                if (commit())
                    salvate();
            } catch (...) {
                confermaFallita = true;
                throw;
            }
        };
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
                ++m_conteggi.lette;
                byteLetti += riga.size() + 1;  // near enough for a percentage
                if (m_conteggi.lette <= m_saltaInizio || lettura.Vuota())
                    continue;
                if (m_righeMassime > 0 && m_conteggi.accettate == m_righeMassime) {
                    limitato = true;
                    break;
                }
                ++m_conteggi.accettate;
                if (ogOsservatore)
                    ogOsservatore->Letta(m_conteggi.lette);
                m_valoriLetti = valori;
                rigaAperta = true;
                blocco.Riga(riga);
                rigaAperta = false;
                conferma([&] { return lotto->FineRiga(); });
                progresso.Byte(byteLetti, dimensione);
                progresso.Posizione(m_conteggi.accettate);
            }
            rigaAperta = true;  // a block that runs again runs its lines here
            blocco.Chiudi();
            rigaAperta = false;
            conferma([&] {
                lotto->Conferma();
                return true;
            });
            if (!interrotto && !limitato) {
                EseguiQueryFinali();
                m_conteggi.completo = true;
                conferma([&] {
                    lotto->Conferma();
                    return true;
                });
            }
        } catch (const std::exception& errore) {
            // A failed read, the error log itself, a fault that ends the
            // load, or the final queries. A line left half written is not
            // committed: the open batch goes, the committed ones stay. Lines
            // that ran whole are written, the open block's too.
            if (rigaAperta) {
                lotto->Annulla();
            } else if (!confermaFallita) {
                try {
                    blocco.Chiudi();
                    lotto->Conferma();
                    m_conteggi.completo = false;
                    salvate();
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
    m_valoriLetti = nullptr;
    lotto.reset();
    file.reset();
    ChiudiTutto();
    plErrori += m_salvati.errori;
    return risultato;
}

bool ScQuiva::AttendiScrittura()
{
    bool avvisato = false;
    const bool presa = m_ctx.db.PrendiScrittura(osCodice, m_ctx.secondiAttesa * 1000, [&](int secondi) {
        if (!avvisato) {
            Progresso().Fase(FaseQuiva::AttesaScrittura, osCodice);
            avvisato = true;
        }
        Progresso().Posizione(secondi);
        return StatoElaborazione.load() == Stato::InCorso;
    });
    if (presa || StatoElaborazione.load() != Stato::InCorso)
        return presa;
    throw ErroreRun(CodiciErrore::DatabaseInUso,
                    QStringLiteral("Un altro caricamento occupa la ditta da più di %1 secondi: la definizione %2 "
                                   "non è stata caricata e nulla è stato modificato")
                        .arg(m_ctx.secondiAttesa)
                        .arg(osCodice));
}

ErroreRun ScQuiva::ErroreIstruzione(const std::exception& errore, const QString& istruzione,
                                    const QString& tabella) const
{
    QString luogo = QStringLiteral("Definizione %1, istruzione %2").arg(osCodice, istruzione);
    if (!tabella.isEmpty())
        luogo += QStringLiteral(" (tabella %1)").arg(tabella);
    return ErroreRun(FormUtility::NumeroErrore(errore),
                     luogo + QStringLiteral(": ") + FormUtility::DescrizioneErrore(errore));
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
                LeggiValore(posizione.Testo(riga, *campo, costruito), *campo, soloAsci, v.letto);
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
        try {
            Apri(s,
                 RecordsetAperto(m_rs, QStringLiteral("Select * from ") + s.tabella + QStringLiteral(" Where 1 = 0")));
        } catch (const std::exception& errore) {
            throw ErroreIstruzione(errore, i == 1 ? QStringLiteral("Tabella") : QStringLiteral("Tabella%1").arg(i),
                                   s.tabella);
        }
        m_slot[i].indicizzata = false;
        if (!m_inserimentoLibero)
            IndicizzaChiave(i);
    }
}

// The index that keeps a slot's look-ups by key off a table scan; a load
// that only adds rows makes it once the first duplicate key is retried.
void ScQuiva::IndicizzaChiave(int i)
{
    Slot& s = m_slot[i];
    if (std::exchange(s.indicizzata, true))
        return;
    QStringList chiave;
    for (int k : m_piano.slot[i].chiave)
        chiave << m_piano.campi[k].campo->osNomeCampo;
    m_ctx.db.IndiceSenzaMaiuscole(s.tabella, chiave);
}

// A line that waits in a block keeps the values read ahead for it.
void ScQuiva::TrattieniValori(int posizione)
{
    if (m_valoriBlocco.size() <= static_cast<size_t>(posizione))
        m_valoriBlocco.resize(static_cast<size_t>(posizione) + 1);
    // Taken out, since the reading thread reads over its lots meanwhile; it
    // gets the values of an earlier block in exchange and frees them itself.
    std::vector<ValoreAnticipato>& trattenuti = m_valoriBlocco[static_cast<size_t>(posizione)];
    trattenuti.resize(static_cast<size_t>(m_piano.anticipati) + 1);
    std::swap_ranges(m_valoriLetti, m_valoriLetti + m_piano.anticipati + 1, trattenuti.begin());
}

void ScQuiva::CaricaRiga(const QString& riga, int posizione)
{
    if (posizione >= 0) {
        m_rigaAnticipata = &riga;
        m_valoriCorrenti = m_valoriBlocco[static_cast<size_t>(posizione)].data();
    } else {
        m_valoriCorrenti = m_valoriLetti;
    }
    m_anticipate.ProssimaRiga();
    const long erroriPrima = m_conteggi.errori;
    if (ogOsservatore)
        ogOsservatore->Riga(riga);
    try {
        // A line the reader refused (too long, a NUL) is rejected whole.
        if (const QString& scarto = m_valoriCorrenti[m_piano.anticipati].letto.errore; !scarto.isEmpty())
            ScriviErrore(riga, scarto);
        else
            ElaboraRiga(riga);
    } catch (const std::exception& errore) {
        if (CodiciErrore::FermaCaricamento(FormUtility::NumeroErrore(errore)))
            throw;
        ScriviErrore(riga, FormUtility::DescrizioneErrore(errore));
    }
    if (m_conteggi.errori > erroriPrima)
        ++m_conteggi.scartate;
}

std::function<void()> ScQuiva::SalvaStato()
{
    std::optional<ValueStore> valori;
    if (ogValDefault)
        valori = *ogValDefault;
    const long righe = ogOsservatore ? ogOsservatore->Righe() : 0;
    return [this, conteggi = m_conteggi, valori = std::move(valori), righe] {
        // the lines read stay read
        const long lette = m_conteggi.lette, accettate = m_conteggi.accettate;
        m_conteggi = conteggi;
        m_conteggi.lette = lette;
        m_conteggi.accettate = accettate;
        if (ogOsservatore)
            ogOsservatore->Ripristina(righe);
        Progresso().Errori(m_conteggi.errori);
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
        IndicizzaChiave(i);
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
        try {
            m_ctx.db.Esegui(query);
        } catch (const std::exception& errore) {
            const auto numero = static_cast<int>(&query - m_queryFin.data()) + 1;
            throw ErroreIstruzione(errore, QStringLiteral("QueryFin%1").arg(numero), {});
        }
    }
}

void ScQuiva::ChiudiTutto()
{
    for (int i = 1; i <= NumSlot; ++i) {
        m_slot[i].recordset.Chiudi();
        m_slot[i].set = nullptr;
    }
}
