#include "MenuPagina.h"

#include "FinestraMessaggi.h"
#include "MenuServer.h"
#include "Programma.h"

void RichiamaMenu(FinestraMessaggi& messaggi)
{
    const Programma* p = Programma::Corrente();
    if (MenuServer* menu = p ? p->Menu() : nullptr) {
        try {
            menu->MostraMenu(QStringLiteral("Tutti"));
            return;
        } catch (const std::exception&) {
            // gone since the link was made
        }
    }
    messaggi.msgCom(QStringLiteral("Il menu non è più disponibile"), {QStringLiteral("&Ok")});
}
