#include "FunzioniJetSqlite.h"

#include "FormUtility.h"
#include "ModelloJet.h"

#include <QString>
#include <sqlite3.h>

namespace {

QString Testo(sqlite3_value* v)
{
    const auto* dati = static_cast<const char16_t*>(sqlite3_value_text16(v));
    if (!dati)
        return {};
    return QString::fromUtf16(dati, sqlite3_value_bytes16(v) / 2);
}

void RestituisciTesto(sqlite3_context* ctx, const QString& testo)
{
    sqlite3_result_text16(ctx, testo.utf16(), static_cast<int>(testo.size() * 2), SQLITE_TRANSIENT);
}

bool Nullo(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

void IIf(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const bool vero = !Nullo(argv[0]) && sqlite3_value_double(argv[0]) != 0;
    sqlite3_result_value(ctx, argv[vero ? 1 : 2]);
}

void IsNull(sqlite3_context* ctx, int, sqlite3_value** argv) { sqlite3_result_int(ctx, Nullo(argv[0]) ? -1 : 0); }

// Val: the leading number of a text, "." as decimal point, blanks ignored.
void Val(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER || sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const QString testo = Testo(argv[0]);
    QByteArray numero;
    bool punto = false;
    for (QChar c : testo) {
        if (c == u' ' || c == u'\t')
            continue;
        if ((c == u'-' || c == u'+') && numero.isEmpty())
            numero += static_cast<char>(c.unicode());
        else if (c.isDigit() && c.unicode() < 128)
            numero += static_cast<char>(c.unicode());
        else if (c == u'.' && !punto) {
            punto = true;
            numero += '.';
        } else
            break;
    }
    bool ok = false;
    const double valore = numero.toDouble(&ok);
    if (!punto && ok && valore == static_cast<sqlite3_int64>(valore))
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(valore));
    else
        sqlite3_result_double(ctx, ok ? valore : 0.0);
}

void Mid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nullo(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString testo = Testo(argv[0]);
    const qsizetype inizio = std::max<sqlite3_int64>(1, sqlite3_value_int64(argv[1]));
    const qsizetype lunghezza = argc > 2 ? std::max<sqlite3_int64>(0, sqlite3_value_int64(argv[2])) : -1;
    RestituisciTesto(ctx, testo.mid(inizio - 1, lunghezza));
}

void Left(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]))
        return sqlite3_result_null(ctx);
    RestituisciTesto(ctx, Testo(argv[0]).left(std::max<sqlite3_int64>(0, sqlite3_value_int64(argv[1]))));
}

void Right(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]))
        return sqlite3_result_null(ctx);
    RestituisciTesto(ctx, Testo(argv[0]).right(std::max<sqlite3_int64>(0, sqlite3_value_int64(argv[1]))));
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, Testo(argv[0]).size());
}

void IsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int tipo = sqlite3_value_type(argv[0]);
    const bool numerico = tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT
        || (tipo == SQLITE_TEXT && FormUtility::IsNumerico(Testo(argv[0])));
    sqlite3_result_int(ctx, numerico ? -1 : 0);
}

void UCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]))
        return sqlite3_result_null(ctx);
    RestituisciTesto(ctx, Testo(argv[0]).toUpper());
}

void LCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]))
        return sqlite3_result_null(ctx);
    RestituisciTesto(ctx, Testo(argv[0]).toLower());
}

// "x like pattern" reaches here as like(pattern, x).
void Like(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nullo(argv[0]) || Nullo(argv[1]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, CorrispondeModello(Testo(argv[1]), Testo(argv[0])) ? 1 : 0);
}

}  // namespace

void RegistraFunzioniJet(sqlite3* db)
{
    struct Funzione {
        const char* nome;
        int argomenti;
        void (*corpo)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Funzione funzioni[] = {
        {"iif", 3, IIf},         {"jet_isnull", 1, IsNull}, {"val", 1, Val},
        {"mid", 2, Mid},         {"mid", 3, Mid},           {"jet_left", 2, Left},
        {"jet_right", 2, Right}, {"len", 1, Len},           {"isnumeric", 1, IsNumeric},
        {"ucase", 1, UCase},     {"lcase", 1, LCase},       {"like", 2, Like},
    };
    for (const auto& f : funzioni)
        sqlite3_create_function_v2(db, f.nome, f.argomenti, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, f.corpo,
                                   nullptr, nullptr, nullptr);
}
