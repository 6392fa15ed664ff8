// The editor's grids and toolbar as a person reads them, and "Duplica" on
// the field detail and transformation pages.
#include "BarraComandi.h"
#include "ColonneGriglia.h"
#include "DatabaseLink.h"
#include "GestioneMaschere.h"
#include "LinePageEditor.h"
#include "ListBrowser.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "StampaLista.h"
#include "TabelleQuiva.h"
#include "frmGeQuivDett.h"
#include "frmGestQuivLis.h"
#include "frmGestQuiva.h"
#include "frmTrasform.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void Clic(BarraComandi* barra, const QString& comando)
{
    QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
}

// With QUIVA_SCHERMATE naming a folder, the windows are saved there as
// pictures, to be looked at.
void Fotografa(QWidget* finestra, const QString& nome)
{
    const QString cartella = qEnvironmentVariable("QUIVA_SCHERMATE");
    if (!cartella.isEmpty())
        finestra->grab().save(cartella + QLatin1Char('/') + nome + QStringLiteral(".png"));
}

QImage Immagine(const QIcon& icona, QIcon::Mode modo) { return icona.pixmap(24, 24, modo).toImage(); }

}  // namespace

class ProvaRigheCopiate : public QObject {
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

    std::unique_ptr<frmGeQuivDett> ApriDettagli()
    {
        const TabelleDefinizione testata {QStringLiteral("D1"), {QStringLiteral("Conti")}, {}};
        auto f = std::make_unique<frmGeQuivDett>(Contesto(), testata);
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        f->Carica();
        f->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(f.get())); }();
        return f;
    }
    std::unique_ptr<frmTrasform> ApriTrasformazioni()
    {
        auto f = std::make_unique<frmTrasform>(Contesto());
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        f->osCodice = QStringLiteral("D1");
        f->osTabella = QStringLiteral("Conti");
        f->oiAbilRW = 1;
        f->TabellaStd(QStringLiteral("QuivaDecod"), QStringLiteral("QuivaDecod"), 3, false, false);
        f->Carica();
        f->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(f.get())); }();
        return f;
    }
    static void DidascalieIntere(QTableView* griglia)
    {
        const QFontMetrics metrica(griglia->horizontalHeader()->font());
        for (int c = 0; c < griglia->model()->columnCount(); ++c) {
            const QString didascalia = griglia->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(griglia->isColumnHidden(c) || griglia->columnWidth(c) >= metrica.horizontalAdvance(didascalia),
                     qPrintable(didascalia + QStringLiteral(" cut")));
        }
    }

    // At its smallest size a screen still shows every label whole.
    static void EtichetteIntereAllaMisuraMinima(QWidget* schermo)
    {
        Fotografa(schermo, schermo->objectName());
        schermo->resize(1, 1);
        QApplication::processEvents();
        Fotografa(schermo, schermo->objectName() + QStringLiteral("-minima"));
        for (const QLabel* etichetta : schermo->findChildren<QLabel*>()) {
            if (!etichetta->isVisible() || etichetta->wordWrap() || etichetta->text().isEmpty())
                continue;
            QVERIFY2(etichetta->width() >= etichetta->fontMetrics().horizontalAdvance(etichetta->text()),
                     qPrintable(etichetta->text() + QStringLiteral(" cut")));
        }
    }

private slots:
    void initTestCase()
    {
        static QTemporaryDir impostazioni;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, impostazioni.path());
    }
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("ditta.db")));
        CreaTabelleQuiva(*db);
        Sql(QStringLiteral(
            "CREATE TABLE Conti (Gruppo VARCHAR(2), Mastro VARCHAR(2), Conto VARCHAR(4), Note VARCHAR(20))"));
        messaggi = std::make_unique<RisposteScriptate>();
    }
    void cleanup()
    {
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void rigaDiCampoDuplicataColNuovoNome()
    {
        Sql(QStringLiteral("INSERT INTO QuivaDettaglio (Codice, NomeCampo, OrdCampo, NumCampo, TipoOrig, TipoDest, "
                           "NonVal, Obbligatorio) VALUES ('D1', 'Gruppo', '1', '3', 'String', 'String', 'XX', 'S'), "
                           "('D1', 'Conto', '2', '4', 'String', 'String', null, null)"));
        auto f = ApriDettagli();
        QVERIFY(f->tolComandi->Disponibile(QStringLiteral("Duplica")));
        // Captions are the labels' words, whole; the field combo fits the joined name.
        QTableView* griglia = f->dbgRiga;
        const ModelloLista& modello = f->Pagina().Browser().Modello();
        QCOMPARE(modello.headerData(modello.Colonna(QStringLiteral("NomeCampo")), Qt::Horizontal).toString(),
                 QStringLiteral("Nome Campo"));
        DidascalieIntere(griglia);
        QVERIFY(f->Cob[20]->sizeHint().width()
                > f->Cob[20]->fontMetrics().horizontalAdvance(QStringLiteral("Gruppo|Mastro|Conto")));

        // Cancelled: nothing. Then the name of a row that exists: refused.
        messaggi->AccodaTesto(std::nullopt);
        Clic(f->tolComandi, QStringLiteral("Duplica"));
        QCOMPARE(f->Pagina().oiFlagOpe(), 1);
        messaggi->AccodaTesto(QStringLiteral("Conto"));
        Clic(f->tolComandi, QStringLiteral("Duplica"));
        QCOMPARE(messaggi->domande.last(), QStringLiteral("Nuovo valore di 'NomeCampo':"));
        QCOMPARE(messaggi->proposte.last(), QStringLiteral("Gruppo"));
        QVERIFY(messaggi->Mostrato(QStringLiteral("Esiste già una riga con questa chiave")));
        Clic(f->tolComandi, QStringLiteral("Annulla"));

        messaggi->AccodaTesto(QStringLiteral("Mastro"));
        Clic(f->tolComandi, QStringLiteral("Duplica"));
        QCOMPARE(Righe(QStringLiteral("SELECT NomeCampo, OrdCampo, NumCampo, NonVal, Obbligatorio FROM "
                                      "QuivaDettaglio WHERE Codice = 'D1' ORDER BY NomeCampo")),
                 (QStringList {"Conto|2|4||", "Gruppo|1|3|XX|S", "Mastro|1|3|XX|S"}));
        QCOMPARE(f->Pagina().Browser().Valore(QStringLiteral("NomeCampo")), QStringLiteral("Mastro"));
        QCOMPARE(f->Cob[20]->currentText(), QStringLiteral("Mastro"));
        EtichetteIntereAllaMisuraMinima(f.get());
        f->close();
    }

    void rigaDiTrasformazioneDuplicataColNuovoValore()
    {
        Sql(QStringLiteral("INSERT INTO QuivaDecod VALUES ('D1', 'Conti', 'Gruppo', '01', 'A1')"));
        auto f = ApriTrasformazioni();
        DidascalieIntere(f->dbgRiga);
        messaggi->AccodaTesto(QStringLiteral("02"));
        Clic(f->tolComandi, QStringLiteral("Duplica"));
        QCOMPARE(messaggi->proposte.last(), QStringLiteral("01"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Tabella, NomeCampo, ValOrig, ValDest FROM QuivaDecod "
                                      "ORDER BY ValOrig")),
                 (QStringList {"D1|Conti|Gruppo|01|A1", "D1|Conti|Gruppo|02|A1"}));
        // A source value that already has its translation is refused.
        messaggi->AccodaTesto(QStringLiteral("01"));
        Clic(f->tolComandi, QStringLiteral("Duplica"));
        QVERIFY(messaggi->Mostrato(QStringLiteral("ha già una trasformazione")));
        QCOMPARE(Righe(QStringLiteral("SELECT count(*) FROM QuivaDecod")), QStringList {"2"});

        // The printed list uses the grid's captions.
        const QString html = StampaLista::Html(*f->dbgRiga, f->windowTitle());
        QVERIFY(html.contains(QStringLiteral("ValoreOrigine")));
        QVERIFY(!html.contains(QStringLiteral(">ValOrig<")));
        f->Browser().Comando(QStringLiteral("Annulla"));
        EtichetteIntereAllaMisuraMinima(f.get());
        f->close();
    }

    void intestazioneEListaLeggibili()
    {
        Sql(QStringLiteral("INSERT INTO QuivaFile (Codice, Tabella, Origine, Tipo, SaltaInizio) "
                           "VALUES ('CLIENTI', 'Conti', 'clienti.txt', 'S', 1)"));
        QPointer<frmGestQuiva> testata = new frmGestQuiva(Contesto());
        QVERIFY(MostraMaschera(testata, QStringLiteral("K1"), {}, {}, {}));
        QVERIFY(QTest::qWaitForWindowExposed(testata));
        QApplication::setActiveWindow(testata);
        testata->txt[10]->setFocus();
        QTest::keyClick(testata->txt[10], Qt::Key_L, Qt::AltModifier);
        frmGestQuivLis* lista = testata->Lista();
        QVERIFY(lista && QTest::qWaitForWindowExposed(lista));
        DidascalieIntere(lista->dbgRiga);
        QCOMPARE(lista->dbgRiga->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Righe da Saltare"));
        QVERIFY(StampaLista::Html(*lista->dbgRiga, lista->windowTitle()).contains(QStringLiteral("Righe da Saltare")));
        EtichetteIntereAllaMisuraMinima(lista);
        lista->close();
        EtichetteIntereAllaMisuraMinima(testata);
        testata->close();
        delete testata;
    }

    void iconeDistinteEDisabilitateVisibili()
    {
        BarraComandi barra(
            {{"Salva", "(S) Salva"}, {"Stampa", "(P) Stampa"}, {"Cancella", "(C) Cancella"}, {"Posiz", ""}});
        QVERIFY(Immagine(barra.Azione(QStringLiteral("Salva"))->icon(), QIcon::Normal)
                != Immagine(barra.Azione(QStringLiteral("Stampa"))->icon(), QIcon::Normal));
        const QIcon cancella = barra.Azione(QStringLiteral("Cancella"))->icon();
        const QImage normale = Immagine(cancella, QIcon::Normal), spenta = Immagine(cancella, QIcon::Disabled);
        // Disabled: fainter than the enabled icon, pixel by pixel.
        long alfaNormale = 0, alfaSpenta = 0;
        for (int y = 0; y < normale.height(); ++y)
            for (int x = 0; x < normale.width(); ++x) {
                alfaNormale += qAlpha(normale.pixel(x, y));
                alfaSpenta += qAlpha(spenta.pixel(x, y));
            }
        QVERIFY(alfaSpenta * 2 < alfaNormale);
        // "Posiz" says what it does, and has no Alt letter.
        QVERIFY(barra.Azione(QStringLiteral("Posiz"))->toolTip().contains(QStringLiteral("Puntatore")));
        QVERIFY(barra.ChiaveDaLettera(QLatin1Char('P')) == QStringLiteral("Stampa"));
    }
};

QTEST_MAIN(ProvaRigheCopiate)
#include "qtest_righe_copiate.moc"
