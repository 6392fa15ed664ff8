#include "FileDefinizione.h"

#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormatoDefinizione.h"
#include "Recordset.h"
#include "RecordsetManager.h"
#include "ScQuiva.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <cmath>
#include <span>

namespace {

const QString Ok = QStringLiteral("&Ok");
const QString Codice = QStringLiteral("Codice");
const QString TabellaFile = QStringLiteral("QuivaFile");
const QString TabellaDettaglio = QStringLiteral("QuivaDettaglio");
const QString TabellaDecod = QStringLiteral("QuivaDecod");

using FormatoDefinizione::Colonna;

// A value read from a file, for the column it goes to: whole numbers for
// number columns, texts for text columns, nothing (null) for an empty one.
QVariant ValoreDaJson(const Colonna* colonna, const QJsonValue& valore)
{
    if (valore.isBool())
        return valore.toBool();
    if (valore.isDouble()) {
        const double numero = valore.toDouble();
        constexpr double InteroEsatto = 9007199254740992.0;  // 2^53
        const bool intero = std::trunc(numero) == numero && std::fabs(numero) < InteroEsatto;
        if (colonna && colonna->genere == FormatoDefinizione::Genere::Testo)
            return intero ? QString::number(static_cast<qlonglong>(numero)) : QString::number(numero, 'g', 17);
        return intero ? QVariant(static_cast<qlonglong>(numero)) : QVariant(numero);
    }
    if (!valore.isString() || valore.toString().isEmpty())
        return {};
    if (colonna && colonna->genere == FormatoDefinizione::Genere::Intero) {
        const QString testo = valore.toString().trimmed();
        return testo.isEmpty() ? QVariant() : QVariant(testo.toLongLong());
    }
    return valore.toString();
}

// The columns of a row that hold a value, but the code and the row identity.
QJsonObject RigaJson(const Recordset& set, int riga, std::span<const Colonna> note)
{
    QJsonObject oggetto;
    const QStringList& colonne = set.Colonne();
    for (int c = set.Identita(); c < colonne.size(); ++c) {
        if (colonne[c].compare(Codice, Qt::CaseInsensitive) == 0)
            continue;
        const Colonna* colonna = FormatoDefinizione::Trova(note, colonne[c]);
        // The name as this program spells it, whatever case the company's table uses.
        const QString nome = colonna ? QLatin1String(colonna->nome) : colonne[c];
        oggetto.insert(nome, FormatoDefinizione::ValoreFile(colonna, set.Valore(riga, c)));
    }
    return oggetto;
}

QJsonArray RigheJson(RecordsetManager& rs, const QString& sql, const QString& codice, std::span<const Colonna> note)
{
    const QString nome = rs.Apri(sql, {codice});
    const Recordset& set = rs.Oggetto(nome);
    QJsonArray righe;
    for (int r = 0; r < set.NumeroRighe(); ++r)
        righe.append(RigaJson(set, r, note));
    rs.Chiudi(nome);
    return righe;
}

// The definition held by a file's text, or every reason why it is not one.
struct Lettura {
    QJsonObject definizione;
    QStringList problemi;
};

Lettura DefinizioneDaTesto(const QByteArray& testo)
{
    QJsonParseError errore;
    const QJsonDocument documento = QJsonDocument::fromJson(testo, &errore);
    if (errore.error != QJsonParseError::NoError)
        return {{}, {QStringLiteral("non è un testo JSON valido (errore al carattere %1)").arg(errore.offset)}};
    if (!documento.isObject())
        return {{}, {QStringLiteral("il testo JSON non è un oggetto")}};
    return {documento.object(), FormatoDefinizione::Problemi(documento.object())};
}

void MancantiInTabella(DatabaseLink& db, const QString& tabella, const QStringList& colonne, QStringList& mancanti)
{
    if (!db.EsisteTabella(tabella)) {
        mancanti << QStringLiteral("tabella ") + tabella;
        return;
    }
    const SchemaTabella& schema = db.Schema(tabella);
    for (const QString& colonna : colonne)
        if (!schema.Colonna(colonna))
            mancanti << QStringLiteral("colonna %1.%2").arg(tabella, colonna);
}

QStringList ChiaviDi(const QJsonArray& righe)
{
    QStringList chiavi;
    for (const QJsonValue& riga : righe)
        chiavi << riga.toObject().keys();
    chiavi.removeDuplicates();
    return chiavi;
}

void Inserisci(RecordsetManager& rs, const QString& nome, const QString& codice, const QJsonObject& riga,
               std::span<const Colonna> note)
{
    rs.AggiungiNuovo(nome);
    rs.Imposta(nome, Codice, codice);
    for (auto it = riga.begin(); it != riga.end(); ++it) {
        // The code is the file's, written once at its top.
        if (it.key().compare(Codice, Qt::CaseInsensitive) == 0)
            continue;
        const QVariant valore = ValoreDaJson(FormatoDefinizione::Trova(note, it.key()), it.value());
        if (!valore.isNull())
            rs.Imposta(nome, it.key(), valore);
    }
    rs.Aggiorna(nome);
}

void ScriviRighe(DatabaseLink& db, const QString& codice, const QJsonObject& definizione)
{
    for (const QString& tabella : {TabellaDecod, TabellaDettaglio, TabellaFile})
        db.EseguiParametri(QStringLiteral("Delete from %1 Where Codice = ?").arg(tabella), {codice});
    RecordsetManager rs(db);
    auto apri = [&](const QString& tabella) {
        return rs.Apri(QStringLiteral("Select * from %1 Where Codice = ?").arg(tabella), {codice});
    };
    Inserisci(rs, apri(TabellaFile), codice, definizione.value(TabellaFile).toObject(),
              FormatoDefinizione::ColonneFile());
    const QString dettaglio = apri(TabellaDettaglio);
    for (const QJsonValue& riga : definizione.value(TabellaDettaglio).toArray())
        Inserisci(rs, dettaglio, codice, riga.toObject(), FormatoDefinizione::ColonneDettaglio());
    const QString decod = apri(TabellaDecod);
    for (const QJsonValue& riga : definizione.value(TabellaDecod).toArray())
        Inserisci(rs, decod, codice, riga.toObject(), FormatoDefinizione::ColonneDecod());
}

bool Esiste(DatabaseLink& db, const QString& codice)
{
    RecordsetManager rs(db);
    return !rs.Vuoto(rs.Apri(QStringLiteral("Select Codice from QuivaFile Where Codice = ?"), {codice}));
}

}  // namespace

namespace FileDefinizione {

QJsonObject Leggi(DatabaseLink& db, const QString& codice)
{
    RecordsetManager rs(db);
    const QString testata = rs.Apri(QStringLiteral("Select * from QuivaFile Where Codice = ?"), {codice});
    if (rs.Vuoto(testata))
        throw ErroreRun(CodiciErrore::ErroreGenerico, QStringLiteral("Mancano i dati per il codice ") + codice);
    QJsonObject definizione {{QStringLiteral("formato"), QLatin1String(FormatoDefinizione::Formato)},
                             {QStringLiteral("versione"), FormatoDefinizione::Versione},
                             {QStringLiteral("codice"), rs.Leggi(testata, Codice)},
                             {TabellaFile, RigaJson(rs.Oggetto(testata), 0, FormatoDefinizione::ColonneFile())}};
    rs.Chiudi(testata);
    definizione.insert(TabellaDettaglio,
                       RigheJson(rs,
                                 QStringLiteral("Select * from QuivaDettaglio Where Codice = ?"
                                                " Order by IIf(IsNull([OrdCampo]),999999,Val([OrdCampo])), NomeCampo"),
                                 codice, FormatoDefinizione::ColonneDettaglio()));
    definizione.insert(
        TabellaDecod,
        RigheJson(
            rs,
            QStringLiteral("Select * from QuivaDecod Where Codice = ? Order by Tabella, NomeCampo, ValOrig, ValDest"),
            codice, FormatoDefinizione::ColonneDecod()));
    return definizione;
}

QStringList Mancanti(DatabaseLink& db, const QJsonObject& definizione)
{
    const QJsonObject testata = definizione.value(TabellaFile).toObject();
    const QJsonArray dettaglio = definizione.value(TabellaDettaglio).toArray();
    QStringList mancanti;
    MancantiInTabella(db, TabellaFile, testata.keys(), mancanti);
    MancantiInTabella(db, TabellaDettaglio, ChiaviDi(dettaglio), mancanti);
    MancantiInTabella(db, TabellaDecod, ChiaviDi(definizione.value(TabellaDecod).toArray()), mancanti);

    // Target tables by slot, then the columns every field is written to.
    QString tabelle[ScQuiva::NumSlot + 1];
    QString codiciTabella[ScQuiva::NumSlot + 1];
    for (int i = 1; i <= ScQuiva::NumSlot; ++i) {
        const QString suffisso = i == 1 ? QString() : QString::number(i);
        tabelle[i] = testata.value(QStringLiteral("Tabella") + suffisso).toString().trimmed();
        codiciTabella[i] = testata.value(QStringLiteral("CodTab") + suffisso).toString();
    }
    QStringList inOrdine;                 // target tables, by slot
    QHash<QString, QStringList> colonne;  // by target table
    for (int i = 1; i <= ScQuiva::NumSlot; ++i)
        if (!tabelle[i].isEmpty() && !colonne.contains(tabelle[i])) {
            inOrdine << tabelle[i];
            colonne.insert(tabelle[i], {});
        }
    for (const QJsonValue& riga : dettaglio) {
        const QString nomeCampo = riga.toObject().value(QStringLiteral("NomeCampo")).toString();
        const QString codTab = ScQuiva::LeggiCodTab(nomeCampo);
        QString tabella = tabelle[1];
        for (int i = 2; i <= ScQuiva::NumSlot && !codTab.isEmpty(); ++i)
            if (codiciTabella[i].compare(codTab, Qt::CaseInsensitive) == 0)
                tabella = tabelle[i];
        // "A|B|C" names several columns of the same table.
        for (const QString& parte : ScQuiva::LeggiNomeCampo(nomeCampo).split(QLatin1Char('|'), Qt::SkipEmptyParts))
            if (!tabella.isEmpty())
                colonne[tabella] << parte.trimmed();
    }
    for (const QString& tabella : inOrdine)
        MancantiInTabella(db, tabella, colonne.value(tabella), mancanti);
    mancanti.removeDuplicates();
    return mancanti;
}

}  // namespace FileDefinizione

int EsportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psCodice, const QString& psFile)
{
    QJsonObject definizione;
    try {
        definizione = FileDefinizione::Leggi(db, psCodice);
    } catch (const ErroreRun& errore) {
        messaggi.msgCom(errore.descrizione(), {Ok});
        return -1;
    }
    const QByteArray testo = FormatoDefinizione::Testo(definizione);
    if (psFile == QLatin1String("-")) {
        QFile uscita;
        if (uscita.open(stdout, QIODevice::WriteOnly) && uscita.write(testo) == testo.size() && uscita.flush())
            return 0;
        messaggi.msgCom(QStringLiteral("Impossibile scrivere la definizione sullo standard output: ")
                            + uscita.errorString(),
                        {Ok});
        return -1;
    }
    QSaveFile file(psFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(testo) < 0 || !file.commit()) {
        messaggi.msgCom(QStringLiteral("Impossibile scrivere il file %1: %2").arg(psFile, file.errorString()), {Ok});
        return -1;
    }
    return 0;
}

int ImportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psFile,
                       const std::function<bool(const QString&)>& sostituisci, QString* psCodice,
                       QJsonObject* psDefinizione)
{
    QFile file(psFile);
    if (!file.open(QIODevice::ReadOnly)) {
        messaggi.msgCom(QStringLiteral("Impossibile leggere il file %1: %2").arg(psFile, file.errorString()), {Ok});
        return -1;
    }
    const Lettura lettura = DefinizioneDaTesto(file.readAll());
    if (!lettura.problemi.isEmpty()) {
        messaggi.msgCom(QStringLiteral("Il file %1 non contiene una definizione di quivamento valida:\n- ").arg(psFile)
                            + lettura.problemi.join(QStringLiteral("\n- ")),
                        {Ok});
        return -1;
    }
    const QJsonObject* definizione = &lettura.definizione;
    const QString codice = definizione->value(QStringLiteral("codice")).toString().trimmed();
    if (psCodice)
        *psCodice = codice;
    if (psDefinizione)
        *psDefinizione = lettura.definizione;
    try {
        const QStringList mancanti = FileDefinizione::Mancanti(db, *definizione);
        if (!mancanti.isEmpty()) {
            messaggi.msgCom(
                QStringLiteral("La definizione %1 non si può importare in questa ditta. Mancano:\n").arg(codice)
                    + mancanti.join(QLatin1Char('\n')),
                {Ok});
            return -1;
        }
        if (Esiste(db, codice) && !sostituisci(codice))
            return -1;
        db.IniziaTransazione();
        ScriviRighe(db, codice, *definizione);
        db.ConfermaTransazione();
    } catch (const ErroreRun& errore) {
        db.AnnullaTransazione();
        messaggi.msgCom(
            QStringLiteral("Importazione della definizione %1 non riuscita, la ditta non è stata modificata:\n%2")
                .arg(codice, errore.descrizione()),
            {Ok});
        return -1;
    }
    return 0;
}
