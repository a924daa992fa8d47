#pragma once

#include "billlist/model/list_query.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <QStringList>

namespace protask::testing {

// The bill numbers the list shows, in its order.
inline QStringList listedBillNos(const ListQuery &query)
{
    TDataSet q(Db());
    OpenQuery(q, query.sql);
    QStringList numbers;
    for (q.first(); !q.eof(); q.next())
        numbers << q.fieldByName(QStringLiteral("FBillNo")).toString();
    return numbers;
}

inline QStringList listed(const ListDateRange &range, const ListFind &find, ListQueryShape shape)
{
    return listedBillNos(BuildListQuery(3049, range, find, shape));
}

inline const ListDateRange kAllDates{false, {}, {}};

} // namespace protask::testing
