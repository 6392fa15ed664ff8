#include "FormUtility.h"

#include "ErroreRun.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>

namespace FormUtility {

bool IsVuoto(const QVariant& valore)
{
    if (!valore.isValid() || valore.isNull())
        return true;
    if (valore.typeId() == QMetaType::QString)
        return valore.toString().isEmpty();
    return false;
}

namespace {

QString NumeroSql(double numero)
{
    if (numero == std::floor(numero) && std::fabs(numero) < 1e15)
        return QString::number(static_cast<long long>(numero));
    return QString::number(numero, 'g', QLocale::FloatingPointShortest);
}

QString TestoSql(const QString& testo)
{
    QString risultato;
    risultato.reserve(testo.size() + 2);
    risultato += QLatin1Char('\'');
    for (QChar c : testo) {
        if (c == QLatin1Char('\''))
            risultato += QLatin1Char('\'');
        risultato += c;
    }
    risultato += QLatin1Char('\'');
    return risultato;
}

}  // namespace

QString SqlLiteral(const QVariant& valore, int tipo)
{
    if (TipiDato::IsNumerico(tipo)) {
        if (IsVuoto(valore))
            return QStringLiteral("Null");
        bool ok = false;
        double numero = valore.toDouble(&ok);
        if (valore.typeId() == QMetaType::QString) {
            auto convertito = TestoADouble(valore.toString());
            ok = convertito.has_value();
            numero = convertito.value_or(0);
        }
        return ok ? NumeroSql(numero) : TestoSql(valore.toString());
    }
    if (tipo == TipiDato::Date) {
        if (IsVuoto(valore))
            return QStringLiteral("Null");
        QDate data =
            valore.typeId() == QMetaType::QString ? TestoAData(valore.toString()).value_or(QDate()) : valore.toDate();
        if (!data.isValid())
            return TestoSql(valore.toString());
        return TestoSql(data.toString(Qt::ISODate));
    }
    return TestoSql(valore.typeId() == QMetaType::QDate ? valore.toDate().toString(Qt::ISODate) : valore.toString());
}

int NumeroErrore(const std::exception& errore)
{
    if (auto* run = dynamic_cast<const ErroreRun*>(&errore))
        return run->numero();
    if (dynamic_cast<const std::bad_alloc*>(&errore))
        return CodiciErrore::MemoriaEsaurita;
    return CodiciErrore::ErroreGenerico;
}

QString DescrizioneErrore(const std::exception& errore)
{
    if (auto* run = dynamic_cast<const ErroreRun*>(&errore))
        return run->descrizione();
    if (dynamic_cast<const std::bad_alloc*>(&errore))
        return QStringLiteral("Memoria esaurita");
    return QString::fromLocal8Bit(errore.what());
}

namespace {

// A plain decimal of at most 15 digits ("-1234,56": no thousands points,
// no exponent) read without the general parser: digits and the power of ten
// are both exact doubles, so their quotient is the correctly rounded value.
std::optional<double> DecimaleSemplice(QStringView testo)
{
    static constexpr double Potenze[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    const bool negativo = testo[0] == u'-';
    if (negativo || testo[0] == u'+')
        ++i;
    long long cifre = 0;
    int quante = 0;
    int decimali = -1;
    for (; i < testo.size(); ++i) {
        const char16_t c = testo[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++quante > 15)
                return std::nullopt;
            cifre = cifre * 10 + (c - u'0');
            if (decimali >= 0)
                ++decimali;
        } else if (c == u',' && decimali < 0) {
            decimali = 0;
        } else {
            return std::nullopt;
        }
    }
    if (quante == 0)
        return std::nullopt;
    const double valore = static_cast<double>(cifre) / Potenze[std::max(decimali, 0)];
    return negativo ? -valore : valore;
}

}  // namespace

std::optional<double> TestoADouble(QStringView testo)
{
    // Italian form: optional sign, digits with "." thousands separators,
    // optional decimal comma, optional exponent. Blanks around are allowed.
    testo = testo.trimmed();
    if (testo.isEmpty())
        return std::nullopt;
    if (auto semplice = DecimaleSemplice(testo))
        return semplice;
    char buffer[128];
    int n = 0;
    int i = 0;
    const int len = static_cast<int>(testo.size());
    if (testo[0] == u'+' || testo[0] == u'-') {
        if (testo[0] == u'-')
            buffer[n++] = '-';
        ++i;
    }
    bool cifre = false;
    bool virgola = false;
    // A "." separates thousands: it follows one to three digits (or a group)
    // and is followed by exactly three digits, before any decimal comma.
    int cifreGruppo = 0;
    bool punti = false;
    auto gruppoChiuso = [&] { return !punti || cifreGruppo == 3; };
    for (; i < len; ++i) {
        const QChar c = testo[i];
        if (n >= 120)
            return std::nullopt;
        if (c >= u'0' && c <= u'9') {
            buffer[n++] = static_cast<char>(c.unicode());
            cifre = true;
            ++cifreGruppo;
        } else if (c == u'.' && !virgola) {
            if (cifreGruppo == 0 || cifreGruppo > 3 || !gruppoChiuso())
                return std::nullopt;
            punti = true;
            cifreGruppo = 0;
        } else if (c == u',' && !virgola) {
            if (!gruppoChiuso())
                return std::nullopt;
            virgola = true;
            buffer[n++] = '.';
        } else if ((c == u'e' || c == u'E') && cifre) {
            if (!virgola && !gruppoChiuso())
                return std::nullopt;
            buffer[n++] = 'e';
            ++i;
            if (i < len && (testo[i] == u'+' || testo[i] == u'-'))
                buffer[n++] = static_cast<char>(testo[i++].unicode());
            bool cifreEsponente = false;
            for (; i < len && testo[i] >= u'0' && testo[i] <= u'9' && n < 126; ++i) {
                buffer[n++] = static_cast<char>(testo[i].unicode());
                cifreEsponente = true;
            }
            if (i != len || !cifreEsponente)
                return std::nullopt;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (!cifre || (!virgola && !gruppoChiuso()))
        return std::nullopt;
    double valore = 0;
    auto [fine, errore] = std::from_chars(buffer, buffer + n, valore);
    if (errore != std::errc() || fine != buffer + n || !std::isfinite(valore))
        return std::nullopt;
    return valore;
}

bool IsNumerico(QStringView testo) { return TestoADouble(testo).has_value(); }

long long TestoAIntero(QStringView testo)
{
    auto valore = TestoADouble(testo);
    if (!valore || std::fabs(*valore) > 9e18)
        return 0;
    return std::llround(*valore);
}

namespace {

// Integer conversions round halves to even, like the suite's own.
std::optional<long long> InteroInIntervallo(double valore, long long minimo, long long massimo)
{
    const double arrotondato = std::nearbyint(valore);
    if (arrotondato < static_cast<double>(minimo) || arrotondato > static_cast<double>(massimo))
        return std::nullopt;
    return static_cast<long long>(arrotondato);
}

}  // namespace

std::optional<QVariant> TestoANumero(QStringView testo, int tipo)
{
    auto valore = TestoADouble(testo);
    if (!valore)
        return std::nullopt;
    switch (tipo) {
    case TipiDato::Integer:
        if (auto v = InteroInIntervallo(*valore, -32768, 32767))
            return QVariant(static_cast<int>(*v));
        return std::nullopt;
    case TipiDato::Long:
        if (auto v = InteroInIntervallo(*valore, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()))
            return QVariant(static_cast<int>(*v));
        return std::nullopt;
    case TipiDato::Single:
        if (std::fabs(*valore) > std::numeric_limits<float>::max())
            return std::nullopt;
        return QVariant(static_cast<double>(static_cast<float>(*valore)));
    case TipiDato::Currency:
        if (std::fabs(*valore) > 922337203685477.0)
            return std::nullopt;
        return QVariant(std::nearbyint(*valore * 10000.0) / 10000.0);
    default: return QVariant(*valore);
    }
}

QVariant TestoANumeroOErrore(QStringView testo, int tipo)
{
    if (auto valore = TestoANumero(testo, tipo))
        return std::move(*valore);
    if (TestoADouble(testo))
        throw ErroreRun(CodiciErrore::Overflow, QStringLiteral("Overflow"));
    throw ErroreRun(CodiciErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente"));
}

namespace {

bool SoloCifre(QStringView testo)
{
    if (testo.isEmpty())
        return false;
    for (QChar c : testo)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Value of a run of at most a few digits (already checked as such).
int Cifre(QStringView cifre)
{
    int valore = 0;
    for (QChar c : cifre)
        valore = valore * 10 + (c.unicode() - u'0');
    return valore;
}

int AnnoCompleto(QStringView anno)
{
    const int valore = Cifre(anno);
    if (anno.size() <= 2)
        return valore < 30 ? 2000 + valore : 1900 + valore;
    return valore;
}

std::optional<QDate> DataValida(int anno, int mese, int giorno)
{
    QDate data(anno, mese, giorno);
    if (!data.isValid() || anno < 100 || anno > 9999)
        return std::nullopt;
    return data;
}

// ddmmyyyy, unless that gives a year outside 1800-2199 while yyyymmdd gives
// a date inside it: "20021231" is the last day of 2002, "31129999" stays
// the "no end" date.
std::optional<QDate> DataOttoCifre(QStringView testo)
{
    auto nelSecolo = [](const std::optional<QDate>& data) {
        return data && data->year() >= 1800 && data->year() <= 2199;
    };
    const auto giornoPrima = DataValida(Cifre(testo.mid(4, 4)), Cifre(testo.mid(2, 2)), Cifre(testo.left(2)));
    if (nelSecolo(giornoPrima))
        return giornoPrima;
    const auto annoPrima = DataValida(Cifre(testo.left(4)), Cifre(testo.mid(4, 2)), Cifre(testo.mid(6, 2)));
    return nelSecolo(annoPrima) ? annoPrima : giornoPrima;
}

// Where c is in testo from da on, or -1; a plain loop for short texts.
qsizetype Posizione(QStringView testo, char16_t c, qsizetype da)
{
    for (qsizetype i = da; i < testo.size(); ++i)
        if (testo[i] == c)
            return i;
    return -1;
}

}  // namespace

std::optional<QDate> TestoAData(QStringView testo)
{
    testo = testo.trimmed();
    // The common "dd/mm/yyyy" first.
    if (testo.size() == 10 && testo[2] == u'/' && testo[5] == u'/' && SoloCifre(testo.first(2))
        && SoloCifre(testo.sliced(3, 2)) && SoloCifre(testo.sliced(6)))
        return DataValida(Cifre(testo.sliced(6)), Cifre(testo.sliced(3, 2)), Cifre(testo.first(2)));
    if (SoloCifre(testo)) {
        if (testo.size() == 8)
            return DataOttoCifre(testo);
        if (testo.size() == 6)
            return DataValida(AnnoCompleto(testo.mid(4, 2)), Cifre(testo.mid(2, 2)), Cifre(testo.left(2)));
        return std::nullopt;
    }
    for (char16_t separatore : {u'/', u'-', u'.'}) {
        // Exactly three parts.
        const qsizetype primo = Posizione(testo, separatore, 0);
        const qsizetype secondo = primo < 0 ? -1 : Posizione(testo, separatore, primo + 1);
        if (secondo < 0 || Posizione(testo, separatore, secondo + 1) >= 0)
            continue;
        const std::array<QStringView, 3> parti = {testo.first(primo), testo.sliced(primo + 1, secondo - primo - 1),
                                                  testo.sliced(secondo + 1)};
        for (auto parte : parti)
            if (!SoloCifre(parte) || parte.size() > 4)
                return std::nullopt;
        if (parti[0].size() == 4)  // yyyy-mm-dd
            return DataValida(Cifre(parti[0]), Cifre(parti[1]), Cifre(parti[2]));
        if (parti[2].size() == 3)
            return std::nullopt;
        return DataValida(AnnoCompleto(parti[2]), Cifre(parti[1]), Cifre(parti[0]));
    }
    return std::nullopt;
}

QVariant ConvertiTesto(QStringView testo, int tipo)
{
    if (TipiDato::IsNumerico(tipo))
        return TestoANumeroOErrore(testo, tipo);
    if (tipo == TipiDato::Date) {
        if (auto data = TestoAData(testo))
            return *data;
        throw ErroreRun(CodiciErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente"));
    }
    return testo.toString();
}

double Arrotonda(double valore, QChar modo, int decimali)
{
    Q_UNUSED(modo);  // only mode "A" is in use: halves away from zero
    if (!std::isfinite(valore) || decimali > 15)
        return valore;
    if (decimali < 0) {
        // Rounding to tens, hundreds...: a step beyond any double gives 0.
        const double passo = std::pow(10.0, -decimali);
        if (!std::isfinite(passo))
            return 0.0;
        return std::round(valore / passo) * passo;
    }
    const double scala = std::pow(10.0, decimali);
    if (std::fabs(valore * scala) >= 4503599627370496.0)  // 2^52: already whole at this scale
        return valore;
    // Go through the shortest decimal form so that 2,675 is seen as written,
    // not as 2,67499999...
    char buffer[64];
    auto [fine, errore] = std::to_chars(buffer, buffer + sizeof buffer, valore * scala, std::chars_format::general, 15);
    double scalato = valore * scala;
    if (errore == std::errc())
        std::from_chars(buffer, fine, scalato);
    return std::round(scalato) / scala;
}

int CodiceTipo(const QString& nome)
{
    QString base = nome.trimmed().toLower();
    for (const char* prefisso : {"vbv", "vb", "db"}) {
        if (base.startsWith(QLatin1String(prefisso))) {
            base = base.mid(static_cast<int>(qstrlen(prefisso)));
            break;
        }
    }
    static const std::pair<const char*, int> nomi[] = {
        {"integer", TipiDato::Integer}, {"long", TipiDato::Long},         {"single", TipiDato::Single},
        {"double", TipiDato::Double},   {"currency", TipiDato::Currency}, {"date", TipiDato::Date},
        {"string", TipiDato::String},   {"text", TipiDato::String},
    };
    for (const auto& [testo, codice] : nomi)
        if (base == QLatin1String(testo))
            return codice;
    return 0;
}

QStringList Split(const QString& testo, const QString& separatore) { return testo.split(separatore); }

int MinimoPositivo(std::initializer_list<int> valori)
{
    int minimo = 0;
    for (int v : valori)
        if (v > 0 && (minimo == 0 || v < minimo))
            minimo = v;
    return minimo;
}

int Massimo(std::initializer_list<int> valori)
{
    int massimo = std::numeric_limits<int>::min();
    for (int v : valori)
        massimo = std::max(massimo, v);
    return massimo;
}

QString TestoValore(const QVariant& valore)
{
    switch (valore.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        QString testo = QString::number(valore.toDouble(), 'g', QLocale::FloatingPointShortest);
        return testo.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case QMetaType::QDate: return valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    default: return valore.toString();
    }
}

}  // namespace FormUtility
