#pragma once
// The file dialogs of the program: the toolkit's own dialog rather than the
// desktop's, so that every word of it is Italian (the desktop's speaks the
// desktop's language), with the kinds of files named in Italian too.
#include <QString>

class QWidget;

// The file chosen, empty when the user cancels.
QString FileDaAprire(QWidget* padre, const QString& titolo, const QString& proposta, const QString& filtro);
QString FileDaSalvare(QWidget* padre, const QString& titolo, const QString& proposta, const QString& filtro);
