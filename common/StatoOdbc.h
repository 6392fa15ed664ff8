#pragma once
// The SQLSTATE that an ODBC data source gave for the last failure of a
// statement: the driver keeps it on the statement after QtSql has read the
// message.
#include <QString>

class QSqlQuery;

// Empty when the query has no ODBC statement or no diagnostic.
QString StatoSqlOdbc(const QSqlQuery& query);
