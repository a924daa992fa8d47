#pragma once

#include "core/sql_helpers.h"

#include <QString>

namespace protask {

// Right names are a window prefix ("Bill.Protask") followed by an operation suffix (".Check").
// The checks apply only with the check workflow on and the rights switch set.
QString GetRightPrefix(int windowCode);
QString GetRightSuffix(int operationCode);
// FRightType of the signed-in user; -1 without a t_comUser row.
int GetUserRightType(const QSqlDatabase &db = Db());
bool HasRight(const QString &name, const QSqlDatabase &db = Db());
// The right to open a window; a refusal shows "您未被授权".
bool CheckWindowRight(int windowCode, const QSqlDatabase &db = Db());
// The right to an operation (tool bar buttons); shows nothing.
bool CheckOperationRight(int windowCode, int operationCode, const QSqlDatabase &db = Db());

} // namespace protask
