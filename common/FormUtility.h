#pragma once
// The suite's small shared functions: emptiness, SQL literals, error numbers,
// Italian number and date conversions, rounding, type names, splitting.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <initializer_list>
#include <optional>

namespace TipiDato {
constexpr int Integer = 2;  // 16-bit integer
constexpr int Long = 3;     // 32-bit integer
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;  // fixed point, 4 decimals
constexpr int Date = 7;
constexpr int String = 8;
inline bool IsNumerico(int tipo) { return tipo >= Integer && tipo <= Currency; }
}  // namespace TipiDato

namespace FormUtility {

// True for null, an invalid variant or a text without any character.
bool IsVuoto(const QVariant& valore);
inline bool IsVuoto(QStringView testo) { return testo.isEmpty(); }

// The value written as a literal of the database's SQL, ready to follow " = ".
// Text literals keep every character and double the apostrophes; an empty
// number or date is Null.
QString SqlLiteral(const QVariant& valore, int tipo);

// Normalised number of a trapped error.
int NumeroErrore(const std::exception& errore);
QString DescrizioneErrore(const std::exception& errore);

// Text to number of the given numeric type (2..6), Italian conventions:
// decimal comma, "." as thousands separator. Empty optional when the text is
// not a number of that type (including out-of-range integers).
std::optional<QVariant> TestoANumero(QStringView testo, int tipo);
// Same, raising ErroreRun 13 (or 6 for an overflow) on failure.
QVariant TestoANumeroOErrore(QStringView testo, int tipo);
// Numeric value of a text as double, or empty optional.
std::optional<double> TestoADouble(QStringView testo);
bool IsNumerico(QStringView testo);
// Whole number of a text (rounded), 0 when it is not a number.
long long TestoAIntero(QStringView testo);

// Text to date: dd/mm/yyyy, dd-mm-yyyy, dd.mm.yyyy (two-digit years too),
// ddmmyyyy, ddmmyy and yyyy-mm-dd. Empty optional for impossible dates.
std::optional<QDate> TestoAData(QStringView testo);

// Conversion of a text to the type of code tipo (2..7); any other code gives
// the text itself. Raises ErroreRun on failure.
QVariant ConvertiTesto(QStringView testo, int tipo);

// Rounding; mode "A" rounds halves away from zero, exactly on decimal amounts
// (2,675 to two decimals is 2,68).
double Arrotonda(double valore, QChar modo, int decimali);

// Numeric code of a type name ("vbvInteger", "vbvString", ...); 0 when unknown.
int CodiceTipo(const QString& nome);

// Pieces of a text between separators (an empty text gives one empty piece).
QStringList Split(const QString& testo, const QString& separatore);

// Smallest value above 0 (0 when none) / largest value.
int MinimoPositivo(std::initializer_list<int> valori);
int Massimo(std::initializer_list<int> valori);

// Text of a value as the messages show it (numbers with decimal comma,
// dates dd/mm/yyyy).
QString TestoValore(const QVariant& valore);

}  // namespace FormUtility
