#pragma once
// Runs the built quiva-load program and gives back what it said.
#include <QProcess>
#include <QStringList>

struct Esito {
    int stato;
    QString uscita;
    QString errori;
};

inline Esito Esegui(const QStringList& argomenti)
{
    QProcess processo;
    processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
    processo.waitForFinished(60000);
    return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput()),
            QString::fromUtf8(processo.readAllStandardError())};
}
