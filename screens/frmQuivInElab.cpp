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

frmQuivInElab::frmQuivInElab(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
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

    MostraTotale(false);
}

void frmQuivInElab::Apri(const QString& titolo, const QString& intestazione)
{
    setWindowTitle(titolo);
    LabIntestazione->setText(intestazione);
    LabMessaggio->clear();
    m_posizione = 0;
    m_totale = 0;
    m_errori = 0;
    m_salvate = 0;
    Disponi();
    show();
    raise();
    m_tempo.start();
    Aggiorna(true);
}

void frmQuivInElab::Chiudi() { hide(); }

void frmQuivInElab::Mostra()
{
    show();
    raise();
    activateWindow();
}

void frmQuivInElab::Fase(FaseQuiva fase, const QString& nome)
{
    m_fase = fase;
    LabMessaggio->setText(TestoFase(fase, nome));
    LabLetti->setText(fase == FaseQuiva::QueryFinali ? QStringLiteral("Query:") : QStringLiteral("Letti:"));
    m_posizione = 0;
    m_totale = 0;
    MostraTotale(FaseConTotale(fase));
    Aggiorna(true);
}

void frmQuivInElab::Posizione(long posizione)
{
    m_posizione = posizione;
    // A final query can run long: its number is on screen before it starts.
    Aggiorna(m_fase == FaseQuiva::QueryFinali);
}

void frmQuivInElab::Salvate(long righe)
{
    m_salvate = righe;
    Aggiorna(false);
}

void frmQuivInElab::Totale(long totale)
{
    m_totale = totale;
    Aggiorna(m_fase == FaseQuiva::QueryFinali);
}

void frmQuivInElab::Errori(long errori)
{
    m_errori = errori;
    Aggiorna(false);
}

// Either "Letti: x di n" with the bar, or "Letti: x" and "Errori: e".
void frmQuivInElab::MostraTotale(bool conTotale)
{
    LabDi->setVisible(conTotale);
    txtTotale->setVisible(conTotale);
    barAvanzamento->setVisible(conTotale);
    LabErrori->setVisible(!conTotale);
    txtErrori->setVisible(!conTotale);
    LabSalvate->setVisible(!conTotale);
    txtSalvate->setVisible(!conTotale);
    Disponi();
}

void frmQuivInElab::Disponi()
{
    txtLetti->setText(QString::number(m_posizione));
    txtTotale->setText(QString::number(m_totale));
    txtErrori->setText(QString::number(m_errori));
    txtSalvate->setText(QString::number(m_salvate));
    if (barAvanzamento->isVisibleTo(this)) {
        // Never 0 to 0, which the bar shows as busy.
        barAvanzamento->setRange(0, static_cast<int>(std::max(1L, std::min<long>(m_totale, INT_MAX))));
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
