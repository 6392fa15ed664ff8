#include "frmBatchSelezDett.h"

#include "ControlliSchermo.h"
#include "DatabaseLink.h"
#include "DidascalieQuiva.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "ModelloRecordset.h"
#include "frmBatchSelez.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QTableView>
#include <QVBoxLayout>

frmBatchSelezDett::frmBatchSelezDett(const ContestoQuiva& contesto, frmBatchSelez& batch, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_batch(&batch)
{
    setObjectName(QStringLiteral("frmBatchSelezDett"));
    osNome = QStringLiteral("frmBatchSelezDett");
    setWindowTitle(frmBatchSelez::Caption);
    auto* layout = new QVBoxLayout(this);
    dbgQuiva = NuovaGriglia("dbgQuiva", this);
    m_modello = ModelloGriglia(dbgQuiva);
    m_modello->ImpostaDidascalie(DidascalieQuiva(QStringLiteral("QuivaDettaglio")));
    dbgQuiva->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_modello->ImpostaModificabili({QStringLiteral("CostBatch")}, [this](int riga, const QString&, QString& valore) {
        return CambiaCostante(riga, valore);
    });
    layout->addWidget(dbgQuiva, 1);
    auto* pulsanti = new QHBoxLayout;
    ComOk = NuovoPulsante(QStringLiteral("&Finito"), "ComOk", this);
    pulsanti->addStretch();
    pulsanti->addWidget(ComOk);
    layout->addLayout(pulsanti);
    connect(ComOk, &QPushButton::clicked, this, &QWidget::close);
    resize(Twip(11800), Twip(4000));
}

frmBatchSelezDett::~frmBatchSelezDett() { m_modello->Imposta(nullptr); }

void frmBatchSelezDett::Carica()
{
    helpContext = frmBatchSelez::ContestoHelp;
    OpzioniMaschera opzioni;
    opzioni.soloLettura = false;
    opzioni.scala = true;
    opzioni.silenziosa = true;
    PreparaMaschera(*this, QString(), opzioni);
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + osCodice);
    if (oiAbilRW == 0)  // as the batch screen was launched
        dbgQuiva->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PrepGrid();
    oiLoadOk = 1;
}

void frmBatchSelezDett::PassaA()
{
    PassaAlMenu(QStringLiteral("Selezione File Quiv. Batch"), QStringLiteral("frmBatchSelez"), osKeySec);
}

void frmBatchSelezDett::PrepGrid()
{
    if (!m_batch)
        return;
    m_modello->Imposta(&m_batch->RecordsetDettaglio());
    LarghezzeColonne(dbgQuiva, {{"CostBatch", 5000}, {"NomeCampo", 1200}, {"Richiesta", 5000}});
}

bool frmBatchSelezDett::CambiaCostante(int riga, QString& valore)
{
    try {
        const int massimo = m_ctx.db.DimensioneColonna(QStringLiteral("QuivaDettaglio"), QStringLiteral("CostBatch"));
        if (massimo > 0 && valore.size() > massimo) {
            m_ctx.messaggi.msgCom(QStringLiteral("Il valore può avere al massimo %1 caratteri").arg(massimo),
                                  {QStringLiteral("&Ok")});
            return false;
        }
        m_ctx.db.EseguiParametri(
            QStringLiteral("Update QuivaDettaglio Set CostBatch = ? Where Codice = ? And NomeCampo = ?"),
            {valore, osCodice, m_modello->Valore(riga, QStringLiteral("NomeCampo"))});
        return true;
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
        return false;
    }
}

void frmBatchSelezDett::closeEvent(QCloseEvent* evento)
{
    // Not the shared closing: the menu knows only the batch screen, which
    // comes back now.
    m_modello->Imposta(nullptr);
    QWidget::closeEvent(evento);
    if (m_batch)
        m_batch->DopoGestDettaglio();
}
