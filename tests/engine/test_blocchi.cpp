// A long load gives the same rows, error rows and counters whether its lines
// run one by one (database file) or in blocks whose rows are sent together
// (server), also when a block fails and has to run again line by line.
#include "BloccoRighe.h"
#include "Caricamento.h"

#include <gtest/gtest.h>

namespace {

class Blocchi : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral(
            "CREATE TABLE Art (Codice VARCHAR(6) PRIMARY KEY, Descr VARCHAR(10), Num INTEGER, Qta INTEGER)"));
        ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Art_Descr ON Art (Descr)"));
    }

    // Definition "ART" in free insertion: Num from a counter, then the key
    // and the description.
    void Definizione(const QByteArray& righe)
    {
        ambiente.Definizione(QStringLiteral("ART"),
                             {{"Tabella", "Art"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("a.txt"), righe)},
                              {"Separatore", ";"},
                              {"Modalita", "0"},
                              {"InsVaria", "I"}});
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Num"}, {"OrdCampo", "1"}, {"Default", "\u00a7"}, {"TipoDest", "Long"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "K1"}, {"OrdCampo", "2"}});
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "3"}, {"Aggiorna", "A"}});
        ambiente.Campo(
            QStringLiteral("ART"),
            {{"NomeCampo", "Qta"}, {"NumCampo", "3"}, {"OrdCampo", "4"}, {"TipoOrig", "Long"}, {"TipoDest", "Long"}});
        VoceValore& contatore = carico.valori.Voce(QStringLiteral("ART.Num"));
        contatore.segnoContatore = ValueStore::SegnoContatoreAttivo;
    }
    QString Riga(const char* codice)
    {
        return ambiente
            .Righe(QStringLiteral("SELECT Codice, Descr, Num FROM Art WHERE Codice = '%1'").arg(QLatin1String(codice)))
            .join(QLatin1Char(';'));
    }
};

TEST_F(Blocchi, FailuresInsideBlocksGiveTheRowsAndErrorRowsOfALineByLineLoad)
{
    // A block that fails is followed by lines run one by one for a while, so
    // the second failure falls in the block after those.
    const int numero = BloccoRighe::RighePerBlocco * 3;
    QByteArray righe;
    for (int i = 1; i <= numero; ++i) {
        QByteArray riga = QStringLiteral("A%1;d%1;1\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
        if (i == 100)
            riga = "A0010;nuovo;1\n";  // a key met before: written again as a change
        else if (i == 300)
            riga = "A0300;d0300;x\n";  // refused before it reaches the database
        else if (i == 600)
            riga = "Z0600;d0020;1\n";  // a description met before: refused by the database
        righe += riga;
    }
    Definizione(righe);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);

    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), numero - 3);
    EXPECT_EQ(Riga("A0010"), QStringLiteral("A0010|nuovo|10"));
    EXPECT_EQ(Riga("Z0600"), QString());
    // The counter moved on for every new row composed, the refused ones too,
    // and only once per line.
    EXPECT_EQ(Riga("A0299"), QStringLiteral("A0299|d0299|299"));
    EXPECT_EQ(Riga("A0599"), QStringLiteral("A0599|d0599|599"));
    EXPECT_EQ(Riga("A0601"), QStringLiteral("A0601|d0601|602"));
    EXPECT_EQ(Riga("A0768"), QStringLiteral("A0768|d0768|769"));

    const QStringList errori =
        ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid"));
    ASSERT_EQ(errori.size(), 2) << errori.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(errori[0].startsWith(QLatin1String("A0300;d0300;x|"))) << errori[0].toStdString();
    EXPECT_EQ(errori[1], QStringLiteral("Z0600;d0020;1|Chiave doppia"));
    EXPECT_EQ(carico.errori, 2);
}

}  // namespace

namespace {

// The keyed definition "ART" of the tests below, in the given write mode:
// Codice is the key; Descr and Qta change on the rows found.
void DefinizioneConChiave(AmbienteProva& ambiente, const QByteArray& righe, const char* modalita)
{
    ambiente.Definizione(QStringLiteral("ART"),
                         {{"Tabella", "Art"},
                          {"Origine", ambiente.FileSorgente(QStringLiteral("a.txt"), righe)},
                          {"Separatore", ";"},
                          {"Modalita", modalita}});
    ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "K1"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("ART"),
                   {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}, {"Aggiorna", "A"}});
    ambiente.Campo(QStringLiteral("ART"),
                   {{"NomeCampo", "Qta"},
                    {"NumCampo", "3"},
                    {"OrdCampo", "3"},
                    {"TipoOrig", "Long"},
                    {"TipoDest", "Long"},
                    {"Aggiorna", "A"}});
}

// A keyed load in every write mode over four blocks of lines, against rows
// already there. What it must give is what a load line by line gives (the
// database file); on a server the look-ups of a block are made ahead in one
// query and its writes sent together, and this checks that nothing of that
// shows: a key met twice in one block (the second time in other letter case,
// or after the first inserted it), a value refused before the database, a
// duplicate key on an insert and on a change, each inside a block.
struct AttesoModo {
    const char* modalita;
    int righe;      // rows of Art at the end
    long sommaQta;  // sum of Qta over them
    const char* a0020;
    const char* a0060;
    const char* a0199;
    std::vector<const char*> errori;  // start of each error row, in order
};

void PrintTo(const AttesoModo& atteso, std::ostream* uscita) { *uscita << "Modalita " << atteso.modalita; }

class BlocchiConChiave : public ::testing::TestWithParam<AttesoModo> {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(6) PRIMARY KEY, Descr VARCHAR(10), Qta INTEGER)"));
        ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Art_Descr ON Art (Descr)"));
        QStringList esistenti {QStringLiteral("('B0001', 'fisso', 0)")};
        for (int i = 1; i <= 100; ++i)
            esistenti << QStringLiteral("('A%1', 'old%1', 0)").arg(i, 4, 10, QLatin1Char('0'));
        ambiente.Sql(QStringLiteral("INSERT INTO Art (Codice, Descr, Qta) VALUES ") + esistenti.join(u','));
    }
    QString Riga(const char* codice)
    {
        return ambiente
            .Righe(QStringLiteral("SELECT Codice, Descr, Qta FROM Art WHERE Codice = '%1'").arg(QLatin1String(codice)))
            .join(QLatin1Char(';'));
    }
};

TEST_P(BlocchiConChiave, EveryWriteModeGivesTheRowsAndErrorRowsOfALineByLineLoad)
{
    const AttesoModo& atteso = GetParam();
    const QHash<int, QByteArray> speciali {
        {150, "a0020;x0020;0\n"},  // a key of the same block, in other letters, its Qta back to 0
        {200, "A0199;n0199;1\n"},  // the key the line before added
        {300, "A0300;d0300;x\n"},  // refused before it reaches the database
        {400, "Z0400;fisso;1\n"},  // a new row refused by the database
        {800, "A0060;fisso;2\n"},  // a change refused by the database, in a later block
    };
    QByteArray righe;
    for (int i = 1; i <= 1100; ++i)
        righe += speciali.value(i, QStringLiteral("A%1;d%1;%2\n").arg(i, 4, 10, QLatin1Char('0')).arg(i).toUtf8());
    DefinizioneConChiave(ambiente, righe, atteso.modalita);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);

    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), atteso.righe);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT sum(Qta) FROM Art")).toLongLong(), atteso.sommaQta);
    EXPECT_EQ(Riga("A0020"), QLatin1String(atteso.a0020));
    EXPECT_EQ(Riga("A0060"), QLatin1String(atteso.a0060));
    EXPECT_EQ(Riga("A0199"), QLatin1String(atteso.a0199));
    EXPECT_EQ(Riga("B0001"), QStringLiteral("B0001|fisso|0"));
    for (const char* assente : {"A0200", "A0300", "Z0400", "A0800"})
        EXPECT_EQ(Riga(assente), QString()) << assente;

    const QStringList errori =
        ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid"));
    ASSERT_EQ(errori.size(), static_cast<qsizetype>(atteso.errori.size())) << errori.join(u'\n').toStdString();
    for (size_t i = 0; i < atteso.errori.size(); ++i)
        EXPECT_TRUE(errori[i].startsWith(QLatin1String(atteso.errori[i]))) << errori[i].toStdString();
    EXPECT_EQ(carico.errori, static_cast<long>(atteso.errori.size()));
}

// Lines 1-100 find their rows; A0020 is changed by line 20 and again by line
// 150; A0199 is added by line 199 and changed by line 200. Inserted: 101-1100
// but for the five special lines.
const AttesoModo modi[] = {
    {"0", 1096, 603482, "A0020|x0020|0", "A0060|d0060|60", "A0199|n0199|1",
     {"A0300;d0300;x|", "Z0400;fisso;1|Chiave doppia", "A0060;fisso;2|Chiave doppia"}},
    {"1", 1096, 598650, "A0020|old0020|0", "A0060|old0060|0", "A0199|d0199|199",
     {"A0300;d0300;x|", "Z0400;fisso;1|Chiave doppia"}},
    {"2", 101, 5030, "A0020|x0020|0", "A0060|d0060|60", "", {"A0060;fisso;2|Chiave doppia"}},
    {"3", 1096, 603482, "A0020|x0020|0", "A0060|d0060|60", "A0199|n0199|1",
     {"A0300;d0300;x|", "Z0400;fisso;1|Chiave doppia", "A0060;fisso;2|Chiave doppia"}},
};

INSTANTIATE_TEST_SUITE_P(Modi, BlocchiConChiave, ::testing::ValuesIn(modi),
                         [](const auto& info) { return std::string("Modalita") + info.param.modalita; });

// A key from a progressive code depends on the rows the lines before wrote:
// every line finds the next free code, in blocks too.
TEST_F(Blocchi, ProgressiveCodeKeyFollowsTheRowsOfTheLinesBefore)
{
    QByteArray righe;
    const int numero = BloccoRighe::RighePerBlocco + 44;
    for (int i = 1; i <= numero; ++i)
        righe += QStringLiteral("e%1;%1\n").arg(i).toUtf8();
    ambiente.Definizione(QStringLiteral("PRG"), {{"Tabella", "Art"},
                                                 {"Origine", ambiente.FileSorgente(QStringLiteral("p.txt"), righe)},
                                                 {"Separatore", ";"},
                                                 {"Modalita", "0"}});
    ambiente.Campo(QStringLiteral("PRG"), {{"NomeCampo", "Codice"}, {"OrdCampo", "1"}, {"Default", "^6,P"}});
    ambiente.Campo(QStringLiteral("PRG"), {{"NomeCampo", "Descr"}, {"NumCampo", "1"}, {"OrdCampo", "2"}});
    ambiente.Campo(QStringLiteral("PRG"), {{"NomeCampo", "Num"}, {"NumCampo", "2"}, {"OrdCampo", "3"},
                                           {"TipoOrig", "Long"}, {"TipoDest", "Long"}});
    ambiente.Campo(QStringLiteral("PRG"), {{"NomeCampo", "Qta"}, {"OrdCampo", "4"}, {"Default", "0"},
                                           {"TipoDest", "Long"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("PRG")), 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), numero);
    EXPECT_EQ(Riga("P00001"), QStringLiteral("P00001|e1|1"));
    EXPECT_EQ(Riga("P00257"), QStringLiteral("P00257|e257|257"));
    EXPECT_EQ(Riga("P00300"), QStringLiteral("P00300|e300|300"));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
}

}  // namespace

namespace {

// Changes of rows already there, a block of lines at a time: on a server the
// first half's changes are written while the second half runs. A change the
// database refuses in the first half, and one in the second half of a later
// block (the first half already sent), give the rows and error rows of a
// load line by line; so does the block after them.
TEST(BlocchiModifiche, ARefusedChangeInEitherHalfOfABlockGivesTheRowsOfALineByLineLoad)
{
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(6) PRIMARY KEY, Descr VARCHAR(10), Qta INTEGER)"));
    ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Art_Descr ON Art (Descr)"));
    const int numero = BloccoRighe::RighePerBlocco * 5;
    QStringList esistenti;
    for (int i = 1; i <= numero; ++i)
        esistenti << QStringLiteral("('A%1', 'o%1', 0)").arg(i, 4, 10, QLatin1Char('0'));
    ambiente.Sql(QStringLiteral("INSERT INTO Art (Codice, Descr, Qta) VALUES ") + esistenti.join(u','));
    // After a refused block the lines run one by one for a block's length:
    // the second refusal falls in the third block, the one after it runs
    // in halves again.
    const QHash<int, QByteArray> speciali {
        {60, "A0060;n0010;60\n"},    // the description line 10 gave, in the same half
        {700, "A0700;n0520;700\n"},  // the description line 520 gave, in the half sent before
    };
    QByteArray righe;
    for (int i = 1; i <= numero; ++i)
        righe += speciali.value(i, QStringLiteral("A%1;n%1;%2\n").arg(i, 4, 10, QLatin1Char('0')).arg(i).toUtf8());
    DefinizioneConChiave(ambiente, righe, "0");
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0) << carico.messaggi.testi.join(u'\n').toStdString();

    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), numero);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT sum(Qta) FROM Art")).toLongLong(),
              numero * (numero + 1) / 2 - 60 - 700);
    const QStringList righeScelte = ambiente.Righe(QStringLiteral(
        "SELECT Codice, Descr, Qta FROM Art WHERE Codice IN ('A0010', 'A0060', 'A0520', 'A0700', 'A1280') "
        "ORDER BY Codice"));
    EXPECT_EQ(
        righeScelte,
        (QStringList {"A0010|n0010|10", "A0060|o0060|0", "A0520|n0520|520", "A0700|o0700|0", "A1280|n1280|1280"}));
    const QStringList errori =
        ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid"));
    EXPECT_EQ(errori, (QStringList {"A0060;n0010;60|Chiave doppia", "A0700;n0520;700|Chiave doppia"}));
}

// New rows that the server's bulk copy refuses (a duplicate key, a text too
// long for its column, a missing value of a column that needs one), each in
// another block: the rows and error rows are those of a load line by line.
// The long text never reaches the database: it is cut to its column's size.
TEST(BlocchiCopia, RefusedCopiesGiveTheRowsAndErrorRowsOfALineByLineLoad)
{
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ambiente.Sql(QStringLiteral(
        "CREATE TABLE Doc (Codice VARCHAR(6) PRIMARY KEY, Descr VARCHAR(5), Obbl INTEGER NOT NULL)"));
    ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Doc_Descr ON Doc (Descr)"));
    const QHash<int, QByteArray> speciali {
        {100, "D0100;d10;1\n"},         // the description of line 10
        {350, "D0350;troppolungo;1\n"}, // longer than its column
        {600, "D0600;vuoto;\n"},        // no value for a column that needs one
    };
    QByteArray righe;
    for (int i = 1; i <= 800; ++i)
        righe += speciali.value(i, QStringLiteral("D%1;d%2;%2\n").arg(i, 4, 10, QLatin1Char('0')).arg(i % 1000).toUtf8());
    ambiente.Definizione(QStringLiteral("DOC"),
                         {{"Tabella", "Doc"},
                          {"Origine", ambiente.FileSorgente(QStringLiteral("d.txt"), righe)},
                          {"Separatore", ";"},
                          {"Modalita", "1"}});
    ambiente.Campo(QStringLiteral("DOC"), {{"NomeCampo", "Codice"}, {"NumCampo", "K1"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("DOC"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
    ambiente.Campo(QStringLiteral("DOC"),
                   {{"NomeCampo", "Obbl"}, {"NumCampo", "3"}, {"OrdCampo", "3"}, {"TipoOrig", "Long"}, {"TipoDest", "Long"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("DOC")), 0) << carico.messaggi.testi.join(u'\n').toStdString();

    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Doc")).toInt(), 798);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT sum(Obbl) FROM Doc")).toLongLong(), 320400 - 100 - 350 + 1 - 600);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Descr FROM Doc WHERE Codice IN ('D0010', 'D0799') ORDER BY Codice")),
              (QStringList {"d10", "d799"}));
    const QStringList errori =
        ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid"));
    const QStringList attesi {"D0100;d10;1|Chiave doppia", "D0600;vuoto;|Valore obbligatorio mancante"};
    ASSERT_EQ(errori.size(), attesi.size()) << errori.join(u'\n').toStdString();
    for (qsizetype i = 0; i < attesi.size(); ++i)
        EXPECT_TRUE(errori[i].startsWith(attesi[i])) << errori[i].toStdString();
    EXPECT_EQ(carico.errori, attesi.size());
}

}  // namespace
