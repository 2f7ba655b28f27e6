#pragma once
class TGlowny;
// Adds the main-window commands of the statements.
void DodajPoleceniaZestawien(TGlowny* glowny);
