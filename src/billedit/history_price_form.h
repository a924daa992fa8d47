#pragma once

#include "billedit/model/history_price.h"
#include "core/sql_helpers.h"
#include "core/values.h"

#include <QDate>
#include <QDialog>
#include <QSqlDatabase>
#include <QVariant>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace protask {

class TCurrencyEdit;
class TDatePicker;
class TGridView;

// The price history of a product for a client: the client's earlier lines of the product in
// bills of the caller's kind over a period, and, for a client of type 1, the product's price
// list for the unit beside the name of the client's level. A double click on one of the four
// prices answers it; the history itself is only to look at.
class TFBaseForm_ProductHistoryPrice : public QDialog {
    Q_OBJECT

public:
    explicit TFBaseForm_ProductHistoryPrice(QWidget *parent = nullptr);

    // Given before FormShow
    int FBillTypeID = 0;
    int FClientID = 0;
    int FClientType = 0; // the client's FType: only clients of type 1 see prices
    int FProductID = 0;
    int FUnitID = 0; // 0: the base unit
    int FInOrOut = 0;
    QString FClientName;
    // The answer: whether a price was chosen, the price (null for a blank one) and the price
    // of the client's level (null when it has none)
    bool bRet = false;
    QVariant RetPrice = 0.0;
    QVariant RetClientPrice;

    // What showing the dialog does: the period from 1 January to the end of the server's
    // current month, the price list and the client's level, the saved layout of the list and
    // the history. Server errors propagate as DbError.
    void FormShow(const QSqlDatabase &db = Db());
    // A period choice sets the dates (the custom one leaves them); the list waits for 查询.
    void setPeriod(DatePeriod period);
    // 查询(&F): the history of the dates shown. Server errors propagate as DbError.
    void QueryHistory(const QSqlDatabase &db = Db());
    // A double click on a price: answers it and closes. Nothing while the prices are hidden.
    void ChoosePrice(PriceListBox box);
    // 退出: nothing chosen; closes the dialog.
    void exitDialog();

    TGridView *grid() const { return m_grid; }
    QComboBox *periodCombo() const { return m_period; }
    TDatePicker *beginDate() const { return m_begin; }
    TDatePicker *endDate() const { return m_end; }
    QFrame *pricePanel() const { return m_pricePanel; }
    TCurrencyEdit *priceBox(PriceListBox box) const;
    QString levelNameText() const;
    QString clientCaptionText() const;

    // Answers the dialog in place of exec() while set (tests choose a price through it):
    // ExecuteHistoryPrice runs FormShow and then hands the dialog to it.
    static std::function<void(TFBaseForm_ProductHistoryPrice &)> ExecuteHook;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QVariant boxPrice(PriceListBox box) const;
    void showPrices(const QSqlDatabase &db);

    QLabel *m_clientCaption = nullptr;
    QComboBox *m_period = nullptr;
    TDatePicker *m_begin = nullptr;
    TDatePicker *m_end = nullptr;
    TGridView *m_grid = nullptr;
    QFrame *m_pricePanel = nullptr;
    QLineEdit *m_levelName = nullptr;
    TCurrencyEdit *m_boxes[4] = {};
    QDate m_today;
};

// What the history answered.
struct HistoryPriceChoice {
    bool chosen = false;
    QVariant price;
    QVariant clientPrice;
};

// Shows the history modally. A server error is shown and answers nothing chosen.
HistoryPriceChoice ExecuteHistoryPrice(int billType, int clientId, int clientType, int productId, int unitId,
                                       int inOrOut, const QString &clientName, QWidget *parent = nullptr);

} // namespace protask
