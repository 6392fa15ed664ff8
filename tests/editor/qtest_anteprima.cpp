// The preview, the check and "Crea da file" of the definition editors,
// driven with keys and clicks as a user would.
#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "LinePageEditor.h"
#include "ListBrowser.h"
#include "PageEditor.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "TabelleQuiva.h"
#include "frmAnteprima.h"
#include "frmGeQuivDett.h"
#include "frmGestQuiva.h"
#include "frmVerifica.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void Clic(BarraComandi* barra, const QString& comando)
{
    QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
}

void Tasto(QWidget* w, int tasto, Qt::KeyboardModifiers modificatori = Qt::NoModifier)
{
    if (QApplication::activeWindow() != w->window())
        QApplication::setActiveWindow(w->window());
    w->setFocus();
    QTest::keyClick(w, Qt::Key(tasto), modificatori);
}

// The preview window opened last, once it is on screen.
frmAnteprima* AnteprimaAperta()
{
    frmAnteprima* aperta = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<frmAnteprima*>(w); a && a->isVisible())
            aperta = a;
    return aperta;
}

template <typename Finestra> Finestra* Aperta()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<Finestra*>(w); a && a->isVisible())
            return a;
    return nullptr;
}

int Colonna(const QTableWidget* griglia, const QString& titolo)
{
    for (int c = 0; c < griglia->columnCount(); ++c)
        if (griglia->horizontalHeaderItem(c)->text() == titolo)
            return c;
    return -1;
}

QString Testo(const QTableWidget* griglia, int riga, const QString& titolo)
{
    const int c = Colonna(griglia, titolo);
    return c < 0 || !griglia->item(riga, c) ? QStringLiteral("<nessuna colonna %1>").arg(titolo)
                                            : griglia->item(riga, c)->text();
}

}  // namespace

class ProvaAnteprima : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    QPointer<frmGestQuiva> f;

    ContestoEditor Contesto() { return ContestoEditor {*db, *messaggi, *messaggi, {}}; }
    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql, nullptr, QStringLiteral("NULL")); }
    QString File(const QString& nome, const QByteArray& testo)
    {
        const QString percorso = cartella->filePath(nome);
        QFile file(percorso);
        [&] { QVERIFY(file.open(QIODevice::WriteOnly) && file.write(testo) == testo.size()); }();
        return percorso;
    }
    // The schema and every row of the company.
    QByteArray Impronta()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString& r : Righe(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name")))
            hash.addData(r.toUtf8());
        for (const char* t : {"Conti", "QuivaFile", "QuivaDettaglio", "QuivaDecod", "ErroriQuivamento"})
            for (const QString& r : Righe(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(t))))
                hash.addData(r.toUtf8());
        return hash.result();
    }
    void Campo(const QString& codice, int ordine, const QString& nome, const QString& numero, const QString& tipo,
               bool chiave)
    {
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, NumCampo, TipoOrig, TipoDest, "
                           "Aggiorna) VALUES ('%1', '%2', '%3', '%4', '%5', '%5', '%6')")
                .arg(codice)
                .arg(ordine)
                .arg(nome, numero, tipo, chiave ? QString() : QStringLiteral("A")));
    }
    void Apri()
    {
        f = new frmGestQuiva(Contesto());
        QVERIFY(MostraMaschera(f, QStringLiteral("K1"), {}, {}, {}));
        QVERIFY(QTest::qWaitForWindowExposed(f));
        f->activateWindow();
    }
    void Cerca(const QString& codice)
    {
        f->txt[10]->setText(codice);
        Tasto(f->txt[10], Qt::Key_F10);
    }
    frmGeQuivDett* ApriDettagli()
    {
        QTest::mouseClick(f->ComDett, Qt::LeftButton);
        auto* dettagli = Aperta<frmGeQuivDett>();
        return dettagli && QTest::qWaitForWindowExposed(dettagli) ? dettagli : nullptr;
    }

private slots:
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        messaggi = std::make_unique<RisposteScriptate>();
        Sql(QStringLiteral("CREATE TABLE Conti (Codice VARCHAR(4) PRIMARY KEY, Importo REAL, Note VARCHAR(20))"));
        Sql(QStringLiteral("INSERT INTO Conti VALUES ('A1', 1, 'vecchia')"));
        const QString origine = File(QStringLiteral("conti.txt"), "A1;10,5;uno\r\nB2;dieci;due\r\nC3;7;tre\r\n");
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Tabella, Origine, Tipo, Separatore, Modalita) "
                           "VALUES ('CONTI', 'Conti', '%1', 'S', ';', '0')")
                .arg(origine));
        Campo(QStringLiteral("CONTI"), 1, QStringLiteral("Codice"), QStringLiteral("1"), QStringLiteral("String"), true);
        Campo(QStringLiteral("CONTI"), 2, QStringLiteral("Importo"), QStringLiteral("2"), QStringLiteral("Double"), false);
        Campo(QStringLiteral("CONTI"), 3, QStringLiteral("Note"), QStringLiteral("3"), QStringLiteral("String"), false);
    }
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<Maschera*>(w))
                w->setAttribute(Qt::WA_DeleteOnClose), w->close();
        delete f;
        QTest::qWait(0);
        db.reset();
    }

    void AnteprimaMostraCioCheUnCaricoScriverebbe()
    {
        Apri();
        Cerca(QStringLiteral("CONTI"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 1);
        const QByteArray prima = Impronta();
        Tasto(f->txt[15], Qt::Key_E, Qt::AltModifier);
        frmAnteprima* a = AnteprimaAperta();
        QVERIFY(a);
        QTableWidget* g = a->grdRighe;
        QCOMPARE(a->spnRighe->value(), 20);
        QCOMPARE(g->rowCount(), 3);
        QCOMPARE(Testo(g, 0, QStringLiteral("Conti: scrittura")), QStringLiteral("variazione"));
        QCOMPARE(Testo(g, 2, QStringLiteral("Conti: scrittura")), QStringLiteral("inserimento"));
        QCOMPARE(Testo(g, 1, QStringLiteral("Conti: scrittura")), QStringLiteral("nessuna scrittura"));
        QCOMPARE(Testo(g, 2, QStringLiteral("Conti.Note")), QStringLiteral("tre"));
        QCOMPARE(Testo(g, 0, QStringLiteral("Conti.Importo")), QStringLiteral("10,5"));
        // The rejected line: its failing field marked, the reason given.
        const int importo = Colonna(g, QStringLiteral("Conti.Importo"));
        QVERIFY(g->item(1, importo)->background().color() != g->item(0, importo)->background().color());
        QVERIFY(!Testo(g, 1, QStringLiteral("Motivi dello scarto")).isEmpty());
        QVERIFY(Testo(g, 0, QStringLiteral("Motivi dello scarto")).isEmpty());
        QVERIFY(!a->txtRiga->isVisible());  // delimited lines: no ruler
        QCOMPARE(Impronta(), prima);

        // Fewer lines, typed into the window.
        a->spnRighe->setFocus();
        a->spnRighe->selectAll();
        QTest::keyClicks(a->spnRighe, QStringLiteral("2"));
        QTest::keyClick(a->spnRighe, Qt::Key_Return);
        QCOMPARE(g->rowCount(), 2);
        QCOMPARE(Impronta(), prima);
    }

    void AnteprimaSegueIlSalvataggioDiUnCampo()
    {
        Apri();
        Cerca(QStringLiteral("CONTI"));
        frmGeQuivDett* d = ApriDettagli();
        QVERIFY(d);
        Tasto(d->dbgRiga, Qt::Key_E, Qt::AltModifier);
        frmAnteprima* a = AnteprimaAperta();
        QVERIFY(a);
        QCOMPARE(Testo(a->grdRighe, 0, QStringLiteral("Conti.Note")), QStringLiteral("uno"));

        // Note now takes the first field of the line.
        QVERIFY(d->VaiACampo(QStringLiteral("Note")));
        d->txt[50]->setFocus();
        d->txt[50]->selectAll();
        QTest::keyClicks(d->txt[50], QStringLiteral("1"));
        Clic(d->tolComandi, QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT NumCampo FROM QuivaDettaglio WHERE NomeCampo = 'Note'")),
                 QStringList {QStringLiteral("1")});
        QCOMPARE(Testo(a->grdRighe, 0, QStringLiteral("Conti.Note")), QStringLiteral("A1"));
        QCOMPARE(Righe(QStringLiteral("SELECT * FROM Conti")), QStringList {QStringLiteral("A1|1|vecchia")});
    }

    void AnteprimaDiUnTracciatoFissoConRighello()
    {
        const QString origine = File(QStringLiteral("fisso.txt"), "A1  uno 3,5\r\nB2  due xx\r\nC3  tre 7\r\n");
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Tabella, Origine, Tipo, Modalita) "
                           "VALUES ('FISSO', 'Conti', '%1', 'F', '0')")
                .arg(origine));
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, Inizio, Lunghezza, TipoOrig, "
                           "TipoDest, Aggiorna) VALUES ('FISSO', '1', 'Codice', 1, 2, 'String', 'String', NULL), "
                           "('FISSO', '2', 'Note', 5, 3, 'String', 'String', 'A'), "
                           "('FISSO', '3', 'Importo', 9, 3, 'Double', 'Double', 'A')"));
        frmAnteprima a(Contesto(), QStringLiteral("FISSO"));
        a.Carica();
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QVERIFY(a.txtRiga->isVisible());
        QCOMPARE(a.grdRighe->rowCount(), 3);
        const int note = Colonna(a.grdRighe, QStringLiteral("Conti.Note"));
        QTest::mouseClick(a.grdRighe->viewport(), Qt::LeftButton, {},
                          a.grdRighe->visualItemRect(a.grdRighe->item(1, note)).center());
        const QStringList righe = a.txtRiga->toPlainText().split(u'\n');
        QCOMPARE(righe.last(), QStringLiteral("B2  due xx"));
        QCOMPARE(righe.size(), 3);  // two ruler lines and the line
        // Both spans marked, the chosen field's on characters 5-6.
        const QList<QTextEdit::ExtraSelection> spazi = a.txtRiga->extraSelections();
        QCOMPARE(spazi.size(), 3);
        QCOMPARE(spazi[1].cursor.selectedText(), QStringLiteral("due"));
        QCOMPARE(spazi[2].cursor.selectedText(), QStringLiteral("xx"));  // the line is shorter than the field
        QVERIFY(spazi[1].format.background() != spazi[0].format.background());
        QVERIFY(spazi[1].format.background() != spazi[2].format.background());
        // QUIVA_FOTO=file.png keeps a picture of the window (the user guide's).
        if (const QString foto = qEnvironmentVariable("QUIVA_FOTO"); !foto.isEmpty())
            QVERIFY(a.grab().save(foto));
    }

    void VerificaPortaAllaRigaDelCampo()
    {
        Campo(QStringLiteral("CONTI"), 4, QStringLiteral("Inesistente"), QStringLiteral("4"), QStringLiteral("String"),
              false);
        Apri();
        Cerca(QStringLiteral("CONTI"));
        Tasto(f->txt[15], Qt::Key_K, Qt::AltModifier);
        frmVerifica* v = Aperta<frmVerifica>();
        QVERIFY(v);
        QListWidgetItem* voce = nullptr;
        for (int i = 0; i < v->lstProblemi->count(); ++i)
            if (v->lstProblemi->item(i)->text().contains(QStringLiteral("Inesistente")))
                voce = v->lstProblemi->item(i);
        QVERIFY2(voce, qPrintable(v->lblEsito->text()));
        // From the header editor: the field editor opens on that row.
        const QPoint punto = v->lstProblemi->visualItemRect(voce).center();
        QTest::mouseClick(v->lstProblemi->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(v->lstProblemi->viewport(), Qt::LeftButton, {}, punto);
        frmGeQuivDett* d = Aperta<frmGeQuivDett>();
        QVERIFY(d);
        QCOMPARE(d->txt[20]->text(), QStringLiteral("Inesistente"));
        // The check stays usable over the field editor, which is modal.
        QVERIFY(d->VaiACampo(QStringLiteral("Codice")));
        QCOMPARE(v->parentWidget(), d);
        QApplication::setActiveWindow(v);
        QTest::mouseClick(v->lstProblemi->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(v->lstProblemi->viewport(), Qt::LeftButton, {}, punto);
        QCOMPARE(d->txt[20]->text(), QStringLiteral("Inesistente"));

        // From the field editor's own check: back to that row from another.
        QVERIFY(d->VaiACampo(QStringLiteral("Codice")));
        Tasto(d->dbgRiga, Qt::Key_K, Qt::AltModifier);
        frmVerifica* propria = nullptr;
        for (frmVerifica* w : d->findChildren<frmVerifica*>())
            propria = w;
        QVERIFY(propria && propria->isVisible());
        QListWidget* lista = propria->lstProblemi;
        for (int i = 0; i < lista->count(); ++i)
            if (lista->item(i)->text().contains(QStringLiteral("Inesistente"))) {
                const QPoint qui = lista->visualItemRect(lista->item(i)).center();
                QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, qui);
                QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, qui);
            }
        QCOMPARE(d->txt[20]->text(), QStringLiteral("Inesistente"));
        QCOMPARE(d->Pagina().Browser().Modello().Valore(d->Pagina().RigaMostrata(), QStringLiteral("NomeCampo")),
                 QStringLiteral("Inesistente"));
    }

    void CreaDaFileScriveSoloConSalva()
    {
        const QString origine =
            File(QStringLiteral("nuovo.csv"), "Codice;Importo;Note\r\nX1;1,50;primo\r\nX2;2,25;secondo\r\n");
        for (bool conferma : {false, true}) {
            Apri();
            Cerca(QStringLiteral("NUOVO"));
            QCOMPARE(f->Pagina().oiFlagOpe(), 2);
            QVERIFY(!f->tolComandi->Disponibile(QStringLiteral("Anteprima")));
            f->txt[20]->setText(QStringLiteral("Conti"));
            f->txt[30]->setText(origine);
            const QByteArray prima = Impronta();
            Tasto(f->txt[30], Qt::Key_B, Qt::AltModifier);
            frmAnteprima* a = AnteprimaAperta();
            QVERIFY(a);
            QVERIFY(a->ComSalva->isVisible());
            QVERIFY(a->lblProposta->text().contains(QStringLiteral("intestazione")));
            QVERIFY2(a->grdRighe->rowCount() == 2, qPrintable(messaggi->Testi().join(u'\n')));  // the header line is skipped
            QCOMPARE(Testo(a->grdRighe, 1, QStringLiteral("Conti.Note")), QStringLiteral("secondo"));
            QCOMPARE(Testo(a->grdRighe, 1, QStringLiteral("Conti: scrittura")), QStringLiteral("inserimento"));
            QCOMPARE(Impronta(), prima);
            if (!conferma) {
                QTest::mouseClick(a->ComChiudi, Qt::LeftButton);
                QTRY_VERIFY(!AnteprimaAperta());
                QCOMPARE(Impronta(), prima);
                delete f;
                continue;
            }
            QTest::mouseClick(a->ComSalva, Qt::LeftButton);
            QTRY_VERIFY(!AnteprimaAperta());
            QCOMPARE(Righe(QStringLiteral("SELECT Tabella, Tipo, Separatore, SaltaInizio FROM QuivaFile WHERE Codice = "
                                          "'NUOVO'")),
                     QStringList {QStringLiteral("Conti|S|;|1")});
            QCOMPARE(Righe(QStringLiteral("SELECT NomeCampo FROM QuivaDettaglio WHERE Codice = 'NUOVO' ORDER BY "
                                          "NomeCampo")),
                     (QStringList {QStringLiteral("Codice"), QStringLiteral("Importo"), QStringLiteral("Note")}));
            QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Conti")), QStringList {QStringLiteral("A1")});
            // The editor shows the definition written.
            QCOMPARE(f->Pagina().oiFlagOpe(), 1);
            QCOMPARE(f->txt[10]->text(), QStringLiteral("NUOVO"));
        }
    }
};

QTEST_MAIN(ProvaAnteprima)
#include "qtest_anteprima.moc"
