#include "Comando.h"

#include "DatabaseLink.h"
#include "TestoServer.h"
#include "TestoVeloce.h"

#include <QDate>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

// On a server through QtSql: every marker becomes the driver's literal of its
// value, typed as the value is (a number unquoted, a text quoted), so the
// server reads it as it reads a constant written there, and compares it with
// the column it meets. A statement prepared on the server would fix each
// marker's type from its first use instead, a text one in a VALUES list.
class ComandoQt : public Comando {
public:
    ComandoQt(DatabaseLink& db, const QString& sql) : m_db(db), m_query(db.Database())
    {
        // Rows are read whole by the execution: the connection is free for
        // the next statement (a savepoint, a bulk copy) as soon as it ends.
        m_query.setForwardOnly(false);
        m_parti = PartiTraSegni(sql);
        m_valori.resize(m_parti.size() - 1);
    }
    void Lega(int indice, const QVariant& valore) override
    {
        if (indice < 0 || indice >= static_cast<int>(m_valori.size()))
            return;
        QVariant& legato = m_valori[static_cast<size_t>(indice)];
        // The driver writes a double with every digit of its binary value,
        // which a decimal column keeps (2.6 would become 2.6000000000000001):
        // it goes as the shortest text that reads back as the same double.
        if (valore.typeId() == QMetaType::Double) {
            const double numero = *static_cast<const double*>(valore.constData());
            if (std::isfinite(numero)) {
                legato = QString::number(numero, 'g', QLocale::FloatingPointShortest);
                return;
            }
        }
        // A server's text cannot hold NUL: it is kept visible as the symbol
        // for null instead.
        if (valore.typeId() == QMetaType::QString) {
            const QString* testo = static_cast<const QString*>(valore.constData());
            if (testo->contains(QChar(0))) {
                legato = QString(*testo).replace(QChar(0), QChar(0x2400));
                return;
            }
        }
        legato = valore;
    }
    void Esegui() override
    {
        m_db.InviaRaccolte();
        EseguiNelBlocco();
    }
    void EseguiNelBlocco() override
    {
        QString sql = m_parti.front();
        const QSqlDriver* driver = m_db.Database().driver();
        for (size_t i = 0; i < m_valori.size(); ++i) {
            const QVariant& valore = m_valori[i];
            QSqlField campo(QString(), valore.metaType());
            campo.setValue(valore);
            sql += valore.isValid() ? driver->formatValue(campo) : QStringLiteral("NULL");
            sql += m_parti[static_cast<qsizetype>(i) + 1];
        }
        IstruzioneProtetta protetta(m_db);
        if (!m_query.exec(sql))
            throw m_db.Errore(m_query);
        protetta.Riuscita();
        m_record = m_query.record();
    }
    bool Successivo() override { return m_query.next(); }
    int NumeroColonne() const override { return m_record.count(); }
    QString NomeColonna(int colonna) const override { return m_record.fieldName(colonna); }
    QVariant Valore(int colonna) const override { return m_query.value(colonna); }
    void Termina() override
    {
        m_query.finish();
        std::fill(m_valori.begin(), m_valori.end(), QVariant());
    }

private:
    DatabaseLink& m_db;
    QSqlQuery m_query;
    QSqlRecord m_record;
    QStringList m_parti;             // the text between markers
    std::vector<QVariant> m_valori;  // one per marker
};

class ComandoSqlite : public Comando {
public:
    ComandoSqlite(DatabaseLink& db, sqlite3* connessione, const QString& sql) : m_db(db), m_connessione(connessione)
    {
        const int esito = sqlite3_prepare16_v3(m_connessione, sql.utf16(), static_cast<int>(sql.size() * 2),
                                               SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
        if (esito != SQLITE_OK)
            throw Errore();
        // One buffer per marker, made once: bound texts point into them.
        m_testi.resize(static_cast<size_t>(sqlite3_bind_parameter_count(m_stmt)));
    }
    ~ComandoSqlite() override { sqlite3_finalize(m_stmt); }

    void Lega(int indice, const QVariant& valore) override
    {
        const int i = indice + 1;
        const int tipo = valore.typeId();
        // The common cases read directly, without a conversion call; a text
        // is null by its own flag.
        if (tipo == QMetaType::QString) {
            const QString* testo = static_cast<const QString*>(valore.constData());
            if (testo->isNull())
                sqlite3_bind_null(m_stmt, i);  // a null text is stored as null, the empty text as such
            else
                Testo(i, *testo);
            return;
        }
        if (valore.isNull()) {  // an invalid variant or a null value of any other type
            sqlite3_bind_null(m_stmt, i);
            return;
        }
        switch (tipo) {
        case QMetaType::Int:
            sqlite3_bind_int64(m_stmt, i, *static_cast<const int*>(valore.constData()));
            return;
        case QMetaType::Double: sqlite3_bind_double(m_stmt, i, *static_cast<const double*>(valore.constData())); return;
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Long:
        case QMetaType::Bool: sqlite3_bind_int64(m_stmt, i, valore.toLongLong()); return;
        case QMetaType::Float: sqlite3_bind_double(m_stmt, i, valore.toDouble()); return;
        case QMetaType::QDate: Data(i, *static_cast<const QDate*>(valore.constData())); return;
        default: Testo(i, valore.toString());
        }
    }

    void Esegui() override
    {
        sqlite3_reset(m_stmt);
        m_primo = sqlite3_step(m_stmt);
        if (m_primo != SQLITE_ROW && m_primo != SQLITE_DONE) {
            const ErroreRun errore = Errore();
            sqlite3_reset(m_stmt);
            throw errore;
        }
        m_passi = 0;
    }

    bool Successivo() override
    {
        int esito = m_primo;
        if (m_passi++ > 0)
            esito = sqlite3_step(m_stmt);
        if (esito == SQLITE_ROW)
            return true;
        if (esito != SQLITE_DONE)
            throw Errore();
        return false;
    }

    int NumeroColonne() const override { return sqlite3_column_count(m_stmt); }
    QString NomeColonna(int colonna) const override
    {
        return QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(m_stmt, colonna)));
    }
    QVariant Valore(int colonna) const override
    {
        switch (sqlite3_column_type(m_stmt, colonna)) {
        case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, colonna)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, colonna));
        case SQLITE_NULL: return QVariant();
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, colonna)),
                              sqlite3_column_bytes(m_stmt, colonna));
        default:
            // Read as the UTF-8 it is stored in: cheaper than SQLite's own
            // translation to UTF-16.
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, colonna)),
                                     sqlite3_column_bytes(m_stmt, colonna));
        }
    }
    void Termina() override
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    // Text goes in as UTF-8, the encoding of the database, so that SQLite
    // does not translate it again. Each marker keeps its own buffer, reused
    // from line to line; the bytes live until the next binding.
    void Testo(int i, const QString& testo)
    {
        if (i < 1 || static_cast<size_t>(i) > m_testi.size())
            return;  // no such marker: SQLite would refuse the binding too
        std::string& utf8 = m_testi[i - 1];
        // Grown only: a resize to a larger size would clear the new part
        // on every bind.
        if (utf8.size() < static_cast<size_t>(testo.size()) * 3)
            utf8.resize(static_cast<size_t>(testo.size()) * 3);
        const char* scritto = ScriviUtf8(testo.constData(), testo.size(), utf8.data());
        const int lunghezza = static_cast<int>(scritto - utf8.data());
        sqlite3_bind_text(m_stmt, i, utf8.data(), lunghezza, SQLITE_STATIC);
    }

    // Dates are stored as ISO text, yyyy-mm-dd.
    void Data(int i, const QDate& data)
    {
        if (!data.isValid()) {
            sqlite3_bind_null(m_stmt, i);
            return;
        }
        int anno, mese, giorno;
        data.getDate(&anno, &mese, &giorno);
        if (anno < 0 || anno > 9999 || static_cast<size_t>(i) > m_testi.size()) {
            char testo[24];
            const int n = std::snprintf(testo, sizeof testo, "%04d-%02d-%02d", anno, mese, giorno);
            sqlite3_bind_text(m_stmt, i, testo, n, SQLITE_TRANSIENT);
            return;
        }
        std::string& testo = m_testi[i - 1];
        testo.resize(10);
        ScriviDataIso(anno, mese, giorno, testo.data());
        sqlite3_bind_text(m_stmt, i, testo.data(), 10, SQLITE_STATIC);
    }

    ErroreRun Errore() const
    {
        QSqlError errore(QString(), QString::fromUtf16(static_cast<const char16_t*>(sqlite3_errmsg16(m_connessione))),
                         QSqlError::StatementError, QString::number(sqlite3_extended_errcode(m_connessione)));
        return m_db.Errore(errore);
    }

    DatabaseLink& m_db;
    sqlite3* m_connessione;
    sqlite3_stmt* m_stmt = nullptr;
    std::vector<std::string> m_testi;
    int m_primo = SQLITE_DONE;
    int m_passi = 0;
};

}  // namespace

std::unique_ptr<Comando> Comando::Prepara(DatabaseLink& db, const QString& sql) { return db.NuovoComando(sql); }

std::unique_ptr<Comando> NuovoComandoSqlite(DatabaseLink& db, sqlite3* connessione, const QString& sql)
{
    return std::make_unique<ComandoSqlite>(db, connessione, sql);
}

std::unique_ptr<Comando> NuovoComandoQt(DatabaseLink& db, const QString& sql)
{
    return std::make_unique<ComandoQt>(db, sql);
}
