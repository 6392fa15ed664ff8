#include "CampiRiga.h"

#include <cstring>

namespace {

// True when matching the separator must ignore case: it has characters with
// an upper/lower form.
bool SeparatoreConLettere(const QString& separatore)
{
    for (QChar c : separatore)
        if (c.toLower() != c || c.toUpper() != c || c.toCaseFolded() != c)
            return true;
    return false;
}

}  // namespace

CampiRiga::CampiRiga(const QString& separatore)
    : m_separatore(separatore.isEmpty() ? QStringLiteral("\t") : separatore),
      m_maiuscoleMinuscole(SeparatoreConLettere(m_separatore) ? Qt::CaseInsensitive : Qt::CaseSensitive)
{
}

void CampiRiga::Scansiona(const QString& riga)
{
    m_inizi.clear();
    m_inizi.push_back(0);
    const QStringView testo(riga);
    const qsizetype lunghezza = m_separatore.size();
    if (lunghezza == 1 && m_maiuscoleMinuscole == Qt::CaseSensitive) {
        const char16_t s = m_separatore[0].unicode();
        const char16_t* dati = reinterpret_cast<const char16_t*>(testo.data());
        const qsizetype n = testo.size();
        qsizetype i = 0;
        // Four characters at a time: a block without the separator is
        // passed over with a few word operations (x ^ sep has a zero lane
        // where the separator is).
        constexpr quint64 Uno = 0x0001000100010001ULL;
        constexpr quint64 Alto = 0x8000800080008000ULL;
        const quint64 cercato = Uno * s;
        for (; i + 4 <= n; i += 4) {
            quint64 blocco;
            std::memcpy(&blocco, dati + i, sizeof blocco);
            const quint64 x = blocco ^ cercato;
            if (((x - Uno) & ~x & Alto) == 0)
                continue;
            for (qsizetype k = i; k < i + 4; ++k)
                if (dati[k] == s)
                    m_inizi.push_back(k + 1);
        }
        for (; i < n; ++i)
            if (dati[i] == s)
                m_inizi.push_back(i + 1);
    } else {
        for (qsizetype pos = testo.indexOf(m_separatore, 0, m_maiuscoleMinuscole); pos >= 0;
             pos = testo.indexOf(m_separatore, pos + lunghezza, m_maiuscoleMinuscole))
            m_inizi.push_back(pos + lunghezza);
    }
    // Only lines that own their buffer are remembered (raw or static data
    // could change under the same pointer).
    m_riga = riga;
    m_valida = riga.capacity() > 0;
}

std::optional<QStringView> CampiRiga::Campo(const QString& riga, int n)
{
    if (n < 1)
        return std::nullopt;
    if (!m_valida || riga.constData() != m_riga.constData() || riga.size() != m_riga.size())
        Scansiona(riga);
    const std::size_t indice = static_cast<std::size_t>(n - 1);
    if (indice >= m_inizi.size())
        return std::nullopt;
    const qsizetype inizio = m_inizi[indice];
    const qsizetype fine = indice + 1 < m_inizi.size() ? m_inizi[indice + 1] - m_separatore.size() : riga.size();
    return QStringView(riga).sliced(inizio, fine - inizio);
}
