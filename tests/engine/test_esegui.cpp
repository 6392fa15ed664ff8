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
