#include "FunzioniJetPostgres.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Raise it whenever a function below changes: an older set on the server is
// then replaced by the first program that connects.
constexpr int VersioneFunzioni = 1;

// The Jet functions that stored statements use, in their own schema so that
// they never clash with the company's objects. IsNull and IsNumeric answer
// -1 or 0 as Jet does, so that their results compare and join like numbers;
// IIf takes such a number (0 false) or a comparison.
const char* const Funzioni = R"SQL(
CREATE SCHEMA IF NOT EXISTS quiva;
CREATE OR REPLACE FUNCTION quiva.iif(boolean, anycompatible, anycompatible) RETURNS anycompatible
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 THEN $2 ELSE $3 END';
CREATE OR REPLACE FUNCTION quiva.iif(double precision, anycompatible, anycompatible) RETURNS anycompatible
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 <> 0 THEN $2 ELSE $3 END';
CREATE OR REPLACE FUNCTION quiva.isnull(anyelement) RETURNS integer
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 IS NULL THEN -1 ELSE 0 END';
CREATE OR REPLACE FUNCTION quiva.isnull(text) RETURNS integer
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 IS NULL THEN -1 ELSE 0 END';
CREATE OR REPLACE FUNCTION quiva.val(text) RETURNS double precision
  LANGUAGE sql IMMUTABLE AS $$
  SELECT coalesce(nullif(nullif(substring(translate(coalesce($1, ''), E' \t', '')
                                          from '^[+-]?[0-9]*\.?[0-9]*'), '.'), ''), '0')::double precision
  $$;
CREATE OR REPLACE FUNCTION quiva.val(double precision) RETURNS double precision
  LANGUAGE sql IMMUTABLE AS 'SELECT $1';
CREATE OR REPLACE FUNCTION quiva.mid(text, bigint) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT substr($1, greatest($2, 1)::int)';
CREATE OR REPLACE FUNCTION quiva.mid(text, bigint, bigint) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT substr($1, greatest($2, 1)::int, greatest($3, 0)::int)';
CREATE OR REPLACE FUNCTION quiva.left(text, bigint) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT substr($1, 1, greatest($2, 0)::int)';
CREATE OR REPLACE FUNCTION quiva.right(text, bigint) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $2 <= 0 THEN '''' ELSE right($1, $2::int) END';
CREATE OR REPLACE FUNCTION quiva.len(text) RETURNS bigint
  LANGUAGE sql IMMUTABLE AS 'SELECT length($1)';
CREATE OR REPLACE FUNCTION quiva.len(anyelement) RETURNS bigint
  LANGUAGE sql IMMUTABLE AS 'SELECT length($1::text)';
CREATE OR REPLACE FUNCTION quiva.isnumeric(text) RETURNS integer
  LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN btrim($1, E' \t') ~ '^[+-]?[0-9.,]*[0-9][0-9.,]*([eE][+-]?[0-9]+)?$' THEN -1 ELSE 0 END
  $$;
CREATE OR REPLACE FUNCTION quiva.isnumeric(double precision) RETURNS integer
  LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN $1 IS NULL THEN 0 ELSE -1 END';
CREATE OR REPLACE FUNCTION quiva.trim(text) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT btrim($1, '' '')';
CREATE OR REPLACE FUNCTION quiva.ucase(text) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT upper($1)';
CREATE OR REPLACE FUNCTION quiva.lcase(text) RETURNS text
  LANGUAGE sql IMMUTABLE AS 'SELECT lower($1)';
-- A Jet "like" pattern as an anchored regular expression: * any text,
-- ? one character, # one digit, [a-z] and [!a-z] classes.
CREATE OR REPLACE FUNCTION quiva.modello(p text) RETURNS text
  LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
  r text := '^';
  i int := 1;
  n int := length(p);
  c text;
  fine int;
BEGIN
  WHILE i <= n LOOP
    c := substr(p, i, 1);
    IF c = '*' THEN r := r || '.*';
    ELSIF c = '?' THEN r := r || '.';
    ELSIF c = '#' THEN r := r || '[0-9]';
    ELSIF c = '[' AND strpos(substr(p, i + 2), ']') > 0 THEN
      fine := i + 1 + strpos(substr(p, i + 2), ']');
      r := r || '[' || CASE WHEN substr(p, i + 1, 1) = '!' THEN '^' || substr(p, i + 2, fine - i - 2)
                            ELSE substr(p, i + 1, fine - i - 1) END || ']';
      i := fine;
    ELSE r := r || regexp_replace(c, '([.^$|()\[\]{}*+?\\])', '\\\1', 'g');
    END IF;
    i := i + 1;
  END LOOP;
  RETURN r || '$';
END $$;
CREATE OR REPLACE FUNCTION quiva.versione() RETURNS integer LANGUAGE sql IMMUTABLE AS 'SELECT %1';
)SQL";

// Asked without failing where the functions are missing: a failed statement
// would abort the transaction it runs in.
int VersioneSulServer(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT to_regprocedure('quiva.versione()') IS NOT NULL")) || !q.next()
        || !q.value(0).toBool())
        return 0;
    if (q.exec(QStringLiteral("SELECT quiva.versione()")) && q.next())
        return q.value(0).toInt();
    return 0;
}

}  // namespace

QString CreaFunzioniJetPostgres(const QSqlDatabase& db)
{
    if (VersioneSulServer(db) >= VersioneFunzioni)
        return {};
    QSqlDatabase connessione = db;
    connessione.transaction();
    QSqlQuery q(db);
    // Two programs connecting at once create the functions one after the other.
    q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7263541)"));
    if (VersioneSulServer(db) < VersioneFunzioni && !q.exec(QString::fromUtf8(Funzioni).arg(VersioneFunzioni))) {
        const QString errore = q.lastError().text();
        connessione.rollback();
        return errore;
    }
    connessione.commit();
    return {};
}
