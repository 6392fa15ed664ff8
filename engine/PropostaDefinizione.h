#pragma once
// A load definition proposed from the beginning of a source file: encoding,
// line ends, separator or fixed-width boundaries, header line, each field's
// source type and the target column it goes to. The proposal is a value:
// nothing is written until the caller saves it (SalvaProposta).
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct ColonnaTabella;
struct ContestoQuiva;
struct EsitoAnteprima;
struct OpzioniAnteprima;
class DatabaseLink;
class FinestraMessaggi;

struct CampoProposto {
    int numero = 0;     // 1-based place of the field in the line
    int inizio = 0;     // fixed width: first character, 1-based
    int lunghezza = 0;  // fixed width: characters
    QString intestazione;    // its name in the header line, if any
    QString tipoOrig;        // "Long", "Double", "Date" or "String"
    bool puntoDecimale = false;  // numbers written with a decimal point
    QString colonna;         // target column, empty when none fits
    QString tipoDest;        // that column's type name
    bool chiave = false;     // part of the target table's primary key
};

struct PropostaDefinizione {
    static constexpr qsizetype Campione = 64 * 1024;

    QString codifica;   // "UTF-8" or "Windows-1252"
    QString fineRiga;   // "CR LF", "LF" or "CR"
    bool fissa = false;
    QString separatore;  // ";", "\t", "," or "|"; empty for fixed width
    bool intestazione = false;
    std::vector<CampoProposto> campi;
    QStringList avvertenze;  // what the user should look at before saving
};

// From the first bytes of a file and the target table's columns (in table
// order) and primary key.
PropostaDefinizione ProponiDefinizione(const QByteArray& inizio, const QList<ColonnaTabella>& colonne,
                                       const QStringList& chiave);
// The same for a file and a table of the company; raises ErroreRun when the
// file cannot be read or the table does not exist.
PropostaDefinizione ProponiDaFile(DatabaseLink& db, const QString& percorso, const QString& tabella);

// The proposal as a definition in the definition file's form.
QJsonObject DefinizioneProposta(const PropostaDefinizione& proposta, const QString& codice, const QString& tabella,
                                const QString& origine);
// Writes it into the company, all or nothing (the definition file's import);
// sostituisci decides when the code exists. 0 on success, -1 after telling
// the user why not.
int SalvaProposta(DatabaseLink& db, FinestraMessaggi& messaggi, const QJsonObject& definizione,
                  const std::function<bool(const QString&)>& sostituisci);
// The preview of a definition not saved: written inside the preview's trial
// and rolled back with it.
EsitoAnteprima AnteprimaProposta(ContestoQuiva& contesto, const QJsonObject& definizione,
                                 const OpzioniAnteprima& opzioni);

// A short Italian account of the proposal, for the terminal and the editor.
QString TestoProposta(const PropostaDefinizione& proposta);
