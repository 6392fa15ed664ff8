#include "AnteprimaQuiva.h"

#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "FormUtility.h"
#include "OsservatoreRighe.h"
#include "ScQuiva.h"
#include "StatoElaborazione.h"

#include <QHash>
#include <utility>
#include <optional>

namespace {

// Collects the engine's account of each line into preview rows. A value
// counts once its slot's row is written: a write that failed on a duplicate
// key and ran again as a change keeps only what the change set. The values
// of a slot that wrote nothing are kept as computed, to show what was read.
class RaccoltaRighe : public OsservatoreRighe {
public:
    RaccoltaRighe(const ScQuiva& motore, const std::vector<CampoAnteprima>& campi, std::vector<RigaAnteprima>& righe)
        : m_campi(campi), m_righe(righe)
    {
        int i = 0;
        for (const auto& campo : motore.Campi())
            m_indice.insert(campo.get(), i++);
    }
    ~RaccoltaRighe() override { Chiudi(); }
    void Letta(long numero) override { m_numeri.push_back(numero); }
    void Riga(const QString& riga) override
    {
        Chiudi();
        RigaAnteprima r;
        r.numero = m_righe.size() < m_numeri.size() ? m_numeri[m_righe.size()] : 0;
        r.testo = riga;
        r.valori.resize(m_campi.size());
        m_bozza.assign(m_campi.size(), {});
        m_righe.push_back(std::move(r));
    }
    void Valore(const ScQuivaCampi& campo, const QVariant& valore) override
    {
        if (!m_righe.empty())
            m_bozza[Indice(campo)] = {valore, true, false};
    }
    void Scritta(int slot, bool nuova) override
    {
        if (m_righe.empty())
            return;
        RigaAnteprima& r = m_righe.back();
        r.azioni[static_cast<size_t>(slot)] = nuova ? AzioneTabella::Inserimento : AzioneTabella::Variazione;
        for (size_t k = 0; k < m_campi.size(); ++k)
            if (m_campi[k].slot == slot && m_bozza[k].impostato) {
                r.valori[k].valore = std::exchange(m_bozza[k], {}).valore;
                r.valori[k].impostato = true;
            }
    }
    void Respinta(int slot) override
    {
        for (size_t k = 0; k < m_bozza.size(); ++k)
            if (m_campi[k].slot == slot)
                m_bozza[k] = {};
    }
    void Errore(const QString& motivo, const ScQuivaCampi* campo) override
    {
        if (m_righe.empty())
            return;
        m_righe.back().motivi << motivo;
        if (campo && m_indice.contains(campo))
            m_righe.back().valori[Indice(*campo)].errato = true;
    }
    long Righe() const override { return static_cast<long>(m_righe.size()); }
    void Ripristina(long righe) override
    {
        m_bozza.clear();
        m_righe.resize(static_cast<size_t>(righe));
    }

private:
    size_t Indice(const ScQuivaCampi& campo) const { return static_cast<size_t>(m_indice.value(&campo)); }
    // The last line's values that no write took.
    void Chiudi()
    {
        if (m_righe.empty() || m_bozza.empty())
            return;
        RigaAnteprima& r = m_righe.back();
        for (size_t k = 0; k < m_campi.size(); ++k)
            if (m_bozza[k].impostato && r.azioni[static_cast<size_t>(m_campi[k].slot)] == AzioneTabella::Nessuna) {
                r.valori[k].valore = m_bozza[k].valore;
                r.valori[k].impostato = true;
            }
        m_bozza.clear();
    }

    const std::vector<CampoAnteprima>& m_campi;
    std::vector<RigaAnteprima>& m_righe;
    std::vector<ValoreAnteprima> m_bozza;  // of the line that runs
    std::vector<long> m_numeri;
    QHash<const ScQuivaCampi*, int> m_indice;
};

// The run state a load reads before every line, set for the preview and put
// back however it ends.
class StatoInCorso {
public:
    StatoInCorso() : m_prima(StatoElaborazione.exchange(Stato::InCorso)) { }
    ~StatoInCorso() { StatoElaborazione.store(m_prima); }

private:
    int m_prima;
};

}  // namespace

QString TestoAzione(AzioneTabella azione)
{
    switch (azione) {
    case AzioneTabella::Inserimento:
        return QStringLiteral("inserimento");
    case AzioneTabella::Variazione:
        return QStringLiteral("variazione");
    case AzioneTabella::Nessuna:
        break;
    }
    return QStringLiteral("nessuna scrittura");
}

EsitoAnteprima Anteprima(ContestoQuiva& contesto, const QString& codice, const OpzioniAnteprima& opzioni)
{
    EsitoAnteprima esito;
    // Joins a trial already open (quiva-load --prova) instead of ending it.
    std::optional<ProvaSenzaScritture> prova;
    if (!contesto.db.InProva())
        prova.emplace(contesto.db);
    StatoInCorso stato;
    ScQuiva motore(contesto);
    motore.ogValDefault = opzioni.valori;
    esito.esito = motore.LeggiTracciato(codice);
    if (esito.esito != 0)
        return esito;
    if (!opzioni.origine.isEmpty())
        motore.SostituisciOrigine(opzioni.origine);
    esito.fissa = motore.Tipo().compare(QLatin1String("F"), Qt::CaseInsensitive) == 0;
    for (int i = 1; i <= ScQuiva::NumSlot; ++i)
        esito.tabelle[static_cast<size_t>(i)] = motore.slot(i).tabella;
    for (const auto& campo : motore.Campi()) {
        CampoAnteprima c;
        c.nome = campo->osKey();
        for (int i = 1; i <= ScQuiva::NumSlot; ++i)
            if (motore.slot(i).usato() && motore.slot(i).codTab.compare(campo->osCodTab, Qt::CaseInsensitive) == 0)
                c.slot = i;
        if (esito.fissa && campo->osDefault.isEmpty() && campo->oiInizio >= 1 && campo->oiLunghezza > 0) {
            c.inizio = campo->oiInizio;
            c.lunghezza = campo->oiLunghezza;
        }
        esito.campi.push_back(std::move(c));
    }
    {
        RaccoltaRighe raccolta(motore, esito.campi, esito.righe);
        motore.ogOsservatore = &raccolta;
        motore.LimitaRighe(std::max(1L, opzioni.righe));
        long errori = 0;
        esito.esito = motore.QuivaDati(errori);
        motore.ogOsservatore = nullptr;
    }
    return esito;
}

QStringList Righello(int larghezza)
{
    QString decine, unita;
    for (int i = 1; i <= larghezza; ++i) {
        unita += QChar(u'0' + i % 10);
        decine += i % 10 == 0 ? QString::number(i / 10 % 10) : QStringLiteral(" ");
    }
    return {decine, unita};
}

QString TestoAnteprima(const QString& codice, const EsitoAnteprima& a)
{
    QStringList testo;
    long scartate = 0;
    int larghezza = 0;
    for (const RigaAnteprima& r : a.righe) {
        scartate += r.Scartata() ? 1 : 0;
        larghezza = std::max(larghezza, static_cast<int>(r.testo.size()));
    }
    testo << QStringLiteral("Anteprima %1: %2 righe, %3 scartate").arg(codice).arg(a.righe.size()).arg(scartate);
    if (a.fissa && larghezza > 0)
        for (const QString& r : Righello(larghezza))
            testo << QStringLiteral("       ") + r;
    for (const RigaAnteprima& r : a.righe) {
        testo << QStringLiteral("Riga %1: %2").arg(r.numero, 4).arg(r.testo);
        QStringList scritture;
        for (int i = 1; i < static_cast<int>(a.tabelle.size()); ++i)
            if (!a.tabelle[static_cast<size_t>(i)].isEmpty())
                scritture << a.tabelle[static_cast<size_t>(i)] + QStringLiteral(": ")
                        + TestoAzione(r.azioni[static_cast<size_t>(i)]);
        testo << QStringLiteral("  ") + scritture.join(QStringLiteral(", "));
        for (size_t k = 0; k < a.campi.size(); ++k) {
            const ValoreAnteprima& v = r.valori[k];
            if (!v.impostato && !v.errato)
                continue;
            const QString span = a.campi[k].inizio > 0
                ? QStringLiteral(" [%1-%2]").arg(a.campi[k].inizio).arg(a.campi[k].inizio + a.campi[k].lunghezza - 1)
                : QString();
            testo << QStringLiteral("  %1%2%3 = %4")
                         .arg(v.errato ? QStringLiteral("! ") : QString(), a.campi[k].nome, span,
                              FormUtility::TestoValore(v.valore));
        }
        for (const QString& motivo : r.motivi)
            testo << QStringLiteral("  Motivo: ") + motivo;
    }
    return testo.join(QLatin1Char('\n'));
}
