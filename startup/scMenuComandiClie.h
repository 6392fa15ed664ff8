#pragma once
// The program's side of the menu link: holds the menu server and runs the
// commands that the menu sends.
#include "MenuServer.h"

#include <QString>
#include <QVariant>
#include <memory>

class ProgrammaComandi;

class scMenuComandiClie {
public:
    scMenuComandiClie(std::unique_ptr<MenuServer> menu, ProgrammaComandi& programma);
    ~scMenuComandiClie();

    MenuServer& ogMenuClient() { return *m_menu; }

    // Stores the command and its parameters, then dispatches it; risposta
    // carries the answer back to the menu.
    void EseguiComando(const QVariant& a, const QVariant& b, const QString& comando, const QVariant& parametri,
                       QVariant& risposta);

    QString UltCom;
    QString UltParam;
    QVariant UltParamVar;

private:
    void Dispatcher(const QString& comando, const QVariant& parametri, QVariant& risposta);

    std::unique_ptr<MenuServer> m_menu;
    ProgrammaComandi& m_programma;
};

// Texts of the electronic invoice notices for "FEInvio" and "FEAttesa".
QString TestoAvvisoFatture(const QString& comando, const QVariant& parametri);
