#pragma once
class TGlowny;
// Adds the main-window commands of the statements and creates their windows and report forms
// once (the print-options window too, when nobody has made it yet).
void DodajPoleceniaZestawien(TGlowny* glowny);
// Creates the statements' windows and report forms without a main window (tests, tools).
void UtworzZestawienia();
// Deletes them again (tests make a new data folder, and new data modules, for every case).
void UsunZestawienia();
