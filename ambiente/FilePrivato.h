#pragma once
// Files that can hold a password (the menu's configuration with PwdDbAzie,
// a working INI with a connection text) are readable by their user only.
#include <QString>

// Creates the file, empty, readable and writable by its owner alone, when it
// does not exist; an existing one loses any right of group and others.
// False when neither could be done.
bool RendiPrivato(const QString& percorso);
