#include "RegistroEditor.h"

#include "ContestoEditor.h"
#include "Maschera.h"
#include "Programma.h"
#include "frmGestQuiva.h"

void RegistraSchermiEditor()
{
    RegistroMaschere::Registra(QStringLiteral("frmGestQuiva"), []() -> Maschera* {
        Programma* p = Programma::Corrente();
        if (!p || !p->db)
            return nullptr;
        return new frmGestQuiva(ContestoEditor {*p->db, p->messaggi, p->domande, p->proprietaDb});
    });
}
