#include "U_RSBNSel.h"

#include "editor/core/EditorTexts.h"

#include "store/Query.h"
#include "store/Session.h"
#include "ui/GridView.h"

namespace kx::editor {

TF_RSBNSel::TF_RSBNSel(store::Session &session, QWidget *parent)
    : ui::PickerDialog({"TF_RSBNSel", QStringLiteral("QM"), QStringLiteral("OK"), QStringLiteral("RSBN"),
                        texts::beaconListFailed()},
                       session.ADOC, session.prompter(), parent)
{
    setWindowTitle(QStringLiteral(" Выбор маяка РСБН"));
    ui::GridView *list = grid();
    list->setList(this->list(), {
        ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Маяк")),
        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
        ui::GridColumn::centred(QStringLiteral("L"), QStringLiteral("Растояние"), QStringLiteral("0.0")),
    });
    list->setColumnWidths({{0, 70}, {1, 220}, {2, 90}});
    layOut(nullptr, {});
    setOpeningSize(QSize(420, 320), session.settingsFile().path(), QStringLiteral("RSBNSel"), {1});
}

// Candidates at equal distance keep the order they were found in; a distance
// no search writes (Null) would come first.
store::PagedSql TF_RSBNSel::listSql() const
{
    return {QStringLiteral("RSBNSelect.RSBN, RSBN.ID, RSBN.Code, RSBN.Name, RSBNSelect.L"),
            QStringLiteral("RSBNSelect INNER JOIN RSBN ON RSBNSelect.RSBN = RSBN.Code"),
            {QStringLiteral("ifnull(RSBNSelect.L, -1e308)"), QStringLiteral("RSBNSelect.rowid")}};
}

qint64 TF_RSBNSel::pickBeacon(const QVariant &currentBeacon)
{
    prepare(currentBeacon);
    exec();
    return chosen();
}

void TF_RSBNSel::listRead()
{
    if (!m_current.isNull())
        list().locate(u"Code", m_current);
}

} // namespace kx::editor
