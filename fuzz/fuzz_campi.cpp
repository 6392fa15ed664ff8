// Feeds arbitrary lines and field definitions through field location and
// value reading. Failures that the engine raises on purpose (ErroreRun) are
// expected; anything else, a crash or a sanitizer report is a finding.
#include "ErroreRun.h"
#include "LetturaValore.h"
#include "ModelloJet.h"
#include "PosizioneCampo.h"
#include "ScQuivaCampi.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

namespace {

const char* const Tipi[] = {"Integer", "Long", "Single", "Double", "Currency", "Date", "String", "Boh", "dbText"};

QString Testo(FuzzedDataProvider& dati, std::size_t massimo)
{
    const std::string grezzo = dati.ConsumeRandomLengthString(massimo);
    return QString::fromUtf8(grezzo.data(), static_cast<qsizetype>(grezzo.size()));
}

qint16 Intero16(FuzzedDataProvider& dati)
{
    // Small values are the interesting ones; now and then anything.
    if (dati.ConsumeBool())
        return dati.ConsumeIntegralInRange<qint16>(-12, 40);
    return dati.ConsumeIntegral<qint16>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ImpostazioniDitta ditta;
    FuzzedDataProvider dati(data, size);

    const bool soloAsci = dati.ConsumeBool();
    const bool fisso = dati.ConsumeBool();
    PosizioneCampo posizione(Testo(dati, 4), fisso);

    ScQuivaCampi c;
    c.osTabella = QStringLiteral("T");
    c.osNomeCampo = QStringLiteral("F");
    c.osTipoDest = QLatin1String(dati.PickValueInArray(Tipi));
    c.osTipoOrig = QLatin1String(dati.PickValueInArray(Tipi));
    c.osNumCampo = Testo(dati, 24);
    c.oiInizio = Intero16(dati);
    c.oiLunghezza = Intero16(dati);
    c.oiQuanto = Intero16(dati);
    c.oiNumDec = dati.ConsumeBool() ? ScQuivaCampi::NumDecNonImpostato : Intero16(dati);
    c.oiLimiteDim = Intero16(dati);
    c.setOiDimensione(nullptr, c.osTabella, Intero16(dati));
    c.osTipoOper = QString::fromLatin1(dati.PickValueInArray({"", "*", "/", "%", "+"}));
    c.osValoreOper = Testo(dati, 12).trimmed();
    c.osRiempie = Testo(dati, 3);
    c.osLireOValuta = QString::fromLatin1(dati.PickValueInArray({"", "", "", "L", "V", "X"}));
    c.osChiave = dati.ConsumeBool() ? QStringLiteral("S") : QString();
    c.osObbligatorio = dati.ConsumeBool() ? QStringLiteral("S") : QString();
    c.os0toNull = dati.ConsumeBool() ? QStringLiteral("S") : QString();
    c.setOsNonVal(Testo(dati, 8));
    c.setOsValValido(Testo(dati, 8));
    for (int i = dati.ConsumeIntegralInRange(0, 3); i > 0; --i) {
        try {
            c.AddDecod(Testo(dati, 6), c.osTabella, Testo(dati, 6));
        } catch (const ErroreRun&) {
        }
    }
    const QString riga = Testo(dati, 400);

    const CampoCompilato campo = CompilaCampo(c, ditta);
    try {
        QString costruito;
        LeggiValore(posizione.Testo(riga, campo, costruito), campo, soloAsci,
                    [](const QVariant& valore, const CampoCompilato&) { return valore; });
    } catch (const ErroreRun&) {
    }
    try {
        posizione.Cerca(riga, c, false, false);
    } catch (const ErroreRun&) {
    }
    try {
        posizione.CampoNum(riga, Intero16(dati), c);
    } catch (const ErroreRun&) {
    }
    posizione.ValCampoNum(riga, Intero16(dati), c);
    c.LeggiDecod(riga);
    c.ValoreNonValido(riga);
    CorrispondeModello(riga, c.osNumCampo);
    return 0;
}
