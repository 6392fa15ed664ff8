#pragma once
// Who may reach the menu's local socket. The socket lives in a folder that
// only its user can enter ($XDG_RUNTIME_DIR, or a folder of the user's own
// under the temporary folder), and both ends check that the other side runs
// as the same user. Refusals are Italian texts naming the reason.
#include <QString>
#include <QtGlobal>

namespace AccessoMenu {

// The folder that holds the menu's socket: $XDG_RUNTIME_DIR when set,
// otherwise "quiva-<uid>" under the temporary folder.
QString CartellaSocket();

// Why a folder cannot hold the socket: missing, not a folder (a symbolic
// link counts as not a folder), owned by another user, or open to others.
// Empty when it is private to this user.
QString ControllaCartella(const QString& cartella);

// Full path of the socket of a menu instance after checking its folder; the
// menu passes creaCartella to make the folder (mode 0700) when it is missing.
// Empty path, with the reason in *rifiuto, when the folder is refused. A
// missing folder is not refused when it is not to be made: no menu is there.
QString PercorsoSocket(const QString& idMenu, QString* rifiuto, bool creaCartella = false);

// Why an existing file at the socket's path must not be touched: owned by
// another user, or not a socket. Empty when it is a socket of this user.
QString ControllaSocketEsistente(const QString& percorso);

// Why the process on the other side of a connected local socket is refused:
// it runs as another user, or its identity cannot be read. Empty when it
// runs as this user.
QString ControllaInterlocutore(qintptr descrittore);

}  // namespace AccessoMenu
