// Field location in the source line: fixed-width slices with their literal
// prefix, delimited fields by number, and the small template language of
// NumCampo ("§n", "{...}", "[...]"), with implied decimals and operations.
#include "PosizioneCampo.h"

#include "PianoQuiva.h"
#include "ScQuivaCampi.h"

#include "ErroreRun.h"
#include "FormUtility.h"
#include "ScQuivaTesto.h"

#include <cmath>
#include <limits>

namespace {

constexpr char16_t Paragrafo = u'\u00a7';  // "§"

QStringView Mid(QStringView testo, long long inizio, long long lunghezza)
{
    if (inizio < 1 || lunghezza <= 0 || inizio > testo.size())
        return {};
    const qsizetype da = static_cast<qsizetype>(inizio - 1);
    const qsizetype quanti = static_cast<qsizetype>(std::min<long long>(lunghezza, testo.size() - da));
    return testo.sliced(da, quanti);
}

QStringView Left(QStringView testo, long long n)
{
    return n <= 0 ? QStringView() : testo.first(static_cast<qsizetype>(std::min<long long>(n, testo.size())));
}

QStringView Right(QStringView testo, long long n)
{
    return n <= 0 ? QStringView() : testo.last(static_cast<qsizetype>(std::min<long long>(n, testo.size())));
}

int InteroLimitato(long long valore)
{
    return static_cast<int>(
        std::clamp<long long>(valore, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Field number written after "§": its digits, saturating.
int NumeroCifre(QStringView cifre)
{
    long long n = 0;
    for (QChar c : cifre) {
        n = n * 10 + (c.unicode() - u'0');
        if (n > 1000000000)
            return 1000000000;
    }
    return static_cast<int>(n);
}

double NumeroOErrore(QStringView testo)
{
    if (auto numero = FormUtility::TestoADouble(testo))
        return *numero;
    throw ErroreRun(CodiciErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente"));
}

double Controllato(double risultato)
{
    if (!std::isfinite(risultato))
        throw ErroreRun(CodiciErrore::Overflow, QStringLiteral("Overflow"));
    return risultato;
}

bool OperazioneNota(QStringView operazione)
{
    operazione = TestoQuiva::TagliaSpazi(operazione);
    return operazione == u"*" || operazione == u"/" || operazione == u"%";
}

// "*", "/", "%" on two numbers (the operation is one of them).
double Opera(QStringView operazione, double valore, double operando)
{
    operazione = TestoQuiva::TagliaSpazi(operazione);
    if (operazione == u"*")
        return Controllato(valore * operando);
    if (operazione == u"/") {
        if (operando == 0)
            throw ErroreRun(CodiciErrore::DivisionePerZero, QStringLiteral("Divisione per zero"));
        return Controllato(valore / operando);
    }
    return Controllato(valore * operando / 100.0);
}

// Implied decimals: the text read as a number divided by 10^numDec. A blank
// value stays as it is, so that an empty optional field is not a failure.
QVariant DecimaliImpliciti(const QString& valore, int numDec)
{
    if (TestoQuiva::TagliaSpazi(valore).isEmpty())
        return valore;
    return Controllato(NumeroOErrore(valore) / std::pow(10.0, numDec));
}

bool ApplicaDecimali(const ScQuivaCampi& campo, bool destNumerica)
{
    return destNumerica && campo.oiNumDec != ScQuivaCampi::NumDecNonImpostato;
}

}  // namespace

PosizioneCampo::PosizioneCampo(const QString& separatore, bool fisso) : m_fisso(fisso), m_campiRiga(separatore) { }

QStringView PosizioneCampo::Testo(const QString& riga, const CampoCompilato& campo, QString& costruito)
{
    const ScQuivaCampi& c = *campo.campo;
    // A plain field of a delimited line without an operation is the common
    // case: its text as it stands.
    if (!m_fisso && campo.numeroCampo && (c.osTipoOper.isEmpty() || c.osValoreOper.isEmpty())) {
        const QStringView testo = VistaCampoNum(riga, *campo.numeroCampo, c);
        if (!c.HaDecod())
            return testo;
        costruito = c.LeggiDecod(testo.toString());
    } else {
        costruito = c.LeggiDecod(TestoQuiva::TestoDaValore(Cerca(riga, c, true, campo.destNumerica)));
    }
    return costruito;
}

QVariant PosizioneCampo::Cerca(const QString& psRiga, const ScQuivaCampi& pgcampo, bool pbNumCampo, bool pbDestNumerica)
{
    if (m_fisso) {
        // Literal prefix followed by the slice of the line. A start below 1
        // or a negative length read nothing: the value is the prefix alone.
        QString testo = pgcampo.osNumCampo;
        testo += Mid(psRiga, pgcampo.oiInizio, pgcampo.oiLunghezza);
        QVariant valore =
            ApplicaDecimali(pgcampo, pbDestNumerica) ? DecimaliImpliciti(testo, pgcampo.oiNumDec) : QVariant(testo);
        if (pgcampo.osTipoOper.isEmpty() || pgcampo.osValoreOper.isEmpty())
            return valore;
        std::optional<double> numero;
        if (valore.typeId() == QMetaType::Double)
            numero = valore.toDouble();
        else
            numero = FormUtility::TestoADouble(testo);
        if (!numero)
            return valore;
        // Operand: a constant, or "§start:len" columns of the line.
        QStringView operando = pgcampo.osValoreOper;
        if (operando.front() == Paragrafo) {
            const QStringView riferimento = operando.sliced(1);
            const qsizetype duePunti = riferimento.indexOf(u':');
            operando = {};
            if (duePunti >= 0) {
                const long long inizio = FormUtility::TestoAIntero(riferimento.first(duePunti));
                const long long lunghezza = FormUtility::TestoAIntero(riferimento.sliced(duePunti + 1));
                if (inizio > 0 && lunghezza > 0)
                    operando = Mid(psRiga, inizio, lunghezza);
            }
        }
        // An operand of blanks counts as no operand.
        if (TestoQuiva::TagliaSpazi(operando).isEmpty())
            return valore;
        if (!OperazioneNota(pgcampo.osTipoOper))
            return valore;
        return Opera(pgcampo.osTipoOper, *numero, NumeroOErrore(operando));
    }

    if (pbNumCampo) {
        if (auto numero = pgcampo.NumeroCampoSemplice())
            return CampoNum(psRiga, *numero, pgcampo);
    }

    // Template: literal text, "§n" fields, "{...}" groups dropped when their
    // first field is blank, "[...]" groups dropped when it is blank or zeros.
    // Groups do not nest; an unclosed bracket is literal text.
    QString risultato;
    QStringView resto = pgcampo.osNumCampo;
    auto primaParentesi = [&resto] {
        return FormUtility::MinimoPositivo(
            {static_cast<int>(resto.indexOf(u'{') + 1), static_cast<int>(resto.indexOf(u'[') + 1)});
    };
    for (int pos = primaParentesi(); pos > 0; pos = primaParentesi()) {
        const QChar apertura = resto[pos - 1];
        const QChar chiusura = apertura == u'{' ? QLatin1Char('}') : QLatin1Char(']');
        risultato += ValCampoStr(psRiga, resto.first(pos - 1), pgcampo, {});
        resto = resto.sliced(pos);
        const qsizetype fine = resto.indexOf(chiusura);
        if (fine >= 0) {
            risultato += ValCampoStr(psRiga, resto.first(fine), pgcampo, apertura);
            resto = resto.sliced(fine + 1);
        } else {
            risultato += apertura;
        }
    }
    risultato += ValCampoStr(psRiga, resto, pgcampo, {});
    if (ApplicaDecimali(pgcampo, pbDestNumerica))
        return DecimaliImpliciti(risultato, pgcampo.oiNumDec);
    return risultato;
}

QVariant PosizioneCampo::CampoNum(const QString& psRiga, int piCampo, const ScQuivaCampi& pgcampo)
{
    QString testo = ValCampoNum(psRiga, piCampo, pgcampo);
    if (pgcampo.osTipoOper.isEmpty() || pgcampo.osValoreOper.isEmpty())
        return testo;
    const auto numero = FormUtility::TestoADouble(testo);
    if (!numero)
        return testo;
    // Any operation other than "*", "/", "%" gives an empty value.
    if (!OperazioneNota(pgcampo.osTipoOper))
        return QString();
    const QString& riferimento = pgcampo.osValoreOper;
    QString operando;
    if (riferimento.front() == Paragrafo)
        operando =
            ValCampoNum(psRiga, InteroLimitato(FormUtility::TestoAIntero(QStringView(riferimento).sliced(1))), pgcampo);
    else
        operando = riferimento;
    return Opera(pgcampo.osTipoOper, *numero, NumeroOErrore(operando));
}

QString PosizioneCampo::ValCampoNum(const QString& riga, int n, const ScQuivaCampi& campo)
{
    return VistaCampoNum(riga, n, campo).toString();
}

QStringView PosizioneCampo::VistaCampoNum(const QString& psRiga, int piCampo, const ScQuivaCampi& pgcampo)
{
    const auto campo = m_campiRiga.Campo(psRiga, piCampo);
    if (!campo)
        return {};
    QStringView testo = *campo;
    // Outer double quotes are dropped (a lone quote stays: it cannot both
    // open and close). Separators inside quotes still split.
    if (testo.size() >= 2 && testo.front() == u'"' && testo.back() == u'"')
        testo = testo.sliced(1, testo.size() - 2);
    const int inizio = pgcampo.oiInizio;
    const int lunghezza = pgcampo.oiLunghezza;
    if (inizio > 0 && lunghezza > 0)
        testo = Mid(testo, inizio, lunghezza);
    else if (inizio > 0)
        testo = Left(testo, inizio);
    else if (inizio < 0)
        testo = Right(testo, -static_cast<long long>(inizio));
    return TestoQuiva::TagliaSpazi(testo);
}

QString PosizioneCampo::ValCampoStr(const QString& psRiga, QStringView elabora, const ScQuivaCampi& pgcampo,
                                    QChar gruppo)
{
    QString risultato;
    int conta = 0;
    for (qsizetype pos = elabora.indexOf(Paragrafo); pos >= 0; pos = elabora.indexOf(Paragrafo)) {
        ++conta;
        risultato += elabora.first(pos);
        elabora = elabora.sliced(pos + 1);
        qsizetype fine = 0;
        while (fine < elabora.size() && elabora[fine] >= u'0' && elabora[fine] <= u'9')
            ++fine;
        const int numero = NumeroCifre(elabora.first(fine));
        const QString valore =
            TestoQuiva::TagliaSpazi(TestoQuiva::TestoDaValore(CampoNum(psRiga, numero, pgcampo))).toString();
        if (conta == 1) {
            if (gruppo == u'{' && valore.isEmpty())
                return {};
            if (gruppo == u'[' && (valore.isEmpty() || TestoQuiva::SoloZeri(valore)))
                return {};
        }
        risultato += valore;
        elabora = elabora.sliced(fine);
    }
    risultato += elabora;
    return risultato;
}
