#pragma once
// The server's password asked for on the terminal, never shown and never on
// the command line.
#include <QString>

// Writes domanda on standard error and reads one line of standard input:
// typed on a terminal without echo, or the first line of a pipe (a secrets
// store feeding the program). The line end is not part of the password.
QString ChiediPassword(const QString& domanda);
