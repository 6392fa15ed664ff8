#include "ConfigurazioneMenu.h"

#include "FilePrivato.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ConfigurazioneMenu::ConfigurazioneMenu(const QString& percorso)
    : m_percorso(percorso), m_settings(std::make_unique<QSettings>(percorso, QSettings::IniFormat))
{
}

QString ConfigurazioneMenu::PercorsoPredefinito()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/quiva/quiva-menu.ini");
}

std::optional<QString> ConfigurazioneMenu::Leggi(const QString& gruppo, const QString& chiave) const
{
    for (const QString& g : m_settings->childGroups()) {
        if (g.compare(gruppo, Qt::CaseInsensitive) != 0)
            continue;
        m_settings->beginGroup(g);
        std::optional<QString> valore;
        for (const QString& k : m_settings->childKeys()) {
            if (k.compare(chiave, Qt::CaseInsensitive) == 0) {
                const QVariant v = m_settings->value(k);
                // A value with commas comes back as a list.
                valore = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
                break;
            }
        }
        m_settings->endGroup();
        if (valore)
            return valore;
    }
    return std::nullopt;
}

void ConfigurazioneMenu::Scrivi(const QString& gruppo, const QString& chiave, const QString& valore)
{
    // The file holds the company database's password (PwdDbAzie). Made
    // private before the first write, and again after it in case the
    // settings were written through a new file.
    QDir().mkpath(QFileInfo(m_percorso).absolutePath());
    RendiPrivato(m_percorso);
    m_settings->setValue(gruppo + QLatin1Char('/') + chiave, valore);
    m_settings->sync();
    RendiPrivato(m_percorso);
}

void ConfigurazioneMenu::CreaPredefinita(const QString& databaseDitta)
{
    const QDir cartella = QFileInfo(m_percorso).absoluteDir();
    QDir().mkpath(cartella.absolutePath());
    const QString orvwin = cartella.filePath(QStringLiteral("orvwin.ini"));
    const QString lavoro = cartella.filePath(QStringLiteral("ditta.ini"));
    if (!QFileInfo::exists(orvwin) && RendiPrivato(orvwin)) {
        QFile f(orvwin);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text))
            f.write("[Parametri Generali]\r\nNumIni=0\r\nOrdIniDBase=ditta.ini\r\nVisParam=\r\n");
    }
    // The working INI can name a connection with its password.
    if (!QFileInfo::exists(lavoro) && RendiPrivato(lavoro)) {
        QFile f(lavoro);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            const QString dati = QFileInfo(databaseDitta).absolutePath();
            f.write(
                QStringLiteral(
                    "[Base]\r\nDriveDB=\r\nDirQuiva=%1\r\nDirImmagini=%1\r\n\r\n[Configurazioni]\r\nFormatData=dd/mm/yyyy\r\n\r\n"
                    "[Risoluzione Video]\r\nGenerale=0\r\n")
                    .arg(dati)
                    .toUtf8());
        }
    }
    auto imposta = [&](const QString& gruppo, const QString& chiave, const QString& valore) {
        if (!Leggi(gruppo, chiave))
            Scrivi(gruppo, chiave, valore);
    };
    imposta(QStringLiteral("Menu"), QStringLiteral("Id"), QStringLiteral("1"));
    imposta(QStringLiteral("Menu"), QStringLiteral("IniPrincipale"), orvwin);
    imposta(QStringLiteral("Menu"), QStringLiteral("IdProgramma"), QStringLiteral("QUIVA"));
    Scrivi(QStringLiteral("Valori"), QStringLiteral("NomeDBAzie"), QFileInfo(databaseDitta).absoluteFilePath());
    imposta(QStringLiteral("Valori"), QStringLiteral("ConnectDBAzie"), QString());
    imposta(QStringLiteral("Valori"), QStringLiteral("PwdDbAzie"), QString());
    imposta(QStringLiteral("Valori"), QStringLiteral("Versione"), QStringLiteral("1.0"));
    imposta(QStringLiteral("Valori"), QStringLiteral("DataVersione"), QStringLiteral("01/12/2024"));
    imposta(QStringLiteral("Valori"), QStringLiteral("VersMenu"), QStringLiteral("1.07"));
    imposta(QStringLiteral("Utente.Tutti"), QStringLiteral("PrepProcCorr"), QString());
    imposta(QStringLiteral("Ditta"), QStringLiteral("DescAzie"), QStringLiteral("Ditta dimostrativa"));
    imposta(QStringLiteral("Ditta"), QStringLiteral("Ditta.Moneta"), QStringLiteral("Euro"));
}
