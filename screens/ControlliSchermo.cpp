#include "ControlliSchermo.h"

#include "ColonneGriglia.h"
#include "GestioneMaschere.h"
#include "MenuServer.h"
#include "ModelloRecordset.h"
#include "Programma.h"

#include <QHeaderView>
#include <QTableView>

void PassaAlMenu(const QString& titolo, const QString& nome, const QString& chiave)
{
    Programma* p = Programma::Corrente();
    if (!p || !p->Menu())
        return;
    try {
        p->Menu()->PassaMaschera(titolo, nome, chiave);
    } catch (const std::exception&) {
        // the menu has gone: nothing to hand over to
    }
}

QTableView* NuovaGriglia(const char* nome, QWidget* padre)
{
    auto* griglia = new QTableView(padre);
    griglia->setObjectName(QLatin1String(nome));
    griglia->setModel(new ModelloRecordset(griglia));
    griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    griglia->setAlternatingRowColors(true);
    griglia->setWordWrap(false);
    griglia->verticalHeader()->setDefaultSectionSize(griglia->fontMetrics().height() + 8);
    griglia->setTabKeyNavigation(false);  // Tab leaves the grid; the arrows move in it
    ColonneGriglia::Ricorda(*griglia);
    return griglia;
}

ModelloRecordset* ModelloGriglia(const QTableView* griglia) { return static_cast<ModelloRecordset*>(griglia->model()); }

void LarghezzeColonne(QTableView* griglia, std::initializer_list<std::pair<const char*, int>> larghezze)
{
    ColonneGriglia::Larghezze twips;
    for (const auto& [colonna, larghezza] : larghezze)
        twips.append({QLatin1String(colonna), larghezza});
    ColonneGriglia::Adatta(*griglia, twips);
}
