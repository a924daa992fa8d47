// The statements and search conditions of the source-bill picker.
#include "billedit/model/source_select.h"

#include "core/sql_helpers.h"
#include "test_db.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

class SourceSelectTest : public DatabaseTest {};

// Every kind's statement runs on the suite schema, with a search and a client, and returns
// every field its grid shows, the answered key and the same-value column among them.
TEST_F(SourceSelectTest, EveryKindsStatementRunsAndCarriesItsGridsFields)
{
    for (const SourceKind &kind : SourceKinds()) {
        SCOPED_TRACE(kind.billTypeId);
        const QString find = SourceFindCondition(kind, u"x'_%\\"_s, QString());
        TDataSet list(Db());
        ASSERT_NO_THROW(OpenQuery(list, SourceSelectSql(kind, QDate(2026, 1, 1), QDate(2026, 12, 31), find, 3)));
        const QStringList fields = kind.columns->fields.split(u',');
        EXPECT_TRUE(fields.contains(kind.keyColumn));
        EXPECT_TRUE(kind.sameValueColumn.isEmpty() || fields.contains(kind.sameValueColumn));
        for (const QString &field : fields)
            EXPECT_TRUE(list.hasField(field)) << field.toStdString();
    }
}

// The search matches the trimmed upper-case text, quotes, backslashes and the LIKE wildcards
// as typed, on the bill number and the kind's joined numbers, names and codes in their order.
// A blank text clears the condition; a kind that offers no search keeps it.
TEST_F(SourceSelectTest, SearchMatchesTheKindsColumnsInOrderOrKeepsTheCondition)
{
    const auto anyLike = [](const QString &pattern) {
        QStringList terms;
        for (const char *column : {"T1.FBillNo", "T2.FNo", "T2.FName", "T2.FCode", "T3.FNo", "T3.FName", "T3.FCode",
                                   "T5.FNo", "T5.FName", "T5.FCode", "T8.FNo", "T8.FName", "T8.FCode"})
            terms << QString::fromLatin1(column) + u" like "_s + pattern;
        return u" and("_s + terms.join(u" or "_s) + u')';
    };
    const QString kept = u" and(T1.FBillNo like '%OLD%')"_s;
    // kind, the search text, the condition
    const std::tuple<int, QString, QString> cases[] = {
        {3056, u"  xd001 "_s, anyLike(u"'%XD001%'"_s)},
        {3056, u"o'b\\5%_"_s, anyLike(u"'%O\\'B\\\\\\\\5\\\\%\\\\_%'"_s)},
        {3053, u"a"_s, kept},
        {3056, u"   "_s, QString()},
        {3053, QString(), QString()},
    };
    for (const auto &[kind, text, expected] : cases)
        EXPECT_EQ(SourceFindCondition(*FindSourceKind(kind), text, kept), expected) << text.toStdString();
}

} // namespace
