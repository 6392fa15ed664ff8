#include "PianoQuiva.h"

#include "FormUtility.h"
#include "ScQuivaCampi.h"

#include <cmath>
#include <limits>

namespace {

qint16 Limita16(long long valore)
{
    return static_cast<qint16>(
        std::clamp<long long>(valore, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

bool E(const QString& testo, const char* lettera)
{
    return testo.compare(QLatin1String(lettera), Qt::CaseInsensitive) == 0;
}

ValutaCampo Valuta(const QString& lireOValuta)
{
    if (lireOValuta.isEmpty())
        return ValutaCampo::Nessuna;
    if (E(lireOValuta, "L"))
        return ValutaCampo::Lire;
    if (E(lireOValuta, "V"))
        return ValutaCampo::Euro;
    return ValutaCampo::Altra;
}

}  // namespace

CampoCompilato CompilaCampo(const ScQuivaCampi& c, const ImpostazioniDitta& ditta, int slot)
{
    CampoCompilato r;
    r.campo = &c;
    r.slot = slot;
    r.tipoDest = c.oiTipoDest();
    r.destNumerica = TipiDato::IsNumerico(r.tipoDest);
    r.chiave = E(c.osChiave, "S");
    r.obbligatorio = E(c.osObbligatorio, "S");
    r.zeriVuoti = E(c.os0toNull, "S");
    r.aggiorna = E(c.osAggiorna, "A");
    r.listino = E(c.osNomeCampo, "Listino");
    r.conDefault = !c.osDefault.isEmpty();
    r.conDecimali = c.oiNumDec != ScQuivaCampi::NumDecNonImpostato;
    r.valuta = Valuta(c.osLireOValuta);
    r.numeroCampo = c.NumeroCampoSemplice();
    r.nome = c.osKey();

    // Decimals of the result: the fill as a number, else those of the
    // field's currency ("M": of the currency itself, else of management).
    r.decimali = ScQuivaCampi::NumDecNonImpostato;
    r.decMoneta = Limita16(ditta.MonetaDitta().numDecGest);
    const bool conValuta = r.valuta != ValutaCampo::Nessuna;
    if (r.destNumerica && (r.conDecimali || conValuta)) {
        r.decimali = 0;
        const std::optional<double> riempieNumero =
            c.osRiempie.isEmpty() ? std::nullopt : FormUtility::TestoADouble(c.osRiempie);
        if (riempieNumero) {
            r.decimali = Limita16(static_cast<long long>(std::clamp(std::nearbyint(*riempieNumero), -1e6, 1e6)));
        } else {
            const bool decimaliMoneta = E(c.osRiempie, "M");
            auto scegli = [decimaliMoneta](const DecimaliMoneta& m) {
                return Limita16(decimaliMoneta ? m.numDec : m.numDecGest);
            };
            if (r.valuta == ValutaCampo::Lire)
                r.decimali = scegli(ditta.lira);
            else if (r.valuta == ValutaCampo::Euro)
                r.decimali = scegli(ditta.euro);
            else if (!conValuta)
                r.decimali = scegli(ditta.MonetaDitta());
            r.decMoneta = scegli(ditta.MonetaDitta());
        }
    }
    return r;
}
