#include "FinestraMenu.h"

#include "ConfigurazioneMenu.h"
#include "ServerMenu.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
struct VoceMaschera {
    const char* nome;
    const char* titolo;
};
const VoceMaschera Maschere[] = {{"frmQuiva", "Quivamento Dati"},
                                 {"frmGestQuiva", "Gestione tracciati"},
                                 {"frmVerErrori", "Verifica errori di quivamento"},
                                 {"frmBatchSelez", "Selezione File Quiv. Batch"}};
const char* const Comandi[] = {"fine",      "esiste",       "ritornoa",       "passaa",  "preppassaa", "keyprgprim",
                               "keyprgsec", "paramprgclie", "comandoprgclie", "FEInvio", "FEAttesa",   "attiva"};
}  // namespace

FinestraMenu::FinestraMenu(ConfigurazioneMenu& configurazione, ServerMenu& server)
    : m_config(configurazione), m_server(server)
{
    setWindowTitle(QStringLiteral("Menu principale - ")
                   + m_config.Leggi(QStringLiteral("Ditta"), QStringLiteral("DescAzie")).value_or(QString()));
    auto* centrale = new QWidget(this);
    auto* layout = new QVBoxLayout(centrale);

    auto* gruppoProgramma = new QGroupBox(QStringLiteral("Quiva"), centrale);
    auto* layoutProgramma = new QVBoxLayout(gruppoProgramma);
    lstMaschere = new QListWidget(gruppoProgramma);
    for (const auto& m : Maschere) {
        auto* voce = new QListWidgetItem(QString::fromLatin1(m.titolo) + QStringLiteral("  (")
                                             + QString::fromLatin1(m.nome) + QLatin1Char(')'),
                                         lstMaschere);
        voce->setData(Qt::UserRole, QString::fromLatin1(m.nome));
    }
    lstMaschere->setCurrentRow(0);
    lstMaschere->setMaximumHeight(100);
    auto* riga = new QHBoxLayout;
    txtParametri = new QLineEdit(gruppoProgramma);
    txtParametri->setPlaceholderText(QStringLiteral("es. RO"));
    auto* avvia = new QPushButton(QStringLiteral("&Avvia"), gruppoProgramma);
    riga->addWidget(new QLabel(QStringLiteral("Parametri di lancio:"), gruppoProgramma));
    riga->addWidget(txtParametri, 1);
    riga->addWidget(avvia);
    layoutProgramma->addWidget(lstMaschere);
    layoutProgramma->addLayout(riga);
    layout->addWidget(gruppoProgramma);

    auto* gruppoComandi = new QGroupBox(QStringLiteral("Comandi al programma"), centrale);
    auto* layoutComandi = new QHBoxLayout(gruppoComandi);
    cobComandi = new QComboBox(gruppoComandi);
    for (const char* c : Comandi)
        cobComandi->addItem(QString::fromLatin1(c));
    txtParametriComando = new QLineEdit(gruppoComandi);
    txtParametriComando->setPlaceholderText(QStringLiteral("parametri (separati da |)"));
    auto* invia = new QPushButton(QStringLiteral("&Invia"), gruppoComandi);
    layoutComandi->addWidget(cobComandi);
    layoutComandi->addWidget(txtParametriComando, 1);
    layoutComandi->addWidget(invia);
    layout->addWidget(gruppoComandi);

    txtRegistro = new QPlainTextEdit(centrale);
    txtRegistro->setReadOnly(true);
    layout->addWidget(txtRegistro, 1);
    labStato = new QLabel(centrale);
    layout->addWidget(labStato);
    setCentralWidget(centrale);
    resize(640, 480);

    connect(avvia, &QPushButton::clicked, this, [this] {
        if (auto* voce = lstMaschere->currentItem())
            Avvia(voce->data(Qt::UserRole).toString());
    });
    connect(lstMaschere, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* voce) { Avvia(voce->data(Qt::UserRole).toString()); });
    connect(invia, &QPushButton::clicked, this, [this] {
        const QString comando = cobComandi->currentText();
        const QStringList parti = txtParametriComando->text().split(QLatin1Char('|'));
        const QJsonValue parametri =
            parti.size() > 1 ? QJsonValue(QJsonArray::fromStringList(parti)) : QJsonValue(parti.first());
        if (m_server.InviaComando(comando, parametri) == 0)
            Registra(QStringLiteral("Quiva non e' collegato: comando non inviato"));
        else
            Registra(QStringLiteral("-> ") + comando + QLatin1Char(' ') + txtParametriComando->text());
    });
    connect(&m_server, &ServerMenu::EsitoComando, this,
            [this](qint64, const QString& comando, const QJsonValue& risposta) {
                const QString testo = risposta.isString()
                    ? QLatin1Char('"') + risposta.toString() + QLatin1Char('"')
                    : QString::fromUtf8(QJsonDocument(QJsonArray {risposta}).toJson(QJsonDocument::Compact))
                          .mid(1)
                          .chopped(1);
                Registra(QStringLiteral("<- ") + comando + QStringLiteral(": ") + testo);
            });
    connect(&m_server, &ServerMenu::Registrato, this, [this](const QString& programma, const QString& parametri) {
        Registra(QStringLiteral("Registrato ") + programma
                 + (parametri.isEmpty() ? QString() : QStringLiteral(" (") + parametri + QLatin1Char(')')));
        AggiornaStato();
    });
    connect(&m_server, &ServerMenu::Scollegato, this, [this] {
        Registra(QStringLiteral("Quiva si e' scollegato"));
        AggiornaStato();
    });
    connect(&m_server, &ServerMenu::Avviso, this,
            [this](const QString& testo) { Registra(QStringLiteral("Avviso: ") + testo); });
    connect(&m_server, &ServerMenu::Richiesta, this, &FinestraMenu::Registra);
    connect(&m_server, &ServerMenu::CollegamentoRifiutato, this,
            [this](const QString& motivo) { Registra(QStringLiteral("Collegamento rifiutato: ") + motivo); });
    connect(&m_server, &ServerMenu::MostraRichiesto, this, [this] {
        show();
        raise();
        activateWindow();
    });
    AggiornaStato();
}

void FinestraMenu::Registra(const QString& riga)
{
    txtRegistro->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + riga);
}

void FinestraMenu::AggiornaStato()
{
    labStato->setText(
        QStringLiteral("Menu %1 - configurazione %2 - Quiva %3")
            .arg(m_config.IdMenu(), m_config.Percorso(),
                 m_server.ProgrammaCollegato() ? QStringLiteral("collegato") : QStringLiteral("non in esecuzione")));
}

QString FinestraMenu::ProgrammaEseguibile() const
{
    const QString configurato = m_config.Leggi(QStringLiteral("Menu"), QStringLiteral("Programma")).value_or(QString());
    if (!configurato.isEmpty())
        return configurato;
    const QDir qui(QCoreApplication::applicationDirPath());
    for (const QString& candidato :
         {qui.filePath(QStringLiteral("quiva")), qui.filePath(QStringLiteral("../app/quiva"))})
        if (QFileInfo(candidato).isExecutable())
            return QFileInfo(candidato).absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("quiva"));
}

void FinestraMenu::Avvia(const QString& maschera)
{
    const QString parametri = txtParametri->text().trimmed();
    m_server.ImpostaLancio(maschera, parametri);
    if (m_server.ProgrammaCollegato()) {
        m_server.InviaComando(QStringLiteral("attiva"));
        Registra(QStringLiteral("-> attiva ") + maschera);
        return;
    }
    const QString programma = ProgrammaEseguibile();
    if (programma.isEmpty()) {
        Registra(QStringLiteral("Programma quiva non trovato: impostare [Menu] Programma"));
        return;
    }
    const QString id =
        m_config.Leggi(QStringLiteral("Menu"), QStringLiteral("IdProgramma")).value_or(QStringLiteral("QUIVA"));
    QString switchP = QStringLiteral("/P") + id;
    if (!parametri.isEmpty())
        switchP += QLatin1Char(' ') + parametri;
    const QStringList argomenti {QStringLiteral("/M") + m_config.IdMenu(), switchP, QStringLiteral("/F") + maschera};
    if (QProcess::startDetached(programma, argomenti))
        Registra(QStringLiteral("Avviato ") + programma + QLatin1Char(' ') + argomenti.join(QLatin1Char(' ')));
    else
        Registra(QStringLiteral("Impossibile avviare ") + programma);
}
