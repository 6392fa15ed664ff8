#include "AmbienteProva.h"

#include "SqlProva.h"
#include "TabelleQuiva.h"

#include <QFile>
#include <QSqlError>
#include <QSqlRecord>
#include <gtest/gtest.h>

AmbienteProva::AmbienteProva()
{
    m_db = DatabaseLink::ApriFile(m_cartella.filePath(QStringLiteral("ditta.db")));
    CreaTabelleQuiva(*m_db);
}

void AmbienteProva::Sql(const QString& sql)
{
    QSqlQuery q(m_db->Database());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    m_db->DimenticaSchema();
}

QStringList AmbienteProva::Righe(const QString& sql)
{
    QString errore;
    const QStringList righe = RigheSqlProva(*m_db, sql, &errore, QStringLiteral("NULL"));
    EXPECT_TRUE(errore.isEmpty()) << errore.toStdString();
    return righe;
}

QVariant AmbienteProva::Valore(const QString& sql)
{
    QSqlQuery q(m_db->Database());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    return q.next() ? q.value(0) : QVariant();
}

void AmbienteProva::Inserisci(const QString& tabella, const QVariantMap& colonne)
{
    QStringList nomi, segni;
    for (auto it = colonne.cbegin(); it != colonne.cend(); ++it) {
        nomi << QLatin1Char('[') + it.key() + QLatin1Char(']');
        segni << QStringLiteral("?");
    }
    QSqlQuery q(m_db->Database());
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabella, nomi.join(','), segni.join(',')));
    for (const auto& v : colonne)
        q.addBindValue(v);
    EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
}

void AmbienteProva::Definizione(const QString& codice, const QVariantMap& colonne)
{
    QVariantMap tutte = colonne;
    tutte.insert(QStringLiteral("Codice"), codice);
    Inserisci(QStringLiteral("QuivaFile"), tutte);
}

void AmbienteProva::Campo(const QString& codice, const QVariantMap& colonne)
{
    QVariantMap tutte = colonne;
    tutte.insert(QStringLiteral("Codice"), codice);
    Inserisci(QStringLiteral("QuivaDettaglio"), tutte);
}

void AmbienteProva::Decodifica(const QString& codice, const QString& tabella, const QString& campo, const QString& da,
                               const QString& a)
{
    Inserisci(QStringLiteral("QuivaDecod"), {{QStringLiteral("Codice"), codice},
                                             {QStringLiteral("Tabella"), tabella},
                                             {QStringLiteral("NomeCampo"), campo},
                                             {QStringLiteral("ValOrig"), da},
                                             {QStringLiteral("ValDest"), a}});
}

QString AmbienteProva::FileSorgente(const QString& nome, const QByteArray& contenuto)
{
    const QString percorso = m_cartella.filePath(nome);
    QFile file(percorso);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contenuto);
    return percorso;
}
