#include "Credenziali.h"

#include <QRegularExpression>

namespace {

const QRegularExpression& ValorePassword()
{
    static const QRegularExpression valore(QStringLiteral("(pwd\\s*=\\s*)(\\{[^}]*\\}?|[^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return valore;
}

}  // namespace

QString TestoSenzaPassword(const QString& testo)
{
    return QString(testo).replace(ValorePassword(), QStringLiteral("\\1****"));
}

QString PasswordDelTesto(const QString& testo)
{
    return ValorePassword().match(testo).captured(2);
}

QString SenzaPassword(const QString& testo, const QString& password)
{
    if (password.isEmpty())
        return testo;
    return QString(testo).replace(password, QStringLiteral("****"));
}
