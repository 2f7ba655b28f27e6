#pragma once
class TGlowny;

// Creates the school-years window once (a child of the main window) and gives the main window
// its school-year choice.
void DodajPoleceniaUczniow(TGlowny* glowny);
