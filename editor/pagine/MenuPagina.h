#pragma once
// Routines every page screen shares.
class FinestraMessaggi;

// Brings the menu window forward; "Il menu non è più disponibile" when the
// menu has gone.
void RichiamaMenu(FinestraMessaggi& messaggi);
