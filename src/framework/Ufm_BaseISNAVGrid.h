// The base of list windows: a data grid under the navigator, filling the rest of the
// client panel, bound to the same main dataset.
#pragma once

#include "framework/Ufm_BaseISNAV.h"

class DBGrid;

class Tfm_BaseISNAVGrid : public Tfm_BaseISNAV {
    Q_OBJECT
public:
    explicit Tfm_BaseISNAVGrid(QWidget* owner = nullptr);

    // Edits in place, sorts by a header click, searches as the user types, moves from cell to
    // cell with Tab and the arrows, and fits its columns to its width, unless a window changes it.
    DBGrid* dxDBGrid1 = nullptr;

    void setDataSource(Dataset* dataset) override;
};
