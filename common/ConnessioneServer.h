#pragma once
// The company's server as the users' connection texts name it, read into the
// parameters of a native connection:
//   "ODBC;DRIVER=PostgreSQL Unicode;SERVER=...;PORT=...;DATABASE=...;UID=..."
//   (with or without "ODBC;"), "DSN=name" or "FileDSN=file.dsn" whose entry
//   names a PostgreSQL driver, and "postgresql://user@host:port/database".
// A ";UID=...;PWD=..." added after any of them still counts.
#include <QString>

struct ParametriServer {
    QString host;  // a name, an address or a socket folder
    int porta = -1;
    QString database;
    QString utente;
    QString password;
    QString opzioni;  // libpq's own "key=value" options, ";" between them
};

// Raises ErroreRun with an Italian message when the text names no server,
// an entry that does not exist, or a driver that is not PostgreSQL's.
ParametriServer LeggiConnessioneServer(const QString& testo);
