// Running a list of definitions: order, outcomes, what ends the list; the
// record set handle.
#include "AmbienteProva.h"
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "EseguiDefinizioni.h"
#include "ProgressMonitor.h"
#include "RecordsetManager.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"

#include <gtest/gtest.h>

namespace {

// Confirms the stop as soon as the named definition starts loading.
class FermaAlCaricamento : public ProgressMonitorMuto {
public:
    QString codice;
    void Fase(FaseQuiva fase, const QString& nome) override
    {
        if (fase == FaseQuiva::Caricamento && nome == codice)
            StatoElaborazione.store(Stato::Interrotto);
    }
};

class Eseguire : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    MessaggiRegistrati messaggi;
    ContestoQuiva contesto {ambiente.Db(), messaggi, ImpostazioniDitta {}, {}, {}, false};
    ValueStore valori;

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(4) PRIMARY KEY)"));
        StatoElaborazione.store(Stato::InCorso);
    }
    void TearDown() override { StatoElaborazione.store(Stato::Inattivo); }

    void Definizione(const QString& codice, const QString& file)
    {
        ambiente.Definizione(codice, {{"Tabella", "Art"}, {"Origine", file}, {"Separatore", ";"}, {"Modalita", "0"}});
        ambiente.Campo(codice,
                       {{"NomeCampo", "Codice"},
                        {"NumCampo", "1"},
                        {"OrdCampo", "1"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"}});
    }

    std::vector<EsitoDefinizione> Esegui(const QStringList& codici, ProgressMonitor& progresso,
                                         QStringList* traccia = nullptr)
    {
        OsservatoreDefinizioni osservatore;
        if (traccia) {
            osservatore.prima = [&](int i) { *traccia << QStringLiteral("prima %1").arg(codici[i]); };
            osservatore.dopo = [&](int i, const EsitoDefinizione& e) {
                *traccia
                    << QStringLiteral("dopo %1 %2/%3/%4").arg(codici[i]).arg(e.lettura).arg(e.carico).arg(e.errori);
            };
        }
        return EseguiDefinizioni(contesto, codici, progresso, valori, osservatore);
    }
};

TEST_F(Eseguire, RunsInOrderPassingOverDefinitionsThatCannotBeRead)
{
    Definizione(QStringLiteral("A"), ambiente.FileSorgente(QStringLiteral("a.txt"), "A1\nA2\n"));
    Definizione(QStringLiteral("B"), ambiente.FileSorgente(QStringLiteral("b.txt"), "B1\n;\n"));
    QStringList traccia;
    const auto esiti = Esegui({"A", "NOPE", "B"}, ProgressMonitor::Muto(), &traccia);
    EXPECT_EQ(traccia,
              (QStringList {"prima A", "dopo A 0/0/0", "prima NOPE", "dopo NOPE -1/0/0", "prima B", "dopo B 0/0/2"}));
    EXPECT_EQ(ErroriTotali(esiti), 2);  // the empty key: its own message and the driver's
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Art ORDER BY Codice")),
              (QStringList {"A1", "A2", "B1"}));
    EXPECT_EQ(messaggi.testi, QStringList {"Mancano i dati per il codice NOPE"});
}

TEST_F(Eseguire, LoadEndingWithAnErrorEndsTheList)
{
    Definizione(QStringLiteral("A"), ambiente.Percorso(QStringLiteral("manca.txt")));
    Definizione(QStringLiteral("B"), ambiente.FileSorgente(QStringLiteral("b.txt"), "B1\n"));
    const auto esiti = Esegui({"A", "B"}, ProgressMonitor::Muto());
    ASSERT_EQ(esiti.size(), 1u);
    EXPECT_NE(esiti[0].carico, 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Art")), QStringList {});
}

TEST_F(Eseguire, ConfirmedStopEndsTheListBeforeTheNextDefinition)
{
    Definizione(QStringLiteral("A"), ambiente.FileSorgente(QStringLiteral("a.txt"), "A1\n"));
    Definizione(QStringLiteral("B"), ambiente.FileSorgente(QStringLiteral("b.txt"), "B1\n"));
    FermaAlCaricamento ferma;
    ferma.codice = QStringLiteral("A");
    const auto esiti = Esegui({"A", "B"}, ferma);
    ASSERT_EQ(esiti.size(), 1u);
    EXPECT_EQ(esiti[0].carico, 0);  // a stop is not an error
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Art")), QStringList {});
}

// Another program holds the company: on a file its write lock, on a server
// the lock of one definition. The load waits, then gives up having changed
// nothing; on a server another definition loads meanwhile.
TEST_F(Eseguire, LoadWaitsForTheWriteLockThenGivesUpHavingChangedNothing)
{
    Definizione(QStringLiteral("A"), ambiente.FileSorgente(QStringLiteral("a.txt"), "A1\n"));
    Definizione(QStringLiteral("B"), ambiente.FileSorgente(QStringLiteral("b.txt"), "B1\n"));
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento (Tabella, Riga, Errore) VALUES ('A', 'vecchia', 'x')"));
    const bool server = DatabaseProva::SuServer();
    std::unique_ptr<DatabaseLink> altro = server ? DatabaseLink::ApriServer(qEnvironmentVariable("QUIVA_PROVA_ODBC"))
                                                 : DatabaseLink::ApriFile(ambiente.Percorso(QStringLiteral("ditta.db")));
    ASSERT_TRUE(altro->PrendiScrittura(QStringLiteral("a"), 0, {}));  // letter case does not matter

    struct Attese : ProgressMonitorMuto {
        int volte = 0;
        void Fase(FaseQuiva fase, const QString&) override { volte += fase == FaseQuiva::AttesaScrittura; }
    } attese;
    contesto.secondiAttesa = 1;
    const auto esiti = Esegui({"A"}, attese);
    ASSERT_EQ(esiti.size(), 1u);
    EXPECT_EQ(esiti[0].carico, CodiciErrore::DatabaseInUso);
    EXPECT_FALSE(esiti[0].Terminata());
    EXPECT_EQ(attese.volte, 1);
    EXPECT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.value(0).contains(QStringLiteral("nulla è stato modificato")));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento")), QStringList {"vecchia"});
    if (server) {
        const auto altra = Esegui({"B"}, ProgressMonitor::Muto());
        EXPECT_TRUE(altra[0].Terminata());
    }

    altro->ConfermaTransazione();
    altro->LasciaScrittura(QStringLiteral("A"));
    const auto dopo = Esegui({"A"}, ProgressMonitor::Muto());
    EXPECT_TRUE(dopo[0].Terminata());
    EXPECT_EQ(dopo[0].conteggi.inserite[1], 1);
    EXPECT_TRUE(ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento")).isEmpty());
}

TEST(RecordsetAperto, ClosesItsRecordSetWhenItGoesOutOfScopeOrIsReplaced)
{
    AmbienteProva ambiente;
    RecordsetManager rs(ambiente.Db());
    QString primo, secondo;
    {
        RecordsetAperto aperto(rs, QStringLiteral("Select * from QuivaFile"));
        primo = aperto.Nome();
        EXPECT_TRUE(rs.Aperto(primo));
        RecordsetAperto spostato(std::move(aperto));
        EXPECT_FALSE(aperto.Aperto());
        EXPECT_TRUE(rs.Aperto(primo));
        spostato = RecordsetAperto(rs, QStringLiteral("Select * from QuivaDecod"));
        secondo = spostato.Nome();
        EXPECT_FALSE(rs.Aperto(primo));
        EXPECT_TRUE(rs.Aperto(secondo));
    }
    EXPECT_FALSE(rs.Aperto(secondo));
}

}  // namespace
