#include "LettoreRighe.h"

#include "ErroreRun.h"
#include "ScQuivaTesto.h"

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

}  // namespace

QString LettoreRighe::Decodifica(const char* dati, qsizetype n)
{
    QString testo;
    Decodifica(dati, n, testo);
    return testo;
}

void LettoreRighe::Decodifica(const char* dati, qsizetype n, QString& testo)
{
    TestoQuiva::SpazioPer(testo, n);  // never fewer UTF-16 units than UTF-8 bytes
    QChar* out = testo.data();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* fine = utf8.appendToBuffer(out, QByteArrayView(dati, n));
    if (!utf8.hasError()) {
        testo.truncate(fine - out);
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(dati[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252[b - 0x80]) : QChar(b);
    }
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

LettoreRighe::LettoreRighe(const QString& percorso, const QString& separatore) : m_file(percorso)
{
    const QFileInfo info(percorso);
    if (!info.absoluteDir().exists())
        throw ErroreRun(CodiciErrore::PercorsoNonTrovato, QStringLiteral("Impossibile trovare il percorso"));
    if (!info.exists())
        throw ErroreRun(CodiciErrore::FileNonTrovato, QStringLiteral("File non trovato"));
    if (info.isDir() || !m_file.open(QIODevice::ReadOnly))
        throw ErroreRun(CodiciErrore::ErroreAccessoPercorso, QStringLiteral("Errore di accesso al percorso/file"));
    m_dimensione = m_file.isSequential() ? 0 : m_file.size();
    if (!separatore.isEmpty()) {
        m_separatori.push_back(separatore.toUtf8());
        if (const auto windows = CodificaWindows1252(separatore); windows && *windows != m_separatori.front())
            m_separatori.push_back(*windows);
        for (const QByteArray& s : m_separatori)
            m_separatoreMassimo = std::max(m_separatoreMassimo, s.size());
    }
}

bool LettoreRighe::Riempi()
{
    if (m_fineFile)
        return false;
    if (m_inizio > 0) {
        m_buffer.remove(0, m_inizio);
        m_inizio = 0;
    }
    QByteArray grezzi;
    const qsizetype prima = m_buffer.size();
    QByteArray& destinazione = m_utf16 ? grezzi : m_buffer;
    const qsizetype base = m_utf16 ? 0 : prima;
    destinazione.resize(base + Blocco);
    const qint64 letti = m_file.read(destinazione.data() + base, Blocco);
    destinazione.resize(base + std::max<qint64>(letti, 0));
    if (letti < 0)
        throw ErroreRun(CodiciErrore::ErroreLetturaFile,
                        QStringLiteral("Errore nella lettura del file: %1 (%2)")
                            .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    if (letti == 0 && m_file.pos() < m_dimensione)
        throw ErroreRun(CodiciErrore::ErroreLetturaFile,
                        QStringLiteral("Errore nella lettura del file: %1 (il file si è accorciato durante la lettura)")
                            .arg(QDir::toNativeSeparators(m_file.fileName())));
    if (m_utf16)
        m_buffer += QString(m_utf16->decode(grezzi)).toUtf8();
    if (letti <= 0)
        m_fineFile = true;
    return letti > 0;
}

// The byte-order mark, and whether this is a CR file.
void LettoreRighe::Inizia()
{
    m_iniziato = true;
    while (m_buffer.size() < InizioEsaminato + 4 && Riempi()) { }
    const auto inizia = [this](const char* marca) { return m_buffer.startsWith(QByteArrayView(marca)); };
    if (inizia("\xEF\xBB\xBF")) {
        m_inizio = 3;
    } else if (inizia("\xFF\xFE") || inizia("\xFE\xFF")) {
        m_utf16.emplace(inizia("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        const QByteArray grezzi = m_buffer.mid(2);
        m_buffer = QString(m_utf16->decode(grezzi)).toUtf8();
        while (m_buffer.size() < InizioEsaminato && Riempi()) { }
    }
    const qsizetype esaminati = std::min(m_buffer.size() - m_inizio, InizioEsaminato);
    m_fileCr = std::memchr(m_buffer.constData() + m_inizio, '\r', static_cast<size_t>(esaminati)) != nullptr;
}

// The length of the separator at i (whole before fino), 0 when none is there.
qsizetype LettoreRighe::SeparatoreIn(const char* dati, qsizetype i, qsizetype fino) const
{
    for (const QByteArray& s : m_separatori)
        if (i + s.size() <= fino && std::memcmp(dati + i, s.constData(), static_cast<size_t>(s.size())) == 0)
            return s.size();
    return 0;
}

bool LettoreRighe::AvanzaVirgolette(const char* dati, qsizetype fino, bool fineRiga)
{
    Virgolette& v = m_virgolette;
    // Short of a bare LF, stop where what follows a byte may not be read yet.
    const qsizetype limite = fineRiga ? fino : fino - m_separatoreMassimo - 1;
    while (v.pos < limite) {
        const char c = dati[v.pos];
        if (v.dentro) {
            ++v.pos;
            if (c == '"' && (v.pos == fino || SeparatoreIn(dati, v.pos, fino) > 0)) {
                v.dentro = false;
                v.inizioCampo = false;
            }
            continue;
        }
        if (v.inizioCampo && c == '"') {
            v.dentro = true;
            v.inizioCampo = false;
            ++v.pos;
            continue;
        }
        if (const qsizetype lunghezza = SeparatoreIn(dati, v.pos, fino)) {
            v.pos += lunghezza;
            v.inizioCampo = true;
        } else {
            ++v.pos;
            v.inizioCampo = false;
        }
    }
    return v.dentro;
}

qsizetype LettoreRighe::CercaFine(const char* dati, qsizetype n)
{
    for (;;) {
        const char* da = dati + m_cercato;
        const qsizetype resto = n - m_cercato;
        const char* fine = static_cast<const char*>(std::memchr(da, '\n', static_cast<size_t>(resto)));
        const qsizetype finoA = fine ? fine - da : resto;
        if (const void* cr = std::memchr(da, '\r', static_cast<size_t>(finoA)))
            fine = static_cast<const char*>(cr);
        if (!fine) {
            m_cercato = n;
            return -1;
        }
        const qsizetype posizione = fine - dati;
        // A bare LF of a CR file may be a line break inside a quoted cell.
        if (*fine == '\r' || !m_fileCr || m_separatori.empty() || !AvanzaVirgolette(dati, posizione, true))
            return posizione;
        m_cercato = posizione + 1;
    }
}

void LettoreRighe::NuovaRiga()
{
    m_cercato = 0;
    m_virgolette = {};
}

bool LettoreRighe::Leggi(QString& riga)
{
    QByteArrayView byte;
    if (!LeggiByte(byte))
        return false;
    Decodifica(byte.data(), byte.size(), riga);
    if (m_scarto.isEmpty() && std::memchr(byte.data(), '\0', static_cast<size_t>(byte.size())))
        m_scarto = QStringLiteral("Riga con un carattere nullo (NUL)");
    return true;
}

bool LettoreRighe::LeggiByte(QByteArrayView& riga)
{
    m_scarto.clear();
    if (!m_iniziato)
        Inizia();
    for (;;) {
        const char* dati = m_buffer.constData() + m_inizio;
        const qsizetype disponibili = m_buffer.size() - m_inizio;
        if (m_dopoCr && disponibili > 0) {
            m_dopoCr = false;
            if (dati[0] == '\n') {
                ++m_inizio;
                continue;
            }
        }
        const qsizetype fine = CercaFine(dati, disponibili);
        if (fine > LunghezzaMassima || (fine < 0 && disponibili > LunghezzaMassima)) {
            SaltaRigaLunga(riga);
            return true;
        }
        if (fine >= 0) {
            riga = QByteArrayView(dati, fine);
            m_inizio += fine + 1;
            m_dopoCr = dati[fine] == '\r';
            NuovaRiga();
            return true;
        }
        if (!Riempi() && m_fineFile) {
            if (disponibili == 0)
                return false;
            riga = QByteArrayView(dati, disponibili);
            m_inizio += disponibili;
            NuovaRiga();
            return true;
        }
    }
}

void LettoreRighe::SaltaRigaLunga(QByteArrayView& riga)
{
    qsizetype tenuti = InizioConservato;
    const char* dati = m_buffer.constData() + m_inizio;
    while (tenuti > 0 && (static_cast<unsigned char>(dati[tenuti]) & 0xC0) == 0x80)
        --tenuti;  // not inside a UTF-8 character
    m_rigaLunga = QByteArray(dati, tenuti);

    QStringDecoder utf8(QStringDecoder::Utf8);
    qsizetype caratteri = 0, byte = 0;
    for (;;) {
        dati = m_buffer.constData() + m_inizio;
        const qsizetype disponibili = m_buffer.size() - m_inizio;
        const qsizetype fine = CercaFine(dati, disponibili);
        // What is dropped now: up to the end, or what was looked at.
        qsizetype letti = fine >= 0 ? fine : disponibili;
        if (fine < 0 && m_fileCr && !m_separatori.empty()) {
            AvanzaVirgolette(dati, disponibili, false);
            letti = m_virgolette.pos;
        }
        caratteri += QString(utf8.decode(QByteArrayView(dati, letti))).size();
        byte += letti;
        if (fine >= 0) {
            m_inizio += fine + 1;
            m_dopoCr = dati[fine] == '\r';
            break;
        }
        m_inizio += letti;
        m_cercato -= letti;
        m_virgolette.pos -= std::min(m_virgolette.pos, letti);
        if (!Riempi() && m_fineFile) {
            const qsizetype resto = m_buffer.size() - m_inizio;
            caratteri += QString(utf8.decode(QByteArrayView(m_buffer.constData() + m_inizio, resto))).size();
            byte += resto;
            m_inizio += resto;
            break;
        }
    }
    NuovaRiga();
    if (utf8.hasError())
        caratteri = byte;  // a Windows-1252 line: one character a byte
    m_scarto = QStringLiteral("Riga troppo lunga: %1 caratteri").arg(caratteri);
    riga = m_rigaLunga;
}
