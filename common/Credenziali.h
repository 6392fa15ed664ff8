#pragma once
// Connection texts carry passwords ("PWD=..."). Whatever is shown, logged or
// stored goes through here first.
#include <QString>

// The text with the value of every PWD= (any case) replaced by "****".
QString TestoSenzaPassword(const QString& testo);
// The text with every occurrence of the given password replaced by "****".
QString SenzaPassword(const QString& testo, const QString& password);
// The password a connection text carries, empty when none.
QString PasswordDelTesto(const QString& testo);
