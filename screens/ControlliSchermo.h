#pragma once
// Small pieces the load screens build their controls with.
#include <QPushButton>
#include <initializer_list>
#include <utility>

class ModelloRecordset;
class QTableView;

// A button with its caption and control name that Enter does not press.
inline QPushButton* NuovoPulsante(const QString& testo, const char* nome, QWidget* padre)
{
    auto* p = new QPushButton(testo, padre);
    p->setObjectName(QLatin1String(nome));
    p->setAutoDefault(false);
    return p;
}

// Hands a screen over to the menu with its title, name and key.
void PassaAlMenu(const QString& titolo, const QString& nome, const QString& chiave);

// A grid of whole rows over a record-set model of its own, read-only until
// the screen makes columns editable. Tab leaves it; the widths the user
// drags are kept.
QTableView* NuovaGriglia(const char* nome, QWidget* padre);
ModelloRecordset* ModelloGriglia(const QTableView* griglia);
// Starting widths in twips, at the display factor, where wider than the
// caption and the values; missing columns are skipped.
void LarghezzeColonne(QTableView* griglia, std::initializer_list<std::pair<const char*, int>> larghezze);
