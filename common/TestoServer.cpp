#include "TestoServer.h"

#include "TestoVeloce.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <charconv>
#include <cmath>

namespace {

void Testo(QByteArray& testo, const QString& valore)
{
    const qsizetype inizio = testo.size();
    testo.resize(inizio + valore.size() * 3);
    char* fine = ScriviUtf8(valore.constData(), valore.size(), testo.data() + inizio);
    testo.resize(fine - testo.constData());
    if (valore.contains(QChar(0)))
        testo.replace(QByteArrayView("\0", 1), "\xE2\x90\x80");
}

void Data(QByteArray& testo, const QDate& data)
{
    int anno, mese, giorno;
    data.getDate(&anno, &mese, &giorno);
    if (anno < 0 || anno > 9999) {
        testo += data.toString(Qt::ISODate).toLatin1();
        return;
    }
    const qsizetype inizio = testo.size();
    testo.resize(inizio + 10);
    ScriviDataIso(anno, mese, giorno, testo.data() + inizio);
}

// A number's shortest text that reads back as the same number, written in
// place (no allocation per value).
template <typename T> void Numero(QByteArray& testo, T numero)
{
    char cifre[32];
    const std::to_chars_result fine = std::to_chars(cifre, cifre + sizeof cifre, numero);
    testo.append(cifre, fine.ptr - cifre);
}

// Appends testo in double quotes, with a backslash before every quote and
// backslash, as an element of an array or a field of a row is written.
void Quotato(QByteArray& uscita, QByteArrayView testo)
{
    uscita += '"';
    qsizetype da = 0;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (testo[i] != '"' && testo[i] != '\\')
            continue;
        uscita.append(testo.sliced(da, i - da));
        uscita += '\\';
        da = i;
    }
    uscita.append(testo.sliced(da));
    uscita += '"';
}

}  // namespace

void AggiungiTestoServer(QByteArray& testo, const QVariant& valore)
{
    switch (valore.typeId()) {
    case QMetaType::Int: Numero(testo, *static_cast<const int*>(valore.constData())); return;
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short: Numero(testo, valore.toLongLong()); return;
    case QMetaType::UInt:
    case QMetaType::ULongLong: Numero(testo, valore.toULongLong()); return;
    case QMetaType::Bool: testo += valore.toBool() ? "t" : "f"; return;
    case QMetaType::Double:
    case QMetaType::Float: {
        // The shortest text that reads back as the same double: a decimal
        // column keeps 2.6, not 2.6000000000000001.
        const double numero = valore.toDouble();
        if (std::isnan(numero))
            testo += "NaN";
        else if (std::isinf(numero))
            testo += numero > 0 ? "Infinity" : "-Infinity";
        else
            Numero(testo, numero);
        return;
    }
    case QMetaType::QDate: Data(testo, *static_cast<const QDate*>(valore.constData())); return;
    case QMetaType::QTime: testo += valore.toTime().toString(Qt::ISODateWithMs).toLatin1(); return;
    case QMetaType::QDateTime:
        testo += valore.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
        return;
    case QMetaType::QByteArray:
        testo += "\\x";
        testo += valore.toByteArray().toHex();
        return;
    case QMetaType::QString: Testo(testo, *static_cast<const QString*>(valore.constData())); return;
    default: Testo(testo, valore.toString());
    }
}

void AggiungiValoreCopia(QByteArray& riga, const QVariant& valore)
{
    if (valore.isNull()) {
        riga += "\\N";
        return;
    }
    const qsizetype inizio = riga.size();
    AggiungiTestoServer(riga, valore);
    // Most values need no escape: look before copying.
    const QByteArrayView scritto(riga.constData() + inizio, riga.size() - inizio);
    bool speciale = false;
    for (const char c : scritto)
        speciale = speciale || c == '\\' || c == '\t' || c == '\n' || c == '\r';
    if (!speciale)
        return;
    const QByteArray grezzo = scritto.toByteArray();
    riga.truncate(inizio);
    for (const char c : grezzo) {
        switch (c) {
        case '\\': riga += "\\\\"; break;
        case '\t': riga += "\\t"; break;
        case '\n': riga += "\\n"; break;
        case '\r': riga += "\\r"; break;
        default: riga += c;
        }
    }
}

// {"(\"a\",,\"b c\")",...}: every field quoted, so that an empty text stays
// a text; the element quoted again for the array.
QByteArray MatriceRighe(const std::vector<QVariant>& valori, const std::vector<int>& posti, int colonne, int parte)
{
    const size_t perRiga = posti.size();
    std::vector<const QVariant*> campi(static_cast<size_t>(colonne));
    QByteArray matrice("{"), riga, campo;
    for (size_t inizio = 0; perRiga > 0 && inizio + perRiga <= valori.size(); inizio += perRiga) {
        std::fill(campi.begin(), campi.end(), nullptr);
        for (size_t m = 0; m < perRiga; ++m) {
            const int posto = posti[m] - parte * colonne;
            if (posto >= 0 && posto < colonne)
                campi[static_cast<size_t>(posto)] = &valori[inizio + m];
        }
        riga.truncate(0);
        riga += '(';
        for (int c = 0; c < colonne; ++c) {
            if (c > 0)
                riga += ',';
            const QVariant* valore = campi[static_cast<size_t>(c)];
            if (!valore || valore->isNull())
                continue;
            campo.truncate(0);
            AggiungiTestoServer(campo, *valore);
            Quotato(riga, campo);
        }
        riga += ')';
        if (inizio > 0)
            matrice += ',';
        Quotato(matrice, riga);
    }
    matrice += '}';
    return matrice;
}

QString MatriceValori(const std::vector<QVariant>& valori)
{
    QByteArray matrice("{"), elemento;
    for (const QVariant& valore : valori) {
        if (matrice.size() > 1)
            matrice += ',';
        if (valore.isNull()) {
            matrice += "NULL";
            continue;
        }
        elemento.truncate(0);
        AggiungiTestoServer(elemento, valore);
        Quotato(matrice, elemento);
    }
    matrice += '}';
    return QString::fromUtf8(matrice);
}

QString TipoMatrice(const std::vector<QVariant>& valori)
{
    auto tipo = [](const QVariant& v) -> QString {
        switch (v.typeId()) {
        case QMetaType::QString: return QStringLiteral("text");
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::Long:
        case QMetaType::LongLong: return QStringLiteral("bigint");
        case QMetaType::Double:
        case QMetaType::Float: return QStringLiteral("numeric");
        case QMetaType::QDate: return QStringLiteral("date");
        case QMetaType::QDateTime: return QStringLiteral("timestamp");
        case QMetaType::Bool: return QStringLiteral("boolean");
        default: return {};
        }
    };
    QString comune;
    for (const QVariant& valore : valori) {
        if (valore.isNull())
            continue;
        const QString questo = tipo(valore);
        if (questo.isEmpty() || (!comune.isEmpty() && questo != comune))
            return {};
        comune = questo;
    }
    return comune.isEmpty() ? QStringLiteral("text") : comune;
}

QStringList PartiTraSegni(const QString& sql)
{
    QStringList parti;
    QChar chiusura;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!chiusura.isNull()) {
            if (c == chiusura)
                chiusura = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            chiusura = c;
        } else if (c == QLatin1Char('?')) {
            parti << sql.mid(inizio, i - inizio);
            inizio = i + 1;
        }
    }
    parti << sql.mid(inizio);
    return parti;
}
