#pragma once
// SQLite's own file layer, made the default, with one change: the writes of
// a write-ahead log are gathered into large ones. SQLite writes every page
// of a commit into the log with two system calls (the frame's header, then
// the page), nineteen thousand calls for a 300,000-line load.
//
// What is gathered reaches the file, in the order SQLite wrote it, before
// anyone can need it: once the last page of a commit is written (its frame's
// header says so), that is before SQLite makes the commit visible to other
// connections through the log's index; and before any other use of the log
// by its own connection (a read, a sync, a truncation, its size, its close).
// Frames of a transaction not yet committed may wait in memory: nobody reads
// them, and a crash loses them as it would lose the transaction.
//
// Files are still opened, locked and closed by SQLite's own layer only.

// Installs the layer as SQLite's default, once per process: call it before
// the company file is opened (connections opened earlier keep theirs).
void InstallaVfsRaccolta();
