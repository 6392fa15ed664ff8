#include "frmMsgCom.h"

#include "Tastiera.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmMsgCom::frmMsgCom(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsgCom"));
    setWindowTitle(QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Quiva")
                                                                    : QApplication::applicationDisplayName());
    setModal(true);
    UsaTastieraComune(*this);
    auto* layout = new QVBoxLayout(this);
    LabMessaggio = new QLabel(this);
    LabMessaggio->setObjectName(QStringLiteral("LabMessaggio"));
    LabMessaggio->hide();
    txtMessaggio = new QPlainTextEdit(this);
    txtMessaggio->setObjectName(QStringLiteral("txtMessaggio"));
    txtMessaggio->setReadOnly(true);
    txtMessaggio->setFrameShape(QFrame::NoFrame);
    txtMessaggio->viewport()->setAutoFillBackground(false);
    txtMessaggio->setFocusPolicy(Qt::NoFocus);
    txtComRit = new QLineEdit(this);
    txtComRit->setObjectName(QStringLiteral("txtComRit"));
    txtComRit->hide();
    m_pulsanti = new QHBoxLayout;
    m_pulsanti->addStretch();
    layout->addWidget(LabMessaggio);
    layout->addWidget(txtMessaggio, 1);
    layout->addLayout(m_pulsanti);
}

int frmMsgCom::Mostra(const QString& testo, const QStringList& risposte)
{
    txtMessaggio->setPlainText(testo);
    txtComRit->clear();
    qDeleteAll(ComEsegui);
    ComEsegui.clear();
    for (int i = 0; i < risposte.size(); ++i) {
        if (risposte.at(i).isEmpty())
            continue;  // a missing caption gives no button
        auto* pulsante = new QPushButton(risposte.at(i), this);
        pulsante->setObjectName(QStringLiteral("ComEsegui_%1").arg(i));
        pulsante->setAutoDefault(true);
        connect(pulsante, &QPushButton::clicked, this, [this, i] { Premuto(i); });
        m_pulsanti->addWidget(pulsante);
        ComEsegui.append(pulsante);
    }
    if (ComEsegui.isEmpty()) {
        auto* pulsante = new QPushButton(QStringLiteral("&Ok"), this);
        connect(pulsante, &QPushButton::clicked, this, [this] { Premuto(0); });
        m_pulsanti->addWidget(pulsante);
        ComEsegui.append(pulsante);
    }
    m_pulsanti->addStretch();
    ComEsegui.first()->setDefault(true);
    ComEsegui.first()->setFocus();

    // Size to the text: wide enough for its longest line, within the screen.
    const QFontMetrics metrica(txtMessaggio->font());
    int larghezza = 320;
    const QStringList righe = testo.split(QLatin1Char('\n'));
    for (const QString& riga : righe)
        larghezza = qMax(larghezza, metrica.horizontalAdvance(riga) + 60);
    const QRect schermo = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    larghezza = qMin(larghezza, schermo.width() * 8 / 10);
    const int altezza = qMin(metrica.lineSpacing() * (static_cast<int>(righe.size()) + 2) + 70, schermo.height() * 8 / 10);
    resize(larghezza, altezza);

    exec();
    bool ok = false;
    const int numero = txtComRit->text().toInt(&ok);
    if (ok)
        return numero;
    // Closed without a button: the last answer offered.
    for (int i = static_cast<int>(risposte.size()) - 1; i >= 0; --i)
        if (!risposte.at(i).isEmpty())
            return i + 1;
    return 1;
}

void frmMsgCom::Premuto(int indice)
{
    txtComRit->setText(QString::number(indice + 1));
    hide();
    accept();
}

int MessaggiDesktop::msgCom(const QString& testo, const QStringList& risposte)
{
    frmMsgCom finestra(QApplication::activeWindow());
    return finestra.Mostra(testo, risposte);
}

std::optional<QString> MessaggiDesktop::Chiedi(const QString& prompt, const QString& titolo, const QString& proposta)
{
    bool ok = false;
    const QString risposta = QInputDialog::getText(QApplication::activeWindow(), titolo, prompt, QLineEdit::Normal, proposta, &ok);
    if (!ok)
        return std::nullopt;
    return risposta;
}
