#include "ProtocolloMenu.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace ProtocolloMenu {

QString NomeServer(const QString& idMenu)
{
    QString id = idMenu.trimmed();
    id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QStringLiteral("quiva-menu-") + id;
}

QByteArray Codifica(const QJsonObject& messaggio)
{
    return QJsonDocument(messaggio).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> Estrai(QByteArray& buffer)
{
    const qsizetype fine = buffer.indexOf('\n');
    if (fine < 0)
        return std::nullopt;
    const QByteArray riga = buffer.left(fine);
    buffer.remove(0, fine + 1);
    const QJsonDocument documento = QJsonDocument::fromJson(riga);
    return documento.isObject() ? documento.object() : QJsonObject();
}

}  // namespace ProtocolloMenu
