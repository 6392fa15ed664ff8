#include "AmbienteProva.h"

#include "SqlProva.h"
#include "TabelleQuiva.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <gtest/gtest.h>

bool DatabaseProva::SuServer() { return !qEnvironmentVariableIsEmpty("QUIVA_PROVA_ODBC"); }

DatabaseProva::DatabaseProva(const QString& cartella) : m_file(cartella + QStringLiteral("/ditta.db"))
{
    if (!SuServer()) {
        m_db = DatabaseLink::ApriFile(m_file);
        return;
    }
    static int contatore = 0;
    m_db = DatabaseLink::ApriServer(qEnvironmentVariable("QUIVA_PROVA_ODBC"));
    m_schema = QStringLiteral("prova_%1_%2").arg(QCoreApplication::applicationPid()).arg(++contatore);
    QSqlQuery q(m_db->Database());
    EXPECT_TRUE(q.exec(QStringLiteral("CREATE SCHEMA ") + m_schema)) << q.lastError().text().toStdString();
    EXPECT_TRUE(q.exec(QStringLiteral("SET search_path TO ") + m_schema)) << q.lastError().text().toStdString();
    m_db->DimenticaSchema();
}

DatabaseProva::~DatabaseProva()
{
    if (m_schema.isEmpty() || !m_db)
        return;
    if (m_db->InTransazione())
        m_db->ConfermaTransazione();
    QSqlQuery(m_db->Database()).exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m_schema));
}

QStringList DatabaseProva::ArgomentiDitta() const
{
    if (m_schema.isEmpty())
        return {QStringLiteral("--db"), m_file};
    // The server of QUIVA_PROVA_ODBC ("SERVER=<socket folder>;DATABASE=...;UID=...").
    QHash<QString, QString> voci;
    for (const QString& coppia : qEnvironmentVariable("QUIVA_PROVA_ODBC").split(QLatin1Char(';'))) {
        const qsizetype uguale = coppia.indexOf(QLatin1Char('='));
        if (uguale > 0)
            voci.insert(coppia.left(uguale).trimmed().toUpper(), coppia.mid(uguale + 1).trimmed());
    }
    const QString host = voci.value(QStringLiteral("SERVER"), qEnvironmentVariable("QUIVA_PROVA_PGHOST"));
    auto codifica = [](const QString& testo) { return QString::fromLatin1(QUrl::toPercentEncoding(testo)); };
    QString uri = QStringLiteral("postgresql://%1@/%2?host=%3")
                      .arg(codifica(voci.value(QStringLiteral("UID"), QStringLiteral("quiva"))),
                           codifica(voci.value(QStringLiteral("DATABASE"), QStringLiteral("ditta"))), codifica(host));
    if (const QString porta = voci.value(QStringLiteral("PORT")); !porta.isEmpty())
        uri += QStringLiteral("&port=") + codifica(porta);
    uri += QStringLiteral("&options=") + codifica(QStringLiteral("-csearch_path=") + m_schema);
    return {QStringLiteral("--connect"), uri};
}

QString DatabaseProva::Sql(const QString& sql)
{
    QString testo = m_db->Traduci(sql);
    if (SuServer())  // rows not updated since keep their insertion order there
        testo.replace(QRegularExpression(QStringLiteral("\\browid\\b")), QStringLiteral("ctid"));
    return testo;
}

AmbienteProva::AmbienteProva() { CreaTabelleQuiva(Db()); }

void AmbienteProva::Sql(const QString& sql)
{
    QSqlQuery q(Db().Database());
    EXPECT_TRUE(q.exec(m_db.Sql(sql))) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    Db().DimenticaSchema();
}

QStringList AmbienteProva::Righe(const QString& sql)
{
    QString errore;
    const QStringList righe = RigheSqlProva(Db(), m_db.Sql(sql), &errore, QStringLiteral("NULL"));
    EXPECT_TRUE(errore.isEmpty()) << errore.toStdString();
    return righe;
}

QVariant AmbienteProva::Valore(const QString& sql)
{
    QSqlQuery q(Db().Database());
    EXPECT_TRUE(q.exec(m_db.Sql(sql))) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    return q.next() ? q.value(0) : QVariant();
}

void AmbienteProva::OccupaScrittura(const QString& codice)
{
    if (DatabaseProva::SuServer())
        EXPECT_TRUE(Db().PrendiScrittura(codice, 0, {}));
    else
        Sql(QStringLiteral("BEGIN IMMEDIATE"));
}

void AmbienteProva::LiberaScrittura(const QString& codice)
{
    if (DatabaseProva::SuServer())
        Db().LasciaScrittura(codice);
    else
        Sql(QStringLiteral("COMMIT"));
}

void AmbienteProva::Inserisci(const QString& tabella, const QVariantMap& colonne)
{
    QStringList nomi, segni;
    for (auto it = colonne.cbegin(); it != colonne.cend(); ++it) {
        nomi << QLatin1Char('[') + it.key() + QLatin1Char(']');
        segni << QStringLiteral("?");
    }
    QSqlQuery q(Db().Database());
    q.prepare(
        m_db.Sql(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabella, nomi.join(','), segni.join(','))));
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
    Inserisci(QStringLiteral("QuivaDecod"),
              {{QStringLiteral("Codice"), codice},
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
