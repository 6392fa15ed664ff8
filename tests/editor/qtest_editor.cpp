// The definition list and the header editor driven as a user would: codes
// typed and searched with F10, commands by Alt+letter and toolbar clicks,
// rows chosen in the list with the mouse; the message window and the input
// box answer from a script.
#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "PageEditor.h"
#include "RisposteScriptate.h"
#include "SceltaFile.h"
#include "SqlProva.h"
#include "TabelleQuiva.h"
#include "frmGeQuivDett.h"
#include "frmGestQuivLis.h"
#include "frmGestQuiva.h"
#include "frmTrasform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

class ProvaEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    QPointer<frmGestQuiva> f;

    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql); }
    // A definition with n field rows and m decode rows.
    void Definizione(const QString& codice, const QString& tabella, int campi = 0, int decodifiche = 0)
    {
        Sql(QStringLiteral(
                "INSERT INTO QuivaFile (Codice, Tabella, Origine, Tipo, Modalita) VALUES ('%1', '%2', '%1.txt', 'F', '1')")
                .arg(codice, tabella));
        for (int i = 1; i <= campi; ++i)
            Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, NumCampo, TipoOrig, TipoDest) "
                               "VALUES ('%1', '%2', 'Campo%2', '%2', 'String', 'String')")
                    .arg(codice)
                    .arg(i));
        for (int i = 1; i <= decodifiche; ++i)
            Sql(QStringLiteral("INSERT INTO QuivaDecod (Codice, Tabella, NomeCampo, ValOrig, ValDest) "
                               "VALUES ('%1', '%2', 'Campo1', 'o%3', 'd%3')")
                    .arg(codice, tabella)
                    .arg(i));
    }
    void Apri(const QString& parametri = {})
    {
        f = new frmGestQuiva(ContestoEditor {*db, *messaggi, *messaggi, {}});
        QVERIFY(MostraMaschera(f, QStringLiteral("K1"), {}, {}, parametri));
        QCOMPARE(f->oiLoadOk, 1);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        f->activateWindow();
    }
    // A key pressed in a control of the active window, as a user would.
    void Tasto(QWidget* w, Qt::Key tasto, Qt::KeyboardModifiers modificatori = Qt::NoModifier)
    {
        if (QApplication::activeWindow() != w->window())
            QApplication::setActiveWindow(w->window());  // a click on its title bar
        w->setFocus();
        QTest::keyClick(w, tasto, modificatori);
    }
    void Cerca(const QString& codice)
    {
        f->txt[10]->setText(codice);
        Tasto(f->txt[10], Qt::Key_F10);
    }
    void Clic(BarraComandi* barra, const QString& comando)
    {
        QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
    }
    frmGestQuivLis* ApriLista()
    {
        Tasto(f->txt[10], Qt::Key_L, Qt::AltModifier);
        frmGestQuivLis* lista = f->Lista();
        if (lista && !QTest::qWaitForWindowExposed(lista))
            return nullptr;
        return lista;
    }
    QStringList CodiciInLista(frmGestQuivLis* lista)
    {
        QStringList codici;
        for (int r = 0; r < lista->Browser().Conteggio(); ++r)
            codici << lista->Browser().Modello().Valore(r, QStringLiteral("Codice"));
        return codici;
    }
    void ClicRiga(frmGestQuivLis* lista, int riga)
    {
        const QModelIndex i = lista->dbgRiga->model()->index(riga, 0);
        QTest::mouseClick(lista->dbgRiga->viewport(), Qt::LeftButton, Qt::NoModifier,
                          lista->dbgRiga->visualRect(i).center());
    }

private slots:
    void initTestCase()
    {
        // Column widths dragged here go to a settings file of the test's own.
        static QTemporaryDir impostazioni;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, impostazioni.path());
    }
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        Sql(QStringLiteral("CREATE TABLE Clienti (Codice VARCHAR(10) PRIMARY KEY, Nome VARCHAR(30))"));
        messaggi = std::make_unique<RisposteScriptate>();
    }
    void cleanup()
    {
        if (f) {
            messaggi->rispostaPredefinita = 2;  // unsaved changes: not saved
            f->close();
            delete f;
        }
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void listaOrdinataEFiltrata()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("TabC"));
        Definizione(QStringLiteral("B"), QStringLiteral("TabA"));
        Definizione(QStringLiteral("C"), QStringLiteral("TabB"));
        Definizione(QStringLiteral("D"), QStringLiteral("Altro"));
        Apri();
        frmGestQuivLis* lista = ApriLista();
        QVERIFY(lista && lista->isVisible());
        QCOMPARE(lista->windowTitle().left(25), QStringLiteral("Lista Tabella Quivamento"));
        QCOMPARE(CodiciInLista(lista), (QStringList {"A", "B", "C", "D"}));
        QCOMPARE(lista->osSql(),
                 QStringLiteral(
                     "Select Codice, Tabella, Origine, Azzera, SaltaInizio, Tipo from QuivaFile order by Codice"));
        QCOMPARE(lista->txtRiga->text(), QStringLiteral("1 / 4"));
        QCOMPARE(lista->dbgRiga->columnWidth(2), Twip(3000));

        lista->txtInTabella->setText(QStringLiteral("tab"));
        Tasto(lista->txtInTabella, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(CodiciInLista(lista), (QStringList {"B", "C", "A"}));
        QVERIFY(lista->osSql().endsWith(QStringLiteral(" where Tabella like 'tab*' order by Tabella")));

        // A range whose start comes after its end does not search.
        Tasto(lista->txtInTabella, Qt::Key_Z, Qt::AltModifier);
        QVERIFY(lista->txtInTabella->text().isEmpty());
        lista->txtCodiceDa->setText(QStringLiteral("C"));
        lista->txtCodiceA->setText(QStringLiteral("A"));
        Tasto(lista->txtCodiceA, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(messaggi->Testi(), QStringList {"Il codice iniziale è successivo al codice finale"});
        QCOMPARE(CodiciInLista(lista), (QStringList {"B", "C", "A"}));
        lista->txtCodiceDa->setText(QStringLiteral("B"));
        lista->txtCodiceA->setText(QStringLiteral("C"));
        Tasto(lista->txtCodiceA, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(CodiciInLista(lista), (QStringList {"B", "C"}));

        // Header click sorts; an empty list prints nothing and says nothing.
        QTest::mouseClick(lista->dbgRiga->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(lista->dbgRiga->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(CodiciInLista(lista), (QStringList {"B", "C"}));
        lista->txtCodiceDa->setText(QStringLiteral("X"));
        lista->txtCodiceA->clear();
        Tasto(lista->txtCodiceA, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(lista->Browser().Conteggio(), 0);
        const int prima = messaggi->messaggi.size();
        lista->ButtonComando(QStringLiteral("Stampa"));  // would open the preview and wait
        QCOMPARE(messaggi->messaggi.size(), prima);
    }

    void clicSceglieMaNonDopoUnRidimensionamento()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"));
        Definizione(QStringLiteral("B"), QStringLiteral("Clienti"));
        Definizione(QStringLiteral("C"), QStringLiteral("Clienti"));
        Apri();
        frmGestQuivLis* lista = ApriLista();
        ClicRiga(lista, 1);
        QTRY_COMPARE(f->txt[10]->text(), QStringLiteral("B"));
        QVERIFY(!lista->isVisible());
        QCOMPARE(f->Pagina().oiFlagOpe(), 1);
        QCOMPARE(f->txt[20]->text(), QStringLiteral("Clienti"));

        // While the list is open the header steps through it.
        ApriLista();
        QVERIFY(f->tolComandi->Disponibile(QStringLiteral("ListaAvanti")));
        ClicRiga(lista, 0);
        QTRY_COMPARE(f->txt[10]->text(), QStringLiteral("A"));
        ApriLista();
        Tasto(f->txt[15], Qt::Key_Plus, Qt::AltModifier);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("B"));

        ClicRiga(lista, 2);
        lista->dbgRiga->horizontalHeader()->resizeSection(0, 150);
        QTest::qWait(QApplication::doubleClickInterval());
        QCOMPARE(f->txt[10]->text(), QStringLiteral("B"));
        QVERIFY(lista->isVisible());
        // Enter in the grid chooses the row.
        lista->activateWindow();
        Tasto(lista->dbgRiga, Qt::Key_Return);
        QTRY_COMPARE(f->txt[10]->text(), QStringLiteral("C"));
    }

    void nuovaDefinizioneConPredefinitiEObbligatori()
    {
        Apri();
        QCOMPARE(f->lblTipOpe->text(), QStringLiteral("Ricerca"));
        QVERIFY(!f->ComDett->isEnabled());
        Cerca(QStringLiteral("NUOVO"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 2);
        QCOMPARE(f->Cob[60]->currentText(), QStringLiteral("Con Separatore"));
        QCOMPARE(f->Cob[250]->currentText(), QStringLiteral("Crea se non trova/Varia se trova"));
        f->txt[20]->setText(QStringLiteral("Clienti"));
        Tasto(f->txt[20], Qt::Key_F10);
        QCOMPARE(messaggi->Testi(), QStringList {"Il campo 'Origine' è obbligatorio"});
        QVERIFY(Righe(QStringLiteral("SELECT Codice FROM QuivaFile")).isEmpty());
        f->txt[30]->setText(QStringLiteral("clienti.txt"));
        f->txt[50]->setText(QStringLiteral("1.000"));
        Tasto(f->txt[30], Qt::Key_F10);
        QCOMPARE(
            Righe(QStringLiteral("SELECT Tabella, Origine, Tipo, Separatore, InsVaria, Modalita, SaltaInizio, Azzera "
                                 "FROM QuivaFile WHERE Codice = 'NUOVO'")),
            QStringList {"Clienti|clienti.txt|S|\\009|I|0|1000|"});
        QCOMPARE(f->Pagina().oiFlagOpe(), 0);  // saved by F10: back to searching
        QVERIFY(!f->ComDett->isEnabled());
        Cerca(QStringLiteral("NUOVO"));
        QVERIFY(f->ComDett->isEnabled());
        QCOMPARE(f->txt[50]->text(), QStringLiteral("1.000"));
    }

    void specchiScrivonoNelleCaselle()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("A"));
        QCOMPARE(f->Cob[60]->currentIndex(), 1);  // "F"
        QCOMPARE(f->Cob[250]->currentText(), QStringLiteral("Soltanto Creazione"));
        QVERIFY(f->Cob[20]->findText(QStringLiteral("Clienti")) >= 0);  // the company's tables
        Tasto(f->Cob[60], Qt::Key_Up);
        QCOMPARE(f->txt[60]->text(), QStringLiteral("S"));
        Tasto(f->Cob[250], Qt::Key_Down);
        QCOMPARE(f->txt[250]->text(), QStringLiteral("2"));
        QCOMPARE(f->Cob[240]->currentIndex(), -1);  // no code stored
        Tasto(f->Cob[240], Qt::Key_Down);
        QCOMPARE(f->txt[240]->text(), QStringLiteral("I"));
        Tasto(f->Cob[240], Qt::Key_Down);
        QCOMPARE(f->txt[240]->text(), QStringLiteral("V"));
        Tasto(f->CheAzz[40], Qt::Key_Space);
        QCOMPARE(f->txt[40]->text(), QStringLiteral("S"));
        f->TasPagine->setCurrentIndex(2);
        Tasto(f->CheAzz[120], Qt::Key_Space);
        Tasto(f->Cob[60], Qt::Key_Delete);  // Delete empties a combo
        QVERIFY(f->txt[60]->text().isEmpty());
        Tasto(f->txt[15], Qt::Key_S, Qt::AltModifier);
        QCOMPARE(Righe(QStringLiteral("SELECT Tipo, Modalita, InsVaria, Azzera, Azzera3 FROM QuivaFile")),
                 QStringList {"|2|V|S|S"});

        // No table on page 3: the transformations only say so.
        QTest::mouseClick(f->ComTrasf[2], Qt::LeftButton);
        QCOMPARE(messaggi->Testi().last(), QStringLiteral("Non è stata inserita la Tabella corrispondente"));
        QTest::mouseClick(f->ComDett, Qt::LeftButton);
        QCOMPARE(f->osCodice, QStringLiteral("A"));
        QCOMPARE(f->osTabella, QStringLiteral("Clienti"));
        auto* dettagli = f->findChild<frmGeQuivDett*>();
        QVERIFY(dettagli && dettagli->isVisible() && dettagli->isModal());
        dettagli->close();
    }

    void cancellazioneConLeRighe()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 3, 2);
        Definizione(QStringLiteral("B"), QStringLiteral("Clienti"), 1, 1);
        Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('A', 'riga 1', 'errore'), ('B', 'riga 1', 'errore')"));
        Apri();
        Cerca(QStringLiteral("A"));
        messaggi->AccodaRisposta(1);
        Clic(f->tolComandi, QStringLiteral("Cancella"));
        QCOMPARE(messaggi->Testi(), QStringList {"Confermi la cancellazione del dato A?"});
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM QuivaFile")), QStringList {"B"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDettaglio")), QStringList {"B"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDecod")), QStringList {"B"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Tabella FROM ErroriQuivamento")), QStringList {"B"});
        QCOMPARE(f->Pagina().oiFlagOpe(), 0);
    }

    void duplicaConESenzaCampi()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 3, 2);
        Definizione(QStringLiteral("D"), QStringLiteral("Clienti"), 0, 2);
        Apri();
        Cerca(QStringLiteral("A"));
        messaggi->AccodaTesto(QStringLiteral("A2"));
        Tasto(f->txt[15], Qt::Key_D, Qt::AltModifier);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("A2"));
        QCOMPARE(Righe(QStringLiteral("SELECT Tabella, Origine, Tipo FROM QuivaFile WHERE Codice = 'A2'")),
                 QStringList {"Clienti|A.txt|F"});
        QCOMPARE(Righe(QStringLiteral(
                     "SELECT OrdCampo, NomeCampo, NumCampo FROM QuivaDettaglio WHERE Codice = 'A2' ORDER BY OrdCampo")),
                 Righe(QStringLiteral(
                     "SELECT OrdCampo, NomeCampo, NumCampo FROM QuivaDettaglio WHERE Codice = 'A' ORDER BY OrdCampo")));
        QCOMPARE(Righe(QStringLiteral("SELECT COUNT(*) FROM QuivaDecod WHERE Codice = 'A2'")), QStringList {"2"});

        Tasto(f->txt[15], Qt::Key_F10);  // nothing changed: back to searching
        QCOMPARE(f->Pagina().oiFlagOpe(), 0);
        Cerca(QStringLiteral("D"));
        messaggi->AccodaTesto(QStringLiteral("D2"));
        Tasto(f->txt[15], Qt::Key_D, Qt::AltModifier);
        QCOMPARE(Righe(QStringLiteral("SELECT COUNT(*) FROM QuivaDettaglio WHERE Codice = 'D2'")), QStringList {"0"});
        QCOMPARE(Righe(QStringLiteral("SELECT ValOrig, ValDest FROM QuivaDecod WHERE Codice = 'D2' ORDER BY ValOrig")),
                 (QStringList {"o1|d1", "o2|d2"}));
        QVERIFY(messaggi->messaggi.isEmpty());
    }

    void duplicaInterrottaLasciaTuttoComEra()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 3, 2);
        // The decode rows cannot be written: the copy fails after the header
        // and the field rows.
        Sql(QStringLiteral("CREATE TRIGGER guasto BEFORE INSERT ON QuivaDecod WHEN NEW.Codice = 'A3' "
                           "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END"));
        Apri();
        Cerca(QStringLiteral("A"));
        messaggi->AccodaTesto(QStringLiteral("A3"));
        Tasto(f->txt[15], Qt::Key_D, Qt::AltModifier);
        QCOMPARE(messaggi->messaggi.size(), 1);
        QVERIFY(messaggi->Testi().first().startsWith(QStringLiteral("Errore(")));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM QuivaFile")), QStringList {"A"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDettaglio")), QStringList {"A"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDecod")), QStringList {"A"});
        QCOMPARE(f->txt[10]->text(), QStringLiteral("A"));
    }

    void cambioCodicePortaConSeLeRighe()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 2, 1);
        Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('A', 'riga 1', 'errore')"));
        Apri();
        Cerca(QStringLiteral("A"));
        Tasto(f->txt[15], Qt::Key_V, Qt::AltModifier);
        QVERIFY(!f->txt[10]->isReadOnly());
        f->txt[10]->setText(QStringLiteral("A9"));
        Tasto(f->txt[10], Qt::Key_S, Qt::AltModifier);
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM QuivaFile")), QStringList {"A9"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDettaglio")), QStringList {"A9"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDecod")), QStringList {"A9"});
        QCOMPARE(Righe(QStringLiteral("SELECT Tabella FROM ErroriQuivamento")), QStringList {"A9"});

        // A change of letter case alone is a rename too.
        Tasto(f->txt[15], Qt::Key_V, Qt::AltModifier);
        f->txt[10]->setText(QStringLiteral("a9"));
        Tasto(f->txt[10], Qt::Key_S, Qt::AltModifier);
        QVERIFY2(messaggi->messaggi.isEmpty(), qPrintable(messaggi->Testi().join(QLatin1Char('\n'))));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM QuivaFile")), QStringList {"a9"});
        QCOMPARE(Righe(QStringLiteral("SELECT DISTINCT Codice FROM QuivaDettaglio")), QStringList {"a9"});
    }

    void solaLetturaNonCambiaNulla()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 1, 0);
        Apri(QStringLiteral("/RO"));
        QCOMPARE(f->oiAbilRW, 0);
        for (const char* comando : {"Salva", "Cancella", "Duplica", "VarKey"})
            QVERIFY(!f->tolComandi->Azione(QLatin1String(comando))->isEnabled());
        Cerca(QStringLiteral("A"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 1);
        QVERIFY(f->txt[15]->isReadOnly());
        QVERIFY(!f->Cob[60]->isEnabled());
        QVERIFY(!f->CheAzz[40]->isEnabled());
        Tasto(f->txt[15], Qt::Key_C, Qt::AltModifier);
        Tasto(f->txt[15], Qt::Key_D, Qt::AltModifier);
        Tasto(f->txt[15], Qt::Key_F10);
        QVERIFY(messaggi->messaggi.isEmpty());
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Tipo FROM QuivaFile")), QStringList {"A|F"});
        QCOMPARE(Righe(QStringLiteral("SELECT COUNT(*) FROM QuivaDettaglio")), QStringList {"1"});
    }

    // Keys pressed in a window opened over the header editor act there only.
    void tastiDellaFinestraSoprastante()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"), 1, 1);
        Definizione(QStringLiteral("Z"), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("A"));
        auto intatta = [&] {
            QCOMPARE(f->txt[10]->text(), QStringLiteral("A"));
            QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM QuivaFile ORDER BY Codice")), (QStringList {"A", "Z"}));
            QCOMPARE(Righe(QStringLiteral("SELECT COUNT(*) FROM QuivaDettaglio")), QStringList {"1"});
            QVERIFY(f->isVisible());
        };

        QTest::mouseClick(f->ComTrasf[0], Qt::LeftButton);
        QPointer<frmTrasform> trasformazioni = f->findChild<frmTrasform*>();
        QVERIFY(trasformazioni && QTest::qWaitForWindowExposed(trasformazioni));
        // "Si" to any question (the default answer)
        Tasto(trasformazioni->dbgRiga, Qt::Key_C, Qt::AltModifier);
        Tasto(trasformazioni->dbgRiga, Qt::Key_F, Qt::AltModifier);
        intatta();
        Tasto(trasformazioni->dbgRiga, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(!trasformazioni || !trasformazioni->isVisible());
        intatta();

        QTest::mouseClick(f->ComDett, Qt::LeftButton);
        QPointer<frmGeQuivDett> dettagli = f->findChild<frmGeQuivDett*>();
        QVERIFY(dettagli && QTest::qWaitForWindowExposed(dettagli));
        Tasto(dettagli->dbgRiga, Qt::Key_F, Qt::AltModifier);
        Tasto(dettagli->dbgRiga, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(!dettagli || !dettagli->isVisible());
        intatta();

        // A window with no page keys of its own, such as the export dialog.
        QPointer<QFileDialog> dialogo = NuovoDialogoFile(f, ModoScelta::Salva, QStringLiteral("Esporta definizione"),
                                                         QStringLiteral("A.json"), QStringLiteral("Tutti i file (*)"));
        dialogo->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialogo));
        auto* nome = dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(nome);
        for (Qt::Key tasto : {Qt::Key_C, Qt::Key_U, Qt::Key_H})
            Tasto(nome, tasto, Qt::AltModifier);
        QVERIFY(dialogo->isVisible());
        delete dialogo;
        intatta();

        frmGestQuivLis* lista = ApriLista();
        QVERIFY(lista);
        Tasto(lista->dbgRiga, Qt::Key_F, Qt::AltModifier);  // the list's last row, not the header's
        QCOMPARE(lista->Browser().Riga(), 2);
        Tasto(lista->dbgRiga, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(!f->Lista() || !f->Lista()->isVisible());
        intatta();
    }

    // Alt with a letter bound to nothing types nothing and changes nothing;
    // under "/RO" a table combo chooses nothing either.
    void tastiCheNonScrivono()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("A"));
        f->txt[15]->setText(QStringLiteral("desc"));
        f->txt[15]->setCursorPosition(4);
        f->Pagina().Campi().Fotografa();
        Tasto(f->txt[15], Qt::Key_Q, Qt::AltModifier);
        Tasto(f->txt[15], Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(f->txt[15]->text(), QStringLiteral("desc"));
        QVERIFY(f->Pagina().VarDati().isEmpty());
        f->close();
        delete f;

        Apri(QStringLiteral("/RO"));
        Cerca(QStringLiteral("A"));
        QVERIFY(f->txt[20]->isReadOnly());
        Tasto(f->Cob[20], Qt::Key_Down);
        Tasto(f->Cob[20], Qt::Key_Up);
        QTest::mouseClick(f->Cob[20], Qt::LeftButton, Qt::NoModifier, QPoint(f->Cob[20]->width() - 5, 5));
        QVERIFY(!f->Cob[20]->view()->isVisible());
        QCOMPARE(f->txt[20]->text(), QStringLiteral("Clienti"));
        QVERIFY(f->Pagina().VarDati().isEmpty());
    }

    // Whole numbers are whole, line counts not negative, and a search with
    // a value in error does not run.
    void numeriComeSiVedono()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("A"));
        for (const char* valore : {"2,5", "-1"}) {
            messaggi->messaggi.clear();
            f->txt[50]->setText(QLatin1String(valore));
            Tasto(f->txt[50], Qt::Key_F10);
            QCOMPARE(messaggi->Testi(), QStringList {"Valore non valido nel campo 'SaltaInizio'"});
            QCOMPARE(Righe(QStringLiteral("SELECT IFNULL(SaltaInizio, '') FROM QuivaFile")), QStringList {""});
        }
        f->txt[50]->setText(QStringLiteral("3"));
        Tasto(f->txt[50], Qt::Key_F10);
        QCOMPARE(Righe(QStringLiteral("SELECT SaltaInizio FROM QuivaFile")), QStringList {"3"});
        QCOMPARE(f->Pagina().oiFlagOpe(), 0);

        messaggi->messaggi.clear();
        f->txt[50]->setText(QStringLiteral("x"));
        f->txt[10]->setText(QStringLiteral("A"));
        Tasto(f->txt[10], Qt::Key_F10);
        QCOMPARE(f->Pagina().oiFlagOpe(), 0);
        QCOMPARE(messaggi->Testi(), QStringList {"Valore non valido nel campo 'SaltaInizio': ricerca non eseguita"});
    }

    // "(+)" and "(-)" move the list only when the header follows it.
    void listaEPaginaAlPasso()
    {
        for (const char* codice : {"A", "B", "C"})
            Definizione(QLatin1String(codice), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("B"));
        frmGestQuivLis* lista = ApriLista();
        QVERIFY(lista);
        QCOMPARE(lista->Browser().Valore(QStringLiteral("Codice")), QStringLiteral("B"));  // on the one shown
        ClicRiga(lista, 1);
        QTRY_VERIFY(!lista->isVisible());
        QVERIFY(f->tolComandi->Disponibile(QStringLiteral("ListaAvanti")));

        f->txt[15]->setText(QStringLiteral("cambiata"));
        messaggi->AccodaRisposta(3);  // "Annulla": stay
        Tasto(f->txt[15], Qt::Key_Plus, Qt::AltModifier);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("B"));
        QCOMPARE(lista->Browser().Valore(QStringLiteral("Codice")), QStringLiteral("B"));
        messaggi->AccodaRisposta(2);  // "No": dropped
        Tasto(f->txt[15], Qt::Key_Plus, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("C"));
        QCOMPARE(lista->Browser().Valore(QStringLiteral("Codice")), QStringLiteral("C"));
        Tasto(f->txt[15], Qt::Key_Minus, Qt::AltModifier);
        QCOMPARE(f->txt[10]->text(), QStringLiteral("B"));
        QCOMPARE(lista->Browser().Valore(QStringLiteral("Codice")), QStringLiteral("B"));
    }

    void chiusuraConModificheChiede()
    {
        Definizione(QStringLiteral("A"), QStringLiteral("Clienti"));
        Apri();
        Cerca(QStringLiteral("A"));
        f->txt[15]->setText(QStringLiteral("Descrizione nuova"));
        messaggi->AccodaRisposta(3);  // stay
        Tasto(f->txt[15], Qt::Key_H, Qt::AltModifier);
        QVERIFY(f && f->isVisible());
        messaggi->AccodaRisposta(1);  // save and close
        Tasto(f->txt[15], Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(!f);
        QCOMPARE(Righe(QStringLiteral("SELECT Descrizione FROM QuivaFile")), QStringList {"Descrizione nuova"});
    }
};

QTEST_MAIN(ProvaEditor)
#include "qtest_editor.moc"
