#include "Szkola/reports/UPoleceniaZestawien.h"

void DodajPoleceniaZestawien(TGlowny*) {}
