// The load dialog and the prompt window driven through their controls: rows
// clicked in the grid, answers typed, buttons pressed; the message window
// answers from a script.
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "Programma.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "StatoElaborazione.h"
#include "TabelleQuiva.h"
#include "ValueStore.h"
#include "frmQuivInElab.h"
#include "frmQuiva.h"
#include "frmRicValBase.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QString Terminata = QStringLiteral("Elaborazione terminata");

// The notices shown, each without the summary below it.
QStringList Avvisi(const QStringList& testi)
{
    QStringList avvisi;
    for (const QString& testo : testi)
        avvisi << testo.section(QStringLiteral("\n\n"), 0, 0);
    return avvisi;
}

// Runs azione at the first chance while the load's message line shows a text
// beginning with inizio (the progress window lets events run on every
// message).
class AlMessaggio : public QObject {
public:
    AlMessaggio(frmQuiva& f, QString inizio, std::function<void()> azione)
        : m_f(f), m_inizio(std::move(inizio)), m_azione(std::move(azione))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_f.Progresso()->isVisible() && m_f.Progresso()->LabMessaggio->text().startsWith(m_inizio)) {
                m_timer.stop();
                m_azione();
            }
        });
        m_timer.start();
    }

private:
    frmQuiva& m_f;
    QString m_inizio;
    std::function<void()> m_azione;
    QTimer m_timer;
};

}  // namespace

class ProvaSchermi : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    QPointer<frmQuiva> f;

    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql); }
    QString File(const QString& nome, const QByteArray& righe)
    {
        const QString percorso = cartella->filePath(nome);
        QFile file(percorso);
        file.open(QIODevice::WriteOnly);
        file.write(righe);
        return percorso;
    }
    // Definition codice loading file into Art: Codice from field 1 (key),
    // Descr from field 2 (mandatory: a line without it is rejected), plus prompted fields (name, default) in order.
    void Definizione(const QString& codice, const QString& file, const QList<QPair<QString, QString>>& richieste = {},
                     bool conCampi = true)
    {
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Descrizione, Tabella, Origine, Separatore, Modalita, Tipo) "
                           "VALUES ('%1', 'Prova %1', 'Art', '%2', ';', '0', 'D')")
                .arg(codice, file));
        if (!conCampi)
            return;
        Sql(QStringLiteral(
                "INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, NumCampo, TipoOrig, TipoDest) VALUES "
                "('%1', '1', 'Codice', '1', 'String', 'String'), ('%1', '2', 'Descr', '2', 'String', 'String')")
                .arg(codice));
        Sql(QStringLiteral("UPDATE QuivaDettaglio SET Obbligatorio = 'S' WHERE Codice = '%1' AND NomeCampo = 'Descr'")
                .arg(codice));
        int ordine = 3;
        for (const auto& [campo, descrizione] : richieste) {
            QSqlQuery q(db->Database());
            q.prepare(QStringLiteral(
                "INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, TipoOrig, TipoDest, [Default]) "
                "VALUES (?, ?, ?, 'String', 'String', ?)"));
            q.addBindValue(codice);
            q.addBindValue(QString::number(ordine++));
            q.addBindValue(campo);
            q.addBindValue(descrizione);
            QVERIFY(q.exec());
        }
    }
    void Apri()
    {
        const ContestoQuiva contesto {*db, *messaggi, ImpostazioniDitta {}, {}, cartella->path(), false};
        f = new frmQuiva(contesto);
        QVERIFY(MostraMaschera(f, QStringLiteral("K1"), {}, {}, {}));
        QCOMPARE(f->oiLoadOk, 1);
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }
    int Riga(const QString& codice)
    {
        for (int r = 0; r < f->dbgQuiva->model()->rowCount(); ++r)
            if (f->ValoreRiga(r, QStringLiteral("Codice")) == codice)
                return r;
        return -1;
    }
    // A click on a row of the grid, with Ctrl to add it to the selection.
    void Clic(const QString& codice, bool aggiungi = true)
    {
        const QModelIndex i = f->dbgQuiva->model()->index(Riga(codice), 1);
        f->dbgQuiva->scrollTo(i);
        QTest::mouseClick(f->dbgQuiva->viewport(), Qt::LeftButton, aggiungi ? Qt::ControlModifier : Qt::NoModifier,
                          f->dbgQuiva->visualRect(i).center());
    }
    QStringList Selezionati()
    {
        QStringList codici;
        for (int r : f->Selezione())
            codici << f->ValoreRiga(r, QStringLiteral("Codice"));
        return codici;
    }
    // Answers the prompt window when it opens.
    void AllaFinestra(std::function<void(frmRicValBase&)> azione)
    {
        QTimer::singleShot(0, f, [this, azione] {
            frmRicValBase* w = f->FinestraValori();
            if (!w || !w->isVisible()) {
                AllaFinestra(azione);  // not open yet
                return;
            }
            azione(*w);
        });
    }
    void Idle()
    {
        QVERIFY(f->ComOk->isVisible());
        QVERIFY(f->ComAnnulla->isVisible());
        QVERIFY(!f->ComStop->isVisible());
        QVERIFY(f->dbgQuiva->isEnabled());
        QCOMPARE(StatoElaborazione.load(), Stato::Inattivo);
        QVERIFY(!f->Progresso()->isVisible());
    }

private slots:
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30), Data VARCHAR(20), "
                           "Causale VARCHAR(10), Numero VARCHAR(10), Nota VARCHAR(10))"));
        messaggi = std::make_unique<RisposteScriptate>();
        StatoElaborazione.store(Stato::Inattivo);
    }
    void cleanup()
    {
        if (f) {
            f->close();
            delete f;
        }
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void grigliaESelezioneInOrdine()
    {
        for (const char* c : {"A", "B", "C"})
            Definizione(QLatin1String(c), cartella->filePath(QStringLiteral("manca.txt")), {}, false);
        Apri();
        QCOMPARE(f->windowTitle(), QStringLiteral("Quivamento dati"));
        QCOMPARE(f->ComOk->text(), QStringLiteral("&Quiva"));
        QCOMPARE(f->ComAnnulla->text(), QStringLiteral("&Esci"));
        QCOMPARE(f->dbgQuiva->model()->rowCount(), 3);
        QVERIFY(!f->ComStop->isVisible());

        Clic(QStringLiteral("C"), false);
        Clic(QStringLiteral("A"));
        Clic(QStringLiteral("B"));
        QCOMPARE(Selezionati(), (QStringList {"C", "A", "B"}));
        Clic(QStringLiteral("A"));  // taken out again
        QCOMPARE(Selezionati(), (QStringList {"C", "B"}));
        Clic(QStringLiteral("A"));
        QCOMPARE(Selezionati(), (QStringList {"C", "B", "A"}));

        // Definitions without fields are skipped, in selection order, and
        // leave the selection.
        f->ComOk->click();
        QCOMPARE(Avvisi(messaggi->Testi()),
                 (QStringList {"Nessun dettaglio per il codice C", "Nessun dettaglio per il codice B",
                               "Nessun dettaglio per il codice A",
                               "Elaborazione interrotta: errori nelle definizioni C, B, A"}));
        QVERIFY(f->Selezione().isEmpty());
        Idle();
    }

    void nessunaSelezione()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\n"));
        Apri();
        f->ComOk->click();
        QCOMPARE(messaggi->Testi(), QStringList {"Nessuna file selezionato da quivare"});
        QCOMPARE(messaggi->messaggi.first().risposte, QStringList {"&Ok"});
        QVERIFY(Righe(QStringLiteral("SELECT * FROM Art")).isEmpty());
        Idle();
    }

    void secondaIlleggibileEConteggioErrori()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\nA8;\nA2;Due\nA9;\n"));
        Definizione(QStringLiteral("B"), File(QStringLiteral("b.txt"), "B1;Uno\n"), {}, false);
        Definizione(QStringLiteral("C"), File(QStringLiteral("c.txt"), "C7;\nC8;\nC1;Tre\nC9;\n"));
        Apri();
        Clic(QStringLiteral("A"));
        Clic(QStringLiteral("B"));
        Clic(QStringLiteral("C"));
        f->ComOk->click();
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Art ORDER BY Codice")), (QStringList {"A1", "A2", "C1"}));
        const QStringList testi = messaggi->Testi();
        QCOMPARE(testi.size(), 2);
        QCOMPARE(testi[0], QStringLiteral("Nessun dettaglio per il codice B"));
        QCOMPARE(Avvisi(testi)[1], QStringLiteral("Elaborazione interrotta: errore nella definizione B\n"
                                                  "5 errori memorizzati nell'archivio 'ErroriQuivamento'"));
        // The summary under the notice: 4 lines of A, 2 of them rejected.
        QVERIFY2(testi[1].contains(QStringLiteral("\n\nA: terminata in ")), qPrintable(testi[1]));
        QVERIFY(testi[1].contains(QStringLiteral("  4 righe lette, 2 accettate, 2 scartate, 2 errori\n")));
        QVERIFY(testi[1].contains(QStringLiteral("\nB: non eseguita: definizione non trovata o non valida\n")));
        QCOMPARE(messaggi->messaggi.last().risposte, QStringList {"&Ok"});
        QVERIFY(f->Selezione().isEmpty());
        Idle();
    }

    void interruzioneConfermataDuranteLaPrima()
    {
        QByteArray molte;
        for (int i = 0; i < 2000; ++i)
            molte += "A" + QByteArray::number(i) + ";riga\n";
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), molte));
        Definizione(QStringLiteral("B"), File(QStringLiteral("b.txt"), "B1;Uno\n"));
        Definizione(QStringLiteral("C"), File(QStringLiteral("c.txt"), "C1;Uno\n"));
        Apri();
        Clic(QStringLiteral("A"));
        Clic(QStringLiteral("B"));
        Clic(QStringLiteral("C"));

        bool occupato = false;
        messaggi->AccodaRisposta(2);  // first "No": the load goes on
        messaggi->AccodaRisposta(1);  // then "Si"
        AlMessaggio alCaricamento(*f, QStringLiteral("Quivamento A"), [&] {
            occupato = f->ComStop->isVisible() && !f->ComOk->isVisible() && !f->dbgQuiva->isEnabled()
                && StatoElaborazione.load() == Stato::InCorso;
            f->Progresso()->hide();
            f->ComStop->click();
            QVERIFY(f->Progresso()->isVisible());  // "No" brings the progress back
            QCOMPARE(StatoElaborazione.load(), Stato::InCorso);
            f->ComStop->click();
        });
        f->ComOk->click();
        QVERIFY(occupato);
        QCOMPARE(messaggi->messaggi[0].testo, QStringLiteral("Confermi Interruzione Quivamento"));
        QCOMPARE(messaggi->messaggi[0].risposte, (QStringList {"&Si", "&No"}));
        QCOMPARE(Avvisi(messaggi->Testi()).last(), QStringLiteral("Elaborazione interrotta dall'utente"));
        QVERIFY(messaggi->Testi().last().endsWith(QStringLiteral("\nB: non eseguita\nC: non eseguita")));
        QVERIFY(Righe(QStringLiteral("SELECT Codice FROM Art")).size() < 2000);
        QVERIFY(Righe(QStringLiteral("SELECT Codice FROM Art WHERE Codice IN ('B1','C1')")).isEmpty());
        QCOMPARE(Selezionati(), (QStringList {"B", "C"}));
        Idle();
    }

    void chiusuraRifiutataDuranteIlCaricamento()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\nA2;Due\n"));
        Apri();
        Clic(QStringLiteral("A"));
        bool rifiutata = false;
        AlMessaggio alCaricamento(*f, QStringLiteral("Quivamento A"), [&] {
            f->Progresso()->hide();
            rifiutata = !f->close() && f->isVisible() && f->Progresso()->isVisible();
        });
        f->ComOk->click();
        QVERIFY(rifiutata);
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Art ORDER BY Codice")), (QStringList {"A1", "A2"}));
        QCOMPARE(Avvisi(messaggi->Testi()), QStringList {Terminata});
        Idle();
        QVERIFY(f->close());  // idle again: it closes
    }

    void richiesteDiDueDefinizioniInUnaFinestra()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\nA2;Due\n"),
                    {{"Data", QString::fromUtf8("§Data")}, {"Causale", QString::fromUtf8("§ Causale §  VEN ")}});
        Definizione(QStringLiteral("B"), File(QStringLiteral("b.txt"), "B1;X\nB2;X\nB3;Y\n"),
                    {{"Numero", QString::fromUtf8("§#2#Numero§100")}, {"Nota", QString::fromUtf8("§Nota§n")}});
        Apri();
        Clic(QStringLiteral("A"));
        Clic(QStringLiteral("B"));

        QStringList etichette, proposte;
        int visibili = 0;
        AllaFinestra([&](frmRicValBase& w) {
            for (int r = 0; r < frmRicValBase::RighePagina; ++r) {
                if (!w.txt[r]->isVisible())
                    continue;
                ++visibili;
                etichette << w.Lab[r]->text();
                proposte << w.txt[r]->text();
            }
            QVERIFY(!w.ComAvanti->isVisible());
            w.txt[0]->setFocus();
            QTest::keyClicks(w.txt[0], QStringLiteral("01/02/2024"));
            w.txt[2]->clear();
            QTest::keyClicks(w.txt[2], QStringLiteral("500"));
            w.ComOk->click();
        });
        VoceValore numero;
        int voci = 0;
        AlMessaggio alCaricamento(*f, QStringLiteral("Quivamento B"), [&] {
            voci = f->ValDefault()->Numero();
            numero = *f->ValDefault()->Trova(QStringLiteral("B.Numero"));
        });
        f->ComOk->click();

        QCOMPARE(visibili, 4);
        QCOMPARE(etichette, (QStringList {"Data:", "Causale:", "Numero:", "Nota:"}));
        QCOMPARE(proposte, (QStringList {"", "VEN", "100", "n"}));
        QCOMPARE(voci, 4);
        QCOMPARE(numero.contatoreIniziale, 500.0);
        QCOMPARE(numero.rottura, QVariant(QStringLiteral("2")));
        QCOMPARE(numero.segnoContatore, ValueStore::SegnoContatoreAttivo);
        QCOMPARE(
            Righe(QStringLiteral("SELECT Codice, Data, Causale, Numero, Nota FROM Art ORDER BY Codice")),
            (QStringList {"A1|01/02/2024|VEN||", "A2|01/02/2024|VEN||", "B1|||501|n", "B2|||502|n", "B3|||501|n"}));
        QCOMPARE(Avvisi(messaggi->Testi()), QStringList {Terminata});
        QVERIFY(!f->FinestraValori());
        QVERIFY(!f->ValDefault());  // released with the run
        Idle();
    }

    // The prompt window has the program's keyboard: keypad comma, Enter to
    // the next answer and then on "&Ok", Escape cancels nothing.
    void tastieraDellaFinestraValori()
    {
        Programma programma(*messaggi, *messaggi);
        programma.generali.tastierinoVirgola = QStringLiteral("S");
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\n"),
                    {{"Numero", QString::fromUtf8("§Importo")}, {"Nota", QString::fromUtf8("§Nota")}});
        Apri();
        Clic(QStringLiteral("A"));
        bool ancoraAperta = false;
        AllaFinestra([&](frmRicValBase& w) {
            QApplication::setActiveWindow(&w);
            w.txt[0]->setFocus();
            QTRY_VERIFY(w.txt[0]->hasFocus());
            QTest::keyClicks(w.txt[0], QStringLiteral("12"));
            QTest::keyClick(w.txt[0], Qt::Key_Period, Qt::KeypadModifier);
            QTest::keyClick(w.txt[0], Qt::Key_5, Qt::KeypadModifier);
            QTest::keyClick(w.txt[0], Qt::Key_Escape);
            ancoraAperta = w.isVisible();
            QTest::keyClick(w.txt[0], Qt::Key_Return);
            QTest::keyClicks(w.txt[1], QStringLiteral("x"));
            QTest::keyClick(w.txt[1], Qt::Key_Return);
            QTest::keyClick(w.ComOk, Qt::Key_Return);
        });
        f->ComOk->click();
        QVERIFY(ancoraAperta);
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Numero, Nota FROM Art")), QStringList {"A1|12,5|x"});
        Idle();
    }

    // The menu's "fine" while the prompts are on screen: answered, and no
    // window opened by the question; none left after the click.
    void fineDalMenuDuranteLeRichieste()
    {
        Programma programma(*messaggi, *messaggi);
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\n"),
                    {{"Data", QString::fromUtf8("§Data")}});
        Apri();
        Clic(QStringLiteral("A"));
        QString risposta;
        bool progressoVisto = true;
        bool chiusa = true;
        AllaFinestra([&](frmRicValBase& w) {
            risposta = programma.ControlloFine();
            chiusa = f->close();
            progressoVisto = f->Progresso()->isVisible();
            w.ComAnnulla->click();
        });
        f->ComOk->click();
        QCOMPARE(risposta, QStringLiteral("Quivamento in corso"));
        QVERIFY(!chiusa);
        QVERIFY(!progressoVisto);
        Idle();
        QCOMPARE(programma.ControlloFine(), QString());
        programma.maschere.clear();
    }

    // A counter answer that is not a whole number is refused and the
    // window stays open on it.
    void contatoreNonInteroRifiutato()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\nA2;Due\n"),
                    {{"Numero", QString::fromUtf8("§#1#Numero§1")}});
        Apri();
        Clic(QStringLiteral("A"));
        bool rimastaAperta = false;
        bool selezionata = false;
        AllaFinestra([&](frmRicValBase& w) {
            w.txt[0]->setText(QStringLiteral("1O"));
            w.ComOk->click();
            rimastaAperta = w.isVisible() && !w.obOk;
            selezionata = w.txt[0]->selectedText() == QStringLiteral("1O");
            w.txt[0]->setText(QStringLiteral("7"));
            w.ComOk->click();
        });
        f->ComOk->click();
        QVERIFY(rimastaAperta);
        QVERIFY(selezionata);
        QCOMPARE(
            Avvisi(messaggi->Testi()),
            (QStringList {QStringLiteral("Il valore di partenza di \"Numero\" deve essere un numero intero: \"1O\""),
                          Terminata}));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Numero FROM Art ORDER BY Codice")),
                 (QStringList {"A1|8", "A2|8"}));
        Idle();
    }

    void annullaNonCaricaNulla()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\n"),
                    {{"Data", QString::fromUtf8("§Data")}});
        Apri();
        Clic(QStringLiteral("A"));
        AllaFinestra([](frmRicValBase& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Richiesta Valori Base"));
            QCOMPARE(w.LabTitolo->text(), QStringLiteral("Inserire i valori richiesti"));
            QCOMPARE(w.ComAnnulla->text(), QStringLiteral("&Annulla"));
            w.ComAnnulla->click();
        });
        f->ComOk->click();
        QVERIFY(messaggi->Testi().isEmpty());
        QVERIFY(Righe(QStringLiteral("SELECT * FROM Art")).isEmpty());
        QCOMPARE(Selezionati(), QStringList {"A"});
        QVERIFY(!f->ValDefault());
        Idle();
    }

    void piuDiDieciRichiesteTutteMemorizzate()
    {
        Sql(QStringLiteral("CREATE TABLE Molti (Codice VARCHAR(10) PRIMARY KEY, %1)").arg([] {
            QStringList c;
            for (int i = 1; i <= 12; ++i)
                c << QStringLiteral("V%1 VARCHAR(10)").arg(i);
            return c.join(QStringLiteral(", "));
        }()));
        QList<QPair<QString, QString>> richieste;
        for (int i = 1; i <= 12; ++i)
            richieste << qMakePair(QStringLiteral("V%1").arg(i), QString::fromUtf8("§Valore %1§p%1").arg(i));
        Definizione(QStringLiteral("M"), File(QStringLiteral("m.txt"), "M1;x\n"), richieste);
        Sql(QStringLiteral("UPDATE QuivaFile SET Tabella = 'Molti' WHERE Codice = 'M'"));
        Sql(QStringLiteral("DELETE FROM QuivaDettaglio WHERE Codice = 'M' AND NomeCampo = 'Descr'"));
        Apri();
        Clic(QStringLiteral("M"));
        QStringList pagine;
        AllaFinestra([&](frmRicValBase& w) {
            pagine << w.LabPagina->text() << w.Lab[9]->text();
            w.txt[0]->setText(QStringLiteral("uno"));
            w.ComAvanti->click();
            pagine << w.LabPagina->text() << w.Lab[0]->text() << w.Lab[1]->text();
            QVERIFY(!w.txt[2]->isVisible());
            QVERIFY(!w.ComAvanti->isEnabled());
            w.txt[1]->setText(QStringLiteral("dodici"));
            w.ComIndietro->click();
            pagine << w.txt[0]->text();
            w.ComOk->click();
        });
        f->ComOk->click();
        QCOMPARE(pagine,
                 (QStringList {"Pagina 1 di 2", "Valore 10:", "Pagina 2 di 2", "Valore 11:", "Valore 12:", "uno"}));
        QCOMPARE(Righe(QStringLiteral("SELECT * FROM Molti")),
                 QStringList {"M1|uno|p2|p3|p4|p5|p6|p7|p8|p9|p10|p11|dodici"});
        Idle();
    }

    void contatoreSenzaChiusuraNonParte()
    {
        Definizione(QStringLiteral("A"), File(QStringLiteral("a.txt"), "A1;Uno\n"),
                    {{"Numero", QString::fromUtf8("§#2Numero§1")}});
        Apri();
        Clic(QStringLiteral("A"));
        f->ComOk->click();
        const QStringList testi = messaggi->Testi();
        QCOMPARE(testi.size(), 1);
        QVERIFY(testi[0].contains(QStringLiteral("Definizione A")));
        QVERIFY(testi[0].contains(QStringLiteral("campo Numero")));
        QVERIFY(Righe(QStringLiteral("SELECT * FROM Art")).isEmpty());
        Idle();
    }
};

QTEST_MAIN(ProvaSchermi)
#include "qtest_schermi.moc"
