// The choose-customer list: the customers who hold a scanned book, one of whom
// the clerk picks with Enter or a double click; shown modally by the desk.
#pragma once

#include "framework/Ufm_BaseISNAVGrid.h"

class TF00_SelGuest : public Tfm_BaseISNAVGrid {
    Q_OBJECT
public:
    // showModal's result when the clerk picked the current row.
    static constexpr int kChosen = 1;

    // `guests` is the desk's query of the holders; the list moves it to the row picked.
    TF00_SelGuest(QWidget* owner, Dataset* guests);
};

extern TF00_SelGuest* F00_SelGuest;
