#pragma once
class TGlowny;
class QWidget;

// Creates the payment windows and report forms once and adds the main-window commands of the
// payments ('Nowa wpłata', 'Zwrot nadpłaty', 'Nalicz odsetki').
void DodajPoleceniaWplat(TGlowny* glowny);

// The windows and report forms of the payments (WyborKasy, NowaWplata, Banki, ObliczOdsetki,
// QRWydrukKPSklad, QRWydrukKW, QROdsetkiAn), made again on the current data module (tests make
// them per data folder) and deleted.
void UtworzOknaWplat(QWidget* rodzic = nullptr);
void UsunOknaWplat();

// The commands themselves. Both do nothing without an open register with a current pupil.
void PolecenieNowaWplata();
void PolecenieZwrotNadplaty();
