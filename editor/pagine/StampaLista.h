#pragma once
// Printing of a list: the visible columns of a grid as a table, through a
// print preview from which the user prints or saves a PDF file.
#include <QString>

class FinestraMessaggi;
class QPrinter;
class QTableView;

namespace StampaLista {
// The list as an HTML table with its title.
QString Html(const QTableView& griglia, const QString& titolo);
void Stampa(const QTableView& griglia, const QString& titolo, QPrinter& stampante);
// Preview window with the print dialog and "Salva PDF".
void Anteprima(QTableView& griglia, const QString& titolo, FinestraMessaggi& messaggi);
// Writes the list to a PDF file; false when the file cannot be written.
bool SuPdf(const QTableView& griglia, const QString& titolo, const QString& percorso);
}  // namespace StampaLista
