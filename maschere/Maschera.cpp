#include "Maschera.h"

#include "OspiteMaschere.h"
#include "Tastiera.h"

#include <QCloseEvent>
#include <QHash>

Maschera::Maschera(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    UsaTastieraComune(*this);
}

void Maschera::PassaA()
{
    if (OspiteMaschere* ospite = OspiteMaschere::Corrente())
        ospite->PassaAlMenu(*this);
}

void Maschera::closeEvent(QCloseEvent* evento)
{
    QString motivo;
    if (!PuoChiudere(motivo)) {
        evento->ignore();
        return;
    }
    if (OspiteMaschere* ospite = OspiteMaschere::Corrente())
        ospite->MascheraChiusa(*this);
    QWidget::closeEvent(evento);
}

namespace RegistroMaschere {
namespace {
QHash<QString, Fabbrica>& Registro()
{
    static QHash<QString, Fabbrica> registro;
    return registro;
}
}  // namespace

void Registra(const QString& nome, Fabbrica fabbrica)
{
    Registro().insert(nome.trimmed().toLower(), std::move(fabbrica));
}

void Rimuovi(const QString& nome) { Registro().remove(nome.trimmed().toLower()); }

bool Registrata(const QString& nome) { return Registro().contains(nome.trimmed().toLower()); }

Maschera* Crea(const QString& nome)
{
    const auto trovata = Registro().constFind(nome.trimmed().toLower());
    if (trovata == Registro().cend() || !*trovata)
        return nullptr;
    Maschera* maschera = (*trovata)();
    if (maschera && maschera->osNome.isEmpty())
        maschera->osNome = nome.trimmed();
    return maschera;
}
}  // namespace RegistroMaschere
