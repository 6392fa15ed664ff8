#include "SceltaFile.h"

#include "FileDitta.h"
#include "FinestraMessaggi.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStyle>
#include <QTreeView>

namespace {

// Icons and type names from what a directory listing says, never from the
// contents (the standard provider reads a file to guess its type).
class IconeSenzaLettura : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType tipo) const override
    {
        return QApplication::style()->standardIcon(tipo == Folder || tipo == Drive || tipo == Network
                                                       ? QStyle::SP_DirIcon
                                                       : tipo == Computer ? QStyle::SP_ComputerIcon
                                                                          : QStyle::SP_FileIcon);
    }
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
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

}  // namespace

QFileDialog* NuovoDialogoFile(QWidget* padre, ModoScelta modo, const QString& titolo, const QString& proposta,
                              const QString& filtro)
{
    // The dialog lists a folder as soon as it exists, with the reading
    // provider: it starts at the root of the file system, and moves to the
    // folder of the proposal only once its provider has been replaced.
    auto* dialogo = new QFileDialog(padre, titolo, QDir::rootPath(), filtro);
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    auto* icone = new IconeSenzaLettura;
    dialogo->setIconProvider(icone);
    QObject::connect(dialogo, &QObject::destroyed, [icone] { delete icone; });
    dialogo->setObjectName(QStringLiteral("DialogoFile"));
    dialogo->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    dialogo->setProxyModel(new ColonneItaliane(dialogo));
    if (auto* dettagli = dialogo->findChild<QTreeView*>(QStringLiteral("treeView")))
        for (const int colonna : {1, 3})
            dettagli->header()->setSectionResizeMode(colonna, QHeaderView::ResizeToContents);
    dialogo->setAcceptMode(modo == ModoScelta::Salva ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogo->setFileMode(modo == ModoScelta::Salva ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QFileInfo info(proposta.isEmpty() ? QDir::current().filePath(QStringLiteral("x")) : proposta);
    dialogo->setDirectory(info.absolutePath());
    if (!proposta.isEmpty())
        dialogo->selectFile(info.fileName());
    return dialogo;
}

QString ScegliFile(QWidget* padre, ModoScelta modo, const QString& titolo, const QString& proposta,
                   const QString& filtro, FinestraMessaggi& messaggi)
{
    QString scelta = proposta;
    for (;;) {
        QFileDialog* dialogo = NuovoDialogoFile(padre, modo, titolo, scelta, filtro);
        const bool confermato = dialogo->exec() == QDialog::Accepted && !dialogo->selectedFiles().isEmpty();
        scelta = confermato ? dialogo->selectedFiles().constFirst() : QString();
        delete dialogo;
        if (!confermato)
            return {};
        if (!FileDiDatabaseAperto(scelta))
            return scelta;
        messaggi.msgCom(QStringLiteral("Il file ") + QFileInfo(scelta).fileName()
                            + QStringLiteral(" è il database della ditta in uso (o un suo file di servizio) e non "
                                             "può essere usato qui: scegliere un altro file."),
                        {QStringLiteral("&Ok")});
    }
}
