#include "SchemaColonne.h"

#include <limits>

void DescriviGenere(ColonnaSchema& colonna, const QString& tipo, bool sqlite)
{
    const QString t = tipo.toUpper();
    auto ha = [&t](const char* parola) { return t.contains(QLatin1String(parola)); };
    GenereColonna& genere = colonna.genere;
    if (colonna.testo) {
        genere = GenereColonna::Testo;
    } else if (colonna.data) {
        genere = GenereColonna::Data;
    } else if (ha("BOOL") || ha("BIT") || ha("YESNO") || ha("LOGICAL") || ha("BLOB") || ha("BINARY")
               || ha("BYTEA") || ha("INTERVAL")) {
        genere = GenereColonna::Altro;
    } else if (ha("INT") || ha("LONG") || ha("COUNTER") || ha("SERIAL") || ha("BYTE")) {
        genere = GenereColonna::Intero;
        colonna.minimo = std::numeric_limits<qint32>::min();
        colonna.massimo = std::numeric_limits<qint32>::max();
        if (ha("SMALLINT") || ha("INT2")) {
            colonna.minimo = -32768;
            colonna.massimo = 32767;
        } else if (ha("BIGINT") || ha("INT8") || sqlite) {
            // SQLite keeps eight bytes in any whole-number column.
            colonna.minimo = std::numeric_limits<qint64>::min();
            colonna.massimo = std::numeric_limits<qint64>::max();
        }
    } else if (ha("NUMERIC") || ha("DECIMAL") || ha("CURRENCY") || ha("MONEY")) {
        genere = GenereColonna::Decimale;
        static const QRegularExpression precisione(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+))?"));
        if (const auto m = precisione.match(t); m.hasMatch()) {
            colonna.cifre = m.captured(1).toInt();
            colonna.decimali = m.captured(2).toInt();
        } else if (ha("CURRENCY")) {
            colonna.cifre = 19;
            colonna.decimali = 4;
        }
    } else if (ha("REAL") || ha("FLOA") || ha("DOUB") || ha("SINGLE")) {
        genere = GenereColonna::Reale;
        // A server's "real" is single precision; SQLite's has eight bytes.
        if (ha("SINGLE") || (!sqlite && (t == QLatin1String("REAL") || ha("FLOAT4"))))
            colonna.cifre = 7;
    } else {
        genere = GenereColonna::Altro;
    }
}
