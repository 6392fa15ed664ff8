// Value reading: one field of one source line becomes the value written into
// the target column, or the line is rejected with an error row.
#include "ScQuiva.h"

#include "ErroreRun.h"
#include "FormUtility.h"
#include "ScQuivaTesto.h"

#include <cmath>
#include <limits>

namespace {

qint16 Limita16(long long valore)
{
    return static_cast<qint16>(std::clamp<long long>(valore, std::numeric_limits<qint16>::min(),
                                                     std::numeric_limits<qint16>::max()));
}

bool E(const QString& testo, const char* lettera)
{
    return testo.compare(QLatin1String(lettera), Qt::CaseInsensitive) == 0;
}

bool TestoVuoto(const QVariant& valore)
{
    return valore.typeId() == QMetaType::QString && valore.toString().isEmpty();
}

// Control characters become blanks ("SoloAsci").
void SoloAscii(QString& testo)
{
    for (QChar& c : testo)
        if (c.unicode() < 32)
            c = QLatin1Char(' ');
}

// Fill and cut of a text value: w > 0 fills on the right, w < 0 on the left
// (never shortening); then a positive size keeps the first characters, a
// negative one the last.
QString RiempiETaglia(QString testo, int larghezza, const QString& riempie, int dimensione)
{
    if (larghezza != 0 && !riempie.isEmpty() && !testo.isEmpty()) {
        if (larghezza > 0)
            testo = testo.leftJustified(larghezza, riempie[0]);
        else
            testo = testo.rightJustified(-larghezza, riempie[0]);
    }
    if (dimensione >= 1)
        testo.truncate(dimensione);
    else if (dimensione < 0 && testo.size() > -dimensione)
        testo = testo.right(-dimensione);
    return testo;
}

// Mode "A" rounding keeping whole-number types whole.
QVariant Arrotondato(const QVariant& valore, int decimali, int tipoDest)
{
    const double arrotondato = FormUtility::Arrotonda(valore.toDouble(), QLatin1Char('A'), decimali);
    if (!std::isfinite(arrotondato))
        throw ErroreRun(CodiciErrore::Overflow, QStringLiteral("Overflow"));
    if (tipoDest == TipiDato::Integer || tipoDest == TipiDato::Long) {
        const double minimo = tipoDest == TipiDato::Integer ? -32768.0 : std::numeric_limits<int>::min();
        const double massimo = tipoDest == TipiDato::Integer ? 32767.0 : std::numeric_limits<int>::max();
        if (arrotondato < minimo || arrotondato > massimo)
            throw ErroreRun(CodiciErrore::Overflow, QStringLiteral("Overflow"));
        return static_cast<int>(arrotondato);
    }
    return arrotondato;
}

}  // namespace

int ScQuiva::LeggiVal(const QString& psRiga, const ScQuivaCampi& pgcampo, QVariant& pvValore, int piCodTab)
{
    const ScQuivaCampi& c = pgcampo;
    const ImpostazioniDitta& ditta = m_ctx.ditta;
    const int tipoDest = c.oiTipoDest();
    const bool conValuta = !c.osLireOValuta.isEmpty();
    const bool conDecimali = c.oiNumDec != ScQuivaCampi::NumDecNonImpostato;

    // 1-2. Work values: numeric destination and the decimals of the result.
    bDestNumerica = TipiDato::IsNumerico(tipoDest);
    iDecimali = ScQuivaCampi::NumDecNonImpostato;
    iDecMoneta = Limita16(ditta.MonetaDitta().numDecGest);
    if (bDestNumerica && (conDecimali || conValuta)) {
        iDecimali = 0;
        const std::optional<double> riempieNumero =
            c.osRiempie.isEmpty() ? std::nullopt : FormUtility::TestoADouble(c.osRiempie);
        if (riempieNumero) {
            iDecimali = Limita16(static_cast<long long>(std::clamp(std::nearbyint(*riempieNumero), -1e6, 1e6)));
        } else {
            const bool decimaliMoneta = E(c.osRiempie, "M");
            auto scegli = [decimaliMoneta](const DecimaliMoneta& m) {
                return Limita16(decimaliMoneta ? m.numDec : m.numDecGest);
            };
            if (E(c.osLireOValuta, "L"))
                iDecimali = scegli(ditta.lira);
            else if (E(c.osLireOValuta, "V"))
                iDecimali = scegli(ditta.euro);
            else if (!conValuta)
                iDecimali = scegli(ditta.MonetaDitta());
            iDecMoneta = scegli(ditta.MonetaDitta());
        }
    }

    // 3. Raw text: from the line through the decode rows, or the default.
    QString s = c.osDefault.isEmpty()
                    ? c.LeggiDecod(TestoQuiva::TestoDaValore(CercaPosCampo(psRiga, c, true)))
                    : TestoQuiva::TestoDaValore(LeggiDefault(c, psRiga, piCodTab));

    // 4-6. Control characters, trailing blanks, length limit.
    if (m_ctx.soloAsci)
        SoloAscii(s);
    s.truncate(TestoQuiva::TagliaSpaziDestra(s).size());
    if ((c.oiLimiteDim >= 1 && s.size() > c.oiLimiteDim)
        || (c.oiLimiteDim < 0 && s.size() < -static_cast<int>(c.oiLimiteDim)))
        s.clear();

    // 7. Keys and mandatory fields must have a value.
    if (s.isEmpty()) {
        if (E(c.osChiave, "S")) {
            ScriviErrore(psRiga, c.osKey() + QStringLiteral(": Campo chiave non compilato"));
            return 1;
        }
        if (E(c.osObbligatorio, "S")) {
            ScriviErrore(psRiga, c.osKey() + QStringLiteral(": Campo obbligatorio non compilato"));
            return 1;
        }
    }

    try {
        // 8. Empty value (blanks, or zeros when asked).
        const QStringView pulito = TestoQuiva::TagliaSpazi(s);
        if (pulito.isEmpty() || (E(c.os0toNull, "S") && TestoQuiva::SoloZeri(pulito))) {
            pvValore = QString();
        } else if (tipoDest >= TipiDato::Integer && tipoDest <= TipiDato::Date) {
            // 9. Conversion to the destination type.
            pvValore = FormUtility::ConvertiTesto(s, tipoDest);
        } else {
            const int dimensione = c.oiDimensione();
            const int larghezza = c.oiQuanto != 0 ? c.oiQuanto : std::abs(dimensione);
            pvValore = RiempiETaglia(s, larghezza, c.osRiempie, dimensione);
        }

        // 10. Currency or rounding; the empty text passes unchanged.
        if (!TestoVuoto(pvValore)) {
            if (conValuta)
                pvValore = ConvImporto(pvValore, c.osLireOValuta, piCodTab, iDecimali);
            else if (conDecimali && bDestNumerica)
                pvValore = Arrotondato(pvValore, iDecimali, tipoDest);
        }
    } catch (const std::exception&) {
        ScriviErrore(psRiga, c.osKey() + QStringLiteral(": Tipo non valido (") + s + QLatin1Char(')'));
        return 1;
    }

    // 11. Forbidden and allowed values.
    if (c.ValoreNonValido(pvValore)) {
        ScriviErrore(psRiga, c.osKey() + QStringLiteral(": Campo con valore non valido (")
                                 + FormUtility::TestoValore(pvValore) + QLatin1Char(')'));
        return 1;
    }
    return 0;
}
