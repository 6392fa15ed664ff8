#include "LetturaAnticipata.h"

#include "LettoreRighe.h"
#include "ScQuivaTesto.h"

namespace {

bool RigaVuota(const QString& riga)
{
    const QStringView testo = TestoQuiva::TagliaSpazi(riga);
    return testo.isEmpty() || testo == u"\t";
}

}  // namespace

LetturaAnticipata::LetturaAnticipata(LettoreRighe& file, int valoriPerRiga, PreparaRiga prepara)
    : m_file(file), m_valoriPerRiga(valoriPerRiga), m_prepara(std::move(prepara)), m_lotti(Lotti)
{
    for (Lotto& lotto : m_lotti) {
        lotto.righe.resize(RighePerLotto);
        lotto.vuote.resize(RighePerLotto);
        lotto.valori.resize(static_cast<size_t>(RighePerLotto) * static_cast<size_t>(m_valoriPerRiga + 1));
        m_liberi.push_back(&lotto);
    }
    m_thread = std::thread([this] { Leggitore(); });
}

LetturaAnticipata::~LetturaAnticipata()
{
    {
        const std::lock_guard blocco(m_mutex);
        m_ferma = true;
    }
    m_cambiato.notify_all();
    m_thread.join();
}

// Under the lock. The reader is woken for half the lots at a time (or when
// the load has nothing left to take), so that the two threads hand over
// work a few times per thousand lines rather than at every lot.
bool LetturaAnticipata::DaSvegliare() const
{
    if (m_liberi.empty())
        return false;
    return m_pronti.empty() || (m_liberi.size() >= Lotti / 2 && m_caratteriPronti < CaratteriInAnticipo);
}

void LetturaAnticipata::Leggitore()
{
    std::unique_lock blocco(m_mutex);
    for (;;) {
        m_cambiato.wait(blocco, [this] { return m_ferma || DaSvegliare(); });
        // Once awake, fills every free lot there is room for.
        while (!m_ferma && !m_liberi.empty() && (m_pronti.empty() || m_caratteriPronti < CaratteriInAnticipo)) {
            Lotto* lotto = m_liberi.front();
            m_liberi.pop_front();
            blocco.unlock();
            Riempi(*lotto);
            blocco.lock();
            m_pronti.push_back(lotto);
            m_caratteriPronti += lotto->caratteri;
            m_cambiato.notify_all();  // the load may be waiting for it
            if (lotto->ultimo)
                return;
        }
        if (m_ferma)
            return;
    }
}

void LetturaAnticipata::Riempi(Lotto& lotto)
{
    lotto.quante = 0;
    lotto.caratteri = 0;
    lotto.ultimo = false;
    lotto.errore = nullptr;
    try {
        while (lotto.quante < RighePerLotto && lotto.caratteri < CaratteriPerLotto) {
            QString& riga = lotto.righe[static_cast<size_t>(lotto.quante)];
            if (!m_file.Leggi(riga)) {
                lotto.ultimo = true;
                return;
            }
            ValoreAnticipato* valori =
                lotto.valori.data() + static_cast<ptrdiff_t>(lotto.quante) * (m_valoriPerRiga + 1);
            // A line that cannot be loaded is not read any further.
            valori[m_valoriPerRiga].letto.errore = m_file.Scarto();
            const bool vuota = RigaVuota(riga);
            lotto.vuote[static_cast<size_t>(lotto.quante)] = vuota;
            if (m_file.Scarto().isEmpty() && !vuota)
                m_prepara(riga, valori);
            ++lotto.quante;
            lotto.caratteri += riga.size();
        }
    } catch (...) {
        lotto.errore = std::current_exception();
        lotto.ultimo = true;
    }
}

bool LetturaAnticipata::Leggi(const QString*& riga, ValoreAnticipato*& valori)
{
    while (!m_corrente || m_prossima == m_corrente->quante) {
        if (m_corrente && m_corrente->ultimo) {
            if (m_corrente->errore)
                std::rethrow_exception(m_corrente->errore);
            return false;
        }
        std::unique_lock blocco(m_mutex);
        if (m_corrente)
            m_liberi.push_back(std::exchange(m_corrente, nullptr));
        if (m_pronti.empty()) {
            m_cambiato.notify_all();
            m_cambiato.wait(blocco, [this] { return !m_pronti.empty(); });
        }
        m_corrente = m_pronti.front();
        m_pronti.pop_front();
        m_caratteriPronti -= m_corrente->caratteri;
        m_prossima = 0;
        if (DaSvegliare())
            m_cambiato.notify_all();
    }
    const auto n = m_prossima++;
    riga = &m_corrente->righe[static_cast<size_t>(n)];
    m_vuota = m_corrente->vuote[static_cast<size_t>(n)];
    valori = m_corrente->valori.data() + static_cast<ptrdiff_t>(n) * (m_valoriPerRiga + 1);
    return true;
}
