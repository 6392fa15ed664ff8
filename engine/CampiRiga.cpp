#include "CampiRiga.h"

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

void CampiRiga::Scansiona(const QString& riga, const QString& separatore)
{
    if (m_separatore != separatore || !m_valida) {
        m_separatore = separatore;
        m_maiuscoleMinuscole = SeparatoreConLettere(separatore);
    }
    const QString sep = separatore.isEmpty() ? QStringLiteral("\t") : separatore;
    m_lunghezzaSep = sep.size();
    m_inizi.clear();
    m_inizi.push_back(0);
    const QChar* dati = riga.constData();
    const qsizetype lunghezza = riga.size();
    if (m_lunghezzaSep == 1 && !m_maiuscoleMinuscole) {
        const char16_t s = sep[0].unicode();
        for (qsizetype i = 0; i < lunghezza; ++i)
            if (dati[i].unicode() == s)
                m_inizi.push_back(i + 1);
    } else {
        const Qt::CaseSensitivity cs = m_maiuscoleMinuscole ? Qt::CaseInsensitive : Qt::CaseSensitive;
        qsizetype pos = QStringView(riga).indexOf(sep, 0, cs);
        while (pos >= 0) {
            m_inizi.push_back(pos + m_lunghezzaSep);
            pos = QStringView(riga).indexOf(sep, pos + m_lunghezzaSep, cs);
        }
    }
    // Only lines that own their buffer are remembered (raw or static data
    // could change under the same pointer).
    m_riga = riga;
    m_valida = riga.capacity() > 0;
}

std::optional<QStringView> CampiRiga::Campo(const QString& riga, const QString& separatore, int n)
{
    if (n < 1)
        return std::nullopt;
    const bool stessa = m_valida && riga.constData() == m_riga.constData() && riga.size() == m_riga.size()
                        && separatore == m_separatore;
    if (!stessa)
        Scansiona(riga, separatore);
    const std::size_t indice = static_cast<std::size_t>(n - 1);
    if (indice >= m_inizi.size())
        return std::nullopt;
    const qsizetype inizio = m_inizi[indice];
    const qsizetype fine = indice + 1 < m_inizi.size() ? m_inizi[indice + 1] - m_lunghezzaSep : riga.size();
    return QStringView(riga).sliced(inizio, fine - inizio);
}
