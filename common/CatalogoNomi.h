#pragma once
// The tables and columns of a server database as the catalog spells them,
// found without regard to letter case. Statements name them as definitions
// do; the translation sends them quoted with the catalog's spelling.
#include <QHash>
#include <QString>

struct CatalogoNomi {
    struct Colonna {
        QString nome;
        bool testo = false;
    };
    QHash<QString, QString> tabelle;                  // lower-case name -> name
    QHash<QString, QHash<QString, Colonna>> colonne;  // lower-case table -> lower-case column -> column

    const QString* Tabella(const QString& nome) const
    {
        auto it = tabelle.constFind(nome.toLower());
        return it == tabelle.cend() ? nullptr : &it.value();
    }
    const Colonna* ColonnaDi(const QString& tabella, const QString& nome) const
    {
        auto t = colonne.constFind(tabella.toLower());
        if (t == colonne.cend())
            return nullptr;
        auto c = t->constFind(nome.toLower());
        return c == t->cend() ? nullptr : &c.value();
    }
};
