// What a person reads and drives on the load screens: whole captions and
// widths that are kept, Enter and Tab in the load dialog, one Alt letter per
// button, prompts that name their definition, the progress of the final
// queries, and the message, help and file windows.
#include "ColonneGriglia.h"
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "RisposteScriptate.h"
#include "SceltaFile.h"
#include "SqlProva.h"
#include "StatoElaborazione.h"
#include "StileFuoco.h"
#include "TabelleQuiva.h"
#include "TraduzioniQt.h"
#include "frmAiuto.h"
#include "frmBatchSelez.h"
#include "frmMsgCom.h"
#include "frmQuivInElab.h"
#include "frmQuiva.h"
#include "frmRicValBase.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// With QUIVA_SCHERMATE naming a folder, the windows the tests show are saved
// there as pictures, to be looked at.
void Fotografa(QWidget* finestra, const QString& nome)
{
    const QString cartella = qEnvironmentVariable("QUIVA_SCHERMATE");
    if (!cartella.isEmpty())
        finestra->grab().save(cartella + QLatin1Char('/') + nome + QStringLiteral(".png"));
}

// The Alt letters of the visible buttons of a window, one per button.
QStringList LettereAlt(QWidget* finestra)
{
    QStringList lettere;
    for (QAbstractButton* pulsante : finestra->findChildren<QAbstractButton*>()) {
        const QString testo = pulsante->text();
        const qsizetype e = testo.indexOf(QLatin1Char('&'));
        if (pulsante->isVisibleTo(finestra) && e >= 0 && e + 1 < testo.size())
            lettere << testo.at(e + 1).toUpper();
    }
    return lettere;
}

// Runs azione on the first visible top-level window of the given kind.
template <typename T> void AllaFinestra(std::function<void(T&)> azione)
{
    QTimer::singleShot(0, [azione] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* finestra = qobject_cast<T*>(w); finestra && finestra->isVisible()) {
                azione(*finestra);
                return;
            }
        AllaFinestra<T>(azione);
    });
}

}  // namespace

class ProvaLeggibilita : public QObject {
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
    ContestoQuiva Contesto() { return {*db, *messaggi, ImpostazioniDitta {}, {}, cartella->path(), false}; }
    void Apri()
    {
        f = new frmQuiva(Contesto());
        QVERIFY(MostraMaschera(f, QStringLiteral("K1"), {}, {}, {}));
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }
    void Chiudi()
    {
        if (f) {
            f->close();
            delete f;
        }
    }
    // A definition of Art with a key field and the prompts given.
    void Definizione(const QString& codice, const QString& descrizione, const QStringList& richieste = {})
    {
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Descrizione, Tabella, Origine, Separatore, Tipo) "
                           "VALUES ('%1', '%2', 'Art', 'art.txt', ';', 'S')")
                .arg(codice, descrizione));
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, NumCampo) "
                           "VALUES ('%1', '1', 'Codice', '1')")
                .arg(codice));
        int n = 2;
        for (const QString& richiesta : richieste) {
            QSqlQuery q(db->Database());
            q.prepare(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, [Default]) "
                                     "VALUES (?, ?, ?, ?)"));
            q.addBindValue(codice);
            q.addBindValue(QString::number(n));
            q.addBindValue(QStringLiteral("Campo%1").arg(n++));
            q.addBindValue(richiesta);
            QVERIFY(q.exec());
        }
    }
    void Seleziona(const QStringList& codici)
    {
        QTableView* griglia = f->dbgQuiva;
        for (int r = 0; r < griglia->model()->rowCount(); ++r)
            if (codici.contains(f->ValoreRiga(r, QStringLiteral("Codice"))))
                QTest::mouseClick(griglia->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  griglia->visualRect(griglia->model()->index(r, 1)).center());
    }
    static int Colonna(QTableView* griglia, const QString& nome)
    {
        for (int c = 0; c < griglia->model()->columnCount(); ++c)
            if (griglia->model()->headerData(c, Qt::Horizontal, ColonneGriglia::RuoloNome).toString() == nome)
                return c;
        return -1;
    }
    // Every caption of a grid is whole at its column's width.
    static void DidascalieIntere(QTableView* griglia)
    {
        const QFontMetrics metrica(griglia->horizontalHeader()->font());
        for (int c = 0; c < griglia->model()->columnCount(); ++c) {
            if (griglia->isColumnHidden(c))
                continue;
            const QString didascalia = griglia->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(griglia->columnWidth(c) >= metrica.horizontalAdvance(didascalia),
                     qPrintable(didascalia + QStringLiteral(" cut")));
        }
    }

private slots:
    void initTestCase()
    {
        // The widths a user sets go to a settings file of the test's own.
        static QTemporaryDir impostazioni;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, impostazioni.path());
        UsaStileFuoco();
    }
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Nota VARCHAR(200))"));
        messaggi = std::make_unique<RisposteScriptate>();
        StatoElaborazione.store(Stato::Inattivo);
    }
    void cleanup()
    {
        Chiudi();
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void didascalieIntereELarghezzeRicordate()
    {
        const QString lunga = QStringLiteral("Prova richiesta di carico");
        Definizione(QStringLiteral("ARTICOLIX"), lunga);
        Apri();
        QTableView* griglia = f->dbgQuiva;
        DidascalieIntere(griglia);
        const int salta = Colonna(griglia, QStringLiteral("SaltaInizio"));
        QCOMPARE(griglia->model()->headerData(salta, Qt::Horizontal).toString(), QStringLiteral("Righe da Saltare"));
        // A value starts whole when it is not very long.
        const int descrizione = Colonna(griglia, QStringLiteral("Descrizione"));
        QVERIFY(griglia->columnWidth(descrizione) >= griglia->fontMetrics().horizontalAdvance(lunga));
        QCOMPARE(griglia->model()->index(0, descrizione).data(Qt::ToolTipRole).toString(), lunga);
        Fotografa(f, QStringLiteral("frmQuiva"));

        // The width a user drags is the one the screen opens with next time.
        const int origine = Colonna(griglia, QStringLiteral("Origine"));
        griglia->horizontalHeader()->resizeSection(origine, 333);
        Chiudi();
        Apri();
        QVERIFY(qAbs(f->dbgQuiva->columnWidth(origine) - 333) <= 1);
        Chiudi();

        // The batch screen shows whole codes too.
        auto* batch = new frmBatchSelez(Contesto());
        QVERIFY(MostraMaschera(batch, QStringLiteral("K2"), {}, {}, {}));
        QTableView* righe = batch->dbgQuiva;
        DidascalieIntere(righe);
        QVERIFY(righe->columnWidth(Colonna(righe, QStringLiteral("Codice")))
                >= righe->fontMetrics().horizontalAdvance(QStringLiteral("ARTICOLIX")));
        batch->close();
        delete batch;
    }

    void invioETabEsconoDallaGriglia()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Prima"));
        Definizione(QStringLiteral("B"), QStringLiteral("Seconda"));
        Apri();
        f->dbgQuiva->setFocus();
        QTest::keyClick(f->dbgQuiva, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f->ComOk);
        // The button moved to by Enter shows its focus mark.
        QVERIFY(f->testAttribute(Qt::WA_KeyboardFocusChange));
        Fotografa(f, QStringLiteral("frmQuiva-fuoco"));
        f->dbgQuiva->setFocus();
        QTest::keyClick(f->dbgQuiva, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != f->dbgQuiva);
    }

    void finestraValoriLettereUnicheEDefinizioni()
    {
        QStringList dodici;
        for (int i = 1; i <= 11; ++i)
            dodici << QStringLiteral("§Valore %1").arg(i);
        const QString lunga = QStringLiteral("§Causale di magazzino da usare per tutti i movimenti caricati oggi, "
                                             "compresi quelli dei depositi esterni e dei conti lavoro§VEN");
        Definizione(QStringLiteral("A"), QStringLiteral("Prima"), dodici);
        Definizione(QStringLiteral("B"), QStringLiteral("Seconda"), {lunga});
        Apri();
        Seleziona({QStringLiteral("A"), QStringLiteral("B")});
        QStringList lettere, codici;
        bool sopra = false;
        AllaFinestra<frmRicValBase>([&](frmRicValBase& w) {
            lettere = LettereAlt(&w);
            codici << w.LabDef[0]->text() << (w.LabDef[0]->isVisible() ? QStringLiteral("visibile") : QString());
            Fotografa(&w, QStringLiteral("frmRicValBase-1"));
            w.ComAvanti->click();
            codici << w.LabDef[1]->text();
            // The long label stands whole above its box.
            sopra = w.Lab[1]->wordWrap() && w.Lab[1]->geometry().bottom() < w.txt[1]->geometry().top()
                && w.Lab[1]->height() >= w.Lab[1]->heightForWidth(w.Lab[1]->width());
            Fotografa(&w, QStringLiteral("frmRicValBase-2"));
            w.ComAnnulla->click();
        });
        f->ComOk->click();
        QCOMPARE(lettere.size(), static_cast<qsizetype>(QSet<QString>(lettere.begin(), lettere.end()).size()));
        QCOMPARE(lettere.size(), 4);  // Indietro, Avanti, Ok, Annulla
        QCOMPARE(codici, (QStringList {"A", "visibile", "B"}));
        QVERIFY(sopra);
    }

    void queryFinaliMostrateEInterrompibili()
    {
        Definizione(QStringLiteral("Q"), QStringLiteral("Con query"));
        Sql(QStringLiteral("UPDATE QuivaFile SET Origine = '%1', QueryFin1 = 'Update Art Set Nota = ''uno''', "
                           "QueryFin2 = 'Update Art Set Nota = ''due''' WHERE Codice = 'Q'")
                .arg(cartella->filePath(QStringLiteral("art.txt"))));
        QFile file(cartella->filePath(QStringLiteral("art.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("X1\r\nX2\r\n");
        file.close();
        Apri();
        Seleziona({QStringLiteral("Q")});
        // At the first query's number the user stops the run.
        QStringList visto;
        QTimer spia;
        spia.setInterval(0);
        connect(&spia, &QTimer::timeout, this, [&] {
            frmQuivInElab* p = f->Progresso();
            if (!p->isVisible() || p->LabMessaggio->text() != QLatin1String("Esecuzione query finali")
                || p->txtLetti->text() != QLatin1String("1"))
                return;
            spia.stop();
            visto << p->LabLetti->text() << p->txtLetti->text() << p->LabDi->text() << p->txtTotale->text();
            Fotografa(p, QStringLiteral("frmQuivInElab-query"));
            messaggi->AccodaRisposta(1);
            f->ComStop->click();
        });
        spia.start();
        f->ComOk->click();
        QCOMPARE(visto, (QStringList {"Query:", "1", "di", "2"}));
        QCOMPARE(RigheSqlProva(*db, QStringLiteral("SELECT Nota FROM Art ORDER BY Codice")),
                 (QStringList {"uno", "uno"}));
    }

    void finestraMessaggi()
    {
        MessaggiDesktop desktop;
        struct Visto {
            QString titolo;
            bool icona = false;
            QPoint centro;
        } avviso, domanda;
        auto guarda = [](Visto& visto) {
            return [&visto](frmMsgCom& w) {
                visto = {w.windowTitle(), !w.LabIcona->pixmap().isNull() && w.LabIcona->isVisible(),
                         w.frameGeometry().center()};
                Fotografa(&w, QStringLiteral("frmMsgCom"));
                w.ComEsegui.last()->click();
            };
        };
        AllaFinestra<frmMsgCom>(guarda(avviso));
        QCOMPARE(desktop.msgCom(QStringLiteral("Elaborazione terminata"), {QStringLiteral("&Ok")}), 1);
        AllaFinestra<frmMsgCom>(guarda(domanda));
        QCOMPARE(desktop.msgCom(QStringLiteral("Confermi?"), {QStringLiteral("&Si"), QStringLiteral("&No")}), 2);
        const QPoint centro = QApplication::primaryScreen()->availableGeometry().center();
        for (const Visto& v : {avviso, domanda}) {
            QCOMPARE(v.titolo, QStringLiteral("Quiva"));
            QVERIFY(v.icona);
            QVERIFY((v.centro - centro).manhattanLength() <= 4);
        }
    }

    void aiutoSiChiudeConEsc()
    {
        frmAiuto* aiuto = frmAiuto::Apri(1, 0);
        QVERIFY(QTest::qWaitForWindowExposed(aiuto));
        QPointer<frmAiuto> guardia = aiuto;
        QTest::keyClick(aiuto->txtPagina, Qt::Key_Escape);
        QTRY_VERIFY(!guardia || !guardia->isVisible());
    }

    void dialogoFileInItaliano()
    {
        InstallaTraduzioniQt(*qApp);
        QDir(cartella->path()).mkdir(QStringLiteral("sotto"));
        QFile testo(cartella->filePath(QStringLiteral("righe.txt")));
        QVERIFY(testo.open(QIODevice::WriteOnly));
        testo.write("1;uno\r\n");
        testo.close();
        QString tipo, data;
        bool nativo = true;
        AllaFinestra<QFileDialog>([&](QFileDialog& d) {
            nativo = !d.testOption(QFileDialog::DontUseNativeDialog);
            auto* modello = d.findChild<QFileSystemModel*>();
            QTRY_VERIFY(modello && modello->index(cartella->filePath(QStringLiteral("sotto"))).isValid());
            const QModelIndex sotto = modello->index(cartella->filePath(QStringLiteral("sotto")));
            tipo = d.proxyModel()->mapFromSource(sotto).siblingAtColumn(2).data().toString();
            const QModelIndex righe =
                d.proxyModel()->mapFromSource(modello->index(cartella->filePath(QStringLiteral("righe.txt"))));
            QTRY_COMPARE(righe.siblingAtColumn(1).data().toString(), QStringLiteral("7 byte"));
            data = righe.siblingAtColumn(3).data().toString();
            d.resize(760, 420);
            QTest::qWait(50);
            Fotografa(&d, QStringLiteral("DialogoFile"));
            d.reject();
        });
        QVERIFY(ScegliFile(nullptr, ModoScelta::Salva, QStringLiteral("Salva"),
                           cartella->filePath(QStringLiteral("x.txt")), QStringLiteral("File di testo (*.txt)"),
                           *messaggi)
                    .isEmpty());
        QVERIFY(!nativo);
        QCOMPARE(tipo, QStringLiteral("Cartella"));
        QCOMPARE(data, QFileInfo(testo).lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    }
};

QTEST_MAIN(ProvaLeggibilita)
#include "qtest_leggibilita.moc"
