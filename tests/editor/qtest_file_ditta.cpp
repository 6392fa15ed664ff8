// The company file shared with other programs while the header editor is
// open: a file dialog shown on the company's folder must not make the
// program lose its locks (another program closing the company would then
// delete the log still in use, and every later save would vanish), and
// when the locks are lost anyway a save is refused, never reported done.
#include "DatabaseLink.h"
#include "FileDitta.h"
#include "GestioneMaschere.h"
#include "PageEditor.h"
#include "RisposteScriptate.h"
#include "SceltaFile.h"
#include "SqlProva.h"
#include "TabelleQuiva.h"
#include "frmGestQuiva.h"

#include <QAbstractItemView>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class ProvaFileDitta : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    QPointer<frmGestQuiva> f;
    std::unique_ptr<ControlloFileDitta> controllo;  // as the connection's own check sees the file
    QString shell;

    QString File() const { return cartella->filePath(QStringLiteral("ditta.db")); }
    // Another program opens the company, reads it and closes it.
    QString AltroProgramma(const QString& sql)
    {
        QProcess p;
        p.start(shell, {File(), sql});
        if (!p.waitForFinished(20000) || p.exitCode() != 0)
            return QStringLiteral("<errore: ") + QString::fromUtf8(p.readAllStandardError()) + QLatin1Char('>');
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    void ApriSuA()
    {
        f = new frmGestQuiva(ContestoEditor {*db, *messaggi, *messaggi, {}});
        QVERIFY(MostraMaschera(f, QStringLiteral("K1"), {}, {}, {}));
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QApplication::setActiveWindow(f);
        f->txt[10]->setFocus();
        f->txt[10]->setText(QStringLiteral("A"));
        QTest::keyClick(f->txt[10], Qt::Key_F10);
        QCOMPARE(f->Pagina().oiFlagOpe(), 1);
    }
    void Salva(const QString& descrizione)
    {
        QApplication::setActiveWindow(f);
        f->txt[15]->setFocus();
        f->txt[15]->setText(descrizione);
        QTest::keyClick(f->txt[15], Qt::Key_S, Qt::AltModifier);
    }

private slots:
    void initTestCase()
    {
        shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (shell.isEmpty())
            QSKIP("the sqlite3 shell is not installed: no second program to share the company with");
    }
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(File());
        CreaTabelleQuiva(*db);
        QVERIFY(EseguiSqlProva(*db,
                               QStringLiteral("INSERT INTO QuivaFile (Codice, Tabella, Origine) "
                                              "VALUES ('A', 'Clienti', 'a.txt')"))
                    .isEmpty());
        messaggi = std::make_unique<RisposteScriptate>();
        ApriSuA();
        controllo = std::make_unique<ControlloFileDitta>(db->Sqlite());
        if (!controllo->LockVisibili())
            QSKIP("this system does not show the program's locks on the company file");
    }
    void cleanup()
    {
        if (f) {
            messaggi->rispostaPredefinita = 2;
            f->close();
            delete f;
        }
        messaggi.reset();
        controllo.reset();
        db.reset();
        cartella.reset();
    }

    void dialogoSullaCartellaLasciaIBlocchi()
    {
        QPointer<QFileDialog> dialogo =
            NuovoDialogoFile(f, ModoScelta::Salva, QStringLiteral("Esporta definizione"),
                             cartella->filePath(QStringLiteral("A.json")), QStringLiteral("Tutti i file (*)"));
        auto* elenco = dialogo->findChild<QFileSystemModel*>();
        QVERIFY(elenco);
        dialogo->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialogo));
        // Every file of the folder listed, with its icon and type.
        QTRY_VERIFY(elenco->index(File()).isValid());
        QTRY_VERIFY(elenco->index(File() + QStringLiteral("-wal")).isValid());
        QTRY_VERIFY(!elenco->type(elenco->index(File())).isEmpty());
        QTest::qWait(300);
        QCOMPARE(elenco->type(elenco->index(File())), QStringLiteral("File DB"));
        QVERIFY(controllo->Stato().isEmpty());
        dialogo->reject();
        delete dialogo;

        QCOMPARE(AltroProgramma(QStringLiteral("SELECT Codice FROM QuivaFile;")), QStringLiteral("A"));
        Salva(QStringLiteral("salvata"));
        QCOMPARE(f->lblMessaggio->text(), QStringLiteral("Dati salvati"));
        QCOMPARE(AltroProgramma(QStringLiteral("SELECT Descrizione FROM QuivaFile;")), QStringLiteral("salvata"));
        QVERIFY(controllo->Stato().isEmpty());
    }

    void bloccoPersoFermaLeScritture()
    {
        // Some code opens and closes the company's files, as a dialog that
        // reads them would: the locks are gone, and the next program to close
        // the company deletes the log in use.
        for (const char* coda : {"", "-wal", "-shm"}) {
            QFile file(File() + QLatin1String(coda));
            QVERIFY(file.open(QIODevice::ReadOnly));
        }
        QVERIFY(!controllo->Stato().isEmpty());
        AltroProgramma(QStringLiteral("SELECT Codice FROM QuivaFile;"));
        QVERIFY(!QFile::exists(File() + QStringLiteral("-wal")));
        Salva(QStringLiteral("persa"));
        QVERIFY2(messaggi->messaggi.size() == 1, qPrintable(f->lblMessaggio->text()));
        QVERIFY2(messaggi->Testi().first().contains(QStringLiteral("Modifica non salvata")),
                 qPrintable(messaggi->Testi().first()));
        QVERIFY(f->lblMessaggio->text() != QStringLiteral("Dati salvati"));
        QCOMPARE(AltroProgramma(QStringLiteral("SELECT IFNULL(Descrizione, '-') FROM QuivaFile;")),
                 QStringLiteral("-"));
        // A company file can never be chosen for an export or an import.
        QVERIFY(FileDiDatabaseAperto(File()));
        QVERIFY(FileDiDatabaseAperto(File() + QStringLiteral("-wal")));
        QVERIFY(!FileDiDatabaseAperto(cartella->filePath(QStringLiteral("A.json"))));
    }
};

QTEST_MAIN(ProvaFileDitta)
#include "qtest_file_ditta.moc"
