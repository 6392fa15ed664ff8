#pragma once
// Choosing a file to read or write. The program's own dialog, never the
// desktop's: it reads nothing of the files it lists (their icons and types
// come from the name alone), so it never opens the company database that may
// lie in the folder shown (closing a descriptor of it would drop the
// program's locks on it, see FileDitta.h). The company database and its log
// files cannot be chosen.
#include <QString>

class FinestraMessaggi;
class QFileDialog;
class QWidget;

enum class ModoScelta { Apri, Salva };

// The dialog, ready to be shown; deleted with its parent.
QFileDialog* NuovoDialogoFile(QWidget* padre, ModoScelta modo, const QString& titolo, const QString& proposta,
                              const QString& filtro);

// The chosen file, empty when cancelled. A company file is refused with a
// notice and the dialog shown again.
QString ScegliFile(QWidget* padre, ModoScelta modo, const QString& titolo, const QString& proposta,
                   const QString& filtro, FinestraMessaggi& messaggi);
