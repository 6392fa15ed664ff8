#include "RegistroSchermi.h"

#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "Maschera.h"
#include "Programma.h"
#include "frmQuiva.h"

void RegistraSchermiQuivamento()
{
    RegistroMaschere::Registra(QStringLiteral("frmQuiva"), []() -> Maschera* {
        Programma* p = Programma::Corrente();
        if (!p || !p->db)
            return nullptr;
        const ContestoQuiva contesto{*p->db, p->messaggi, p->ditta, p->driveDB, p->dirSorgenti,
                                     p->soloAsci.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0};
        return new frmQuiva(contesto);
    });
}
