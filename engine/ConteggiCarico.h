#pragma once
// What one load did, counted as it goes: the summary at the end of a run
// shows it. Only what reached the database counts: when a batch is lost
// (a full disk, a line left half written) its lines are taken back out.
#include <array>

struct ConteggiCarico {
    static constexpr int NumSlot = 5;

    long lette = 0;      // lines read, blank and skipped ones included
    long accettate = 0;  // lines handed to the tables
    long scartate = 0;   // lines with at least one error row
    long errori = 0;     // error rows written
    std::array<long, NumSlot + 1> inserite {};    // rows added, per slot (1..5)
    std::array<long, NumSlot + 1> modificate {};  // rows changed, per slot
    bool completo = false;  // read to its end and its final queries run

    // Lines loaded without an error row: with the rejected ones, every line
    // handed to the tables.
    long caricate() const { return accettate - scartate; }
};
