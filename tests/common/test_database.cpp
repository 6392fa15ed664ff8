// The data access layer on SQLite: stored Jet statements, the functions they
// use, record sets and the error numbers callers test.
#include "AmbienteProva.h"
#include "CatalogoNomi.h"
#include "Comando.h"
#include "FormUtility.h"
#include "FunzioniPq.h"
#include "Recordset.h"
#include "RecordsetManager.h"
#include "ScrittureRaccolte.h"
#include "TraduttoreJet.h"

#include <QDate>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

QString Sqlite(const char* jet) { return TraduciJet(QString::fromUtf8(jet), DialettoDb::Sqlite); }

TEST(TraduciJet, DeleteFormsAndNamesThatAreKeywordsHere)
{
    const std::pair<const char*, const char*> casi[] = {
        {"Delete * from ErroriQuivamento Where tabella = 'X'",
         "DELETE FROM ErroriQuivamento Where tabella COLLATE NOCASE = 'X'"},
        {"Delete T.* From T Where Anno = 2001", "DELETE FROM T Where Anno COLLATE NOCASE = 2001"},
        {"Delete T1.* From T1 Inner Join T2 On T1.Id = T2.Id Where T2.X = 1",
         "DELETE FROM T1 WHERE rowid IN (SELECT T1.rowid FROM T1 Inner Join T2 On T1.Id COLLATE NOCASE = T2.Id Where "
         "T2.X COLLATE NOCASE = 1)"},
        {"Select * from D Where left(Default,1) = '\u00a7'",
         "Select * from D Where jet_left([Default],1) COLLATE NOCASE = '\u00a7'"},
        {"Select \"it's\" & x from T Where d = #01/31/2002#",
         "Select 'it''s' || x from T Where d COLLATE NOCASE = '2002-01-31'"},
        // Nothing inside a literal is touched.
        {"Insert into L Values ('Delete * from Default & left(')",
         "Insert into L Values ('Delete * from Default & left(')"},
    };
    for (const auto& [jet, atteso] : casi)
        EXPECT_EQ(Sqlite(jet), QString::fromUtf8(atteso)) << jet;
}

// Every comparison a statement makes ignores letter case; assignments of an
// update and statements that are not queries or writes stay as written.
TEST(TraduciJet, ComparisonsIgnoreCase)
{
    const std::pair<const char*, const char*> casi[] = {
        {"Select * from T Where A <> 'x' And B >= ? Or C != D",
         "Select * from T Where A COLLATE NOCASE <> 'x' And B COLLATE NOCASE >= ? Or C COLLATE NOCASE != D"},
        {"Select * from T Where A not in ('x') and B between 'a' and 'c'",
         "Select * from T Where A COLLATE NOCASE not in ('x') and B COLLATE NOCASE between 'a' and 'c'"},
        {"Update T Set A = 'x', B = IIf(C = 'y', 1, 2) Where D = 'z'",
         "Update T Set A = 'x', B = IIf(C COLLATE NOCASE = 'y', 1, 2) Where D COLLATE NOCASE = 'z'"},
        {"Insert into T Select * from U Where U.A = 'x'",
         "Insert into T Select * from U Where U.A COLLATE NOCASE = 'x'"},
        {"Create Table T (A Integer Check (A = 1))", "Create Table T (A Integer Check (A = 1))"},
    };
    for (const auto& [jet, atteso] : casi)
        EXPECT_EQ(Sqlite(jet), QString::fromUtf8(atteso)) << jet;
}

// A server that holds "clienti" (created unquoted) and "QuivaDettaglio" with
// a quoted "Default" column.
QString Server(const char* jet, QList<ColonnaConfrontata>* confrontate = nullptr)
{
    CatalogoNomi catalogo;
    catalogo.tabelle = {{"clienti", "clienti"}, {"quivadettaglio", "QuivaDettaglio"}};
    catalogo.colonne["clienti"] = {{"codice", {"codice", true}}, {"fido", {"fido", false}}};
    catalogo.colonne["quivadettaglio"] = {{"default", {"Default", true}}, {"ordcampo", {"OrdCampo", true}}};
    return TraduciJet(QString::fromUtf8(jet), DialettoDb::Postgres, &catalogo, confrontate);
}

TEST(TraduciJet, ServerNamesFunctionsPatternsAndCaseFreeComparisons)
{
    QList<ColonnaConfrontata> confrontate;
    EXPECT_EQ(Server("Select * from CLIENTI Where Codice = ? And Fido = 3", &confrontate),
              QStringLiteral("Select * from \"clienti\" Where lower(\"codice\") = lower(?) And \"fido\" = 3"));
    ASSERT_EQ(confrontate.size(), 1);
    EXPECT_EQ(confrontate[0].tabella + '.' + confrontate[0].colonna, QStringLiteral("clienti.codice"));
    // Assignments keep what they are given.
    EXPECT_EQ(Server("Update Clienti Set Codice = 'X' Where Codice <> 'y'"),
              QStringLiteral("Update \"clienti\" Set \"codice\" = 'X' Where lower(\"codice\") <> lower('y')"));
    // Every comparison of a text column with text ignores case, a sub-query's
    // column too; numbers and expressions on the right are left to the server.
    const std::pair<const char*, const char*> casi[] = {
        {"Select * from Clienti Where Codice >= ? And Codice != Clienti.Codice",
         "Select * from \"clienti\" Where lower(\"codice\") >= lower(?) And lower(\"codice\") != "
         "lower(\"clienti\".\"codice\")"},
        {"Select * from Clienti Where Codice not In ('a', ?) Or Codice Between 'b' And 'c'",
         "Select * from \"clienti\" Where lower(\"codice\") not In (lower('a'), lower(?)) Or lower(\"codice\") "
         "Between lower('b') And lower('c')"},
        {"Select * from Clienti Where Codice In (Select Codice from Clienti) And Codice < 5",
         "Select * from \"clienti\" Where lower(\"codice\") In (Select lower(\"codice\") from \"clienti\") And "
         "\"codice\" < 5"},
        {"Select * from Clienti Where Codice not In (Select Max(Codice) from Clienti)",
         "Select * from \"clienti\" Where \"codice\" not In (Select Max(\"codice\") from \"clienti\")"},
        {"Update Clienti Set Codice = IIf(Codice = 'a', 'b', Codice) Where Fido > 1",
         "Update \"clienti\" Set \"codice\" = quiva.iif(lower(\"codice\") = lower('a'), 'b', \"codice\") Where "
         "\"fido\" > 1"},
        // Names as the server holds them, the functions of stored
        // statements and "like" patterns.
        {"Select * from QuivaDettaglio Order by IIf(IsNull([OrdCampo]),999999,Val([ordcampo]))",
         "Select * from \"QuivaDettaglio\" Order by "
         "quiva.iif(quiva.isnull(\"OrdCampo\"),999999,quiva.val(\"OrdCampo\"))"},
        {"Select Default, Mid(x, 2) & Trim(y) from QuivaDettaglio",
         "Select \"Default\", quiva.mid(x, 2) || quiva.trim(y) from \"QuivaDettaglio\""},
        {"Select max(Codice) from Clienti Where Codice like 'C*' and x not like ?",
         "Select max(\"codice\") from \"clienti\" Where \"codice\" ~* quiva.modello('C*') "
         "and x  !~* quiva.modello(?)"},
        // T2 is not in the catalog: its column is left to the server.
        {"Delete Clienti.* From Clienti Inner Join T2 On Clienti.Codice = T2.C",
         "DELETE FROM \"clienti\" WHERE ctid IN (SELECT \"clienti\".ctid FROM \"clienti\" "
         "Inner Join T2 On \"clienti\".\"codice\" = T2.C)"},
    };
    for (const auto& [jet, atteso] : casi)
        EXPECT_EQ(Server(jet), QString::fromUtf8(atteso)) << jet;
}

class BancaDati : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE T (Codice VARCHAR(5) PRIMARY KEY, Descr TEXT, Qta INTEGER, "
                                    "Data DATE, [Default] VARCHAR(10), OrdCampo TEXT)"));
    }
    QString Uno(const char* jet)
    {
        RecordsetManager rs(ambiente.Db());
        const QString nome = rs.Apri(QString::fromUtf8(jet));
        return rs.Vuoto(nome) ? QStringLiteral("<vuoto>") : rs.LeggiGrezzo(nome, QStringLiteral("r")).toString();
    }
};

TEST_F(BancaDati, JetFunctionsAndPatterns)
{
    const std::pair<const char*, const char*> casi[] = {
        {"Select IIf(IsNull(Null), 'si', 'no') as r", "si"},
        {"Select Val(' 12abc') + Val('3.5') as r", "15.5"},
        {"Select Mid('Quivamento', 3, 4) & Left('abc', 2) & Right('abc', 1) as r", "ivamabc"},
        {"Select Len('perch\u00e8') as r", "6"},
        {"Select IsNumeric('1.234,5') * 10 + IsNumeric('x') as r", "-10"},
        {"Select UCase('\u00e8x') & LCase('AB') & Trim('  c  ') as r", "\u00c8Xabc"},
        {"Select IIf('C0041' like 'c*', 1, 0) + IIf('A1' like '?#', 2, 0) + IIf('B' like '[!A]', 4, 0) as r", "7"},
    };
    for (const auto& [jet, atteso] : casi)
        EXPECT_EQ(Uno(jet), QString::fromUtf8(atteso)) << jet;
}

TEST_F(BancaDati, NumericOrderWithNullsLast)
{
    ambiente.Sql(QStringLiteral("INSERT INTO T (Codice, OrdCampo) VALUES ('a', NULL), ('b', '10'), ('c', '9')"));
    RecordsetManager rs(ambiente.Db());
    const QString nome =
        rs.Apri(QStringLiteral("Select * from T Order by IIf(IsNull([OrdCampo]),999999,Val([ordcampo]))"));
    QStringList ordine;
    for (; !rs.Fine(nome); rs.Successivo(nome))
        ordine << rs.Leggi(nome, QStringLiteral("codice"));
    EXPECT_EQ(ordine, (QStringList {"c", "b", "a"}));
}

TEST_F(BancaDati, RecordSetWritesAndTheErrorsCallersTest)
{
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from T Where 1 = 0"));
    rs.AggiungiNuovo(nome);
    rs.Imposta(nome, QStringLiteral("codice"), QStringLiteral("A1"));
    rs.Imposta(nome, QStringLiteral("Qta"), QString());    // empty text into a number: null
    rs.Imposta(nome, QStringLiteral("Descr"), QString());  // empty text stays text
    rs.Imposta(nome, QStringLiteral("Data"), QDate(2024, 2, 29));
    rs.Imposta(nome, QStringLiteral("Default"), QStringLiteral("x"));
    rs.Aggiorna(nome);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, '<' & Descr & '>', Qta, Data, [Default] FROM T")),
              QStringList {QStringLiteral("A1|<>|NULL|2024-02-29|x")});

    auto numero = [&](auto&& azione) {
        try {
            azione();
        } catch (const std::exception& e) {
            return FormUtility::NumeroErrore(e);
        }
        return 0;
    };
    rs.AggiungiNuovo(nome);
    EXPECT_EQ(numero([&] { rs.Imposta(nome, QStringLiteral("Manca"), 1); }), 3265);
    EXPECT_EQ(numero([&] { rs.Imposta(nome, QStringLiteral("Codice"), QStringLiteral("TROPPO")); }), 3163);
    rs.Imposta(nome, QStringLiteral("Codice"), QStringLiteral("A1"));
    EXPECT_EQ(numero([&] { rs.Aggiorna(nome); }), 3022);
    ambiente.Sql(QStringLiteral("DELETE FROM T WHERE Descr IS NULL"));  // "a1", found with "A1" below

    // Edit through a key query re-opened on the same name; the key is found
    // whatever its case.
    rs.Riapri(nome, QStringLiteral("Select * from T Where Codice = ?"), {QStringLiteral("a1")});
    ASSERT_EQ(rs.NumeroRighe(nome), 1);
    rs.Modifica(nome);
    rs.Imposta(nome, QStringLiteral("Qta"), 7);
    rs.Aggiorna(nome);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Qta FROM T WHERE Codice = 'A1'")).toInt(), 7);
    rs.Chiudi(nome);
    rs.Chiudi(QStringLiteral("mai-aperto"));  // does nothing
}

// Rows written by position, texts of every width (the bound bytes must stay
// in place while the statement runs), and edits that write only what changes.
TEST_F(BancaDati, WritesByPositionAndEditsOnlyWhatChanges)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE U (K VARCHAR(10) PRIMARY KEY, A VARCHAR(60), N INTEGER, D DATE)"));
    ambiente.Sql(QStringLiteral("CREATE TABLE Scritture (Colonna TEXT)"));
    if (DatabaseProva::SuServer()) {
        QSqlQuery q(ambiente.Db().Database());
        EXPECT_TRUE(q.exec(QStringLiteral("CREATE FUNCTION scritta() RETURNS trigger LANGUAGE plpgsql AS "
                                          "'BEGIN INSERT INTO scritture VALUES (TG_ARGV[0]); RETURN NULL; END'")));
        for (const char* c : {"K", "A"})
            EXPECT_TRUE(q.exec(QStringLiteral("CREATE TRIGGER Su%1 AFTER UPDATE OF %1 ON U FOR EACH ROW "
                                              "EXECUTE FUNCTION scritta('%1')")
                                   .arg(QLatin1String(c))));
    } else {
        ambiente.Sql(
            QStringLiteral("CREATE TRIGGER SuK AFTER UPDATE OF K ON U BEGIN INSERT INTO Scritture VALUES ('K'); END"));
        ambiente.Sql(
            QStringLiteral("CREATE TRIGGER SuA AFTER UPDATE OF A ON U BEGIN INSERT INTO Scritture VALUES ('A'); END"));
    }
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from U Where 1 = 0"));
    Recordset& set = rs.Oggetto(nome);
    const int k = set.IndiceColonna(QStringLiteral("k")), a = set.IndiceColonna(QStringLiteral("A")),
              n = set.IndiceColonna(QStringLiteral("N")), d = set.IndiceColonna(QStringLiteral("D"));
    const QStringList testi = {QStringLiteral("x"), QStringLiteral("Città di Castello, perché è così"),
                               QString(50, QChar(u'€')).left(50), QStringLiteral("😀 fine")};
    for (int i = 0; i < testi.size(); ++i) {
        set.AggiungiNuovo();
        set.Imposta(k, QStringLiteral("K%1").arg(i));
        set.Imposta(a, testi[i]);
        set.Imposta(n, i);
        set.Imposta(d, QDate(1999 + i, 12, 31));
        set.Aggiorna();
    }
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT A, N, D FROM U ORDER BY K")),
              (QStringList {"x|0|1999-12-31", testi[1] + "|1|2000-12-31", testi[2] + "|2|2001-12-31",
                            testi[3] + "|3|2002-12-31"}));
    EXPECT_THROW(set.Imposta(-1, 1), ErroreRun);

    auto modifica = [&](const QString& chiave, const QString& testo) {
        rs.Riapri(nome, QStringLiteral("Select * from U Where K = ?"), {chiave});
        set.Modifica();
        set.Imposta(set.IndiceColonna(QStringLiteral("K")), chiave);
        set.Imposta(set.IndiceColonna(QStringLiteral("A")), testo);
        set.Aggiorna();
    };
    modifica(QStringLiteral("K0"), QStringLiteral("x"));  // nothing changes: nothing written
    EXPECT_TRUE(ambiente.Righe(QStringLiteral("SELECT Colonna FROM Scritture")).isEmpty());
    modifica(QStringLiteral("K0"), QStringLiteral("X"));  // letter case is a change
    modifica(QStringLiteral("k1"), testi[1]);             // so is the key's
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Colonna FROM Scritture")), (QStringList {"A", "K"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT K, A FROM U WHERE N < 2 ORDER BY N")),
              (QStringList {"K0|X", "k1|" + testi[1]}));
}

TEST_F(BancaDati, TextComparisonsIgnoreCaseOnTablesThatCompareWithCase)
{
    ambiente.Sql(QStringLiteral("INSERT INTO T (Codice, Descr) VALUES ('c001', 'Rossi'), ('C002', NULL), ('x', '')"));
    ambiente.Sql(QStringLiteral("CREATE TABLE U (C VARCHAR(5))"));
    ambiente.Sql(QStringLiteral("INSERT INTO U (C) VALUES ('C001'), ('X')"));
    const std::pair<const char*, const char*> casi[] = {
        {"Select count(*) as r from T Where Codice = 'C001'", "1"},
        {"Select count(*) as r from T Where Codice In ('C001', 'c002')", "2"},
        {"Select count(*) as r from T Where Descr <> 'ROSSI'", "1"},
        {"Select count(*) as r from T Where Codice like 'C*'", "2"},
        {"Select max(Codice) as r from T Where Codice < 'D'", "c001"},
        {"Select count(*) as r from T Where Codice In (Select C from U)", "2"},
    };
    for (const auto& [jet, atteso] : casi)
        EXPECT_EQ(Uno(jet), QString::fromUtf8(atteso)) << jet;
    ambiente.Db().Esegui(QStringLiteral("Delete * from T Where Codice = 'X'"));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM T")).toInt(), 2);

    // A null text is looked up as the empty text it is stored as.
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from T Where Descr = ?"), {QString()});
    EXPECT_TRUE(rs.Vuoto(nome));
    ambiente.Sql(QStringLiteral("INSERT INTO T (Codice, Descr) VALUES ('y', '')"));
    rs.Riapri(nome, QStringLiteral("Select * from T Where Descr = ?"), {QString()});
    EXPECT_EQ(rs.NumeroRighe(nome), 1);
}

TEST_F(BancaDati, CaseFreeIndexKeepsKeyLookUpsOffATableScan)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "SQLite's own case-free index; the server's lower-case index is tested apart";
    auto piano = [&](const char* jet) {
        return ambiente.Righe(QStringLiteral("EXPLAIN QUERY PLAN ") + ambiente.Db().Traduci(QString::fromUtf8(jet)))
            .join(QLatin1Char(' '));
    };
    ambiente.Sql(QStringLiteral("CREATE TABLE K (A VARCHAR(3), B INTEGER, C TEXT, PRIMARY KEY (A, B))"));
    EXPECT_TRUE(piano("Select * from K Where A = 'x' And B = 1").contains(QLatin1String("SCAN")));
    ambiente.Db().IndiceSenzaMaiuscole(QStringLiteral("K"), {QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_TRUE(
        piano("Select * from K Where A = 'x' And B = 1").contains(QLatin1String("USING INDEX quiva_nocase_K_A_B")));
    // An index that already serves the look-up is used as it is.
    ambiente.Sql(QStringLiteral("CREATE INDEX Proprio ON K (C COLLATE NOCASE)"));
    ambiente.Db().IndiceSenzaMaiuscole(QStringLiteral("K"), {QStringLiteral("C")});
    EXPECT_EQ(
        ambiente.Valore(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name GLOB 'quiva_nocase_*'")).toInt(),
        1);
    EXPECT_TRUE(piano("Select * from K Where C = 'x'").contains(QLatin1String("USING INDEX Proprio")));
}

TEST_F(BancaDati, RowIdentityFollowsAKeyChangeAndNeedsAKeyOnAServer)
{
    ambiente.Sql(QStringLiteral("INSERT INTO T (Codice, Qta) VALUES ('K1', 1)"));
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from T Where Codice = 'K1'"));
    rs.Modifica(nome);
    rs.Imposta(nome, QStringLiteral("Codice"), QStringLiteral("K2"));
    rs.Aggiorna(nome);
    rs.Modifica(nome);  // the same row, now under its new key
    rs.Imposta(nome, QStringLiteral("Qta"), 2);
    rs.Aggiorna(nome);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Qta FROM T")), QStringList {QStringLiteral("K2|2")});

    ambiente.Sql(QStringLiteral("CREATE TABLE L (Nota VARCHAR(10))"));
    const QString libero = rs.Apri(QStringLiteral("Select * from L"));
    rs.AggiungiNuovo(libero);
    rs.Imposta(libero, QStringLiteral("Nota"), QStringLiteral("a"));
    rs.Aggiorna(libero);
    rs.Riapri(libero, QStringLiteral("Select * from L"));
    ASSERT_FALSE(rs.Vuoto(libero));
    if (DatabaseProva::SuServer()) {
        // No stable identity without a primary key: changes are refused.
        EXPECT_THROW(rs.Modifica(libero), ErroreRun);
    } else {
        rs.Modifica(libero);
        rs.Imposta(libero, QStringLiteral("Nota"), QStringLiteral("b"));
        rs.Aggiorna(libero);
        EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Nota FROM L")).toString(), QStringLiteral("b"));
    }
}

TEST_F(BancaDati, SchemaSizesAndPrimaryColumns)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE K (B INTEGER, A VARCHAR(3), PRIMARY KEY (A, B))"));
    EXPECT_EQ(ambiente.Db().DimensioneColonna(QStringLiteral("t"), QStringLiteral("CODICE")), 5);
    EXPECT_EQ(ambiente.Db().DimensioneColonna(QStringLiteral("T"), QStringLiteral("Qta")), 0);
    EXPECT_EQ(ambiente.Db().DimensioneColonna(QStringLiteral("Nessuna"), QStringLiteral("x")), 0);
    EXPECT_EQ(ambiente.Db().ColonnePrimarie(QStringLiteral("K")).join(',').toUpper(), QStringLiteral("A,B"));
}

TEST_F(BancaDati, BatchedWritesSurviveAnErrorAndAreCommittedAtTheEnd)
{
    {
        LottoScritture lotto(ambiente.Db(), 2);
        for (int i = 0; i < 5; ++i) {
            ambiente.Db().EseguiParametri(QStringLiteral("INSERT INTO T (Codice) VALUES (?)"), {QString::number(i)});
            lotto.FineRiga();
        }
        EXPECT_THROW(
            ambiente.Db().EseguiParametri(QStringLiteral("INSERT INTO T (Codice) VALUES (?)"), {QStringLiteral("1")}),
            ErroreRun);
    }
    EXPECT_FALSE(ambiente.Db().InTransazione());
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM T")).toInt(), 5);
}

// On a server a block's new rows wait and go out in one statement: any other
// statement sends them first and closes the block, and a refusal writes none
// of them. A commit waits for the block to close. A database file writes at
// once.
TEST_F(BancaDati, BlockOfGatheredRowsIsSentBeforeAnyOtherStatementAndRefusedAsAWhole)
{
    RecordsetManager rs(ambiente.Db());
    const RecordsetAperto nuovi(rs, QStringLiteral("Select * from T Where 1 = 0"));
    auto aggiungi = [&](const char* codice) {
        rs.AggiungiNuovo(nuovi);
        rs.Imposta(nuovi, QStringLiteral("Codice"), QString::fromUtf8(codice));
        rs.Aggiorna(nuovi);
    };
    LottoScritture lotto(ambiente.Db(), 1);
    ASSERT_EQ(ambiente.Db().IniziaBlocco(), DatabaseProva::SuServer());
    if (!DatabaseProva::SuServer())
        return;
    aggiungi("A");
    aggiungi("B");
    EXPECT_FALSE(lotto.FineRiga());
    EXPECT_EQ(Uno("Select count(*) as r from T"), QStringLiteral("2"));
    EXPECT_FALSE(ambiente.Db().BloccoAperto());
    aggiungi("C");
    EXPECT_THROW(aggiungi("C"), ErroreRun);  // written at once, refused at once

    // Rows of two tables travel in the same statement.
    ambiente.Sql(QStringLiteral("CREATE TABLE U (Codice VARCHAR(5) PRIMARY KEY)"));
    const RecordsetAperto altri(rs, QStringLiteral("Select * from U Where 1 = 0"));
    ASSERT_TRUE(ambiente.Db().IniziaBlocco());
    aggiungi("D");
    rs.AggiungiNuovo(altri);
    rs.Imposta(altri, QStringLiteral("Codice"), QStringLiteral("u"));
    rs.Aggiorna(altri);
    aggiungi("A");
    EXPECT_THROW(ambiente.Db().ChiudiBlocco(), BloccoDaRipetere);
    EXPECT_FALSE(ambiente.Db().BloccoAperto());
    EXPECT_TRUE(lotto.FineRiga());
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM T")).toInt(), 3);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM U")).toInt(), 0);

    ASSERT_TRUE(ambiente.Db().IniziaBlocco());
    aggiungi("D");
    rs.AggiungiNuovo(altri);
    rs.Imposta(altri, QStringLiteral("Codice"), QStringLiteral("u"));
    rs.Aggiorna(altri);
    ambiente.Db().ChiudiBlocco();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT T.Codice, U.Codice FROM T, U WHERE T.Codice = 'D'")),
              QStringList {QStringLiteral("D|u")});
}

// A change gathered in a block writes what the same change written alone
// writes (its values read as the column's type, as a single statement's
// markers are), and is refused where that one is refused. A row changed
// twice in one block gets both changes, in order.
TEST_F(BancaDati, ChangesGatheredInABlockWriteWhatAChangeAloneWrites)
{
    ambiente.Sql(
        QStringLiteral("CREATE TABLE P (Codice VARCHAR(5) PRIMARY KEY, Importo NUMERIC, Qta INTEGER, Data DATE)"));
    ambiente.Sql(QStringLiteral("INSERT INTO P (Codice, Qta) VALUES ('A', 0), ('B', 0), ('C', 0)"));
    RecordsetManager rs(ambiente.Db());
    // Looked up first: a look-up would close the block.
    auto riga = [&](const char* codice) {
        return rs.Apri(QStringLiteral("Select * from P Where Codice = '%1'").arg(QLatin1String(codice)));
    };
    auto cambia = [&](const QString& nome, const char* colonna, const QVariant& valore) {
        rs.Modifica(nome);
        rs.Imposta(nome, QString::fromLatin1(colonna), valore);
        rs.Aggiorna(nome);
    };
    const QString a = riga("A"), b = riga("B"), b2 = riga("B"), c = riga("C"), c2 = riga("C");
    LottoScritture lotto(ambiente.Db());
    cambia(a, "Importo", 2.6);
    cambia(a, "Data", QDate(2021, 3, 4));
    const bool blocco = ambiente.Db().IniziaBlocco();
    EXPECT_EQ(blocco, DatabaseProva::SuServer());
    cambia(b, "Importo", 2.6);
    cambia(c, "Qta", 1);
    EXPECT_EQ(ambiente.Db().BloccoAperto(), blocco);
    cambia(b2, "Data", QDate(2021, 3, 4));  // the same row again: what waits goes first
    cambia(c2, "Qta", 2);
    ambiente.Db().ChiudiBlocco();
    lotto.Conferma();
    const QStringList righe =
        ambiente.Righe(QStringLiteral("SELECT Codice, Importo, Qta, Data FROM P ORDER BY Codice"));
    ASSERT_EQ(righe.size(), 3);
    EXPECT_EQ(righe[1].mid(1), righe[0].mid(1));
    EXPECT_TRUE(righe[2].startsWith(QLatin1String("C|NULL|2|"))) << righe[2].toStdString();

    // A fraction into a whole-number column: refused alone, and so in a block.
    const QString b3 = riga("B");
    bool rifiutataDaSola = false;
    try {
        cambia(a, "Qta", 2.5);
    } catch (const ErroreRun&) {
        rifiutataDaSola = true;
    }
    if (!blocco || !rifiutataDaSola)
        return;  // a database file takes it as it is
    ASSERT_TRUE(ambiente.Db().IniziaBlocco());
    cambia(b3, "Qta", 2.5);
    EXPECT_THROW(ambiente.Db().ChiudiBlocco(), BloccoDaRipetere);
}

}  // namespace

namespace {

// Amounts keep the digits they were read with: 2,6 is stored as 2.6, not as
// the nearest binary fraction written out in full, one by one or in a block.
TEST_F(BancaDati, AmountsAreStoredWithTheDigitsTheyHave)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE N (C VARCHAR(3) PRIMARY KEY, Importo NUMERIC)"));
    RecordsetManager rs(ambiente.Db());
    LottoScritture lotto(ambiente.Db());
    auto aggiungi = [&](const char* codice, double importo) {
        const RecordsetAperto riga(rs, QStringLiteral("Select * from N Where 1 = 0"));
        rs.AggiungiNuovo(riga);
        rs.Imposta(riga, QStringLiteral("C"), QString::fromLatin1(codice));
        rs.Imposta(riga, QStringLiteral("Importo"), importo);
        rs.Aggiorna(riga);
    };
    aggiungi("a", 2.6);
    const bool blocco = ambiente.Db().IniziaBlocco();
    aggiungi("b", 0.1);
    aggiungi("c", 1234567.89);
    if (blocco)
        ambiente.Db().ChiudiBlocco();
    lotto.Conferma();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT C, CAST(Importo AS VARCHAR(40)) FROM N ORDER BY C")),
              (QStringList {"a|2.6", "b|0.1", "c|1234567.89"}));
}

}  // namespace

namespace {

// A server looks up the keys of a block in one query: each list of values
// finds what a look-up of its own finds, for keys of every kind (letter case
// ignored in texts, quotes and array punctuation kept, numbers and dates
// compared as such), and values of no one type are left to the caller.
TEST_F(BancaDati, ManyLookUpsFindWhatEachLookUpFinds)
{
    if (!DatabaseProva::SuServer())
        GTEST_SKIP() << "a file looks its keys up one by one";
    ambiente.Sql(QStringLiteral("CREATE TABLE V (K VARCHAR(12), N INTEGER, D DATE, I NUMERIC, A VARCHAR(10))"));
    ambiente.Sql(QStringLiteral("INSERT INTO V VALUES ('Città', 1, '2024-02-29', 2.5, 'uno'), "
                                "('a\"b{,}', 2, '2001-01-01', 0, 'due'), ('c\\d', 3, NULL, 1, 'tre'), "
                                "('', 4, '1999-12-31', -3.25, 'quattro'), ('Città', 1, '2024-02-29', 7, 'cinque')"));
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from V Where 1 = 0"));
    Recordset& set = rs.Oggetto(nome);
    const QString sql = QStringLiteral("Select * from V Where K = ? And N = ? And D = ?");
    const std::vector<QVariantList> chiavi = {
        {QStringLiteral("CITTÀ"), 1, QDate(2024, 2, 29)},   {QStringLiteral("a\"B{,}"), 2, QDate(2001, 1, 1)},
        {QStringLiteral("c\\d"), 3, QDate(2000, 1, 1)},     {QString(), 4, QDate(1999, 12, 31)},
        {QStringLiteral("nessuno"), 9, QDate(2024, 2, 29)}, {QStringLiteral("città"), 2, QDate(2024, 2, 29)},
    };
    const std::vector<Recordset::Righe> trovate = set.CercaMolti(sql, chiavi);
    ASSERT_EQ(trovate.size(), chiavi.size());
    const int a = set.IndiceColonna(QStringLiteral("A"));
    for (size_t n = 0; n < chiavi.size(); ++n) {
        QStringList molti, uno;
        for (const auto& riga : trovate[n])
            molti << riga[static_cast<size_t>(a)].toString();
        rs.Riapri(nome, sql, chiavi[n]);
        for (int r = 0; r < set.NumeroRighe(); ++r)
            uno << set.Valore(r, a).toString();
        molti.sort();
        uno.sort();
        EXPECT_EQ(molti, uno) << n;
    }
    EXPECT_EQ(trovate[0].size(), 2u);
    EXPECT_EQ(trovate[3].size(), 1u);  // the null text is looked up as the empty text
    EXPECT_TRUE(trovate[4].empty());

    // Amounts, and a marker whose values are of two kinds.
    const std::vector<Recordset::Righe> importi =
        set.CercaMolti(QStringLiteral("Select * from V Where I = ?"), {{2.5}, {-3.25}, {7.0}, {8.0}});
    ASSERT_EQ(importi.size(), 4u);
    EXPECT_EQ(importi[0].size() + importi[1].size() + importi[2].size(), 3u);
    EXPECT_TRUE(importi[3].empty());
    EXPECT_TRUE(set.CercaMolti(QStringLiteral("Select * from V Where N = ?"), {{1}, {QStringLiteral("2")}}).empty());
}

// Bulk writes use the libpq of QtSql's driver, found at run time: once a
// server is open it is there, or every block would go as statements.
TEST(FunzioniPq, TheDriversLibpqIsFoundOnceAServerIsOpen)
{
    if (!DatabaseProva::SuServer())
        GTEST_SKIP() << "libpq comes with the server's driver";
    AmbienteProva ambiente;
    EXPECT_NE(FunzioniPq::Carica(), nullptr);
}

// A key's look-ups on a server get a lower-case index, and the statistics
// that let the server read each key's rows through it: without them it
// guesses hundreds of rows per key and reads them through a bitmap.
TEST_F(BancaDati, ANewLookUpIndexComesWithTheTablesStatistics)
{
    if (!DatabaseProva::SuServer())
        GTEST_SKIP() << "SQLite compares without case in its own index";
    ambiente.Sql(QStringLiteral("CREATE TABLE G (K VARCHAR(10), D TEXT)"));
    ambiente.Sql(QStringLiteral("INSERT INTO G SELECT 'k' || n, 'riga' FROM generate_series(1, 5000) n"));
    RecordsetManager rs(ambiente.Db());
    const QString nome = rs.Apri(QStringLiteral("Select * from G Where K = ?"), {QStringLiteral("K17")});
    EXPECT_EQ(rs.NumeroRighe(nome), 1);
    const QString piano =
        ambiente.Righe(QStringLiteral("EXPLAIN SELECT * FROM g WHERE lower(k) = lower('k18')")).join(QLatin1Char(' '));
    EXPECT_TRUE(piano.contains(QLatin1String("Index Scan using quiva_ci_"))) << piano.toStdString();
}

// A block's look-ups run inside it, under the savepoint its rows take: one
// the server refuses undoes itself alone and leaves the block open; one
// after the block's first row sends that row first, as any statement does.
TEST_F(BancaDati, ABlocksLookUpsRunInsideItAndARefusalUndoesThemAlone)
{
    if (!DatabaseProva::SuServer())
        GTEST_SKIP() << "a file gathers no block";
    ambiente.Sql(QStringLiteral("CREATE TABLE W (Codice VARCHAR(5) PRIMARY KEY)"));
    RecordsetManager rs(ambiente.Db());
    const RecordsetAperto nuovi(rs, QStringLiteral("Select * from W Where 1 = 0"));
    auto aggiungi = [&](const char* codice) {
        rs.AggiungiNuovo(nuovi);
        rs.Imposta(nuovi, QStringLiteral("Codice"), QString::fromUtf8(codice));
        rs.Aggiorna(nuovi);
    };
    DatabaseLink& db = ambiente.Db();
    LottoScritture lotto(db);
    aggiungi("prima");
    ASSERT_TRUE(db.IniziaBlocco());
    const auto rifiutata = Comando::Prepara(db, QStringLiteral("SELECT 1 / 0"));
    EXPECT_THROW(db.EseguiInizioBlocco(*rifiutata), ErroreRun);
    EXPECT_TRUE(db.BloccoAperto());
    const auto conta = Comando::Prepara(db, QStringLiteral("SELECT count(*) FROM W"));
    db.EseguiInizioBlocco(*conta);
    ASSERT_TRUE(conta->Successivo());
    EXPECT_EQ(conta->Valore(0).toInt(), 1);
    conta->Termina();
    EXPECT_TRUE(db.BloccoAperto());
    aggiungi("a");
    db.EseguiInizioBlocco(*conta);
    ASSERT_TRUE(conta->Successivo());
    EXPECT_EQ(conta->Valore(0).toInt(), 2);
    conta->Termina();
    EXPECT_FALSE(db.BloccoAperto());

    // A block refused after its look-ups writes none of its rows.
    ASSERT_TRUE(db.IniziaBlocco());
    db.EseguiInizioBlocco(*conta);
    conta->Termina();
    aggiungi("b");
    aggiungi("a");
    EXPECT_THROW(db.ChiudiBlocco(), BloccoDaRipetere);
    lotto.Conferma();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM W ORDER BY Codice")), (QStringList {"a", "prima"}));
}

}  // namespace
