#include "ColonneGriglia.h"

#include "AspettoMaschere.h"

#include <QHeaderView>
#include <QSettings>
#include <QTableView>

namespace ColonneGriglia {

namespace {

const char* const Adattando = "colonneAdattando";
const char* const Ricordando = "colonneRicordate";

// Values wider than this start cut (their tooltip shows them whole).
constexpr int LimiteValoriTwip = 4500;

QSettings Impostazioni()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quiva"), QStringLiteral("griglie"));
}

QString NomeColonna(const QTableView& griglia, int colonna)
{
    const QVariant nome = griglia.model()->headerData(colonna, Qt::Horizontal, RuoloNome);
    return nome.isValid() ? nome.toString() : griglia.model()->headerData(colonna, Qt::Horizontal).toString();
}

int Twips(int pixel) { return qRound(pixel * 15.0 / FattoreVideo()); }

}  // namespace

QString Chiave(const QTableView& griglia)
{
    const QWidget* finestra = griglia.window();
    return (finestra ? finestra->objectName() : QString()) + QLatin1Char('/') + griglia.objectName();
}

int Ricordata(const QTableView& griglia, const QString& colonna)
{
    return Impostazioni().value(Chiave(griglia) + QLatin1Char('/') + colonna.toLower(), 0).toInt();
}

void Adatta(QTableView& griglia, const Larghezze& larghezze)
{
    if (!griglia.model())
        return;
    griglia.setProperty(Adattando, true);
    QHeaderView* testata = griglia.horizontalHeader();
    const QAbstractItemView& vista = griglia;  // the size hint is public there
    const QSettings impostazioni = Impostazioni();
    const QString gruppo = Chiave(griglia) + QLatin1Char('/');
    for (int c = 0; c < griglia.model()->columnCount(); ++c) {
        const QString nome = NomeColonna(griglia, c);
        int larghezza =
            std::max(testata->sectionSizeHint(c), std::min(vista.sizeHintForColumn(c), Twip(LimiteValoriTwip)));
        for (const auto& [colonna, twips] : larghezze)
            if (colonna.compare(nome, Qt::CaseInsensitive) == 0)
                larghezza = std::max(larghezza, Twip(twips));
        if (const int ricordata = impostazioni.value(gruppo + nome.toLower(), 0).toInt(); ricordata > 0)
            larghezza = Twip(ricordata);
        griglia.setColumnWidth(c, larghezza);
    }
    griglia.setProperty(Adattando, false);
}

void Ricorda(QTableView& griglia)
{
    if (griglia.property(Ricordando).toBool())
        return;
    griglia.setProperty(Ricordando, true);
    QHeaderView* testata = griglia.horizontalHeader();
    testata->setSectionResizeMode(QHeaderView::Interactive);
    QObject::connect(testata, &QHeaderView::sectionResized, &griglia, [&griglia](int colonna, int, int nuova) {
        // Only what the user drags: not the widths set here, nor a hidden
        // column's 0.
        if (griglia.property(Adattando).toBool() || nuova <= 0 || !griglia.model()
            || colonna >= griglia.model()->columnCount())
            return;
        Impostazioni().setValue(Chiave(griglia) + QLatin1Char('/') + NomeColonna(griglia, colonna).toLower(),
                                Twips(nuova));
    });
}

}  // namespace ColonneGriglia
