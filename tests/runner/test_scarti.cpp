// Rejected lines saved, corrected and loaded again; trial runs; batch runs
// of the marked definitions. The built quiva-load on a temporary database.
#include "AmbienteProva.h"
#include "SqlProva.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {

struct Esito {
    int stato;
    QString uscita;
};

class Scarti : public ::testing::Test {
protected:
    AmbienteProva ambiente;

    Esito Esegui(QStringList argomenti)
    {
        argomenti = ambiente.ArgomentiDitta() + argomenti;
        QProcess processo;
        processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        processo.waitForFinished(60000);
        return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput())};
    }
    QByteArray Leggi(const QString& nome)
    {
        QFile file(ambiente.Percorso(nome));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    // Every table's definition and rows, and the indexes, hashed.
    QByteArray Impronta()
    {
        const bool server = DatabaseProva::SuServer();
        const QString catalogo = server
            ? QStringLiteral("SELECT table_name, string_agg(column_name || ' ' || data_type, ',' ORDER BY "
                             "ordinal_position), 'CREATE TABLE' FROM information_schema.columns WHERE table_schema = "
                             "current_schema() GROUP BY table_name UNION ALL SELECT indexname, indexdef, '' FROM "
                             "pg_indexes WHERE schemaname = current_schema() ORDER BY 1")
            : QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY name");
        QString errore;
        const QStringList oggetti = RigheSqlProva(ambiente.Db(), catalogo, &errore);
        EXPECT_TRUE(errore.isEmpty()) << errore.toStdString();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString& riga : oggetti) {
            hash.addData(riga.toUtf8());
            const QString tabella = riga.section(QLatin1Char('|'), 0, 0);
            if (riga.contains(QLatin1String("CREATE TABLE")))
                for (const QString& r :
                     ambiente.Righe(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(tabella)))
                    hash.addData(r.toUtf8());
        }
        return hash.result();
    }
    // Art gets Codice (key) and Descr (mandatory) and Nota from a ";" line.
    void Definizione(const QString& codice, const QString& file, const QVariantMap& altro = {})
    {
        QVariantMap colonne {{"Tabella", "Art"}, {"Modalita", "0"}, {"Separatore", ";"}, {"Origine", file}};
        colonne.insert(altro);
        ambiente.Definizione(codice, colonne);
        ambiente.Campo(codice, {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"TipoDest", "String"}, {"OrdCampo", "1"}});
        ambiente.Campo(codice,
                       {{"NomeCampo", "Descr"},
                        {"NumCampo", "2"},
                        {"TipoDest", "String"},
                        {"OrdCampo", "2"},
                        {"Obbligatorio", "S"},
                        {"Aggiorna", "A"}});
        ambiente.Campo(
            codice,
            {{"NomeCampo", "Nota"}, {"NumCampo", "3"}, {"TipoDest", "String"}, {"OrdCampo", "3"}, {"Aggiorna", "A"}});
    }
    void SetUp() override
    {
        ambiente.Sql(
            QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20), Nota VARCHAR(20))"));
    }
};

TEST_F(Scarti, RejectedLinesAreSavedAsReadCorrectedAndLoadedAgain)
{
    // Windows-1252 with CR LF, and a line rejected for two reasons.
    Definizione(
        QStringLiteral("ART"),
        ambiente.FileSorgente(QStringLiteral("art.txt"), "1;Uno;a\r\n2;;citt\xe0\r\n3;Tre;b\r\n4;;\xe8 qui\r\n;;\r\n"));
    EXPECT_EQ(Esegui({QStringLiteral("ART")}).stato, 0);
    ASSERT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 4);

    const Esito scarti =
        Esegui({QStringLiteral("--scarti"), ambiente.Percorso(QStringLiteral("scarti.txt")), QStringLiteral("ART")});
    EXPECT_EQ(scarti.stato, 0);
    EXPECT_EQ(scarti.uscita, QStringLiteral("3 righe\n"));
    EXPECT_EQ(Leggi(QStringLiteral("scarti.txt")), QByteArray("2;;citt\xe0\r\n4;;\xe8 qui\r\n;;\r\n"));

    // The user fills in the descriptions and drops the empty line.
    ambiente.FileSorgente(QStringLiteral("corretto.txt"), "2;Due;citt\xe0\r\n4;Quattro;\xe8 qui\r\n");
    const Esito esito =
        Esegui({QStringLiteral("--file"), ambiente.Percorso(QStringLiteral("corretto.txt")), QStringLiteral("ART")});
    EXPECT_EQ(esito.stato, 0);
    EXPECT_TRUE(esito.uscita.startsWith(QStringLiteral("Elaborazione terminata\n\n"))) << esito.uscita.toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art ORDER BY Codice")),
              (QStringList {"1|Uno|a", "2|Due|città", "3|Tre|b", "4|Quattro|è qui"}));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
    // --file is for one run: the definition still names its own file.
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Origine FROM QuivaFile")).toString(),
              ambiente.Percorso(QStringLiteral("art.txt")));
}

TEST_F(Scarti, LinesNoLongerInTheSourceKeepItsEncoding)
{
    Definizione(QStringLiteral("ART"), ambiente.FileSorgente(QStringLiteral("art.txt"), "1;Uno;\xe0\n"));
    ambiente.Sql(
        QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', '9;;perch\u00e9', 'x'), ('ALTRA', 'y', 'x')"));
    EXPECT_EQ(
        Esegui({QStringLiteral("--scarti"), ambiente.Percorso(QStringLiteral("s.txt")), QStringLiteral("art")}).uscita,
        QStringLiteral("1 righe\n"));
    EXPECT_EQ(Leggi(QStringLiteral("s.txt")), QByteArray("9;;perch\xe9\r\n"));
}

TEST_F(Scarti, TrialLeavesTheDatabaseUnchangedAndReportsEveryRejectedLine)
{
    Definizione(QStringLiteral("ART"), ambiente.FileSorgente(QStringLiteral("art.txt"), "1;Uno;a\n2;;b\n3;Tre;c\n"),
                {{"QueryFin1", "Delete * from Art Where Codice = '1'"}});
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('9', 'Nove', '')"));
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'vecchia', 'x')"));
    const QByteArray prima = Impronta();

    const Esito esito = Esegui({QStringLiteral("--prova"), QStringLiteral("ART")});
    EXPECT_EQ(esito.stato, 0);
    EXPECT_EQ(esito.uscita,
              QStringLiteral("Prova ART: 2 righe da caricare, 1 righe scartate\n"
                             "Scartata: 2;;b\n"
                             "  Motivo: Art.Descr: Campo obbligatorio non compilato\n"
                             "Prova terminata: il database non è stato modificato\n"));
    EXPECT_EQ(Impronta(), prima);
}

TEST_F(Scarti, BatchWithoutCodesRunsTheMarkedDefinitionsInCodeOrderWithTheirConstants)
{
    // Both write row 1: the one loaded last wins.
    Definizione(QStringLiteral("B"), ambiente.FileSorgente(QStringLiteral("b.txt"), "1;da B\n"), {{"Batch", "S"}});
    Definizione(QStringLiteral("A"), ambiente.FileSorgente(QStringLiteral("a.txt"), "1;da A\n"), {{"Batch", "s"}});
    Definizione(QStringLiteral("C"), ambiente.FileSorgente(QStringLiteral("c.txt"), "2;da C\n"), {{"Batch", "N"}});
    ambiente.Sql(
        QStringLiteral("UPDATE QuivaDettaglio SET NumCampo = '', [Default] = '\u00a7Nota', CostBatch = 'costante' "
                       "WHERE NomeCampo = 'Nota'"));

    const Esito esito = Esegui({QStringLiteral("--batch")});
    EXPECT_EQ(esito.stato, 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"1|da B|costante"});

    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Batch = 'N'"));
    EXPECT_EQ(Esegui({QStringLiteral("--batch")}).uscita, QStringLiteral("Nessuna definizione da quivare in batch\n"));
}

TEST_F(Scarti, CommandLinesThatCannotWorkAreRefused)
{
    Definizione(QStringLiteral("ART"), ambiente.FileSorgente(QStringLiteral("art.txt"), "1;Uno;a\n"));
    EXPECT_EQ(Esegui({}).stato, 2);
    EXPECT_EQ(
        Esegui({QStringLiteral("--file"), QStringLiteral("x.txt"), QStringLiteral("ART"), QStringLiteral("ART")}).stato,
        2);
    EXPECT_EQ(Esegui({QStringLiteral("--scarti"), QStringLiteral("x.txt")}).stato, 2);
    // A folder that does not exist: a clear error, no file.
    EXPECT_EQ(
        Esegui({QStringLiteral("--scarti"), ambiente.Percorso(QStringLiteral("manca/s.txt")), QStringLiteral("ART")})
            .stato,
        1);
    EXPECT_TRUE(ambiente.Righe(QStringLiteral("SELECT * FROM Art")).isEmpty());
}

}  // namespace
