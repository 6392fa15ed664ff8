#pragma once
// The few libpq functions the server's bulk writes use, found in the libpq
// that QtSql's PostgreSQL driver has loaded. Not linked into the program:
// libpq brings its TLS, Kerberos and directory libraries, whose start-up
// would cost every run on a database file a dozen milliseconds.
#include <libpq-fe.h>

struct FunzioniPq {
    decltype(&PQsetNoticeProcessor) setNoticeProcessor;
    decltype(&PQexec) exec;
    decltype(&PQsendQueryParams) sendQueryParams;
    decltype(&PQgetResult) getResult;
    decltype(&PQresultStatus) resultStatus;
    decltype(&PQresultErrorField) resultErrorField;
    decltype(&PQresultErrorMessage) resultErrorMessage;
    decltype(&PQerrorMessage) errorMessage;
    decltype(&PQclear) clear;
    decltype(&PQputCopyData) putCopyData;
    decltype(&PQputCopyEnd) putCopyEnd;

    // Null when libpq cannot be found or lacks one of them.
    static const FunzioniPq* Carica();
};
