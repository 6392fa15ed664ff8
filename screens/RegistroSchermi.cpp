#include "RegistroSchermi.h"

#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "Maschera.h"
#include "Programma.h"
#include "frmBatchSelez.h"
#include "frmQuiva.h"
#include "frmVerErrori.h"

namespace {

// A screen of this library on the running program's company database.
template <typename Schermo> void Registra(const char* nome)
{
    RegistroMaschere::Registra(QLatin1String(nome), []() -> Maschera* {
        Programma* p = Programma::Corrente();
        if (!p || !p->db)
            return nullptr;
        ContestoQuiva contesto {
            *p->db,     p->messaggi,    p->ditta,
            p->driveDB, p->dirSorgenti, p->soloAsci.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0};
        // "AttesaQuivamento" of [Base]: seconds a load waits for another one.
        bool numero = false;
        const int attesa =
            p->LeggiIni(QStringLiteral("Base"), QStringLiteral("AttesaQuivamento"), QString()).trimmed().toInt(&numero);
        if (numero && attesa >= 0)
            contesto.secondiAttesa = attesa;
        return new Schermo(contesto);
    });
}

}  // namespace

void RegistraSchermiQuivamento()
{
    Registra<frmQuiva>("frmQuiva");
    Registra<frmVerErrori>("frmVerErrori");
    Registra<frmBatchSelez>("frmBatchSelez");
}
