#pragma once
// What a load does with each line, told as it happens, for the preview. The
// engine calls it from the load thread only; a load without one tells
// nobody. Lines come in file order; a block of lines that has to run again
// (see BloccoRighe) first puts the observer back with Ripristina to the count
// it had when the block began.
#include <QString>
#include <QVariant>

class ScQuivaCampi;

class OsservatoreRighe {
public:
    virtual ~OsservatoreRighe() = default;
    // A line about to be loaded, numbered as in the file.
    virtual void Letta(long numero) = 0;
    // The line taken by the engine, after those Letta announced before it.
    virtual void Riga(const QString& riga) = 0;
    // The value a field sets in its slot's row.
    virtual void Valore(const ScQuivaCampi& campo, const QVariant& valore) = 0;
    // The slot's row was written: added (nuova) or changed.
    virtual void Scritta(int slot, bool nuova) = 0;
    // The slot's row was refused for a duplicate key: what was set for it
    // is not written (the line may then change the existing row).
    virtual void Respinta(int slot) = 0;
    // The line was rejected for this reason; campo is the field read when it
    // happened, if any.
    virtual void Errore(const QString& motivo, const ScQuivaCampi* campo) = 0;
    // Lines taken so far, and what forgets the ones after a count.
    virtual long Righe() const = 0;
    virtual void Ripristina(long righe) = 0;
};
