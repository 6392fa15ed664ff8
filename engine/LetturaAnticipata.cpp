#include "LetturaAnticipata.h"

#include "LettoreRighe.h"

LetturaAnticipata::LetturaAnticipata(LettoreRighe& file, int valoriPerRiga, PreparaRiga prepara)
    : m_file(file), m_valoriPerRiga(valoriPerRiga), m_prepara(std::move(prepara)), m_lotti(Lotti)
{
    for (Lotto& lotto : m_lotti) {
        lotto.righe.resize(RighePerLotto);
        lotto.valori.resize(static_cast<size_t>(RighePerLotto) * static_cast<size_t>(m_valoriPerRiga));
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

void LetturaAnticipata::Leggitore()
{
    for (;;) {
        Lotto* lotto = nullptr;
        {
            std::unique_lock blocco(m_mutex);
            m_cambiato.wait(blocco, [this] {
                return m_ferma
                    || (!m_liberi.empty() && (m_pronti.empty() || m_caratteriPronti < CaratteriInAnticipo));
            });
            if (m_ferma)
                return;
            lotto = m_liberi.front();
            m_liberi.pop_front();
        }
        Riempi(*lotto);
        {
            const std::lock_guard blocco(m_mutex);
            m_pronti.push_back(lotto);
            m_caratteriPronti += lotto->caratteri;
        }
        m_cambiato.notify_all();
        if (lotto->ultimo)
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
            m_prepara(riga, lotto.valori.data() + static_cast<ptrdiff_t>(lotto.quante) * m_valoriPerRiga);
            ++lotto.quante;
            lotto.caratteri += riga.size();
        }
    } catch (...) {
        lotto.errore = std::current_exception();
        lotto.ultimo = true;
    }
}

bool LetturaAnticipata::Leggi(const QString*& riga, const ValoreAnticipato*& valori)
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
        m_cambiato.notify_all();
        m_cambiato.wait(blocco, [this] { return !m_pronti.empty(); });
        m_corrente = m_pronti.front();
        m_pronti.pop_front();
        m_caratteriPronti -= m_corrente->caratteri;
        m_prossima = 0;
        blocco.unlock();
        m_cambiato.notify_all();  // the reader may be waiting for room
    }
    const auto n = m_prossima++;
    riga = &m_corrente->righe[static_cast<size_t>(n)];
    valori = m_corrente->valori.data() + static_cast<ptrdiff_t>(n) * m_valoriPerRiga;
    return true;
}
