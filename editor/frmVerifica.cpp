#include "frmVerifica.h"

#include "AspettoMaschere.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "frmAnteprima.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int RuoloCampo = Qt::UserRole + 1;
}

frmVerifica::frmVerifica(const ContestoEditor& contesto, const QString& codice, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_codice(codice)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmVerifica"));
    osNome = QStringLiteral("frmVerifica");
    setWindowTitle(QStringLiteral("Verifica quivamento ") + codice);
    auto* layout = new QVBoxLayout(this);
    lblEsito = new QLabel(this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    lblEsito->setWordWrap(true);
    layout->addWidget(lblEsito);
    lstProblemi = new QListWidget(this);
    lstProblemi->setObjectName(QStringLiteral("lstProblemi"));
    lstProblemi->setWordWrap(true);
    layout->addWidget(lstProblemi, 1);
    auto* comandi = new QHBoxLayout;
    ComAggiorna = new QPushButton(QStringLiteral("A&ggiorna"), this);
    ComAggiorna->setObjectName(QStringLiteral("ComAggiorna"));
    ComChiudi = new QPushButton(QStringLiteral("C&hiudi"), this);
    ComChiudi->setObjectName(QStringLiteral("ComChiudi"));
    comandi->addStretch(1);
    for (QPushButton* b : {ComAggiorna, ComChiudi}) {
        b->setAutoDefault(false);
        comandi->addWidget(b);
    }
    layout->addLayout(comandi);
    connect(ComAggiorna, &QPushButton::clicked, this, &frmVerifica::Aggiorna);
    connect(ComChiudi, &QPushButton::clicked, this, &QWidget::close);
    connect(lstProblemi, &QListWidget::itemActivated, this, [this](QListWidgetItem* voce) {
        const QString campo = voce->data(RuoloCampo).toString();
        if (!campo.isEmpty() && vaiACampo)
            vaiACampo(campo);
    });
    resize(Twip(9000), Twip(4500));
}

void frmVerifica::Carica()
{
    helpContext = ContestoHelp;
    OpzioniMaschera opzioni;
    opzioni.soloLettura = false;
    opzioni.silenziosa = true;
    PreparaMaschera(*this, QString(), opzioni);
    Aggiorna();
}

void frmVerifica::Aggiorna()
{
    lstProblemi->clear();
    ContestoQuiva contesto = ContestoCarico(m_ctx);
    try {
        m_esito = VerificaCompleta(contesto, m_codice);
    } catch (const std::exception& errore) {
        m_esito = {};
        m_esito.lettura = -1;
        m_ctx.messaggi.MsgErrfrm(errore, QStringLiteral("Verifica ") + m_codice);
    }
    if (m_esito.lettura != 0) {
        lblEsito->setText(QStringLiteral("La definizione %1 non può essere letta").arg(m_codice));
        return;
    }
    for (const ProblemaDefinizione& p : m_esito.problemi) {
        auto* voce = new QListWidgetItem(p.testo, lstProblemi);
        if (p.campo >= 0 && !p.nomeCampo.isEmpty()) {
            voce->setData(RuoloCampo, p.nomeCampo);
            voce->setToolTip(QStringLiteral("Doppio clic: mostra la riga %1").arg(p.nomeCampo));
        }
    }
    lblEsito->setText(m_esito.problemi.empty()
                          ? QStringLiteral("Nessun problema nella definizione %1").arg(m_codice)
                          : QStringLiteral("%1 nella definizione %2 (doppio clic per andare alla riga)")
                                .arg(m_esito.problemi.size() == 1
                                         ? QStringLiteral("1 problema")
                                         : QStringLiteral("%1 problemi").arg(m_esito.problemi.size()),
                                     m_codice));
    if (lstProblemi->count() > 0)
        lstProblemi->setCurrentRow(0);
}
