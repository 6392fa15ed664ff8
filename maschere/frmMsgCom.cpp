#include "frmMsgCom.h"

#include "AspettoMaschere.h"
#include "Tastiera.h"
#include "frmConn.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString Ok = QStringLiteral("&Ok");

// Whatever the executable is called.
QString TitoloProgramma() { return QStringLiteral("Quiva"); }

// The connection window steps aside while a question is on screen.
class ConnessioneNascosta {
public:
    ConnessioneNascosta()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* conn = qobject_cast<frmConn*>(w); conn && conn->isVisible()) {
                conn->hide();
                m_nascoste << conn;
            }
    }
    ~ConnessioneNascosta()
    {
        for (const QPointer<QWidget>& w : m_nascoste)
            if (w)
                w->show();
    }
    ConnessioneNascosta(const ConnessioneNascosta&) = delete;
    ConnessioneNascosta& operator=(const ConnessioneNascosta&) = delete;

private:
    QList<QPointer<QWidget>> m_nascoste;
};

}  // namespace

frmMsgCom::frmMsgCom(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsgCom"));
    setWindowTitle(TitoloProgramma());
    setModal(true);
    UsaTastieraComune(*this);
    auto* layout = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    LabIcona = new QLabel(this);
    LabIcona->setObjectName(QStringLiteral("LabIcona"));
    LabIcona->setAlignment(Qt::AlignTop);
    LabIcona->hide();
    txtMessaggio = new QLabel(this);
    txtMessaggio->setObjectName(QStringLiteral("txtMessaggio"));
    txtMessaggio->setTextFormat(Qt::PlainText);
    txtMessaggio->setWordWrap(true);
    txtMessaggio->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtMessaggio->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    riga->addWidget(LabIcona);
    riga->addSpacing(8);
    riga->addWidget(txtMessaggio, 1);
    LabMessaggio = new QLabel(this);
    LabMessaggio->setObjectName(QStringLiteral("LabMessaggio"));
    LabMessaggio->hide();
    txtRisposta = new QLineEdit(this);
    txtRisposta->setObjectName(QStringLiteral("txtRisposta"));
    txtRisposta->hide();
    txtComRit = new QLineEdit(this);
    txtComRit->setObjectName(QStringLiteral("txtComRit"));
    txtComRit->hide();
    m_pulsanti = new QHBoxLayout;
    m_pulsanti->addStretch();
    layout->addWidget(LabMessaggio);
    layout->addLayout(riga);
    layout->addWidget(txtRisposta);
    layout->addSpacing(6);
    layout->addLayout(m_pulsanti);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int frmMsgCom::Mostra(const QString& testo, const QStringList& risposte, IconaMessaggio icona)
{
    txtMessaggio->setText(testo);
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
        auto* pulsante = new QPushButton(Ok, this);
        connect(pulsante, &QPushButton::clicked, this, [this] { Premuto(0); });
        m_pulsanti->addWidget(pulsante);
        ComEsegui.append(pulsante);
    }
    m_pulsanti->addStretch();
    ComEsegui.first()->setDefault(true);

    const QStyle::StandardPixmap simbolo = icona == IconaMessaggio::Errore ? QStyle::SP_MessageBoxCritical
        : icona == IconaMessaggio::Domanda                                 ? QStyle::SP_MessageBoxQuestion
                                                                           : QStyle::SP_MessageBoxInformation;
    const int lato = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    LabIcona->setVisible(icona != IconaMessaggio::Nessuna);
    if (icona != IconaMessaggio::Nessuna)
        LabIcona->setPixmap(style()->standardIcon(simbolo, nullptr, this).pixmap(lato, lato));
    Dimensiona(testo);
    if (!txtRisposta->isHidden()) {
        txtRisposta->setFocus();
        txtRisposta->selectAll();
    } else {
        ComEsegui.first()->setFocus();
    }

    Centra();
    const ConnessioneNascosta connessione;
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

std::optional<QString> frmMsgCom::Chiedi(const QString& prompt, const QString& titolo, const QString& proposta)
{
    setWindowTitle(titolo.isEmpty() ? TitoloProgramma() : titolo);
    txtRisposta->setText(proposta);
    txtRisposta->show();
    const int scelta = Mostra(prompt, {Ok, QStringLiteral("&Annulla")});
    txtRisposta->hide();
    if (scelta != 1)
        return std::nullopt;
    return txtRisposta->text();
}

// Wide enough for the longest line of the text and for the title, within
// the screen: longer lines wrap, and the height follows the text.
void frmMsgCom::Dimensiona(const QString& testo)
{
    const QFontMetrics metrica(txtMessaggio->font());
    const QRect schermo = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int icona = LabIcona->isVisible() ? LabIcona->pixmap().deviceIndependentSize().toSize().width() + 8 : 0;
    int larghezza = 240;
    for (const QString& riga : testo.split(QLatin1Char('\n')))
        larghezza = qMax(larghezza, metrica.horizontalAdvance(riga) + 4);
    larghezza = qMax(larghezza, LarghezzaTitolo(windowTitle()) - icona);
    larghezza = qMin(larghezza, schermo.width() * 9 / 10 - icona - 40);
    txtMessaggio->setMinimumWidth(larghezza);
    txtMessaggio->setMaximumWidth(larghezza);
    adjustSize();
}

// In the middle of the screen of the window it speaks for (of the
// pointer's screen when it has none).
void frmMsgCom::Centra()
{
    QScreen* schermo = parentWidget() ? parentWidget()->window()->screen() : QGuiApplication::screenAt(QCursor::pos());
    if (!schermo)
        schermo = QGuiApplication::primaryScreen();
    if (!schermo)
        return;
    adjustSize();
    QRect posto = frameGeometry();
    posto.moveCenter(schermo->availableGeometry().center());
    move(posto.topLeft());
}

void frmMsgCom::Premuto(int indice)
{
    txtComRit->setText(QString::number(indice + 1));
    hide();
    accept();
}

int MessaggiDesktop::msgCom(const QString& testo, const QStringList& risposte)
{
    // A single answer is a notice; a choice is a question.
    int scelte = 0;
    for (const QString& risposta : risposte)
        scelte += risposta.isEmpty() ? 0 : 1;
    return MsgBox(testo, risposte, scelte > 1 ? IconaMessaggio::Domanda : IconaMessaggio::Informazione);
}

int MessaggiDesktop::MsgBox(const QString& testo, const QStringList& risposte, IconaMessaggio icona)
{
    frmMsgCom finestra(QApplication::activeWindow());
    return finestra.Mostra(testo, risposte, icona);
}

std::optional<QString> MessaggiDesktop::Chiedi(const QString& prompt, const QString& titolo, const QString& proposta)
{
    frmMsgCom finestra(QApplication::activeWindow());
    return finestra.Chiedi(prompt, titolo, proposta);
}
