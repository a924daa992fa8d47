#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace protask {

// One product line as the line rules see it: its cells by field name (FNumber, FPrice, …),
// each a nullable value. A missing cell reads as null.
class LineValues {
public:
    LineValues() = default;
    LineValues(std::initializer_list<std::pair<QString, QVariant>> cells) : m_cells(cells) {}

    QVariant value(const QString &field) const { return m_cells.value(field); }
    void set(const QString &field, const QVariant &value) { m_cells.insert(field, value); }
    void clear(const QString &field) { m_cells.insert(field, QVariant()); }
    double number(const QString &field) const;
    bool blank(const QString &field) const;
    // Present and not zero.
    bool given(const QString &field) const;
    const QHash<QString, QVariant> &cells() const { return m_cells; }

private:
    QHash<QString, QVariant> m_cells;
};

// What the rules read from the editor and the host.
struct LineSettings {
    int pricePlaces = 2;
    int amountPlaces = 2;
    bool taxOn = false;          // the host's tax switch
    double defaultTaxRate = 0;   // the company's rate in percent
    double formDiscountRate = 0; // the editor's default discount rate; 0 means none is set
    int dimensionMode = 0;       // 1: the area drives the quantity, 2: the price, else nothing
};

// Runs the rule bound to a column, for the area rules that hand the area on to the quantity
// or price column (an editor may bind its own rule there).
using ColumnRule = std::function<QVariant(const QString &field, const QVariant &typed, LineValues &line)>;

// The rule of an edited cell: recomputes the other cells of the same line from the typed value
// (amounts, prices and tax from a numeric cell, the area from a dimension, the expiry date
// from the production date or the shelf life) and answers the value to store in the edited cell (the typed value, or an
// empty text or null that discards it). Fields without a rule store the typed value as it is.
//
// Choices where the rules as handed down contradict themselves or would surprise a clerk:
// - a blank discount rate counts as the editor's default rate, or 100 (no discount) when the
//   editor has none, wherever a rule reads it; a rate typed as 0 stays 0;
// - with the tax switch off no rule touches the tax price, total or tax amount, clearing
//   cases included (the tax price and total rules still compute, as typed by the user);
// - the quantity rule rounds the total and the tax amount to the amount places;
// - the tax price and total rules on a line whose rate is 0 cannot derive a list price from
//   the discounted price: the rate becomes 100 and the list price the discounted price.
QVariant ApplyLineRule(const QString &field, const QVariant &typed, LineValues &line, const LineSettings &settings,
                       const ColumnRule &columnRule = {});

// The tax step the rules share, for callers that set prices themselves (a product looked up):
// with the tax switch on, the tax price from the discounted price and the company's factor
// (1 on a line whose tax rate is 0), the total from the quantity and the tax amount as the
// total less the discounted amount, all rounded. Nothing with the switch off.
void ApplyTaxStep(LineValues &line, const LineSettings &settings);

// The footer of the grid: quantities of every line, amounts without the gift lines.
struct LineSums {
    double number = 0;
    double amount = 0;
    double discountAmount = 0;
};
LineSums SumLines(const QList<LineValues> &lines);

} // namespace protask
