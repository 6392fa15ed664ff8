#include "frmQuivInElab.h"

#include "GestioneMaschere.h"
#include "Tastiera.h"
#include "frmQuiva.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
QLabel* Etichetta(const QString& testo, const char* nome, QWidget* padre)
{
    auto* l = new QLabel(testo, padre);
    l->setObjectName(QLatin1String(nome));
    l->setTextFormat(Qt::PlainText);
    return l;
}
QLabel* Numero(const char* nome, QWidget* padre)
{
    QLabel* l = Etichetta(QStringLiteral("0"), nome, padre);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(Twip(1000));
    l->setFrameShape(QFrame::StyledPanel);
    return l;
}
}  // namespace

frmQuivInElab::frmQuivInElab(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmQuivInElab"));
    UsaTastieraComune(*this, frmQuiva::ContestoHelp);
    auto* layout = new QVBoxLayout(this);
    LabIntestazione = Etichetta(QString(), "LabIntestazione", this);
    QFont grassetto = LabIntestazione->font();
    grassetto.setBold(true);
    grassetto.setPointSizeF(grassetto.pointSizeF() * 1.2);
    LabIntestazione->setFont(grassetto);
    LabIntestazione->setAlignment(Qt::AlignCenter);
    layout->addWidget(LabIntestazione);

    LabMessaggio = Etichetta(QString(), "LabMessaggio", this);
    LabMessaggio->setMinimumWidth(Twip(5000));
    layout->addWidget(LabMessaggio);

    auto* gruppo = new QGroupBox(this);
    auto* righe = new QHBoxLayout(gruppo);
    LabRecords = Etichetta(QStringLiteral("Records"), "LabRecords", gruppo);
    LabLetti = Etichetta(QStringLiteral("Letti:"), "LabLetti", gruppo);
    txtLetti = Numero("txtLetti", gruppo);
    LabDi = Etichetta(QStringLiteral("di"), "LabDi", gruppo);
    txtTotale = Numero("txtTotale", gruppo);
    LabSalvate = Etichetta(QStringLiteral("Salvate:"), "LabSalvate", gruppo);
    txtSalvate = Numero("txtSalvate", gruppo);
    LabErrori = Etichetta(QStringLiteral("Errori:"), "LabErrori", gruppo);
    txtErrori = Numero("txtErrori", gruppo);
    righe->addWidget(LabRecords);
    righe->addSpacing(Twip(200));
    righe->addWidget(LabLetti);
    righe->addWidget(txtLetti);
    righe->addWidget(LabDi);
    righe->addWidget(txtTotale);
    righe->addSpacing(Twip(200));
    righe->addWidget(LabSalvate);
    righe->addWidget(txtSalvate);
    righe->addStretch();
    righe->addWidget(LabErrori);
    righe->addWidget(txtErrori);
    layout->addWidget(gruppo);

    barAvanzamento = new QProgressBar(this);
    barAvanzamento->setObjectName(QStringLiteral("barAvanzamento"));
    barAvanzamento->setTextVisible(false);
    layout->addWidget(barAvanzamento);

    VisibileEtichetta(QStringLiteral("LabDi"), false);
    VisibileEtichetta(QStringLiteral("LabErrori"), true);
}

void frmQuivInElab::Apri(const QString& titolo, const QString& intestazione)
{
    setWindowTitle(titolo);
    LabIntestazione->setText(intestazione);
    LabMessaggio->clear();
    m_posizione = 0;
    m_conteggio = 0;
    m_salvate = 0;
    Disponi();
    show();
    raise();
    m_tempo.start();
    Aggiorna(true);
}

void frmQuivInElab::Chiudi()
{
    hide();
}

void frmQuivInElab::Mostra()
{
    show();
    raise();
    activateWindow();
}

void frmQuivInElab::Avanza(long posizione, const QString& messaggio)
{
    m_posizione = posizione;
    const bool nuovoMessaggio = !messaggio.isNull();
    if (nuovoMessaggio)
        LabMessaggio->setText(messaggio);
    Aggiorna(nuovoMessaggio);
}

void frmQuivInElab::Conta(long conteggio, long)
{
    m_conteggio = conteggio;
    Aggiorna(false);
}

void frmQuivInElab::Salvate(long righe)
{
    m_salvate = righe;
    Aggiorna(false);
}

void frmQuivInElab::VisibileEtichetta(const QString& etichetta, bool visibile)
{
    if (etichetta.compare(QLatin1String("LabErrori"), Qt::CaseInsensitive) == 0) {
        LabErrori->setVisible(visibile);
        txtErrori->setVisible(visibile);
        LabSalvate->setVisible(visibile);
        txtSalvate->setVisible(visibile);
    } else if (etichetta.compare(QLatin1String("LabDi"), Qt::CaseInsensitive) == 0) {
        LabDi->setVisible(visibile);
        txtTotale->setVisible(visibile);
        barAvanzamento->setVisible(visibile);
    }
    Disponi();
}

void frmQuivInElab::Disponi()
{
    txtLetti->setText(QString::number(m_posizione));
    txtTotale->setText(QString::number(m_conteggio));
    txtErrori->setText(QString::number(m_conteggio));
    txtSalvate->setText(QString::number(m_salvate));
    if (barAvanzamento->isVisibleTo(this)) {
        barAvanzamento->setRange(0, static_cast<int>(std::max(0L, std::min<long>(m_conteggio, INT_MAX))));
        barAvanzamento->setValue(static_cast<int>(std::clamp<long>(m_posizione, 0, barAvanzamento->maximum())));
    }
}

void frmQuivInElab::Aggiorna(bool forza)
{
    // A load calls this once per line: the labels are redrawn and the events
    // run only when enough time has passed.
    if (!forza && m_tempo.isValid() && m_tempo.elapsed() < IntervalloEventiMs)
        return;
    Disponi();
    m_tempo.restart();
    QCoreApplication::processEvents();
}
