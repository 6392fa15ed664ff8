#include "FileDefinizione.h"

#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "Recordset.h"
#include "RecordsetManager.h"
#include "ScQuiva.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString Ok = QStringLiteral("&Ok");
const QString Codice = QStringLiteral("Codice");
const QString TabellaFile = QStringLiteral("QuivaFile");
const QString TabellaDettaglio = QStringLiteral("QuivaDettaglio");
const QString TabellaDecod = QStringLiteral("QuivaDecod");

QJsonValue JsonDaValore(const QVariant& valore)
{
    switch (valore.typeId()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return valore.toLongLong();
    case QMetaType::Float:
    case QMetaType::Double: return valore.toDouble();
    case QMetaType::Bool: return valore.toBool();
    default: return valore.toString();
    }
}

QVariant ValoreDaJson(const QJsonValue& valore)
{
    if (valore.isDouble()) {
        const double numero = valore.toDouble();
        constexpr double InteroEsatto = 9007199254740992.0;  // 2^53
        if (std::trunc(numero) == numero && std::fabs(numero) < InteroEsatto)
            return static_cast<qlonglong>(numero);
        return numero;
    }
    if (valore.isString())
        return valore.toString();
    if (valore.isBool())
        return valore.toBool();
    return {};
}

// The columns of a row that hold a value, but the code and the row identity.
QJsonObject RigaJson(const Recordset& set, int riga)
{
    QJsonObject oggetto;
    const QStringList& colonne = set.Colonne();
    for (int c = set.Identita(); c < colonne.size(); ++c) {
        const QVariant valore = set.Valore(riga, c);
        if (!valore.isNull() && colonne[c].compare(Codice, Qt::CaseInsensitive) != 0)
            oggetto.insert(colonne[c], JsonDaValore(valore));
    }
    return oggetto;
}

QJsonArray RigheJson(RecordsetManager& rs, const QString& sql, const QString& codice)
{
    const QString nome = rs.Apri(sql, {codice});
    const Recordset& set = rs.Oggetto(nome);
    QJsonArray righe;
    for (int r = 0; r < set.NumeroRighe(); ++r)
        righe.append(RigaJson(set, r));
    rs.Chiudi(nome);
    return righe;
}

bool Scalare(const QJsonValue& valore)
{
    return valore.isNull() || valore.isDouble() || valore.isString() || valore.isBool();
}

bool OggettoDiScalari(const QJsonValue& valore)
{
    if (!valore.isObject())
        return false;
    const QJsonObject oggetto = valore.toObject();
    return std::all_of(oggetto.begin(), oggetto.end(), [](const QJsonValue& v) { return Scalare(v); });
}

bool ElencoDiOggetti(const QJsonValue& valore)
{
    if (!valore.isArray())
        return false;
    const QJsonArray elenco = valore.toArray();
    return std::all_of(elenco.begin(), elenco.end(), [](const QJsonValue& v) { return OggettoDiScalari(v); });
}

// The definition held by a file's text; nothing when the text is not one.
std::optional<QJsonObject> DefinizioneDaTesto(const QByteArray& testo)
{
    const QJsonDocument documento = QJsonDocument::fromJson(testo);
    if (!documento.isObject())
        return std::nullopt;
    const QJsonObject d = documento.object();
    const int versione = d.value(QStringLiteral("versione")).toInt(0);
    if (d.value(QStringLiteral("formato")).toString() != QLatin1String(FileDefinizione::Formato) || versione < 1
        || versione > FileDefinizione::Versione || d.value(QStringLiteral("codice")).toString().trimmed().isEmpty()
        || !OggettoDiScalari(d.value(TabellaFile)) || !ElencoDiOggetti(d.value(TabellaDettaglio))
        || !ElencoDiOggetti(d.value(TabellaDecod)))
        return std::nullopt;
    return d;
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

void Inserisci(RecordsetManager& rs, const QString& nome, const QString& codice, const QJsonObject& riga)
{
    rs.AggiungiNuovo(nome);
    rs.Imposta(nome, Codice, codice);
    for (auto it = riga.begin(); it != riga.end(); ++it)
        rs.Imposta(nome, it.key(), ValoreDaJson(it.value()));
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
    Inserisci(rs, apri(TabellaFile), codice, definizione.value(TabellaFile).toObject());
    const QString dettaglio = apri(TabellaDettaglio);
    for (const QJsonValue& riga : definizione.value(TabellaDettaglio).toArray())
        Inserisci(rs, dettaglio, codice, riga.toObject());
    const QString decod = apri(TabellaDecod);
    for (const QJsonValue& riga : definizione.value(TabellaDecod).toArray())
        Inserisci(rs, decod, codice, riga.toObject());
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
    QJsonObject definizione {{QStringLiteral("formato"), QLatin1String(Formato)},
                             {QStringLiteral("versione"), Versione},
                             {QStringLiteral("codice"), rs.Leggi(testata, Codice)},
                             {TabellaFile, RigaJson(rs.Oggetto(testata), 0)}};
    rs.Chiudi(testata);
    definizione.insert(TabellaDettaglio,
                       RigheJson(rs,
                                 QStringLiteral("Select * from QuivaDettaglio Where Codice = ?"
                                                " Order by IIf(IsNull([OrdCampo]),999999,Val([OrdCampo])), NomeCampo"),
                                 codice));
    definizione.insert(
        TabellaDecod,
        RigheJson(
            rs,
            QStringLiteral("Select * from QuivaDecod Where Codice = ? Order by Tabella, NomeCampo, ValOrig, ValDest"),
            codice));
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
    QSaveFile file(psFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(definizione).toJson(QJsonDocument::Indented)) < 0
        || !file.commit()) {
        messaggi.msgCom(QStringLiteral("Impossibile scrivere il file %1: %2").arg(psFile, file.errorString()), {Ok});
        return -1;
    }
    return 0;
}

int ImportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psFile,
                       const std::function<bool(const QString&)>& sostituisci, QString* psCodice)
{
    QFile file(psFile);
    if (!file.open(QIODevice::ReadOnly)) {
        messaggi.msgCom(QStringLiteral("Impossibile leggere il file %1: %2").arg(psFile, file.errorString()), {Ok});
        return -1;
    }
    const auto definizione = DefinizioneDaTesto(file.readAll());
    if (!definizione) {
        messaggi.msgCom(QStringLiteral("Il file %1 non contiene una definizione di quivamento").arg(psFile), {Ok});
        return -1;
    }
    const QString codice = definizione->value(QStringLiteral("codice")).toString().trimmed();
    if (psCodice)
        *psCodice = codice;
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
