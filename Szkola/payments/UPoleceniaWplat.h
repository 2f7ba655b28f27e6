#pragma once
class TGlowny;
class QWidget;

// Creates the payment windows and report forms once and adds the main-window commands of the
// payments ('Nowa wpłata', 'Zwrot nadpłaty', 'Lista wpłat', 'Kontrola opłat', 'Nalicz odsetki'
// and the register's pop-up items of the settlement).
void DodajPoleceniaWplat(TGlowny* glowny);

// The windows and report forms of the payments (WyborKasy, NowaWplata, Banki, ObliczOdsetki,
// QRWydrukKPSklad, QRWydrukKW, QROdsetkiAn, ListaWplat, FiltrDokum, QRWykazOplat,
// QRWykazPrzelew), made again on the current data module (tests make them per data folder) and
// deleted.
void UtworzOknaWplat(QWidget* rodzic = nullptr);
void UsunOknaWplat();

// The commands themselves. Both do nothing without an open register with a current pupil.
void PolecenieNowaWplata();
void PolecenieZwrotNadplaty();
// The documents list: right 1, the cash-desk choice, then the list of the working year with
// the document tables filtered while it is open.
void PolecenieListaWplat();

// The register's pop-up items: the analysis window in mode 1 (analysis), 2 (control) or 4
// (interest list) for the current pupil; nothing without one.
void PolecenieAnalizyOplat(int tryb);
// 'Kontrola opłat': from the current pupil down the filtered register, stops at the first pupil
// whose recorded payments differ from the documents by more than a grosz and shows that
// pupil's control (mode 3), else ends with a message.
void PolecenieKontrolaOplat();
