#pragma once

#include <QString>

namespace protask {

// The two statements a production task editor loads a stored task with: the header with the
// names of its client, manager, department, biller, checker, product and unit, and the
// material lines in line order.
QString ProtaskHeaderSql(int billId);
QString ProtaskLinesSql(int billId);

} // namespace protask
