#include "DialogoFile.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QLocale>

namespace {

// "Cartella", "File TXT": the kind of a file by its name alone.
class TipiFile : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QStringLiteral("Cartella");
        const QString estensione = info.suffix();
        return estensione.isEmpty() ? QStringLiteral("File") : QStringLiteral("File ") + estensione.toUpper();
    }
};

QString Chiedi(QWidget* padre, const QString& titolo, const QString& proposta, const QString& filtro, bool salva)
{
    TipiFile tipi;
    QFileDialog dialogo(padre, titolo, proposta, filtro);
    dialogo.setObjectName(QStringLiteral("DialogoFile"));
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setIconProvider(&tipi);
    dialogo.setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    dialogo.setAcceptMode(salva ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogo.setFileMode(salva ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}

}  // namespace

QString FileDaAprire(QWidget* padre, const QString& titolo, const QString& proposta, const QString& filtro)
{
    return Chiedi(padre, titolo, proposta, filtro, false);
}

QString FileDaSalvare(QWidget* padre, const QString& titolo, const QString& proposta, const QString& filtro)
{
    return Chiedi(padre, titolo, proposta, filtro, true);
}
