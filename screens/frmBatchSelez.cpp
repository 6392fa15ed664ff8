#include "frmBatchSelez.h"

#include "ControlliSchermo.h"
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "ModelloRecordset.h"
#include "frmBatchSelezDett.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString Ok = QStringLiteral("&Ok");
}

frmBatchSelez::frmBatchSelez(const ContestoQuiva& contesto, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_rs(contesto.db), ogRecDet(contesto.db)
{
    setObjectName(QStringLiteral("frmBatchSelez"));
    osNome = QStringLiteral("frmBatchSelez");
    setWindowTitle(Caption);
    auto* layout = new QVBoxLayout(this);

    dbgQuiva = NuovaGriglia("dbgQuiva", this);
    m_modello = ModelloGriglia(dbgQuiva);
    dbgQuiva->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A key typed on "Quiva" edits it; a double click opens the details.
    dbgQuiva->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::SelectedClicked);
    m_modello->ImpostaModificabili({QStringLiteral("Quiva")}, [this](int riga, const QString&, QString& valore) {
        return CambiaBatch(riga, valore);
    });
    connect(dbgQuiva->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& corrente) { RigaCambiata(corrente.row()); });
    connect(dbgQuiva->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmBatchSelez::SelChange);
    connect(dbgQuiva, &QTableView::doubleClicked, this, &frmBatchSelez::comDettagli_Click);
    layout->addWidget(dbgQuiva, 1);

    auto* pulsanti = new QHBoxLayout;
    comDettagli = NuovoPulsante(QStringLiteral("&Dettagli"), "comDettagli", this);
    ComOk = NuovoPulsante(QStringLiteral("&Finito"), "ComOk", this);
    comDettagli->setEnabled(false);
    pulsanti->addWidget(comDettagli);
    pulsanti->addStretch();
    pulsanti->addWidget(ComOk);
    layout->addLayout(pulsanti);
    connect(comDettagli, &QPushButton::clicked, this, &frmBatchSelez::comDettagli_Click);
    connect(ComOk, &QPushButton::clicked, this, &frmBatchSelez::ComOk_Click);
    resize(Twip(7600), Twip(5000));
}

frmBatchSelez::~frmBatchSelez()
{
    if (m_dettaglio)
        delete m_dettaglio.data();
    m_modello->Imposta(nullptr);
}

void frmBatchSelez::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.scala = true;
    PreparaMaschera(*this, QString(), opzioni);
    if (oiAbilRW == 0)  // launched with "/RO": nothing can be changed
        dbgQuiva->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PrepGrid();
    oiLoadOk = 1;
}

void frmBatchSelez::PassaA()
{
    PassaAlMenu(QStringLiteral("Selezione File Quiv. Batch"), QStringLiteral("frmBatchSelez"), osKeySec);
}

void frmBatchSelez::PrepGrid()
{
    m_modello->Imposta(nullptr);
    m_rs.Chiudi(m_nomeRs);
    m_nomeRs = m_rs.Apri(QStringLiteral("Select Batch as Quiva, Codice, Descrizione,Tabella from QuivaFile"));
    m_modello->Imposta(&m_rs.Oggetto(m_nomeRs));
    LarghezzeColonne(dbgQuiva, {{"Quiva", 600}, {"Codice", 800}, {"Descrizione", 3000}, {"Tabella", 1200}});
    if (m_modello->rowCount() > 0)
        dbgQuiva->setCurrentIndex(m_modello->index(0, 0));
}

QString frmBatchSelez::ValoreRiga(int riga, const QString& colonna) const { return m_modello->Valore(riga, colonna); }

frmBatchSelezDett* frmBatchSelez::Dettaglio() const { return m_dettaglio; }

QString frmBatchSelez::SqlDettaglio(const QString& codice)
{
    return QStringLiteral("Select CostBatch,NomeCampo,Default as Richiesta from QuivaDettaglio")
        + QStringLiteral(" Where Codice = ") + FormUtility::SqlLiteral(codice, TipiDato::String)
        + QStringLiteral(" And left(Default,1) = ") + FormUtility::SqlLiteral(QStringLiteral("§"), TipiDato::String);
}

bool frmBatchSelez::CambiaBatch(int riga, QString& valore)
{
    valore = valore.toUpper();
    if (valore != QLatin1String("S") && valore != QLatin1String("N")) {
        m_ctx.messaggi.msgCom(QStringLiteral("Inserire S o N"), {Ok});
        // The cell stays in editing with what was typed.
        const QModelIndex cella = m_modello->index(riga, m_modello->Colonna(QStringLiteral("Quiva")));
        QTimer::singleShot(0, this, [this, cella, valore] {
            dbgQuiva->setCurrentIndex(cella);
            dbgQuiva->edit(cella);
            for (auto* editor : dbgQuiva->viewport()->findChildren<QLineEdit*>())
                if (editor->isVisible()) {
                    editor->setText(valore);
                    editor->selectAll();
                }
        });
        return false;
    }
    try {
        m_ctx.db.EseguiParametri(QStringLiteral("Update QuivaFile Set Batch = ? Where Codice = ?"),
                                 {valore, ValoreRiga(riga, QStringLiteral("Codice"))});
        return true;
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
        return false;
    }
}

void frmBatchSelez::RigaCambiata(int riga)
{
    bool conRichieste = false;
    try {
        const QString nome = ogRecDet.Apri(SqlDettaglio(ValoreRiga(riga, QStringLiteral("Codice"))));
        conRichieste = !ogRecDet.Vuoto(nome);
        ogRecDet.Chiudi(nome);
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
    comDettagli->setEnabled(conRichieste);
}

void frmBatchSelez::SelChange(const QItemSelection&, const QItemSelection& deselezionate)
{
    // With exactly one row selected, the row the cursor stands on joins it,
    // unless the user has just taken that row out.
    QItemSelectionModel* sel = dbgQuiva->selectionModel();
    const QModelIndexList righe = sel->selectedRows();
    const QModelIndex corrente = sel->currentIndex();
    if (righe.size() != 1 || !corrente.isValid() || corrente.row() == righe.first().row())
        return;
    for (const QModelIndex& i : deselezionate.indexes())
        if (i.row() == corrente.row())
            return;
    sel->select(corrente, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void frmBatchSelez::comDettagli_Click()
{
    if (oiInDett >= 1)
        return;
    const QModelIndex corrente = dbgQuiva->currentIndex();
    if (!corrente.isValid())
        return;
    const QString codice = ValoreRiga(corrente.row(), QStringLiteral("Codice"));
    try {
        m_nomeDettaglio = ogRecDet.Apri(SqlDettaglio(codice));
        if (ogRecDet.Vuoto(m_nomeDettaglio)) {
            ogRecDet.Chiudi(m_nomeDettaglio);
            m_ctx.messaggi.msgCom(
                QStringLiteral("Non ci sono valori costanti da inserire per il quivamento di questo file"), {Ok});
            dbgQuiva->setFocus();
            return;
        }
        auto* dettaglio = new frmBatchSelezDett(m_ctx, *this);
        dettaglio->osKeySec = osKeySec;
        dettaglio->osCodice = codice;
        dettaglio->oiAbilRW = oiAbilRW;
        oiInDett = 1;
        m_dettaglio = dettaglio;
        dettaglio->Carica();
        setEnabled(false);
        dettaglio->show();
        dettaglio->raise();
        dettaglio->activateWindow();
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
        if (m_dettaglio)
            m_dettaglio->close();
        else
            DopoGestDettaglio();
    }
}

void frmBatchSelez::DopoGestDettaglio()
{
    // Nothing here can fail in a way that should keep the screen disabled.
    setEnabled(true);
    show();
    activateWindow();
    dbgQuiva->setFocus();
    ogRecDet.Chiudi(m_nomeDettaglio);
    m_nomeDettaglio.clear();
    m_dettaglio = nullptr;
    oiInDett = -1;
}

void frmBatchSelez::ComOk_Click() { close(); }

bool frmBatchSelez::PuoChiudere(QString& motivo)
{
    // The detail screen works on this screen's record set: it closes first.
    if (m_dettaglio) {
        motivo = QStringLiteral("Dettagli aperti");
        m_dettaglio->raise();
        m_dettaglio->activateWindow();
        return false;
    }
    return true;
}
