#pragma once
// The help and decoding component: created at start-up and handed the help
// scaling factor, the hidden window, the menu and the database. Screens ask
// it for the help list of a field; the cursor setting comes from "HlpSpost".
#include <QString>

class DatabaseLink;
class MenuServer;
class QWidget;

class ComponenteHelp {
public:
    ComponenteHelp(double scalatura, QWidget* principale, MenuServer* menu, DatabaseLink* db);

    double scalatura;
    QWidget* principale;
    MenuServer* menu;
    DatabaseLink* db;
    bool bloccoCursore = false;
    QString impostazioneCursore;

    void ImpostaCursore(const QString& hlpSpost);
};
