#include "LettoreRighe.h"

#include "ErroreRun.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype Blocco = 1 << 20;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t Cp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool SoloAscii(const char* dati, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(dati[i]) >= 0x80)
            return false;
    return true;
}

}  // namespace

QString LettoreRighe::Decodifica(const char* dati, qsizetype n)
{
    if (SoloAscii(dati, n))
        return QString::fromLatin1(dati, n);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(QByteArrayView(dati, n));
    if (!utf8.hasError())
        return testo;
    testo.resize(n);
    QChar* out = testo.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(dati[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252[b - 0x80]) : QChar(b);
    }
    return testo;
}

std::optional<QByteArray> LettoreRighe::CodificaWindows1252(QStringView testo)
{
    QByteArray byte(testo.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t c = testo[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte[i] = static_cast<char>(c);
            continue;
        }
        const char16_t* trovato = std::find(std::begin(Cp1252), std::end(Cp1252), c);
        if (trovato == std::end(Cp1252))
            return std::nullopt;
        byte[i] = static_cast<char>(0x80 + (trovato - std::begin(Cp1252)));
    }
    return byte;
}

LettoreRighe::LettoreRighe(const QString& percorso) : m_file(percorso)
{
    const QFileInfo info(percorso);
    if (!info.absoluteDir().exists())
        throw ErroreRun(CodiciErrore::PercorsoNonTrovato, QStringLiteral("Impossibile trovare il percorso"));
    if (!info.exists())
        throw ErroreRun(CodiciErrore::FileNonTrovato, QStringLiteral("File non trovato"));
    if (info.isDir() || !m_file.open(QIODevice::ReadOnly))
        throw ErroreRun(CodiciErrore::ErroreAccessoPercorso, QStringLiteral("Errore di accesso al percorso/file"));
    m_dimensione = m_file.isSequential() ? 0 : m_file.size();
}

bool LettoreRighe::Riempi()
{
    if (m_fineFile)
        return false;
    if (m_inizio > 0) {
        m_buffer.remove(0, m_inizio);
        m_inizio = 0;
    }
    const qsizetype prima = m_buffer.size();
    m_buffer.resize(prima + Blocco);
    const qint64 letti = m_file.read(m_buffer.data() + prima, Blocco);
    m_buffer.resize(prima + std::max<qint64>(letti, 0));
    if (letti < 0)
        throw ErroreRun(CodiciErrore::ErroreLetturaFile,
                        QStringLiteral("Errore nella lettura del file: %1 (%2)")
                            .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    if (letti == 0 && m_file.pos() < m_dimensione)
        throw ErroreRun(CodiciErrore::ErroreLetturaFile,
                        QStringLiteral("Errore nella lettura del file: %1 (il file si è accorciato durante la lettura)")
                            .arg(QDir::toNativeSeparators(m_file.fileName())));
    if (letti <= 0)
        m_fineFile = true;
    return letti > 0;
}

bool LettoreRighe::Leggi(QString& riga)
{
    QByteArrayView byte;
    if (!LeggiByte(byte))
        return false;
    riga = Decodifica(byte.data(), byte.size());
    return true;
}

bool LettoreRighe::LeggiByte(QByteArrayView& riga)
{
    for (;;) {
        const char* dati = m_buffer.constData() + m_inizio;
        qsizetype disponibili = m_buffer.size() - m_inizio;
        if (m_dopoCr && disponibili > 0) {
            m_dopoCr = false;
            if (dati[0] == '\n') {
                ++m_inizio;
                continue;
            }
        }
        // The first line end: a CR, or an LF when the file ends lines at LF.
        const char* fine =
            m_fine == FineRiga::SoloCr ? nullptr : static_cast<const char*>(std::memchr(dati, '\n', disponibili));
        const qsizetype finoA = fine ? fine - dati : disponibili;
        if (const void* cr = std::memchr(dati, '\r', finoA))
            fine = static_cast<const char*>(cr);
        if (fine) {
            if (m_fine == FineRiga::DaDecidere)
                m_fine = *fine == '\r' ? FineRiga::SoloCr : FineRiga::AncheLf;
            const qsizetype lunghezza = fine - dati;
            riga = QByteArrayView(dati, lunghezza);
            m_inizio += lunghezza + 1;
            if (*fine == '\r')
                m_dopoCr = true;
            return true;
        }
        if (disponibili >= LunghezzaMassima || (!Riempi() && m_fineFile)) {
            disponibili = m_buffer.size() - m_inizio;
            if (disponibili == 0)
                return false;
            const qsizetype lunghezza = std::min(disponibili, LunghezzaMassima);
            riga = QByteArrayView(m_buffer.constData() + m_inizio, lunghezza);
            m_inizio += lunghezza;
            return true;
        }
    }
}
