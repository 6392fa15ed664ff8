#pragma once
// Messages between the program and the menu on their local socket: one JSON
// object per line. The program sends requests ("tipo":"richiesta") and gets
// one answer each ("tipo":"risposta", same "id"); the menu sends commands
// ("tipo":"comando") and gets their answers ("tipo":"esito", same "id").
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace ProtocolloMenu {

// Name of the menu's local server for a menu instance identifier.
QString NomeServer(const QString& idMenu);

QByteArray Codifica(const QJsonObject& messaggio);
// Takes one complete line off the front of the buffer, when there is one.
// A line that is not a JSON object gives an empty object.
std::optional<QJsonObject> Estrai(QByteArray& buffer);

// Operations of the menu.
inline constexpr char Registra[] = "registra";
inline constexpr char ImpostazioneUtente[] = "impostazione";
inline constexpr char OggettoLancio[] = "lancio";
inline constexpr char IniPrincipale[] = "iniprincipale";
inline constexpr char ValoreNominato[] = "valore";
inline constexpr char ParametroDitta[] = "parametroditta";
inline constexpr char PassaMaschera[] = "passamaschera";
inline constexpr char MostraMenu[] = "mostramenu";
inline constexpr char LanciaSeguito[] = "lanciaseguito";
inline constexpr char MascheraChiusa[] = "mascherachiusa";

// Answer of a personal setting that the menu does not have.
inline const QString NonTrovato = QStringLiteral("§ç~$!^");

}  // namespace ProtocolloMenu
