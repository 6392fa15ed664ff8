// The error review and the batch screens driven through their controls; the
// message window answers from a script.
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "ModelloRecordset.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "TabelleQuiva.h"
#include "frmBatchSelez.h"
#include "frmBatchSelezDett.h"
#include "frmVerErrori.h"

#include <QComboBox>
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
#include <memory>

class ProvaErroriBatch : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    QPointer<frmVerErrori> errori;
    QPointer<frmBatchSelez> batch;

    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql); }
    ContestoQuiva Contesto() { return {*db, *messaggi, ImpostazioniDitta {}, {}, cartella->path(), false}; }
    void ApriErrori()
    {
        errori = new frmVerErrori(Contesto());
        QVERIFY(MostraMaschera(errori, QStringLiteral("K1"), {}, {}, {}));
        QCOMPARE(errori->oiLoadOk, 1);
        QVERIFY(QTest::qWaitForWindowExposed(errori));
    }
    void ApriBatch()
    {
        batch = new frmBatchSelez(Contesto());
        QVERIFY(MostraMaschera(batch, QStringLiteral("K2"), {}, {}, {}));
        QCOMPARE(batch->oiLoadOk, 1);
        QVERIFY(QTest::qWaitForWindowExposed(batch));
    }
    QStringList Combo()
    {
        QStringList voci;
        for (int i = 0; i < errori->CobCodice->count(); ++i)
            voci << errori->CobCodice->itemText(i);
        return voci;
    }
    // Types a code in the combo and leaves it with Tab.
    void Scrivi(const QString& codice)
    {
        errori->CobCodice->setFocus();
        errori->CobCodice->lineEdit()->selectAll();
        QTest::keyClicks(errori->CobCodice->lineEdit(), codice);
        QTest::keyClick(errori->CobCodice->lineEdit(), Qt::Key_Tab);
    }
    QStringList Griglia(QTableView* griglia, const QString& colonna)
    {
        auto* modello = static_cast<ModelloRecordset*>(griglia->model());
        QStringList valori;
        for (int r = 0; r < modello->rowCount(); ++r)
            valori << modello->Valore(r, colonna);
        return valori;
    }
    void Clic(QTableView* griglia, int riga, int colonna, bool doppio = false)
    {
        const QModelIndex i = griglia->model()->index(riga, colonna);
        const QPoint punto = griglia->visualRect(i).center();
        if (doppio)
            QTest::mouseDClick(griglia->viewport(), Qt::LeftButton, {}, punto);
        else
            QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {}, punto);
    }
    // The cell editor open in a grid (closed ones wait to be deleted).
    static QLineEdit* Editor(QTableView* griglia)
    {
        for (auto* editor : griglia->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    void Definizione(const QString& codice, const QString& batchFlag)
    {
        Sql(QStringLiteral(
                "INSERT INTO QuivaFile (Codice, Descrizione, Tabella, Batch) VALUES ('%1', 'Prova %1', 'Art', '%2')")
                .arg(codice, batchFlag));
        Sql(QStringLiteral(
                "INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, NumCampo) VALUES ('%1', '1', 'Codice', '1')")
                .arg(codice));
    }

private slots:
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        messaggi = std::make_unique<RisposteScriptate>();
    }
    void cleanup()
    {
        for (QPointer<Maschera> m : {QPointer<Maschera>(errori), QPointer<Maschera>(batch)})
            if (m) {
                m->close();
                delete m;
            }
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void tabellaErroriVuota()
    {
        ApriErrori();
        QCOMPARE(errori->windowTitle(), QStringLiteral("Errori Quivamento dati"));
        QCOMPARE(Combo(), QStringList {"NessunaScelta"});
        QCOMPARE(errori->LabRighe->text(), QStringLiteral("0 righe scartate"));
        QCOMPARE(errori->dbgErrori->model()->columnCount(), 3);  // an empty grid keeps its headers
        QVERIFY(!errori->ComSalva->isEnabled());

        errori->comOk->click();
        errori->CobCodice->setCurrentIndex(0);
        emit errori->CobCodice->activated(0);
        QCOMPARE(errori->dbgErrori->model()->rowCount(), 0);
        errori->comOk->click();
        QCOMPARE(messaggi->Testi(),
                 (QStringList {"Manca il codice di quivamento", "Nessun quivamento ha registrato degli errori"}));
    }

    void codiciInOrdineECancellazione()
    {
        Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('B', 'b1', 'e1'), ('A', 'a1', 'e2'), "
                           "('L''ART', 'x;1', 'e3'), ('L''ART', 'x;1', 'e4'), ('L''ART', 'y;2', 'e5')"));
        ApriErrori();
        QCOMPARE(Combo(), (QStringList {"A", "B", "L'ART"}));

        // Typed with its apostrophe, in lower case, and left with Tab.
        Scrivi(QStringLiteral("l'art"));
        QCOMPARE(Griglia(errori->dbgErrori, QStringLiteral("Errore")), (QStringList {"e3", "e4", "e5"}));
        // Two lines, one of them rejected twice: the count says both.
        QCOMPARE(errori->LabRighe->text(), QStringLiteral("2 righe scartate (3 errori)"));
        QCOMPARE(errori->dbgErrori->model()->columnCount(), 3);
        QCOMPARE(errori->dbgErrori->editTriggers(), QAbstractItemView::NoEditTriggers);

        messaggi->AccodaRisposta(2);  // "&Annulla": nothing deleted
        errori->comOk->click();
        QCOMPARE(messaggi->messaggi.last().testo, QStringLiteral("Confermi cancellazione messaggi di errore"));
        QCOMPARE(messaggi->messaggi.last().risposte, (QStringList {"&Ok", "&Annulla"}));
        QCOMPARE(Righe(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")), QStringList {"5"});

        messaggi->AccodaRisposta(1);
        errori->comOk->click();
        QCOMPARE(Righe(QStringLiteral("SELECT Tabella FROM ErroriQuivamento ORDER BY Tabella")),
                 (QStringList {"A", "B"}));
        QCOMPARE(errori->dbgErrori->model()->rowCount(), 0);
        QCOMPARE(errori->dbgErrori->model()->columnCount(), 3);
        QCOMPARE(errori->LabRighe->text(), QStringLiteral("0 righe scartate"));
        QCOMPARE(Combo(), (QStringList {"A", "B", "L'ART"}));  // listed until the screen opens again

        Scrivi(QStringLiteral("NONCE"));
        QCOMPARE(errori->dbgErrori->model()->rowCount(), 0);
    }

    void righeScartateSalvate()
    {
        QFile sorgente(cartella->filePath(QStringLiteral("art.txt")));
        QVERIFY(sorgente.open(QIODevice::WriteOnly));
        sorgente.write("1;ok\r\n2;citt\xe0\r\n");
        sorgente.close();
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Tabella, Origine) VALUES ('ART', 'Art', 'art.txt')"));
        Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', '2;citt\u00e0', 'e')"));
        ApriErrori();
        QString proposta;
        const QString scelto = cartella->filePath(QStringLiteral("scelto.txt"));
        errori->ChiediFile = [&](const QString& p) {
            proposta = p;
            return scelto;
        };
        QVERIFY(!errori->ComSalva->isEnabled());
        errori->ComSalva_Click();  // reached anyway
        QCOMPARE(messaggi->Testi(), QStringList {"Nessuna riga scartata da salvare"});

        Scrivi(QStringLiteral("ART"));
        QVERIFY(errori->ComSalva->isEnabled());
        QTest::mouseClick(errori->ComSalva, Qt::LeftButton);
        QCOMPARE(proposta, cartella->filePath(QStringLiteral("ART_scarti.txt")));
        QFile salvato(scelto);
        QVERIFY(salvato.open(QIODevice::ReadOnly));
        QCOMPARE(salvato.readAll(), QByteArray("2;citt\xe0\r\n"));
        QCOMPARE(messaggi->Testi().last(), QStringLiteral("1 riga salvata in ") + scelto);
        QCOMPARE(errori->LabRighe->text(), QStringLiteral("1 riga scartata"));
    }

    void sceltaBatchSoloSoN()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("N"));
        Definizione(QStringLiteral("B"), QStringLiteral("S"));
        ApriBatch();
        QCOMPARE(batch->windowTitle(), frmBatchSelez::Caption);
        QCOMPARE(Griglia(batch->dbgQuiva, QStringLiteral("Quiva")), (QStringList {"N", "S"}));
        auto* modello = batch->dbgQuiva->model();
        QVERIFY(modello->flags(modello->index(0, 0)) & Qt::ItemIsEditable);
        for (int c = 1; c < modello->columnCount(); ++c)
            QVERIFY(!(modello->flags(modello->index(0, c)) & Qt::ItemIsEditable));

        // Typed on the cell, confirmed with Enter.
        Clic(batch->dbgQuiva, 0, 1);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_Left);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_S);
        auto* editor = Editor(batch->dbgQuiva);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(Righe(QStringLiteral("SELECT Batch FROM QuivaFile WHERE Codice = 'A'")), QStringList {"S"});

        Clic(batch->dbgQuiva, 1, 1);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_Left);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_X);
        editor = Editor(batch->dbgQuiva);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(messaggi->Mostrato(QStringLiteral("Inserire S o N")));
        QCOMPARE(Righe(QStringLiteral("SELECT Batch FROM QuivaFile WHERE Codice = 'B'")), QStringList {"S"});
        // Still editing what was typed.
        QTRY_VERIFY(Editor(batch->dbgQuiva) && Editor(batch->dbgQuiva)->text() == QLatin1String("X"));
    }

    // Enter stores the cell and keeps it current: the next Down goes to the
    // row below, not back to the first.
    void invioRestaSullaCella()
    {
        Definizione(QStringLiteral("B"), QStringLiteral("S"));
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, [Default], CostBatch) VALUES "
                           "('B', '2', 'Causale', '\u00a7Causale', 'VEN'), ('B', '3', 'Pagamento', '\u00a7Pag', 'RB'), "
                           "('B', '4', 'Zona', '\u00a7Zona', 'N')"));
        ApriBatch();
        Clic(batch->dbgQuiva, 0, 1);
        QTest::mouseClick(batch->comDettagli, Qt::LeftButton);
        QPointer<frmBatchSelezDett> dettaglio = batch->Dettaglio();
        QVERIFY(dettaglio && QTest::qWaitForWindowExposed(dettaglio));
        QApplication::setActiveWindow(dettaglio);
        QTableView* griglia = dettaglio->dbgQuiva;
        Clic(griglia, 1, 0);
        // The cell opens for typing as it becomes current.
        for (const char* valore : {"BB", "SUD"}) {
            QLineEdit* editor = Editor(griglia);
            QVERIFY(editor && editor->hasFocus());
            editor->selectAll();
            QTest::keyClicks(editor, QLatin1String(valore));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!Editor(griglia));
            QVERIFY(griglia->hasFocus());
            QTest::keyClick(griglia, Qt::Key_Down);
        }
        QCOMPARE(Griglia(griglia, QStringLiteral("CostBatch")), (QStringList {"VEN", "BB", "SUD"}));
        QCOMPARE(griglia->currentIndex().row(), 2);
        QTest::mouseClick(dettaglio->ComOk, Qt::LeftButton);
        QTRY_VERIFY(!dettaglio);
        QCOMPARE(Righe(QStringLiteral(
                     "SELECT CostBatch FROM QuivaDettaglio WHERE Codice = 'B' AND OrdCampo > '1' ORDER BY OrdCampo")),
                 (QStringList {"VEN", "BB", "SUD"}));

        // The same on the batch grid itself.
        QApplication::setActiveWindow(batch);
        Clic(batch->dbgQuiva, 0, 1);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_Left);
        QTest::keyClick(batch->dbgQuiva, Qt::Key_N);
        QLineEdit* editor = Editor(batch->dbgQuiva);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!Editor(batch->dbgQuiva));
        QCOMPARE(batch->dbgQuiva->currentIndex().row(), 0);
        QCOMPARE(batch->dbgQuiva->currentIndex().column(), 0);
        QVERIFY(batch->dbgQuiva->hasFocus());
        QCOMPARE(Righe(QStringLiteral("SELECT Batch FROM QuivaFile WHERE Codice = 'B'")), QStringList {"N"});
    }

    void dettagliDeiCampiRichiesti()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("N"));
        Definizione(QStringLiteral("B"), QStringLiteral("S"));
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, [Default], CostBatch) VALUES "
                           "('B', '2', 'Causale', '\u00a7Causale\u00a7VEN', 'VEN'), ('B', '3', 'Nota', 'fisso', '')"));
        ApriBatch();
        Clic(batch->dbgQuiva, 0, 1);
        QVERIFY(!batch->comDettagli->isEnabled());
        batch->comDettagli_Click();  // reached anyway
        QCOMPARE(messaggi->Testi(),
                 QStringList {"Non ci sono valori costanti da inserire per il quivamento di questo file"});
        QVERIFY(!batch->Dettaglio());

        Clic(batch->dbgQuiva, 1, 1);
        QVERIFY(batch->comDettagli->isEnabled());
        QTest::mouseClick(batch->comDettagli, Qt::LeftButton);
        QPointer<frmBatchSelezDett> dettaglio = batch->Dettaglio();
        QVERIFY(dettaglio);
        batch->comDettagli_Click();  // a second press opens nothing more
        QCOMPARE(batch->Dettaglio(), dettaglio.data());
        QVERIFY(!batch->isEnabled());
        QCOMPARE(batch->oiInDett, 1);
        QVERIFY(!batch->close());  // it waits for its detail screen

        QCOMPARE(Griglia(dettaglio->dbgQuiva, QStringLiteral("NomeCampo")), QStringList {"Causale"});
        QCOMPARE(Griglia(dettaglio->dbgQuiva, QStringLiteral("Richiesta")), QStringList {"\u00a7Causale\u00a7VEN"});
        auto* modello = dettaglio->dbgQuiva->model();
        QVERIFY(modello->setData(modello->index(0, 0), QStringLiteral("ACQ")));
        QCOMPARE(Righe(QStringLiteral("SELECT CostBatch FROM QuivaDettaglio WHERE NomeCampo = 'Causale'")),
                 QStringList {"ACQ"});
        QVERIFY(!modello->setData(modello->index(0, 1), QStringLiteral("Altro")));  // locked

        QTest::mouseClick(dettaglio->ComOk, Qt::LeftButton);
        QTRY_VERIFY(!dettaglio);
        QVERIFY(batch->isEnabled());
        QCOMPARE(batch->oiInDett, -1);
        QTest::mouseClick(batch->ComOk, Qt::LeftButton);
        QTRY_VERIFY(!batch);
    }
};

QTEST_MAIN(ProvaErroriBatch)
#include "qtest_errori_batch.moc"
