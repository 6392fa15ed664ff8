#pragma once
// Configuration files and the database connections: the main INI, the
// working INI chosen by the user, the kinds of connection and their texts,
// the opening of the company and common databases.
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class DatabaseLink;
class FinestraMessaggi;
class MenuServer;
class RichiestaTesto;

enum class TipoDb { File, Odbc };

// Data source when the name begins with "ODBC;", ends with ".dsn" or has no
// "."; otherwise a database file.
TipoDb TipoConnessione(const QString& nome);
// "UID=" + u, then ";PWD=" + p when p is given; empty without a user.
QString TestoLogin(const QString& utente, const QString& password);
// Connection text of a data source.
QString TestoConnessione(const QString& nome, const QString& utente, const QString& password);
// ";pwd=" + password, or nothing.
QString SuffissoPassword(const QString& password);

// Places searched for the main INI ("orvwin.ini").
struct LuoghiIni {
    QString switchI;            // "/I" of the command line
    QString fileInstallazione;  // names the main INI in [Setup] IniPrincipale
    QString cartellaSistema;
    QString cartellaProgramma;
    QString cartellaCorrente;
    QString nomeIni = QStringLiteral("orvwin.ini");
};
std::optional<QString> CercaIniPrincipale(const LuoghiIni& luoghi);

// Working INI: "NumIni" alternatives offered in the input box "Scelta
// dell'INI", else "OrdIniDBase". Nothing when "OrdIniDBase" is missing. A
// relative name is taken from the main INI's folder.
std::optional<QString> SceltaIniLavoro(const QString& iniPrincipale, RichiestaTesto& domande);
QString PercorsoIniLavoro(const QString& iniPrincipale, const QString& nome);

// "TUTTO" or "DB1", any case.
bool VisualizzaParametri(const QString& visParam);

// Everything needed to open the company database and what the opening gives.
struct ContestoConnessione {
    MenuServer* menu = nullptr;  // may be null (then no menu credentials)
    FinestraMessaggi* messaggi = nullptr;
    RichiestaTesto* domande = nullptr;
    // Shows (non-empty title) or hides (empty) the connection window.
    std::function<void(const QString&)> finestraConnessione;

    QString iniPrincipale;  // from the menu; searched when empty
    LuoghiIni luoghi;
    bool leggiChiaviDb = false;  // read "NomeDB"... from the working INI
    QString sezione = QStringLiteral("Connessioni");
    QString nomeDb;   // "NomeDBAzie"
    QString connect;  // "ConnectDBAzie"

    // Results.
    QString iniLavoro;
    QString testoConnessione;
    QString owner;
    int execOption = 0;
    std::unique_ptr<DatabaseLink> link;
    QHash<QString, QVariant> proprieta;  // "DbTipoSql:" + connection name, ...
};

// 0 = open; -1 = the program must end (the user has been told).
int ApriConnessionePrimaria(ContestoConnessione& c);
// The common database of section "Menu" of the working INI. True when it is
// open or not configured.
bool ApriDbComune(ContestoConnessione& c, std::unique_ptr<DatabaseLink>& comune);
// Opens a data source with the connection text built from the name.
std::unique_ptr<DatabaseLink> ApriDbOdbc(const QString& nome, const QString& utente, const QString& password);

// Isolation level of a server connection ("DbTipoSql:" + name true).
void IsolamentoLetturaNonConfermata(DatabaseLink& db, const QHash<QString, QVariant>& proprieta);
void IsolamentoLetturaConfermata(DatabaseLink& db, const QHash<QString, QVariant>& proprieta);
void IsolamentoRipristina(DatabaseLink& db, const QHash<QString, QVariant>& proprieta);
