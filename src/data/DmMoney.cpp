// The money pairs of every view with amounts: completed around every post, and formatted.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include <QScopedValueRollback>

namespace data {

void TDmForm::ConvertTwins(db::Dataset& view)
{
    QScopedValueRollback<bool> converting(m_convertingTwins, true);
    DatasetMoney row(view);
    m_money.convertTwins(row);
}

QList<db::Dataset*> TDmForm::moneyViews()
{
    QList<db::Dataset*> views;
    for (const MoneyView& money : m_moneyViews) {
        if (money.use == MoneyView::Use::CompletedAtPost)
            views << money.view;
    }
    return views;
}

void TDmForm::installMoneyRules()
{
    // Before the area's rule, so that it compares and copies complete amounts; after it, for
    // the amounts it computed in one currency only. Completing twice changes nothing that was
    // complete.
    for (db::Dataset* view : moneyViews()) {
        view->beforePost.install(Stage::CompleteAmounts, QStringLiteral("ConvertTwins"),
            [this](db::Dataset& ds) { ConvertTwins(ds); });
        view->beforePost.install(Stage::CompleteAmountsAgain, QStringLiteral("ConvertTwins"),
            [this](db::Dataset& ds) { ConvertTwins(ds); });
    }
}

void TDmForm::applyMoneyFormats()
{
    // Each EURO twin is formatted alike.
    const MoneyFormat euro = euroMoneyFormat();
    const MoneyFormat local = m_money.localFormat();
    for (const auto& [view, fields, use] : m_moneyViews) {
        for (const QString& name : fields) {
            db::Field& localField = view->field(name);
            if (!local.displayPattern.isEmpty())
                localField.setDisplayFormat(local.displayPattern);
            localField.setEditFormat(local.editPattern);
            db::Field& euroField = view->field(moneyTwin(name));
            euroField.setDisplayFormat(euro.displayPattern);
            euroField.setEditFormat(euro.editPattern);
        }
    }
}

} // namespace data
