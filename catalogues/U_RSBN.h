#pragma once

#include "CatalogueWindow.h"

namespace kx::ui {
class SearchEdit;
}

namespace kx::catalogues {

class CatalogueLists;

// The beacon catalogue, read only: every RSBN beacon in region and call-sign
// order, with search by the start of a call sign.
class TF_RSBN : public CatalogueWindow
{
    Q_OBJECT
public:
    TF_RSBN(store::Session &session, CatalogueLists &lists, QWidget *parent = nullptr);
    ~TF_RSBN() override;

    int run() { return exec(); }

    void search(); // Enter in the search edit

private:
    bool openList() override;

    CatalogueLists &m_lists;
    ui::SearchEdit *m_search = nullptr;
};

} // namespace kx::catalogues
