// quiva-load killed (SIGKILL) at random moments of a load that takes a few
// seconds. After every kill the database must be sound and hold only whole
// lines; running the load again must reach the state of a run never killed.
// The seed is printed on failure; QUIVA_SEME replays a run.
#include "AmbienteProva.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int Righe = 60000;
constexpr int OgniErrore = 97;  // every 97th line has a bad quantity

QByteArray FileGenerato()
{
    QByteArray testo;
    testo.reserve(Righe * 48);
    for (int i = 1; i <= Righe; ++i) {
        const QByteArray qta = i % OgniErrore == 0 ? "x" + QByteArray::number(i) : QByteArray::number(i % 500);
        testo += "A" + QByteArray::number(i).rightJustified(7, '0') + "|Articolo numero " + QByteArray::number(i) + "|"
                 + QByteArray::number(i % 1000) + "," + QByteArray::number(i % 100).rightJustified(2, '0') + "|" + qta
                 + "\r\n";
    }
    return testo;
}

// The line number a row or an error row comes from.
int NumeroRiga(const QString& testo)
{
    static const QRegularExpression codice(QStringLiteral("A(\\d{7})"));
    return codice.match(testo).captured(1).toInt();
}

struct Contenuto {
    QStringList articoli, giacenze, errori;
    bool operator==(const Contenuto&) const = default;
};

struct Modo {
    const char* nome;
    QVariantMap definizione;
    bool parteDaVuoto;  // every run empties the tables first
};

class Interruzioni : public ::testing::TestWithParam<Modo> {
protected:
    AmbienteProva ambiente;
    QStringList argomenti;

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Articoli (Codice VARCHAR(8) PRIMARY KEY, Descrizione VARCHAR(40), "
                                    "Prezzo REAL)"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Giacenze (Codice VARCHAR(8) PRIMARY KEY, Qta INTEGER)"));
        QVariantMap definizione = GetParam().definizione;
        definizione.insert({{"Tabella", "Articoli"}, {"Tabella2", "Giacenze"}, {"CodTab2", "G"}, {"Separatore", "|"},
                            {"Origine", ambiente.FileSorgente(QStringLiteral("articoli.txt"), FileGenerato())}});
        ambiente.Definizione(QStringLiteral("ART"), definizione);
        const char* campi[][4] = {{"Codice", "1", "String", "1"}, {"Descrizione", "2", "String", "2"},
                                  {"Prezzo", "3", "Double", "3"}, {"G Codice", "1", "String", "4"},
                                  {"G Qta", "4", "Long", "5"}};
        for (const auto& c : campi)
            ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", c[0]}, {"NumCampo", c[1]}, {"TipoDest", c[2]},
                                                  {"OrdCampo", c[3]}, {"Aggiorna", "A"}});
        argomenti = {QStringLiteral("--db"), ambiente.Percorso(QStringLiteral("ditta.db")), QStringLiteral("ART")};
    }

    Contenuto Leggi()
    {
        return {ambiente.Righe(QStringLiteral("SELECT * FROM Articoli ORDER BY Codice")),
                ambiente.Righe(QStringLiteral("SELECT * FROM Giacenze ORDER BY Codice")),
                ambiente.Righe(QStringLiteral("SELECT Tabella, Riga, Errore FROM ErroriQuivamento ORDER BY rowid"))};
    }

    // Runs the load to its end; gives how long it took.
    qint64 Completa()
    {
        QElapsedTimer tempo;
        tempo.start();
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        EXPECT_TRUE(processo.waitForFinished(120000));
        EXPECT_EQ(processo.exitCode(), 0) << processo.readAllStandardError().toStdString();
        return tempo.elapsed();
    }

    // Starts the load and kills it after the given time; true when the kill
    // found it still running.
    bool Uccidi(int millisecondi)
    {
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        EXPECT_TRUE(processo.waitForStarted());
        const bool finito = processo.waitForFinished(millisecondi);
        if (!finito)
            ::kill(static_cast<pid_t>(processo.processId()), SIGKILL);
        processo.waitForFinished();
        return !finito;
    }
};

// Rows present after a kill: each equal to the finished run's row, both
// tables holding the same lines, error rows a whole prefix of the finished
// run's ones. When every run empties the tables, the rows are exactly those
// of the first lines of the file.
void VerificaDopoUccisione(const Contenuto& dopo, const Contenuto& finale, bool parteDaVuoto)
{
    const QSet<QString> articoli(finale.articoli.cbegin(), finale.articoli.cend());
    const QSet<QString> giacenze(finale.giacenze.cbegin(), finale.giacenze.cend());
    for (const QString& riga : dopo.articoli)
        EXPECT_TRUE(articoli.contains(riga)) << riga.toStdString();
    for (const QString& riga : dopo.giacenze)
        EXPECT_TRUE(giacenze.contains(riga)) << riga.toStdString();
    QStringList codiciArticoli, codiciGiacenze;
    for (const QString& riga : dopo.articoli)
        codiciArticoli << riga.section(QLatin1Char('|'), 0, 0);
    for (const QString& riga : dopo.giacenze)
        codiciGiacenze << riga.section(QLatin1Char('|'), 0, 0);
    EXPECT_EQ(codiciArticoli, codiciGiacenze);
    ASSERT_LE(dopo.errori.size(), finale.errori.size());
    EXPECT_EQ(dopo.errori, finale.errori.mid(0, dopo.errori.size()));
    if (!parteDaVuoto)
        return;
    int ultima = 0;
    for (const QString& riga : dopo.articoli + dopo.errori)
        ultima = std::max(ultima, NumeroRiga(riga));
    Contenuto atteso;
    for (const QString& riga : finale.articoli)
        if (NumeroRiga(riga) <= ultima)
            atteso.articoli << riga;
    for (const QString& riga : finale.giacenze)
        if (NumeroRiga(riga) <= ultima)
            atteso.giacenze << riga;
    for (const QString& riga : finale.errori)
        if (NumeroRiga(riga) <= ultima)
            atteso.errori << riga;
    EXPECT_EQ(dopo, atteso) << "lines up to " << ultima;
}

TEST_P(Interruzioni, KilledLoadsKeepWholeLinesAndARerunFinishesTheJob)
{
    const unsigned seme = qEnvironmentVariableIsSet("QUIVA_SEME") ? qEnvironmentVariableIntValue("QUIVA_SEME")
                                                                  : std::random_device{}();
    SCOPED_TRACE(testing::Message() << "QUIVA_SEME=" << seme);
    std::mt19937 caso(seme);

    const qint64 durata = Completa();
    const Contenuto finale = Leggi();
    ASSERT_EQ(finale.articoli.size(), Righe - Righe / OgniErrore);
    ASSERT_EQ(finale.errori.size(), Righe / OgniErrore);
    ambiente.Sql(QStringLiteral("DELETE FROM Articoli"));
    ambiente.Sql(QStringLiteral("DELETE FROM Giacenze"));
    ambiente.Sql(QStringLiteral("DELETE FROM ErroriQuivamento"));

    constexpr int Uccisioni = 8;
    std::uniform_int_distribution<int> momento(20, static_cast<int>(std::max<qint64>(durata * 6 / 10, 40)));
    int colpite = 0;
    for (int u = 1; u <= Uccisioni; ++u) {
        const int ms = momento(caso);
        SCOPED_TRACE(testing::Message() << "kill " << u << " after " << ms << " ms");
        colpite += Uccidi(ms) ? 1 : 0;
        EXPECT_EQ(ambiente.Valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        VerificaDopoUccisione(Leggi(), finale, GetParam().parteDaVuoto);
        if (u % 4 == 0) {
            Completa();
            EXPECT_EQ(Leggi(), finale);
        }
    }
    EXPECT_GE(colpite, Uccisioni / 4) << "the load ended before most kills; the file is too small";
    std::printf("[ figures  ] %s: %d kills, %d during the load, full run %lld ms\n", GetParam().nome, Uccisioni,
                colpite, static_cast<long long>(durata));
}

INSTANTIATE_TEST_SUITE_P(
    ModiScrittura, Interruzioni,
    ::testing::Values(Modo{"SvuotaEInserisce", {{"Azzera", "S"}, {"Azzera2", "S"}, {"InsVaria", "I"}, {"Modalita", "0"}}, true},
                      Modo{"InserisceOAggiorna", {{"Modalita", "0"}}, false},
                      Modo{"SoloInserimento", {{"Modalita", "1"}}, false}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
