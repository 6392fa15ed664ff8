#include "DidascalieQuiva.h"

namespace {

QHash<QString, QString> File()
{
    QHash<QString, QString> d {
        {"Codice", "Codice"},
        {"Descrizione", "Descrizione"},
        {"Tabella", "Tabella"},
        {"Azzera", "Azzera"},
        {"WhereAzz", "Cond. di Azzeramento"},
        {"Campi", "Elenco Campi"},
        {"QueryFin1", "Query Fine 1"},
        {"QueryFin2", "Query Fine 2"},
        {"QueryFin3", "Query Fine 3"},
        {"Modalita", "Modalità"},
        {"InsVaria", "Prima Ins. o Var."},
        {"Separatore", "Separatore"},
        {"Origine", "File Origine"},
        {"SaltaInizio", "Righe da Saltare"},
        {"Tipo", "Tipo"},
        {"Batch", "Batch"},
    };
    for (int n = 2; n <= 5; ++n) {
        const QString i = QString::number(n);
        d.insert(QStringLiteral("Tabella") + i, QStringLiteral("Tabella ") + i);
        d.insert(QStringLiteral("CodTab") + i, QStringLiteral("Codice Tab. ") + i);
        d.insert(QStringLiteral("Azzera") + i, QStringLiteral("Azzera ") + i);
        d.insert(QStringLiteral("WhereAzz") + i, QStringLiteral("Cond. Azzeram. ") + i);
        d.insert(QStringLiteral("Campi") + i, QStringLiteral("Elenco Campi ") + i);
    }
    return d;
}

QHash<QString, QString> Dettaglio()
{
    return {
        {"Codice", "Codice"},
        {"NomeCampo", "Nome Campo"},
        {"OrdCampo", "Ordine Scrittura"},
        {"TipoOrig", "Tipo Origine"},
        {"TipoDest", "Tipo Destinazione"},
        {"NumCampo", "Numero Campo"},
        {"Inizio", "Inizio"},
        {"Lunghezza", "Lunghezza"},
        {"Dimensione", "Dimensione"},
        {"LimiteDim", "Limite Lunghezza"},
        {"NonVal", "Valore non Valido"},
        {"Riempie", "Riempimento / Arrot."},
        {"Quanto", "Num. Riemp. / Decimali"},
        {"Default", "Valore Di Default"},
        {"Aggiorna", "In Variazione"},
        {"Obbligatorio", "Obbligatorio"},
        {"Conv0ToNull", "Converti 0 a Null"},
        {"TipoOper", "Tipo Operazione"},
        {"ValoreOper", "Stringa Operazione"},
        {"LireOValuta", "Lire o Valuta"},
        {"ValValido", "Valore Valido"},
        {"CostBatch", "Valore Costante"},
    };
}

}  // namespace

QHash<QString, QString> DidascalieQuiva(const QString& tabella)
{
    if (tabella.compare(QLatin1String("QuivaFile"), Qt::CaseInsensitive) == 0)
        return File();
    if (tabella.compare(QLatin1String("QuivaDettaglio"), Qt::CaseInsensitive) == 0)
        return Dettaglio();
    return {};
}
