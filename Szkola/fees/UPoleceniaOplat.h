#pragma once
class TGlowny;

// Creates the price-list and meal-parameters windows once (children of the main window) and adds
// their commands to the Parametry menu.
void DodajPoleceniaOplat(TGlowny* glowny);

// The commands: right 4, then the window.
void CennikClick();
void ParametryPosilkowClick();
