// The field detail editor and the transformation editor driven as a user
// would, and a whole definition built on screen and loaded by quiva-load.
#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "LinePageEditor.h"
#include "ListBrowser.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "TabelleQuiva.h"
#include "frmGeQuivDett.h"
#include "frmGestQuiva.h"
#include "frmTrasform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void Clic(BarraComandi* barra, const QString& comando)
{
    QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
}

// Types a value into a box and leaves it for another control.
void Scrivi(QLineEdit* casella, const QString& testo, QWidget* dopo)
{
    casella->setFocus();
    casella->selectAll();
    QTest::keyClick(casella, Qt::Key_Delete);
    QTest::keyClicks(casella, testo);
    dopo->setFocus();
}

// Types into the current cell of a grid: the first key opens the editor,
// the rest goes to it, Enter ends it.
void ScriviCella(QTableView* griglia, const QString& testo)
{
    QTest::keyClicks(griglia, testo.left(1));
    QTest::keyClicks(QApplication::focusWidget(), testo.mid(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

}  // namespace

class ProvaDettagli : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;

    ContestoEditor Contesto() { return ContestoEditor {*db, *messaggi, *messaggi, {}}; }

    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql); }

    static TabelleDefinizione Testata(const QString& codice)
    {
        return TabelleDefinizione {
            codice, {QStringLiteral("Conti"), QStringLiteral("Righe")}, {QString(), QStringLiteral("R")}};
    }

    std::unique_ptr<frmGeQuivDett> ApriDettagli(const TabelleDefinizione& testata, const QString& parametri = {})
    {
        auto f = std::make_unique<frmGeQuivDett>(Contesto(), testata);
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        f->osParamLancia = parametri;
        f->Carica();
        f->show();
        f->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(f.get())); }();
        return f;
    }

    std::unique_ptr<frmTrasform> ApriTrasformazioni(const QString& codice, const QString& tabella, int abilRW = 1)
    {
        auto f = std::make_unique<frmTrasform>(Contesto());
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        f->osCodice = codice;
        f->osTabella = tabella;
        f->oiAbilRW = abilRW;
        f->TabellaStd(QStringLiteral("QuivaDecod"), QStringLiteral("QuivaDecod"), 3, false, false);
        f->Carica();
        f->show();
        f->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(f.get())); }();
        return f;
    }

    // A new decode row with its field chosen from the list and two values typed.
    void NuovaDecodifica(frmTrasform& f, int voceCampo, const QString& da, const QString& a)
    {
        Clic(f.tolComandi, QStringLiteral("Nuovo"));
        ListBrowser& lista = f.Browser();
        const int riga = lista.Riga() - 1;
        const int colCampo = lista.Modello().Colonna(QStringLiteral("NomeCampo"));
        f.dbgRiga->setFocus();
        f.dbgRiga->setCurrentIndex(lista.Modello().index(riga, colCampo));
        QTest::keyClick(f.dbgRiga, Qt::Key_F4);
        QTRY_VERIFY(f.LisCampo->isVisible());
        f.LisCampo->setCurrentRow(voceCampo);
        QTest::keyClick(f.LisCampo, Qt::Key_Return);
        QVERIFY(!f.LisCampo->isVisible());
        for (const auto& [colonna, valore] :
             {std::pair {QStringLiteral("ValOrig"), da}, std::pair {QStringLiteral("ValDest"), a}}) {
            f.dbgRiga->setCurrentIndex(lista.Modello().index(riga, lista.Modello().Colonna(colonna)));
            ScriviCella(f.dbgRiga, valore);
        }
        Clic(f.tolComandi, QStringLiteral("Salva"));
    }

private slots:
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        Sql(QStringLiteral("CREATE TABLE Conti (Gruppo VARCHAR(2), Mastro VARCHAR(2), Conto VARCHAR(4), Importo REAL, "
                           "Data DATE, Note VARCHAR(20))"));
        Sql(QStringLiteral("CREATE TABLE Righe (Numero INTEGER, Importo REAL, Descr VARCHAR(20))"));
        messaggi = std::make_unique<RisposteScriptate>();
    }
    void cleanup()
    {
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void nuovaDefinizioneRigheDaiCampiDellaTabella()
    {
        auto f = ApriDettagli(Testata(QStringLiteral("D1")));
        QCOMPARE(Righe(QStringLiteral(
                     "Select NomeCampo, TipoOrig, TipoDest, Aggiorna from QuivaDettaglio where Codice = 'D1' "
                     "order by rowid")),
                 QStringList({QStringLiteral("Gruppo|String|String|A"), QStringLiteral("Mastro|String|String|A"),
                              QStringLiteral("Conto|String|String|A"), QStringLiteral("Importo|Double|Double|A"),
                              QStringLiteral("Data|Date|Date|A"), QStringLiteral("Note|String|String|A"),
                              QStringLiteral("Gruppo|Mastro|Conto|string|string|A")}));
        QCOMPARE(f->Pagina().Browser().Conteggio(), 7);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("D1"));
        QVERIFY(f->txt[10]->isReadOnly());
        // Opening it again finds the rows and creates nothing more; read-only
        // never creates any.
        f.reset();
        f = ApriDettagli(Testata(QStringLiteral("D1")));
        QCOMPARE(f->Pagina().Browser().Conteggio(), 7);
        f.reset();
        f = ApriDettagli(Testata(QStringLiteral("D2")), QStringLiteral("/RO"));
        QCOMPARE(f->Pagina().Browser().Conteggio(), 0);
        QVERIFY(Righe(QStringLiteral("Select * from QuivaDettaglio where Codice = 'D2'")).isEmpty());
        QVERIFY(!f->tolComandi->Disponibile(QStringLiteral("Nuovo")));
    }

    void campoDiTabellaSecondariaEControlli()
    {
        Sql(QStringLiteral("Insert into QuivaDettaglio (Codice, NomeCampo, OrdCampo) values ('D1', 'Conto', '10'), "
                           "('D1', 'Gruppo', '9'), ('D1', 'Note', null)"));
        auto f = ApriDettagli(Testata(QStringLiteral("D1")));
        // Rows by writing order as numbers, those without one last.
        QCOMPARE(f->Pagina().Browser().Valore(QStringLiteral("NomeCampo")), QStringLiteral("Gruppo"));
        QCOMPARE(f->Pagina().Browser().Modello().Valore(1, QStringLiteral("NomeCampo")), QStringLiteral("Conto"));
        QCOMPARE(f->Pagina().Browser().Modello().Valore(2, QStringLiteral("NomeCampo")), QStringLiteral("Note"));

        Clic(f->tolComandi, QStringLiteral("Nuovo"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 2);
        // A code that is no table's is refused.
        Scrivi(f->txt[15], QStringLiteral("Z"), f->txt[50]);
        QVERIFY(messaggi->Mostrato(QStringLiteral("Codice tabella non valido")));
        Scrivi(f->txt[15], QStringLiteral("R"), f->txt[50]);
        QCOMPARE(f->txtTabella->text(), QStringLiteral("Righe"));
        QCOMPARE(f->Cob[20]->count(), 3);
        // Choosing a column of Righe writes code, blank, column and its type.
        f->Cob[20]->setFocus();
        QTest::keyClicks(f->Cob[20]->lineEdit(), QStringLiteral("Importo"));
        f->txt[50]->setFocus();
        QCOMPARE(f->txt[20]->text(), QStringLiteral("R Importo"));
        QCOMPARE(f->txt[30]->text(), QStringLiteral("Double"));
        QCOMPARE(f->Cob[40]->currentText(), QStringLiteral("Double"));

        messaggi->messaggi.clear();
        Scrivi(f->txt[160], QStringLiteral("x"), f->txt[50]);
        QVERIFY(messaggi->Mostrato(QStringLiteral("Valori Validi: ' */%'")));
        Scrivi(f->txt[160], QStringLiteral("*"), f->txt[50]);
        Scrivi(f->txt[180], QStringLiteral("E"), f->txt[50]);
        QVERIFY(messaggi->Mostrato(QStringLiteral("Valori Validi: ' LV'")));
        Scrivi(f->txt[180], QStringLiteral("v"), f->txt[50]);
        Scrivi(f->txt[60], QStringLiteral("abc"), f->txt[50]);
        QCOMPARE(f->lblMessaggio->text(), QStringLiteral("Campo numerico: valore non valido"));
        // A refused value stops the save.
        Clic(f->tolComandi, QStringLiteral("Salva"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 2);
        Scrivi(f->txt[60], QStringLiteral("3"), f->txt[50]);
        f->Che[130]->setFocus();
        QTest::keyClick(f->Che[130], Qt::Key_Space);
        f->txt[50]->setFocus();
        QTest::keyClick(f->txt[50], Qt::Key_F10);
        QCOMPARE(
            Righe(QStringLiteral("Select NomeCampo, TipoOrig, Inizio, TipoOper, LireOValuta, Obbligatorio, Aggiorna "
                                 "from QuivaDettaglio where NomeCampo = 'R Importo'")),
            QStringList {QStringLiteral("R Importo|Double|3|*|v|S|A")});

        // Shown again: code and column apart, mirrors in line.
        Clic(f->tolComandi, QStringLiteral("Inizio"));
        QCOMPARE(f->txt[15]->text(), QString());
        QCOMPARE(f->txtTabella->text(), QStringLiteral("Conti"));
        Clic(f->tolComandi, QStringLiteral("Fine"));
        QCOMPARE(f->txt[20]->text(), QStringLiteral("R Importo"));
        QCOMPARE(f->txt[15]->text(), QStringLiteral("R"));
        QCOMPARE(f->Cob[20]->currentText(), QStringLiteral("Importo"));
        QVERIFY(f->Che[130]->isChecked());
        QVERIFY(!f->Che[140]->isChecked());
        QCOMPARE(f->Cob[210]->currentText(), QStringLiteral("Aggiorna"));

        // A second row for the same column is refused, the first kept.
        Clic(f->tolComandi, QStringLiteral("Nuovo"));
        f->txt[20]->setText(QStringLiteral("Gruppo"));
        Clic(f->tolComandi, QStringLiteral("Salva"));
        QVERIFY(messaggi->Mostrato(QStringLiteral("Esiste già una riga con questa chiave")));
        Clic(f->tolComandi, QStringLiteral("Annulla"));
        // Deleting asks first.
        messaggi->AccodaRisposta(2);
        Clic(f->tolComandi, QStringLiteral("Cancella"));
        QCOMPARE(f->Pagina().Browser().Conteggio(), 4);
        Clic(f->tolComandi, QStringLiteral("Cancella"));
        QCOMPARE(f->Pagina().Browser().Conteggio(), 3);
    }

    void trasformazioniDiUnaTabella()
    {
        Sql(QStringLiteral("Insert into QuivaDecod values ('ALTRA', 'Conti', 'Gruppo', '01', 'X')"));
        auto f = ApriTrasformazioni(QStringLiteral("D1"), QStringLiteral("Conti"));
        QCOMPARE(f->txtCodice->text(), QStringLiteral("D1"));
        QCOMPARE(f->Browser().Conteggio(), 0);
        QCOMPARE(f->LisCampo->count(), 6);
        NuovaDecodifica(*f, 0, QStringLiteral("01"), QStringLiteral("GR1"));
        NuovaDecodifica(*f, 2, QStringLiteral("100"), QStringLiteral("C100"));
        QCOMPARE(Righe(QStringLiteral("Select * from QuivaDecod order by rowid")),
                 QStringList({QStringLiteral("ALTRA|Conti|Gruppo|01|X"), QStringLiteral("D1|Conti|Gruppo|01|GR1"),
                              QStringLiteral("D1|Conti|Conto|100|C100")}));
        // Typing in the field cell opens the list instead.
        const int colCampo = f->Browser().Modello().Colonna(QStringLiteral("NomeCampo"));
        f->dbgRiga->setCurrentIndex(f->Browser().Modello().index(0, colCampo));
        QTest::keyClicks(f->dbgRiga, QStringLiteral("Pippo"));
        QTRY_VERIFY(f->LisCampo->isVisible());
        QTest::keyClick(f->LisCampo, Qt::Key_Escape);
        QVERIFY(!f->LisCampo->isVisible());
        QCOMPARE(f->Browser().Valore(QStringLiteral("NomeCampo")), QStringLiteral("Gruppo"));

        // The same source value twice for one field would stop the load: refused.
        messaggi->messaggi.clear();
        NuovaDecodifica(*f, 0, QStringLiteral("01"), QStringLiteral("ALTRO"));
        QVERIFY(messaggi->Mostrato(QStringLiteral("Il valore '01' del campo Gruppo ha già una trasformazione")));
        QCOMPARE(Righe(QStringLiteral("Select * from QuivaDecod where Codice = 'D1'")).size(), 2);
        Clic(f->tolComandi, QStringLiteral("Annulla"));

        // Deleting from the grid asks first.
        f->dbgRiga->setFocus();
        f->Browser().VaiARiga(0);
        messaggi->AccodaRisposta(1);
        QTest::keyClick(f->dbgRiga, Qt::Key_Delete);
        QVERIFY(messaggi->Mostrato(QStringLiteral("Confermi la cancellazione della riga?")));
        QCOMPARE(Righe(QStringLiteral("Select ValOrig from QuivaDecod where Codice = 'D1'")),
                 QStringList {QStringLiteral("100")});
    }

    void trasformazioniInSolaLettura()
    {
        Sql(QStringLiteral("Insert into QuivaDecod values ('D1', 'Conti', 'Gruppo', '01', 'X')"));
        auto f = ApriTrasformazioni(QStringLiteral("D1"), QStringLiteral("Conti"), 0);
        QCOMPARE(f->Browser().Conteggio(), 1);
        const int colOrig = f->Browser().Modello().Colonna(QStringLiteral("ValOrig"));
        f->dbgRiga->setFocus();
        f->dbgRiga->setCurrentIndex(f->Browser().Modello().index(0, colOrig));
        QTest::keyClicks(f->dbgRiga, QStringLiteral("9"));
        QVERIFY(!f->tolComandi->Disponibile(QStringLiteral("Nuovo")));
        QVERIFY(!f->tolComandi->Disponibile(QStringLiteral("Salva")));
        // The list still opens from the field cell, and choosing changes nothing.
        f->dbgRiga->setCurrentIndex(
            f->Browser().Modello().index(0, f->Browser().Modello().Colonna(QStringLiteral("NomeCampo"))));
        QTest::keyClick(f->dbgRiga, Qt::Key_F4);
        QTRY_VERIFY(f->LisCampo->isVisible());
        f->LisCampo->setCurrentRow(2);
        QTest::keyClick(f->LisCampo, Qt::Key_Return);
        QCOMPARE(f->Browser().Valore(QStringLiteral("NomeCampo")), QStringLiteral("Gruppo"));
        QCOMPARE(f->Browser().Valore(QStringLiteral("ValOrig")), QStringLiteral("01"));
        QCOMPARE(Righe(QStringLiteral("Select * from QuivaDecod")),
                 QStringList {QStringLiteral("D1|Conti|Gruppo|01|X")});
    }

    void definizioneCompletaCaricataDaQuivaLoad();

private:
    // Runs quiva-load on the definition CLI of a company; the rows of verifica.
    QStringList CaricaConQuivaLoad(const QString& ditta, const QString& verifica);
};

// Header, fields from the table's columns, one translation, all on screen;
// then the load of a file with it.
void ProvaDettagli::definizioneCompletaCaricataDaQuivaLoad()
{
    Sql(QStringLiteral(
        "CREATE TABLE Clienti (Codice VARCHAR(10) PRIMARY KEY, Nome VARCHAR(30), Provincia VARCHAR(2))"));
    const QString sorgente = cartella->filePath(QStringLiteral("clienti.txt"));
    {
        QFile file(sorgente);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("C1|Rossi|co\nC2|Bianchi|mi\n");
    }
    auto testata = std::make_unique<frmGestQuiva>(Contesto());
    testata->setAttribute(Qt::WA_DeleteOnClose, false);
    testata->Carica();
    testata->show();
    testata->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(testata.get()));
    testata->txt[10]->setFocus();
    QTest::keyClicks(testata->txt[10], QStringLiteral("CLI"));
    QTest::keyClick(testata->txt[10], Qt::Key_F10);
    QCOMPARE(testata->Pagina().oiFlagOpe(), 2);
    Scrivi(testata->txt[20], QStringLiteral("Clienti"), testata->txt[15]);
    Scrivi(testata->txt[30], sorgente, testata->txt[15]);
    Scrivi(testata->txt[65], QStringLiteral("|"), testata->txt[15]);
    QTest::mouseClick(testata->tolComandi->widgetForAction(testata->tolComandi->Azione(QStringLiteral("Salva"))),
                      Qt::LeftButton);
    QCOMPARE(testata->Pagina().oiFlagOpe(), 1);

    QTest::mouseClick(testata->ComDett, Qt::LeftButton);
    auto* dettagli = testata->findChild<frmGeQuivDett*>();
    QVERIFY(dettagli && dettagli->isVisible());
    QVERIFY(dettagli->isModal());
    dettagli->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dettagli));
    QCOMPARE(dettagli->Pagina().Browser().Conteggio(), 3);
    // Rows by name: Codice, Nome, Provincia; the key and the field numbers.
    const char* numeri[] = {"K1", "2", "3"};
    for (int r = 0; r < 3; ++r) {
        dettagli->Pagina().Browser().VaiARiga(r);
        Scrivi(dettagli->txt[50], QLatin1String(numeri[r]), dettagli->txt[100]);
        Scrivi(dettagli->txt[200], QString::number(r + 1), dettagli->txt[100]);
        QTest::keyClick(dettagli->txt[100], Qt::Key_F10);
    }
    Clic(dettagli->tolComandi, QStringLiteral("Chiudi"));
    QTRY_VERIFY(!testata->findChild<frmGeQuivDett*>());

    QTest::mouseClick(testata->ComTrasf[0], Qt::LeftButton);
    auto* trasf = testata->findChild<frmTrasform*>();
    QVERIFY(trasf && trasf->isVisible());
    trasf->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(trasf));
    QCOMPARE(trasf->txtTabella->text(), QStringLiteral("Clienti"));
    NuovaDecodifica(*trasf, 2, QStringLiteral("co"), QStringLiteral("CO"));
    Clic(trasf->tolComandi, QStringLiteral("Chiudi"));
    QCOMPARE(Righe(QStringLiteral("Select NomeCampo, NumCampo, OrdCampo from QuivaDettaglio order by OrdCampo")),
             QStringList({QStringLiteral("Codice|K1|1"), QStringLiteral("Nome|2|2"), QStringLiteral("Provincia|3|3")}));
    QCOMPARE(Righe(QStringLiteral("Select * from QuivaDecod")),
             QStringList {QStringLiteral("CLI|Clienti|Provincia|co|CO")});

    testata.reset();
    const QStringList attese {QStringLiteral("C1|Rossi|CO"), QStringLiteral("C2|Bianchi|mi")};
    QCOMPARE(CaricaConQuivaLoad(QStringLiteral("ditta.db"), QStringLiteral("Select * from Clienti order by Codice")),
             attese);

    // Out to a file from the header editor, into a fresh company, loaded again.
    const QString file = cartella->filePath(QStringLiteral("CLI.json"));
    testata = std::make_unique<frmGestQuiva>(Contesto());
    testata->setAttribute(Qt::WA_DeleteOnClose, false);
    testata->Carica();
    testata->sceltaFile = [&](bool, const QString&) { return file; };
    QVERIFY(!testata->ComEsporta->isEnabled());
    testata->txt[10]->setText(QStringLiteral("CLI"));
    testata->ButtonComando(QStringLiteral("Ricerca"));
    QTest::mouseClick(testata->ComEsporta, Qt::LeftButton);
    QVERIFY(QFile::exists(file));
    testata.reset();
    db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("nuova.db")));
    CreaTabelleQuiva(*db);
    Sql(QStringLiteral(
        "CREATE TABLE Clienti (Codice VARCHAR(10) PRIMARY KEY, Nome VARCHAR(30), Provincia VARCHAR(2))"));
    testata = std::make_unique<frmGestQuiva>(Contesto());
    testata->setAttribute(Qt::WA_DeleteOnClose, false);
    testata->Carica();
    testata->sceltaFile = [&](bool, const QString&) { return file; };
    QTest::mouseClick(testata->ComImporta, Qt::LeftButton);
    QCOMPARE(testata->txt[20]->text(), QStringLiteral("Clienti"));
    QCOMPARE(testata->Pagina().oiFlagOpe(), 1);
    // A second import asks before replacing; "No" leaves it as it is.
    Sql(QStringLiteral("Update QuivaDecod set ValDest = 'XX'"));
    messaggi->AccodaRisposta(2);
    QTest::mouseClick(testata->ComImporta, Qt::LeftButton);
    QVERIFY(messaggi->Mostrato(QStringLiteral("La definizione CLI esiste già")));
    QCOMPARE(Righe(QStringLiteral("Select ValDest from QuivaDecod")), QStringList {QStringLiteral("XX")});
    messaggi->AccodaRisposta(1);
    QTest::mouseClick(testata->ComImporta, Qt::LeftButton);
    QCOMPARE(Righe(QStringLiteral("Select ValDest from QuivaDecod")), QStringList {QStringLiteral("CO")});
    testata.reset();
    QCOMPARE(CaricaConQuivaLoad(QStringLiteral("nuova.db"), QStringLiteral("Select * from Clienti order by Codice")),
             attese);
}

QStringList ProvaDettagli::CaricaConQuivaLoad(const QString& ditta, const QString& verifica)
{
    QFile ini(cartella->filePath(QStringLiteral("quiva.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return {QStringLiteral("INI non scritto")};
    ini.write("[base]\r\nDriveDB=\r\nDirQuiva=" + cartella->path().toUtf8() + "/\r\n");
    ini.close();
    db.reset();
    QProcess carica;
    carica.start(QStringLiteral(QUIVA_LOAD),
                 {QStringLiteral("--db"), cartella->filePath(ditta), QStringLiteral("--ini"), ini.fileName(),
                  QStringLiteral("CLI")});
    carica.waitForFinished(60000);
    db = DatabaseLink::ApriFile(cartella->filePath(ditta));
    if (carica.exitCode() != 0)
        return {QString::fromUtf8(carica.readAllStandardError())};
    return Righe(verifica);
}

QTEST_MAIN(ProvaDettagli)
#include "qtest_dettagli.moc"
