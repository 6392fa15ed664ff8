#include "DialogoFile.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

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

// Sizes and dates the Italian way: the file model writes them in the
// system's language.
class ColonneItaliane : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& indice, int ruolo) const override
    {
        const auto* file = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (ruolo != Qt::DisplayRole || !file || (indice.column() != 1 && indice.column() != 3))
            return QIdentityProxyModel::data(indice, ruolo);
        const QModelIndex origine = mapToSource(indice);
        const QLocale italiano(QLocale::Italian, QLocale::Italy);
        if (indice.column() == 3)
            return italiano.toString(file->lastModified(origine), QStringLiteral("dd/MM/yyyy HH:mm"));
        if (file->isDir(origine))
            return QString();
        const qint64 byte = file->size(origine);
        return byte < 1024 ? QStringLiteral("%1 byte").arg(byte)
                           : italiano.formattedDataSize(byte, 1, QLocale::DataSizeTraditionalFormat);
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
    dialogo.setProxyModel(new ColonneItaliane(&dialogo));
    if (auto* dettagli = dialogo.findChild<QTreeView*>(QStringLiteral("treeView")))
        for (const int colonna : {1, 3})
            dettagli->header()->setSectionResizeMode(colonna, QHeaderView::ResizeToContents);
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
