#include "ScQuivaCampi.h"

#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FormUtility.h"
#include "ModelloJet.h"
#include "ScQuivaTesto.h"
#include "ValoreColonna.h"

#include <cmath>
#include <limits>

namespace {

constexpr int ErroreChiaveDoppiaInsieme = 457;

bool TipoConvertito(int tipo) { return tipo >= TipiDato::Integer && tipo <= TipiDato::Date; }

// Equality of a value with the converted forbidden/allowed value. When that
// text could not be converted, the value's text is compared with it.
bool UgualeConvertito(const QVariant& valore, const QVariant& convertito, const QString& testo)
{
    if (!convertito.isValid())
        return TestoQuiva::TestoDaValore(valore).compare(testo, Qt::CaseInsensitive) == 0;
    if (ValoreNumerico(valore) && ValoreNumerico(convertito))
        return valore.toDouble() == convertito.toDouble();
    if (valore.typeId() == QMetaType::QDate && convertito.typeId() == QMetaType::QDate)
        return valore.toDate() == convertito.toDate();
    return TestoQuiva::TestoDaValore(valore).compare(TestoQuiva::TestoDaValore(convertito), Qt::CaseInsensitive) == 0;
}

}  // namespace

qint16 ScQuivaCampi::CodiceDi(const QString& nome, CodiceInCache& cache) const
{
    if (cache.valido && cache.nome == nome)
        return cache.codice;
    const QString base = TestoQuiva::TagliaSpazi(nome).toString();
    // Plain names ("Integer") are looked up as "vbvInteger"; names that
    // already carry a "db"/"vb" prefix go as they are.
    const bool prefissato = base.startsWith(QLatin1String("db"), Qt::CaseInsensitive)
        || base.startsWith(QLatin1String("vb"), Qt::CaseInsensitive);
    cache.codice = static_cast<qint16>(FormUtility::CodiceTipo(prefissato ? base : QStringLiteral("vbv") + base));
    cache.nome = nome;
    cache.valido = true;
    return cache.codice;
}

qint16 ScQuivaCampi::oiTipoOrig() const { return CodiceDi(osTipoOrig, m_cacheTipoOrig); }

qint16 ScQuivaCampi::oiTipoDest() const { return CodiceDi(osTipoDest, m_cacheTipoDest); }

namespace {

// Conversion for the setters: a text that cannot be converted keeps an
// invalid value (ValoreNonValido then compares texts).
QVariant ConvertiSenzaErrore(const ScQuivaCampi& campo, const QString& testo)
{
    try {
        return campo.ConvValTipo(testo);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void ScQuivaCampi::setOsNonVal(const QString& testo)
{
    m_nonVal = TestoQuiva::TagliaSpazi(testo).toString();
    m_nonValConv = ConvertiSenzaErrore(*this, m_nonVal);
}

void ScQuivaCampi::setOsValValido(const QString& testo)
{
    m_valValido = TestoQuiva::TagliaSpazi(testo).toString();
    m_valValidoConv = ConvertiSenzaErrore(*this, m_valValido);
}

void ScQuivaCampi::setOiDimensione(DatabaseLink* db, const QString& tabella, qint16 dimensione)
{
    m_dimensione = dimensione;
    m_dimensioneDaColonna = false;
    if (dimensione != 0)
        return;
    const int tipo = oiTipoDest();
    if ((tipo != TipiDato::String && tipo != 0) || db == nullptr)
        return;
    try {
        const int dichiarata = db->DimensioneColonna(tabella, osNomeCampo);
        if (dichiarata > 0 && dichiarata <= std::numeric_limits<qint16>::max()) {
            m_dimensione = static_cast<qint16>(dichiarata);
            m_dimensioneDaColonna = true;
        }
    } catch (...) {
        // Unknown table or column: no size.
    }
}

void ScQuivaCampi::AddDecod(const QString& psValOrig, const QString& psTabella, const QString& psValDest)
{
    const QString chiave = (osNomeCampo + psValOrig).toCaseFolded();
    if (m_chiaviDecod.contains(chiave))
        throw ErroreRun(ErroreChiaveDoppiaInsieme, QStringLiteral("Chiave già associata a un elemento dell'insieme"));
    m_chiaviDecod.insert(chiave, static_cast<int>(m_decod.size()));
    m_decod.push_back({osNomeCampo, psTabella, psValOrig, psValDest});
    m_tipoIndiceDecod = -1;
}

namespace {

// Text under which a decode source value is compared: converted to the
// origin type when it can be, else the text as it is; case folded.
QString NormaDecod(const ScQuivaCampi& campo, const QString& valore, int tipoOrig)
{
    if (TipoConvertito(tipoOrig)) {
        try {
            return TestoQuiva::TestoDaValore(campo.ConvValTipo(valore, tipoOrig)).toCaseFolded();
        } catch (const std::exception&) {
            // Not of the origin type: compared as text.
        }
    }
    return valore.toCaseFolded();
}

}  // namespace

void ScQuivaCampi::PreparaIndiceDecod(int tipoOrig) const
{
    m_indiceDecod.clear();
    m_indiceDecod.reserve(static_cast<qsizetype>(m_decod.size()));
    for (std::size_t i = 0; i < m_decod.size(); ++i) {
        const QString chiave = NormaDecod(*this, m_decod[i].osValOrig, tipoOrig);
        if (!m_indiceDecod.contains(chiave))
            m_indiceDecod.insert(chiave, static_cast<int>(i));  // the first row wins
    }
    m_tipoIndiceDecod = tipoOrig;
}

QString ScQuivaCampi::LeggiDecod(const QString& psValore) const
{
    if (m_decod.empty())
        return psValore;
    const int tipoOrig = oiTipoOrig();
    if (m_tipoIndiceDecod != tipoOrig)
        PreparaIndiceDecod(tipoOrig);
    const auto trovato = m_indiceDecod.constFind(NormaDecod(*this, psValore, tipoOrig));
    if (trovato == m_indiceDecod.cend())
        return psValore;
    return m_decod[static_cast<std::size_t>(trovato.value())].osValDest;
}

QVariant ScQuivaCampi::ConvValTipo(const QString& psValore, int tipo) const
{
    if (tipo < 0)
        tipo = oiTipoDest();
    if (!TipoConvertito(tipo))
        return psValore;
    return FormUtility::ConvertiTesto(psValore, tipo);
}

bool ScQuivaCampi::ValoreNonValido(const QVariant& valore) const
{
    if (m_nonVal.isEmpty() && m_valValido.isEmpty())
        return false;
    const bool testo = !TipoConvertito(oiTipoDest());
    if (!m_nonVal.isEmpty()) {
        const bool vietato = testo ? CorrispondeModello(TestoQuiva::TestoDaValore(valore), m_nonVal)
                                   : UgualeConvertito(valore, m_nonValConv, m_nonVal);
        if (vietato)
            return true;
    }
    if (!m_valValido.isEmpty()) {
        return testo ? !CorrispondeModello(TestoQuiva::TestoDaValore(valore), m_valValido)
                     : !UgualeConvertito(valore, m_valValidoConv, m_valValido);
    }
    return false;
}

std::optional<int> ScQuivaCampi::NumeroCampoSemplice() const
{
    if (m_numCampoValido && m_numCampoInCache == osNumCampo)
        return m_numeroCampo;
    m_numeroCampo.reset();
    if (auto numero = FormUtility::TestoADouble(osNumCampo)) {
        // Field numbers beyond any line read as a missing field.
        const double arrotondato = std::nearbyint(*numero);
        m_numeroCampo = arrotondato < 0 ? 0 : arrotondato > 1e9 ? 1000000000 : static_cast<int>(arrotondato);
    }
    m_numCampoInCache = osNumCampo;
    m_numCampoValido = true;
    return m_numeroCampo;
}

void ScQuivaCampi::CalcolaCache() const
{
    oiTipoOrig();
    oiTipoDest();
    NumeroCampoSemplice();
    if (!m_decod.empty() && m_tipoIndiceDecod != oiTipoOrig())
        PreparaIndiceDecod(oiTipoOrig());
}
