#include "ColonneTabella.h"

#include "DatabaseLink.h"

#include <QSqlField>
#include <QSqlRecord>

namespace {

QString NomeTipo(const QSqlField& campo)
{
    switch (campo.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar: return QStringLiteral("Integer");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return QStringLiteral("Long");
    case QMetaType::Float: return QStringLiteral("Single");
    case QMetaType::Double: return QStringLiteral("Double");
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime: return QStringLiteral("Date");
    default: return QStringLiteral("String");
    }
}

}  // namespace

QList<ColonnaTabella> ColonneTabella(DatabaseLink& db, const QString& tabella)
{
    QList<ColonnaTabella> colonne;
    if (tabella.trimmed().isEmpty())
        return colonne;
    if (!db.EsisteTabella(tabella))
        return colonne;
    // Named as the catalog spells it: a server's driver takes the name as is.
    const QSqlRecord record = db.Database().record(db.Schema(tabella).nome);
    for (int c = 0; c < record.count(); ++c) {
        // A date column may read as text (SQLite): its declaration tells.
        const ColonnaSchema* schema = db.Schema(tabella).Colonna(record.fieldName(c));
        const bool data = schema && schema->data;
        colonne << ColonnaTabella {record.fieldName(c), data ? QStringLiteral("Date") : NomeTipo(record.field(c))};
    }
    return colonne;
}
