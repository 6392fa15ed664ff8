// A test pilot loaded into the real quiva program (LD_PRELOAD), so that a
// test can start a load in the load dialog and kill the program during it
// without any hook in the program itself. Once the dialog shows its
// definitions, the pilot clicks the first one and presses "&Quiva", as a
// user would. It tells the test what happens on standard output, one line
// each: "avvio" just before the press, "messaggio: <text>" for the first
// message window shown; then it ends the program, since a load is over by
// the time its closing message is up.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>
#include <unistd.h>

namespace {

void Dici(const QString& riga)
{
    std::fputs(qPrintable(riga + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QWidget* Visibile(const QString& nome)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == nome)
            return w;
    return nullptr;
}

QAbstractItemView* Griglia()
{
    QWidget* dialogo = Visibile(QStringLiteral("frmQuiva"));
    return dialogo ? dialogo->findChild<QAbstractItemView*>(QStringLiteral("dbgQuiva")) : nullptr;
}

// The load dialog is on screen with its definitions.
bool Pronto() { return Griglia() && Griglia()->model()->rowCount() > 0; }

void AvviaQuivamento()
{
    QAbstractItemView* griglia = Griglia();
    auto* quiva = Visibile(QStringLiteral("frmQuiva"))->findChild<QPushButton*>(QStringLiteral("ComOk"));
    const QModelIndex prima = griglia->model()->index(0, 1);
    QTest::mouseClick(griglia->viewport(), Qt::LeftButton, Qt::NoModifier, griglia->visualRect(prima).center());
    Dici(QStringLiteral("avvio"));
    QTest::mouseClick(quiva, Qt::LeftButton);
}

void Pilota()
{
    if (QCoreApplication::applicationFilePath().section(QLatin1Char('/'), -1) != QLatin1String("quiva"))
        return;
    auto* timer = new QTimer(qApp);
    static bool avviato = false;
    QObject::connect(timer, &QTimer::timeout, [] {
        if (QWidget* messaggio = Visibile(QStringLiteral("frmMsgCom"))) {
            Dici(QStringLiteral("messaggio: ") + messaggio->findChild<QLabel*>(QStringLiteral("txtMessaggio"))->text());
            ::_exit(0);
        }
        // The press runs the whole load in nested event loops: it is made
        // outside this timer, which Qt does not fire again while it runs.
        if (!avviato && Pronto()) {
            avviato = true;
            QTimer::singleShot(0, qApp, AvviaQuivamento);
        }
    });
    timer->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Pilota)
