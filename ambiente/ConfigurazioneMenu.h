#pragma once
// The menu's own configuration file (INI): named values, main INI path,
// user settings by group, personal settings and company parameters.
//
//   [Menu]        Id, IniPrincipale, Programma, IdProgramma, FileHelp
//   [Valori]      NomeDBAzie, ConnectDBAzie, PwdDbAzie, VersMenu, ...
//   [Utente.<gruppo>]     user settings; "TastiCtrl_<code>" for macros
//   [Personale.<gruppo>]  personal settings
//   [Ditta]       company parameters (DescAzie, Ditta.Moneta, ...)
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

class ConfigurazioneMenu {
public:
    explicit ConfigurazioneMenu(const QString& percorso);

    static QString PercorsoPredefinito();
    QString Percorso() const { return m_percorso; }

    // Keys and groups compared without case.
    std::optional<QString> Leggi(const QString& gruppo, const QString& chiave) const;
    void Scrivi(const QString& gruppo, const QString& chiave, const QString& valore);

    QString IdMenu() const { return Leggi(QStringLiteral("Menu"), QStringLiteral("Id")).value_or(QStringLiteral("1")); }
    QString IniPrincipale() const
    {
        return Leggi(QStringLiteral("Menu"), QStringLiteral("IniPrincipale")).value_or(QString());
    }

    // A first configuration for a company database: the menu's values, an
    // orvwin.ini and a working INI next to the configuration file.
    void CreaPredefinita(const QString& databaseDitta);

private:
    QString m_percorso;
    std::unique_ptr<QSettings> m_settings;
};
