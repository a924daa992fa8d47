#include "bench_limits.h"

#include "core/sql_helpers.h"

#include <QStringList>

namespace protask::bench {

void WriteTaskRows(int taskId, int firstLineId, int lines, bool header, int stamp)
{
    const QSqlDatabase db = Db();
    QStringList rows;
    rows.reserve(lines);
    for (int n = 0; n < lines; ++n)
        rows << QStringLiteral("(%1,%2,%3,%4,1,1.5,%5,2.5,%6,'第%3行 %7')")
                    .arg(firstLineId + n)
                    .arg(taskId)
                    .arg(n + 1)
                    .arg(100 + n % 100)
                    .arg(n + 1)
                    .arg(2.5 * (n + 1))
                    .arg(stamp);
    TransactionGuard tx(db);
    TDataSet q(db);
    if (header)
        ExecQuery(q,
                  QStringLiteral("insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,FNumber,FNote) "
                                 "values (%1,'RWD%1','2026-12-06',100,1,10,'%2') on duplicate key update "
                                 "FNote = values(FNote)")
                      .arg(taskId)
                      .arg(stamp));
    ExecQuery(q,
              QStringLiteral("insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,"
                             "FPrice,FAmount,FNote) values ")
                  + rows.join(QLatin1Char(','))
                  + QStringLiteral(" on duplicate key update FNumber = values(FNumber), FNote = values(FNote)"));
    tx.commit();
}

} // namespace protask::bench
