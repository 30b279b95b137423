#pragma once

// Start-up's database step: creates the database when it is missing, opens and upgrades it.
// False when the program cannot run; the reason has been shown.
bool StartDatabase();

// Shut-down's: closes the shared connection once no other thread uses the database.
void StopDatabase();
