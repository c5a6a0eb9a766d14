// The server's tickets: the seed of the player's next game, bound by the server to the time it was issued, fetched
// in the background through the network component and held until a game starts with it.
#pragma once
#include <string>

// A ticket is wanted: the menu shows, or a game is over. Fetched as soon as the component's queue is empty, unless
// a ticket young enough is held already.
void AskForTicket();
// Once a frame, on every screen and in the player's game: moves a fetch on without waiting, takes its reply, and
// asks again when the held ticket is half an hour old (or a fetch failed a while ago).
void PumpTickets();
// Before the game waits on the component's queue (a sync, the version check, a row's game): a fetch still on the
// wire is dropped, so nothing the player waits for stands behind it.
void SetTicketFetchAside();
// At a game's start: the held ticket, when it is fresh enough for the server to take it, and its seed. A ticket is
// given out once; a stale one is dropped unused.
bool TakeFreshTicket(int& seed, std::string& ticket);

bool HoldingTicket();
bool FetchingTicket();
void ResetTickets();
