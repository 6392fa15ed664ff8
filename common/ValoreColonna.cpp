#include "ValoreColonna.h"

#include "DatabaseLink.h"
#include "FormUtility.h"

#include <QDate>
#include <cmath>
#include <limits>

namespace {

bool Intera(const QVariant& v)
{
    return ValoreNumerico(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

// The number a value stands for: a text read the Italian way.
std::optional<double> NumeroDi(const QVariant& v)
{
    if (ValoreNumerico(v))
        return v.toDouble();
    if (v.typeId() == QMetaType::QString)
        return FormUtility::TestoADouble(static_cast<const QString*>(v.constData())->trimmed());
    return std::nullopt;
}

bool NumeroPerColonna(QVariant& valore, const ColonnaSchema& colonna)
{
    if (colonna.genere == GenereColonna::Intero && Intera(valore)) {
        const qint64 n = valore.toLongLong();
        return n >= colonna.minimo && n <= colonna.massimo;
    }
    const std::optional<double> numero = NumeroDi(valore);
    if (!numero || !std::isfinite(*numero))
        return false;
    switch (colonna.genere) {
    case GenereColonna::Intero: {
        // Whole as the conversion to a whole number makes it.
        const double intero = std::nearbyint(*numero);
        if (!(intero >= static_cast<double>(colonna.minimo) && intero < static_cast<double>(colonna.massimo) + 1.0))
            return false;
        valore = static_cast<qlonglong>(intero);
        return true;
    }
    case GenereColonna::Decimale:
        if (colonna.cifre > 0
            && std::fabs(FormUtility::Arrotonda(*numero, QLatin1Char('A'), colonna.decimali))
                >= std::pow(10.0, colonna.cifre - colonna.decimali))
            return false;
        break;
    default:
        if (colonna.cifre == 7 && std::fabs(*numero) > std::numeric_limits<float>::max())
            return false;
        break;
    }
    if (!ValoreNumerico(valore))
        valore = *numero;
    return true;
}

bool DataPerColonna(QVariant& valore)
{
    if (valore.typeId() == QMetaType::QDate || valore.typeId() == QMetaType::QDateTime)
        return true;
    QString testo;
    if (Intera(valore))
        testo = QString::number(valore.toLongLong());
    else if (valore.typeId() == QMetaType::QString)
        testo = *static_cast<const QString*>(valore.constData());
    const std::optional<QDate> data = testo.isEmpty() ? std::nullopt : FormUtility::TestoAData(testo);
    if (!data)
        return false;
    valore = *data;
    return true;
}

// The answer for the common cases of a load, which need no conversion: true
// when the value fits as it is, false when it cannot; none when it must be
// converted to be judged.
std::optional<bool> AdattoCosi(const QVariant& valore, const ColonnaSchema& colonna)
{
    const int tipo = valore.typeId();
    if (tipo == QMetaType::UnknownType || colonna.genere == GenereColonna::Altro)
        return true;
    if (tipo == QMetaType::QString) {
        if (colonna.genere == GenereColonna::Testo || static_cast<const QString*>(valore.constData())->isEmpty())
            return true;  // an empty value is null in a number or date column
    } else if (tipo == QMetaType::Int && colonna.genere == GenereColonna::Intero) {
        const int n = *static_cast<const int*>(valore.constData());
        return n >= colonna.minimo && n <= colonna.massimo;
    } else if (tipo == QMetaType::Double && colonna.cifre == 0
               && (colonna.genere == GenereColonna::Decimale || colonna.genere == GenereColonna::Reale)) {
        return true;  // any double fits
    } else if (tipo == QMetaType::QDate && colonna.genere == GenereColonna::Data) {
        return true;
    }
    return std::nullopt;
}

}  // namespace

bool AdattaAColonna(QVariant& valore, const ColonnaSchema& colonna)
{
    if (const std::optional<bool> cosi = AdattoCosi(valore, colonna))
        return *cosi;
    switch (colonna.genere) {
    case GenereColonna::Testo:
        if (ValoreNumerico(valore))
            valore = valore.typeId() == QMetaType::Double || valore.typeId() == QMetaType::Float
                ? QString::number(valore.toDouble(), 'g', QLocale::FloatingPointShortest)
                : valore.toString();
        return true;
    case GenereColonna::Intero:
    case GenereColonna::Decimale:
    case GenereColonna::Reale: return NumeroPerColonna(valore, colonna);
    case GenereColonna::Data: return DataPerColonna(valore);
    case GenereColonna::Altro: return true;
    }
    return true;
}

const QVariant* ValorePerColonna(const QVariant& valore, const ColonnaSchema& colonna, QVariant& adattato)
{
    if (const std::optional<bool> cosi = AdattoCosi(valore, colonna))
        return *cosi ? &valore : nullptr;
    adattato = valore;
    return AdattaAColonna(adattato, colonna) ? &adattato : nullptr;
}

bool ValoreNumerico(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}
