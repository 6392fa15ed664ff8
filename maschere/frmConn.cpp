#include "frmConn.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmConn::frmConn()
{
    setObjectName(QStringLiteral("frmConn"));
    setWindowFlags(Qt::Dialog);
    auto* layout = new QVBoxLayout(this);
    lblTitolo = new QLabel(this);
    lblVersione = new QLabel(this);
    lblData = new QLabel(this);
    QFont carattere = lblTitolo->font();
    carattere.setBold(true);
    lblTitolo->setFont(carattere);
    for (QLabel* etichetta : {lblTitolo, lblVersione, lblData}) {
        etichetta->setAlignment(Qt::AlignCenter);
        layout->addWidget(etichetta);
    }
    resize(360, 120);
}

void frmConn::Prepara(const QString& titolo, const QString& versione, const QString& data)
{
    lblTitolo->setText(titolo);
    lblVersione->setText(QStringLiteral("Versione ") + versione);
    lblData->setText(QStringLiteral("del ") + data);
}

void frmConn::Stato(const QString& didascalia)
{
    if (didascalia.isEmpty()) {
        hide();
        return;
    }
    setWindowTitle(didascalia);
    if (QScreen* schermo = QApplication::primaryScreen())
        move(schermo->availableGeometry().center() - rect().center());
    show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
