#include "MenuServer.h"

#include "ProtocolloMenu.h"

QString MenuServer::ValorePersonale(const QString& gruppo, const QString& chiave, const QString& predefinito)
{
    const QString valore = Valore(QStringLiteral("Personal.") + gruppo + QStringLiteral(".§") + chiave);
    return valore == ProtocolloMenu::NonTrovato ? predefinito : valore;
}
