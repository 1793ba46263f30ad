#pragma once

#include "ui/Dialog.h"

namespace kx::store {
class Session;
}

namespace kx::ui {
class GridView;
class SearchEdit;
} // namespace kx::ui

namespace kx::catalogues {

class CatalogueLists;

// The beacon catalogue, read only: every RSBN beacon in region and call-sign
// order, with search by the start of a call sign.
class TF_RSBN : public ui::Dialog
{
    Q_OBJECT
public:
    TF_RSBN(store::Session &session, CatalogueLists &lists, QWidget *parent = nullptr);
    ~TF_RSBN() override;

    int run() { return exec(); }

    void search(); // Enter in the search edit
    void done(int result) override;

private:
    void shown() override;

    store::Session &m_session;
    CatalogueLists &m_lists;
    ui::GridView *m_grid = nullptr;
    ui::SearchEdit *m_search = nullptr;
};

} // namespace kx::catalogues
