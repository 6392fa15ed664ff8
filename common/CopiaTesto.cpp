#include "CopiaTesto.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <cmath>

namespace {

void Testo(QByteArray& riga, const QString& testo)
{
    const QByteArray utf8 = testo.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\': riga += "\\\\"; break;
        case '\t': riga += "\\t"; break;
        case '\n': riga += "\\n"; break;
        case '\r': riga += "\\r"; break;
        case '\0': riga += "\xE2\x90\x80"; break;  // a server's text cannot hold NUL: the symbol for null
        default: riga += c;
        }
    }
}

}  // namespace

void AggiungiValoreCopia(QByteArray& riga, const QVariant& valore)
{
    if (valore.isNull()) {
        riga += "\\N";
        return;
    }
    switch (valore.typeId()) {
    case QMetaType::Int: riga += QByteArray::number(*static_cast<const int*>(valore.constData())); return;
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short: riga += QByteArray::number(valore.toLongLong()); return;
    case QMetaType::UInt:
    case QMetaType::ULongLong: riga += QByteArray::number(valore.toULongLong()); return;
    case QMetaType::Bool: riga += valore.toBool() ? "t" : "f"; return;
    case QMetaType::Double:
    case QMetaType::Float: {
        // The shortest text that reads back as the same double: a decimal
        // column keeps 2.6, not 2.6000000000000001.
        const double numero = valore.toDouble();
        if (std::isnan(numero))
            riga += "NaN";
        else if (std::isinf(numero))
            riga += numero > 0 ? "Infinity" : "-Infinity";
        else
            riga += QString::number(numero, 'g', QLocale::FloatingPointShortest).toLatin1();
        return;
    }
    case QMetaType::QDate: riga += valore.toDate().toString(Qt::ISODate).toLatin1(); return;
    case QMetaType::QTime: riga += valore.toTime().toString(Qt::ISODateWithMs).toLatin1(); return;
    case QMetaType::QDateTime:
        riga += valore.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
        return;
    case QMetaType::QByteArray:
        riga += "\\\\x";
        riga += valore.toByteArray().toHex();
        return;
    case QMetaType::QString: Testo(riga, *static_cast<const QString*>(valore.constData())); return;
    default: Testo(riga, valore.toString());
    }
}
