#include "TabelleQuiva.h"

#include "DatabaseLink.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Text columns compare without regard to case, like every lookup of the
// program does.
const char* const QuivaFile = R"(CREATE TABLE QuivaFile (
 Codice VARCHAR(20) COLLATE NOCASE PRIMARY KEY, Descrizione VARCHAR(100) COLLATE NOCASE,
 Tabella VARCHAR(64) COLLATE NOCASE, Azzera VARCHAR(1) COLLATE NOCASE, WhereAzz TEXT COLLATE NOCASE, Campi TEXT COLLATE NOCASE,
 Tabella2 VARCHAR(64) COLLATE NOCASE, CodTab2 VARCHAR(1) COLLATE NOCASE, Azzera2 VARCHAR(1) COLLATE NOCASE, WhereAzz2 TEXT COLLATE NOCASE, Campi2 TEXT COLLATE NOCASE,
 Tabella3 VARCHAR(64) COLLATE NOCASE, CodTab3 VARCHAR(1) COLLATE NOCASE, Azzera3 VARCHAR(1) COLLATE NOCASE, WhereAzz3 TEXT COLLATE NOCASE, Campi3 TEXT COLLATE NOCASE,
 Tabella4 VARCHAR(64) COLLATE NOCASE, CodTab4 VARCHAR(1) COLLATE NOCASE, Azzera4 VARCHAR(1) COLLATE NOCASE, WhereAzz4 TEXT COLLATE NOCASE, Campi4 TEXT COLLATE NOCASE,
 Tabella5 VARCHAR(64) COLLATE NOCASE, CodTab5 VARCHAR(1) COLLATE NOCASE, Azzera5 VARCHAR(1) COLLATE NOCASE, WhereAzz5 TEXT COLLATE NOCASE, Campi5 TEXT COLLATE NOCASE,
 QueryFin1 TEXT COLLATE NOCASE, QueryFin2 TEXT COLLATE NOCASE, QueryFin3 TEXT COLLATE NOCASE,
 Modalita VARCHAR(1) COLLATE NOCASE, InsVaria VARCHAR(1) COLLATE NOCASE, Separatore VARCHAR(20) COLLATE NOCASE,
 Origine TEXT COLLATE NOCASE, SaltaInizio INTEGER, Tipo VARCHAR(1) COLLATE NOCASE, Batch VARCHAR(1) COLLATE NOCASE))";

const char* const QuivaDettaglio = R"(CREATE TABLE QuivaDettaglio (
 Codice VARCHAR(20) COLLATE NOCASE NOT NULL, OrdCampo VARCHAR(10) COLLATE NOCASE, NomeCampo VARCHAR(66) COLLATE NOCASE NOT NULL,
 TipoOrig VARCHAR(20) COLLATE NOCASE, TipoDest VARCHAR(20) COLLATE NOCASE, NumCampo VARCHAR(255) COLLATE NOCASE,
 Dimensione INTEGER, NonVal VARCHAR(255) COLLATE NOCASE, ValValido VARCHAR(255) COLLATE NOCASE, Riempie VARCHAR(10) COLLATE NOCASE,
 Quanto INTEGER, Inizio INTEGER, Lunghezza INTEGER, [Default] VARCHAR(255) COLLATE NOCASE,
 Conv0ToNull VARCHAR(1) COLLATE NOCASE, Obbligatorio VARCHAR(1) COLLATE NOCASE, LimiteDim INTEGER,
 TipoOper VARCHAR(1) COLLATE NOCASE, ValoreOper VARCHAR(255) COLLATE NOCASE, LireOValuta VARCHAR(1) COLLATE NOCASE,
 Aggiorna VARCHAR(1) COLLATE NOCASE, CostBatch VARCHAR(255) COLLATE NOCASE,
 PRIMARY KEY (Codice, NomeCampo)))";

const char* const QuivaDecod = R"(CREATE TABLE QuivaDecod (
 Codice VARCHAR(20) COLLATE NOCASE NOT NULL, Tabella VARCHAR(64) COLLATE NOCASE, NomeCampo VARCHAR(64) COLLATE NOCASE,
 ValOrig VARCHAR(255) COLLATE NOCASE, ValDest VARCHAR(255) COLLATE NOCASE))";

const char* const ErroriQuivamento = R"(CREATE TABLE ErroriQuivamento (
 Tabella VARCHAR(20) COLLATE NOCASE, Riga TEXT, Errore TEXT))";

}  // namespace

void CreaTabelleQuiva(DatabaseLink& db)
{
    const std::pair<const char*, const char*> tabelle[] = {
        {"QuivaFile", QuivaFile},
        {"QuivaDettaglio", QuivaDettaglio},
        {"QuivaDecod", QuivaDecod},
        {"ErroriQuivamento", ErroriQuivamento},
    };
    for (const auto& [nome, sql] : tabelle) {
        if (db.EsisteTabella(QLatin1String(nome)))
            continue;
        const QString ddl = db.Creazione(QLatin1String(sql));
        QSqlQuery q(db.Database());
        if (!q.exec(ddl))
            throw db.Errore(q);
    }
    QSqlQuery q(db.Database());
    q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS ErroriQuivamento_Tabella ON ErroriQuivamento (Tabella)"));
    db.DimenticaSchema();
}
