#include "TraduzioniQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallaTraduzioniQt(QCoreApplication& applicazione)
{
    auto* traduttore = new QTranslator(&applicazione);
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    if (!traduttore->load(italiano, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduttore;
        return false;
    }
    return QCoreApplication::installTranslator(traduttore);
}
