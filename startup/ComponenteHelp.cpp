#include "ComponenteHelp.h"

ComponenteHelp::ComponenteHelp(double scalatura_, QWidget* principale_, MenuServer* menu_, DatabaseLink* db_)
    : scalatura(scalatura_), principale(principale_), menu(menu_), db(db_)
{
}

void ComponenteHelp::ImpostaCursore(const QString& hlpSpost)
{
    bloccoCursore = !hlpSpost.trimmed().isEmpty();
    impostazioneCursore = hlpSpost.trimmed();
}
