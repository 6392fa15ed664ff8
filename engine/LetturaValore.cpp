#include "LetturaValore.h"

#include "ScQuivaCampi.h"

#include "ErroreRun.h"
#include "FormUtility.h"
#include "ScQuivaTesto.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool TestoVuoto(const QVariant& valore)
{
    return valore.typeId() == QMetaType::QString && static_cast<const QString*>(valore.constData())->isEmpty();
}

bool ConControllo(QStringView testo)
{
    for (QChar c : testo)
        if (c.unicode() < 32)
            return true;
    return false;
}

// Control characters become blanks ("SoloAsci").
void SoloAscii(QString& testo)
{
    for (QChar& c : testo)
        if (c.unicode() < 32)
            c = QLatin1Char(' ');
}

// Fill of a text value: w > 0 fills on the right, w < 0 on the left (never
// shortening).
QString Riempi(QString testo, int larghezza, const QString& riempie)
{
    if (larghezza != 0 && !riempie.isEmpty() && !testo.isEmpty()) {
        if (larghezza > 0)
            testo = testo.leftJustified(larghezza, riempie[0]);
        else
            testo = testo.rightJustified(-larghezza, riempie[0]);
    }
    return testo;
}

// Cut to the size: a positive size keeps the first characters, a negative
// one the last.
QString Taglia(QString testo, int dimensione)
{
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

// The value becomes the text s, written into the text it already holds.
QString& TestoDi(QVariant& valore, QStringView s)
{
    if (valore.typeId() != QMetaType::QString)
        valore = QString();
    QString& testo = *static_cast<QString*>(valore.data());
    TestoQuiva::SpazioPer(testo, s.size());
    std::copy(s.begin(), s.end(), testo.data());
    return testo;
}

}  // namespace

ValoreLetto LeggiValore(QStringView s, const CampoCompilato& campo, bool soloAsci, const ConversioneValuta& valuta)
{
    ValoreLetto letto;
    LeggiValore(s, campo, soloAsci, letto, valuta);
    return letto;
}

void LeggiValore(QStringView s, const CampoCompilato& campo, bool soloAsci, ValoreLetto& letto,
                 const ConversioneValuta& valuta)
{
    const ScQuivaCampi& c = *campo.campo;
    const int tipoDest = campo.tipoDest;
    if (!letto.errore.isNull())
        letto.errore = QString();
    // A line refused here has no value.
    auto rifiuta = [&letto](QString errore) {
        letto.errore = std::move(errore);
        letto.valore = QVariant();
    };

    // Without control characters and trailing blanks, within the length
    // limit.
    QString ascii;
    if (soloAsci && ConControllo(s)) {
        ascii = s.toString();
        SoloAscii(ascii);
        s = ascii;
    }
    s = TestoQuiva::TagliaSpaziDestra(s);
    if ((c.oiLimiteDim >= 1 && s.size() > c.oiLimiteDim)
        || (c.oiLimiteDim < 0 && s.size() < -static_cast<int>(c.oiLimiteDim)))
        s = {};

    // Keys and mandatory fields must have a value.
    if (s.isEmpty()) {
        if (campo.chiave) {
            rifiuta(campo.nome + QStringLiteral(": Campo chiave non compilato"));
            return;
        }
        if (campo.obbligatorio) {
            rifiuta(campo.nome + QStringLiteral(": Campo obbligatorio non compilato"));
            return;
        }
    }

    QVariant& v = letto.valore;
    try {
        // Empty value (blanks, or zeros when asked).
        const QStringView pulito = TestoQuiva::TagliaSpazi(s);
        if (pulito.isEmpty() || (campo.zeriVuoti && TestoQuiva::SoloZeri(pulito))) {
            v = QString();
        } else if (tipoDest >= TipiDato::Integer && tipoDest <= TipiDato::Date) {
            // Conversion to the destination type.
            v = FormUtility::ConvertiTesto(s, tipoDest);
        } else {
            const int dimensione = c.oiDimensione();
            const int larghezza = c.oiQuanto != 0 ? c.oiQuanto : std::abs(dimensione);
            QString& testo = TestoDi(v, s);
            testo = Riempi(std::move(testo), larghezza, c.osRiempie);
            // Cut to its column, a key would become another record's key.
            if (campo.chiave && c.DimensioneDaColonna() && testo.size() > dimensione) {
                rifiuta(campo.nome + QStringLiteral(": Chiave più lunga della colonna (") + testo + QLatin1Char(')'));
                return;
            }
            testo = Taglia(std::move(testo), dimensione);
        }

        // Currency or rounding; the empty text passes unchanged.
        if (!TestoVuoto(v)) {
            if (campo.valuta != ValutaCampo::Nessuna) {
                if (valuta)
                    v = valuta(v, campo);
            } else if (campo.conDecimali && campo.destNumerica) {
                v = Arrotondato(v, campo.decimali, tipoDest);
            }
        }
    } catch (const std::exception&) {
        rifiuta(campo.nome + QStringLiteral(": Tipo non valido (") + s.toString() + QLatin1Char(')'));
        return;
    }

    // Forbidden and allowed values.
    if (c.ValoreNonValido(v))
        letto.errore = campo.nome + QStringLiteral(": Campo con valore non valido (") + FormUtility::TestoValore(v)
            + QLatin1Char(')');
}
