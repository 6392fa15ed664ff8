#include "StatoOdbc.h"

#include <QSqlQuery>
#include <QSqlResult>
#include <sql.h>
#include <sqlext.h>

QString StatoSqlOdbc(const QSqlQuery& query)
{
    const QSqlResult* risultato = query.result();
    if (!risultato)
        return {};
    const QVariant handle = risultato->handle();
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "SQLHANDLE") != 0 && qstrcmp(handle.typeName(), "void*") != 0))
        return {};
    SQLHANDLE istruzione = *static_cast<const SQLHANDLE*>(handle.data());
    if (!istruzione)
        return {};
    SQLCHAR stato[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER nativo = 0;
    SQLSMALLINT lunghezza = 0;
    const SQLRETURN esito = SQLGetDiagRec(SQL_HANDLE_STMT, istruzione, 1, stato, &nativo, nullptr, 0, &lunghezza);
    if (esito != SQL_SUCCESS && esito != SQL_SUCCESS_WITH_INFO)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char*>(stato));
}
