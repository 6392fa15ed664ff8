#pragma once
// The Jet functions that stored statements call, created on a PostgreSQL
// server in their own schema "quiva" when missing or older than this program.
#include <QString>

class QSqlDatabase;

// Empty on success, otherwise the server's error text.
QString CreaFunzioniJetPostgres(const QSqlDatabase& db);
