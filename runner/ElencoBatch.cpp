#include "ElencoBatch.h"

#include "RecordsetManager.h"

QStringList CodiciBatch(DatabaseLink& db)
{
    RecordsetManager rs(db);
    const QString nome = rs.Apri(QStringLiteral("Select Codice from QuivaFile Where Batch = 'S' Order by Codice"));
    QStringList codici;
    for (; !rs.Fine(nome); rs.Successivo(nome))
        codici << rs.Leggi(nome, QStringLiteral("Codice"));
    rs.Chiudi(nome);
    return codici;
}
