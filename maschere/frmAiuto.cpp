#include "frmAiuto.h"

#include "Tastiera.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

frmAiuto::frmAiuto()
{
    setObjectName(QStringLiteral("frmAiuto"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Guida di Quiva"));
    UsaTastieraComune(*this);
    auto* layout = new QHBoxLayout(this);
    auto* sinistra = new QVBoxLayout;
    txtCerca = new QLineEdit(this);
    txtCerca->setPlaceholderText(QStringLiteral("Cerca..."));
    lstRisultati = new QListWidget(this);
    sinistra->addWidget(new QLabel(QStringLiteral("Ricerca"), this));
    sinistra->addWidget(txtCerca);
    sinistra->addWidget(lstRisultati);
    txtPagina = new QTextBrowser(this);
    txtPagina->setOpenLinks(false);
    layout->addLayout(sinistra, 1);
    layout->addWidget(txtPagina, 3);
    connect(txtCerca, &QLineEdit::textChanged, this, &frmAiuto::Cerca);
    connect(lstRisultati, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* voce) { MostraArgomento(voce->data(Qt::UserRole).toString()); });
    connect(lstRisultati, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* voce) { MostraArgomento(voce->data(Qt::UserRole).toString()); });
    connect(txtPagina, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { MostraArgomento(url.toString()); });
    Cerca(QString());
    // The shared keyboard swallows Escape; a window that only shows closes with it.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(720, 480);
}

frmAiuto* frmAiuto::Apri(int modo, int contesto)
{
    static QPointer<frmAiuto> aperto;
    if (!aperto)
        aperto = new frmAiuto;
    if (modo == 1)
        aperto->MostraArgomento(QStringLiteral("indice"));
    else if (modo == 2) {
        aperto->MostraArgomento(QStringLiteral("indice"));
        aperto->txtCerca->setFocus();
    } else
        aperto->MostraArgomento(PagineAiuto::ArgomentoDelContesto(contesto));
    aperto->show();
    aperto->raise();
    aperto->activateWindow();
    return aperto;
}

void frmAiuto::MostraArgomento(const QString& argomento)
{
    const QString html = PagineAiuto::Html(argomento);
    m_argomento = html.isEmpty() ? QStringLiteral("indice") : argomento;
    txtPagina->setHtml(PagineAiuto::Html(m_argomento));
}

void frmAiuto::Cerca(const QString& testo)
{
    lstRisultati->clear();
    for (const QString& argomento : PagineAiuto::Argomenti()) {
        QTextDocument documento;
        documento.setHtml(PagineAiuto::Html(argomento));
        const QString semplice = documento.toPlainText();
        if (!testo.trimmed().isEmpty() && !semplice.contains(testo.trimmed(), Qt::CaseInsensitive))
            continue;
        auto* voce = new QListWidgetItem(semplice.section(QLatin1Char('\n'), 0, 0), lstRisultati);
        voce->setData(Qt::UserRole, argomento);
    }
}
